#include "conv/pdf/pdf_page_params.h"

namespace tnw::conv {

namespace {

constexpr uint16_t kCompCcittRle = 2;
constexpr uint16_t kCompG4 = 4;
constexpr uint16_t kCompLzw = 5;
constexpr uint16_t kCompOJpeg = 6;
constexpr uint16_t kCompJpeg = 7;
constexpr uint16_t kCompDeflate = 8;
constexpr uint16_t kCompPackBits = 32773;
constexpr uint16_t kCompDeflateOld = 32946;

bool isDeflate(uint16_t compression)
{
    return compression == kCompDeflate || compression == kCompDeflateOld;
}

// Photometric interpretation: colour space, inversion, palette, Lab parameters.
PageIssue readPhotometric(const common::TiffDirectory& dir, PageParams& p,
                          std::vector<PageIssue>& warnings)
{
    uint16_t photometric = p.photometric;
    if (photometric == 6 && p.samplesPerPixel == 1)
        photometric = 1;  // one YCbCr sample is its luma: gray, black is zero
    switch (photometric) {
    case 0:
    case 1:
        p.colorSpace = p.bitsPerSample == 1 ? kCsBilevel : kCsGray;
        if (photometric == 0)
            p.decodeInvert ^= 1;
        if (p.bitsPerSample == 1 && p.compression == kCompCcittRle)
            p.decodeInvert = 1;
        return {};
    case 2:
        if (p.samplesPerPixel == 3) {
            p.colorSpace = kCsRgb;
            return {};
        }
        if (p.samplesPerPixel == 4) {
            p.colorSpace = kCsCmyk;
            p.decodeInvert ^= 1;
            warnings.push_back({PdfMsg::RgbAsCmyk, 0});
            return {};
        }
        return {PdfMsg::RgbSamples, p.samplesPerPixel};
    case 3: {
        if (p.samplesPerPixel != 1)
            return {PdfMsg::PaletteSamples, p.samplesPerPixel};
        const size_t entries = size_t(1) << p.bitsPerSample;
        if (dir.colorMap.size() < 3 * entries)
            return {PdfMsg::PaletteNoColorMap, 0};
        p.colorSpace = kCsRgb | kCsPalette;
        p.palette.resize(3 * entries);
        for (size_t j = 0; j < entries; ++j) {
            p.palette[3 * j] = static_cast<char>(dir.colorMap[j] >> 8);
            p.palette[3 * j + 1] = static_cast<char>(dir.colorMap[entries + j] >> 8);
            p.palette[3 * j + 2] = static_cast<char>(dir.colorMap[2 * entries + j] >> 8);
        }
        return {};
    }
    case 5:
        if (dir.inkSet != 0 && dir.inkSet != 1)
            return {PdfMsg::InkSet, dir.inkSet};
        if (p.samplesPerPixel != 4)
            return {PdfMsg::SeparatedSamples, p.samplesPerPixel};
        p.colorSpace = kCsCmyk;
        return {};
    case 6:
        p.colorSpace = kCsRgb;
        p.sampleTreatment |= kTreatYCbCrToRgb;
        return {};
    case 8:  // CIE L*a*b*: a* and b* are stored signed
        p.colorSpace = kCsLab;
        p.labRange[0] = -127;
        p.labRange[1] = 127;
        p.labRange[2] = -127;
        p.labRange[3] = 127;
        p.sampleTreatment |= kTreatLabSignedToUnsigned;
        break;
    case 9:  // ICC L*a*b*: a* and b* are stored unsigned with an offset of 128
        p.colorSpace = kCsLab;
        p.labRange[0] = -128;
        p.labRange[1] = 127;
        p.labRange[2] = -128;
        p.labRange[3] = 127;
        break;
    case 10:  // ITU L*a*b*: unsigned codes spread over the ranges below, written as stored
        p.colorSpace = kCsLab;
        p.labRange[0] = -85;
        p.labRange[1] = 85;
        p.labRange[2] = -75;
        p.labRange[3] = 124;
        break;
    case 32844:
    case 32845:
        return {PdfMsg::LogLuv, photometric};
    default:
        return {PdfMsg::Photometric, photometric};
    }
    p.whiteX = 0.3457f;
    p.whiteY = 0.3585f;
    return {};
}

float resolutionOf(const common::TiffRational& r)
{
    if (r.denominator == 0)
        return 0.0f;
    return static_cast<float>(double(r.numerator) / double(r.denominator));
}

}  // namespace

PageIssue checkTiles(const common::TiffDirectory& dir)
{
    if (dir.tileWidth != 0 || dir.tileLength != 0 || !dir.tileOffsets.empty() ||
        !dir.tileByteCounts.empty())
        return {PdfMsg::Tiled, 0};
    return {};
}

PageIssue checkStrips(const common::TiffDirectory& dir, uint64_t fileLength)
{
    if (dir.stripOffsets.empty())
        return {PdfMsg::NoStrips, 0};
    if (dir.stripByteCounts.size() < dir.stripOffsets.size())
        return {PdfMsg::BadStripByteCount, 0};
    for (size_t s = 0; s < dir.stripOffsets.size(); ++s) {
        if (dir.stripByteCounts[s] < 1)
            return {PdfMsg::BadStripByteCount, 0};
        if (dir.stripOffsets[s] >= fileLength)
            return {PdfMsg::StripSeek, -302};
        if (uint64_t(dir.stripOffsets[s]) + dir.stripByteCounts[s] > fileLength)
            return {PdfMsg::StripRead, -301};
    }
    return {};
}

PageIssue readPageParams(const common::TiffDirectory& dir, PageParams& p,
                         std::vector<PageIssue>& warnings)
{
    p = PageParams{};
    p.width = dir.width;
    p.length = dir.length;
    p.compression = dir.compression;
    p.photometric = dir.photometric;
    p.fillOrder = dir.fillOrder;
    p.planarConfig = dir.planarConfig;
    p.orientation = dir.orientation;
    p.resolutionUnit = dir.resolutionUnit;
    p.stripCount = static_cast<uint32_t>(dir.stripOffsets.size());

    if (p.width == 0)
        return {PdfMsg::ZeroWidth, 0};
    if (p.length == 0)
        return {PdfMsg::ZeroLength, 0};

    p.bitsPerSample = dir.bitsPerSample;
    if (p.bitsPerSample == 0) {
        warnings.push_back({PdfMsg::ZeroBits, 0});
        p.bitsPerSample = 1;
    }
    if (p.bitsPerSample != 1 && p.bitsPerSample != 2 && p.bitsPerSample != 4 &&
        p.bitsPerSample != 8)
        return {PdfMsg::BitsPerSample, p.bitsPerSample};

    p.samplesPerPixel = dir.samplesPerPixel;
    if (p.samplesPerPixel == 0) {
        warnings.push_back({PdfMsg::ZeroSamples, 0});
        p.samplesPerPixel = 1;
    }
    if (p.samplesPerPixel > 4)
        return {PdfMsg::SamplesPerPixel, p.samplesPerPixel};

    if (dir.sampleFormat != 0 && dir.sampleFormat != 1 && dir.sampleFormat != 4)
        return {PdfMsg::SampleFormat, dir.sampleFormat};

    if (PageIssue issue = readPhotometric(dir, p, warnings))
        return issue;

    if (p.planarConfig == 2)
        return p.bitsPerSample == 8 ? PageIssue{PdfMsg::Planar8Bits, p.bitsPerSample}
                                    : PageIssue{PdfMsg::PlanarBits, p.bitsPerSample};
    if (p.planarConfig > 2)
        return {PdfMsg::PlanarOther, p.planarConfig};

    if (p.orientation > 8) {
        warnings.push_back({PdfMsg::Orientation, p.orientation});
        p.orientation = 0;
    }

    p.xResolution = resolutionOf(dir.xResolution);
    p.yResolution = resolutionOf(dir.yResolution);
    if (p.resolutionUnit == 3) {
        p.xResolution = static_cast<float>(p.xResolution * 2.54);
        p.yResolution = static_cast<float>(p.yResolution * 2.54);
    }

    p.sourceBits = p.bitsPerSample;
    p.sourceSamples = p.samplesPerPixel;
    composeGeometry(p);
    decideTranscode(p);
    return {};
}

void composeGeometry(PageParams& p)
{
    double xres = p.xResolution;
    double yres = p.yResolution;
    if (xres == 0 || xres < 72)
        xres = 300;
    if (yres == 0 || yres < 72)
        yres = 300;
    const float w = static_cast<float>(double(p.width) * 72.0 / xres);
    const float h = static_cast<float>(double(p.length) * 72.0 / yres);

    const bool swapped = p.orientation >= 5 && p.orientation <= 8;
    p.mediaBox[0] = 0;
    p.mediaBox[1] = 0;
    p.mediaBox[2] = swapped ? h : w;
    p.mediaBox[3] = swapped ? w : h;

    // The six "cm" values per orientation; zeros are plain zeros (never a negated 0).
    const float z = 0.0f;
    const float table[9][6] = {
        {w, z, z, h, z, z},    // 0
        {w, z, z, h, z, z},    // 1
        {-w, z, z, h, w, z},   // 2
        {-w, z, z, -h, w, h},  // 3
        {w, z, z, -h, z, h},   // 4
        {z, -w, -h, z, h, w},  // 5
        {z, -w, h, z, z, w},   // 6
        {z, w, h, z, z, z},    // 7
        {z, w, -h, z, h, z},   // 8
    };
    const int o = p.orientation <= 8 ? p.orientation : 0;
    for (int i = 0; i < 6; ++i)
        p.matrix[i] = table[o][i];
}

void decideTranscode(PageParams& p)
{
    const bool oneStrip = p.stripCount == 1;
    if (p.compression == kCompG4 && oneStrip) {
        p.transcode = kTranscodeRaw;
        p.pdfCompression = kPdfCompG4;
    } else if (isDeflate(p.compression) && oneStrip) {
        p.transcode = kTranscodeRaw;
        p.pdfCompression = kPdfCompFlate;
    } else if (p.compression == kCompOJpeg || p.compression == kCompJpeg) {
        p.transcode = kTranscodeRaw;
        p.pdfCompression = kPdfCompDct;
    } else {
        p.transcode = kTranscodeEncode;
        const bool flate = p.compression == kCompLzw || p.compression == kCompPackBits ||
                           isDeflate(p.compression);
        p.pdfCompression = flate ? kPdfCompFlate : kPdfCompNone;
    }

    // Samples that must be treated cannot be copied as stored.
    if (p.sampleTreatment != kTreatNone && p.pdfCompression != kPdfCompDct &&
        p.transcode == kTranscodeRaw)
        p.transcode = kTranscodeEncode;

    if (p.transcode == kTranscodeEncode && p.bitsPerSample == 1 && p.samplesPerPixel == 1)
        p.pdfCompression = kPdfCompG4;

    // YCbCr samples that are not JPEG data are converted to 8-bit RGB and compressed with
    // Flate, so the page shows its image.
    if (p.transcode == kTranscodeEncode && (p.sampleTreatment & kTreatYCbCrToRgb)) {
        p.convertToRgb = true;
        p.bitsPerSample = 8;
        p.samplesPerPixel = 3;
        p.colorSpace = kCsRgb;
        p.decodeInvert = 0;
        p.pdfCompression = kPdfCompFlate;
    }
}

void describeRebuiltJpeg(PageParams& p, int components)
{
    if (components == 1) {
        p.bitsPerSample = 8;
        p.samplesPerPixel = 1;
        if (!(p.colorSpace & kCsPalette))
            p.colorSpace = kCsGray;  // indexes stay indexes; anything else is gray
    } else if (components == 3) {
        p.bitsPerSample = 8;
        p.samplesPerPixel = 3;
        p.colorSpace = kCsRgb;
        p.decodeInvert = 0;
    }
}

}  // namespace tnw::conv
