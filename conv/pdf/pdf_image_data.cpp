#include "conv/pdf/pdf_image_data.h"

#include "common/platform/files.h"
#include "common/checked_size.h"
#include "conv/pdf/jpeg_stream.h"
#include "conv/pdf/pdf_tiff_codec.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <tiffio.h>

namespace tnw::conv {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

int fail(ImageDataResult& result, int status, PdfMsg failure, int64_t value = 0)
{
    result.status = status;
    result.failure = failure;
    result.value = value;
    return status;
}

// The strips as stored, in strip order.
int copyRawStrips(const ImageDataRequest& r, std::string& data, ImageDataResult& result)
{
    const PageParams& p = *r.params;
    const common::TiffDirectory& dir = *r.directory;
    const int shortCode = p.pdfCompression == kPdfCompG4 ? -1 : -2;
    const size_t strips = std::min(dir.stripOffsets.size(), dir.stripByteCounts.size());
    uint64_t total = 0;
    for (size_t s = 0; s < strips; ++s) {
        if (!checkedAdd(total, dir.stripByteCounts[s], total))
            return fail(result, shortCode, PdfMsg::ImageMemory, INT64_MAX);
    }
    if ((r.maxBytes > 0 && total > r.maxBytes) || total > SIZE_MAX / 2)
        return fail(result, shortCode, PdfMsg::ImageMemory, int64_t(total));
    std::unique_ptr<FILE, FileCloser> file(platform::openFile(r.tiffPath, "rb"));
    if (!file)
        return fail(result, shortCode, PdfMsg::StripSeek, -302);
    data.resize(size_t(total));
    uint64_t at = 0;
    for (size_t s = 0; s < strips; ++s) {
        const uint32_t count = dir.stripByteCounts[s];
        if (std::fseek(file.get(), long(dir.stripOffsets[s]), SEEK_SET) != 0)
            return fail(result, shortCode, PdfMsg::StripSeek, -302);
        if (std::fread(data.data() + at, 1, count, file.get()) != count)
            return fail(result, shortCode, PdfMsg::StripRead, -301);
        at += count;
    }
    if (p.fillOrder == 2) {
        TIFFReverseBits(reinterpret_cast<uint8_t*>(data.data()), tmsize_t(data.size()));
        result.bitReversed = true;
    }
    return 0;
}

int decodeFailure(ImageDataResult& result, const TiffDecodeResult& decoded)
{
    result.diagnostic = decoded.errors;
    switch (decoded.status) {
    case TiffDecodeStatus::OpenFailed:
        return fail(result, -6, PdfMsg::IfdOpen);
    case TiffDecodeStatus::DirectoryFailed:
        return fail(result, -6, PdfMsg::IfdRead);
    case TiffDecodeStatus::TooLarge:
        return fail(result, -6, PdfMsg::ImageMemory,
                    int64_t(std::min<uint64_t>(decoded.wanted, INT64_MAX)));
    default:
        return fail(result, -6, PdfMsg::DecodeStrip, decoded.failedStrip);
    }
}

int decodeAndEncode(const ImageDataRequest& r, std::string& data, ImageDataResult& result)
{
    const PageParams& p = *r.params;
    TiffDecodeRequest request;
    request.path = r.tiffPath;
    request.directoryIndex = r.directory->index;
    request.width = p.width;
    request.length = p.length;
    request.bitsPerSample = p.sourceBits;
    request.samplesPerPixel = p.sourceSamples;
    request.maxBytes = r.maxBytes;
    const TiffDecodeResult decoded =
        p.convertToRgb ? readTiffRgb(request, data) : decodeTiffStrips(request, data);
    if (decoded.status != TiffDecodeStatus::Ok)
        return decodeFailure(result, decoded);
    result.converted = true;
    if (p.sampleTreatment & kTreatLabSignedToUnsigned)
        labSignedToUnsigned(data, p.width, p.length, p.bitsPerSample, p.samplesPerPixel);

    int compression = COMPRESSION_NONE;
    if (p.pdfCompression == kPdfCompG4)
        compression = COMPRESSION_CCITTFAX4;
    else if (p.pdfCompression == kPdfCompFlate)
        compression = COMPRESSION_DEFLATE;
    if (compression != COMPRESSION_NONE &&
        !encodeTiffStrip(p.width, p.length, p.bitsPerSample, p.samplesPerPixel, compression, data,
                         result.diagnostic))
        return fail(result, -6, PdfMsg::EncodeWrite);
    return 0;
}

}  // namespace

void labSignedToUnsigned(std::string& data, uint32_t width, uint32_t length, uint16_t bits,
                         uint16_t samples)
{
    if (samples < 3 || bits == 0)
        return;
    uint64_t rowBytes = 0;
    uint64_t total = 0;
    if (!checkedRowBytes(width, bits, samples, rowBytes) ||
        !checkedMul(rowBytes, length, total) || total > data.size())
        return;
    for (uint64_t y = 0; y < length; ++y) {
        auto* row = reinterpret_cast<uint8_t*>(data.data()) + y * rowBytes;
        for (uint64_t x = 0; x < width; ++x) {
            for (uint64_t s = 1; s <= 2; ++s) {
                const uint64_t bit = (x * samples + s) * bits;  // first bit of the sample
                row[bit / 8] ^= static_cast<uint8_t>(0x80u >> (bit % 8));
            }
        }
    }
}

int makeImageData(const ImageDataRequest& r, std::string& data, ImageDataResult& result)
{
    result = ImageDataResult{};
    data.clear();
    try {
        const PageParams& p = *r.params;
        if (p.pdfCompression == kPdfCompDct) {
            JpegPageSource source;
            source.path = r.tiffPath;
            source.memory = r.tiffMemory;
            source.keepWhole = r.keepJpeg;
            source.directory = r.directory;
            source.workFolder = r.workFolder;
            source.maxDecodeBytes = r.maxBytes;
            JpegStreamReport report;
            const int rc = writeJpegPageStream(source, data, report);
            result.converted = report.rebuilt;
            result.rebuiltComponents = report.rebuiltComponents;
            if (rc < 0) {
                result.status = rc;
                result.message = report.message;
                result.diagnostic = report.diagnostic;
                return rc;
            }
            return 0;
        }
        if (!r.tiffMemory.empty())  // only JPEG pages are held in memory
            return fail(result, -6, PdfMsg::PageFailed, 0);
        if (p.transcode == kTranscodeRaw)
            return copyRawStrips(r, data, result);
        return decodeAndEncode(r, data, result);
    } catch (const std::bad_alloc&) {
        data.clear();
        data.shrink_to_fit();
        return fail(result, -6, PdfMsg::ImageMemory, 0);
    }
}

}  // namespace tnw::conv
