#include "conv/pdf/pdf_page_objects.h"
#include "conv/pdf/pdf_page_params.h"
#include "conv/pdf/pdf_text.h"

#include "common/platform/cp932.h"

#include <gtest/gtest.h>

using namespace tnw::conv;
using tnw::common::TiffDirectory;

namespace {

TiffDirectory page(uint32_t width, uint32_t length, uint16_t bits, uint16_t samples,
                   uint16_t photometric, uint16_t compression = 1)
{
    TiffDirectory dir;
    dir.width = width;
    dir.length = length;
    dir.bitsPerSample = bits;
    dir.samplesPerPixel = samples;
    dir.photometric = photometric;
    dir.compression = compression;
    dir.xResolution = {300, 1};
    dir.yResolution = {300, 1};
    dir.stripOffsets = {8};
    dir.stripByteCounts = {100};
    return dir;
}

PageParams accepted(const TiffDirectory& dir)
{
    PageParams params;
    std::vector<PageIssue> warnings;
    const PageIssue issue = readPageParams(dir, params, warnings);
    EXPECT_FALSE(issue) << int(issue.id);
    return params;
}

PageIssue refused(const TiffDirectory& dir)
{
    PageParams params;
    std::vector<PageIssue> warnings;
    return readPageParams(dir, params, warnings);
}

}  // namespace

TEST(PdfPageGeometry, A4At300DpiIs595By842Points)
{
    const PageParams p = accepted(page(2480, 3508, 1, 1, 0, 4));
    EXPECT_EQ(contentStreamData(p, 1),
              "q  595.2000 0.0000 0.0000 841.9200 0.0000 0.0000 cm /Im1 Do Q\r");
    PdfSink sink;
    PdfWriterContext context;
    context.offsets = {0, 0, 0};
    writePageAndContent(sink, context, p, 1);
    EXPECT_EQ(sink.bytes(),
              "4 0 obj\r<<\r/Type /Page \r/Parent 3 0 R \r"
              "/MediaBox [0.0000 0.0000 595.2000 841.9200] \r/Contents 5 0 R \r"
              "/Resources << \r/XObject <<\r/Im1 7 0 R >>\r/ProcSet [ /ImageB ]\r>>\r>>\rendobj\r"
              "5 0 obj\r<< \r/Length 6 0 R \r >>\rstream\r\n"
              "q  595.2000 0.0000 0.0000 841.9200 0.0000 0.0000 cm /Im1 Do Q\r\rendstream\r"
              "endobj\r6 0 obj\r62\rendobj\r");
}

TEST(PdfPageGeometry, MissingOrLowResolutionCountsAs300AndCentimetresAreConverted)
{
    TiffDirectory dir = page(300, 600, 8, 1, 1);
    dir.xResolution = {0, 0};
    dir.yResolution = {50, 1};
    PageParams p = accepted(dir);
    EXPECT_EQ(fixed4(p.mediaBox[2]), "72.0000");
    EXPECT_EQ(fixed4(p.mediaBox[3]), "144.0000");

    dir.xResolution = {72, 1};
    dir.yResolution = {72, 1};
    p = accepted(dir);
    EXPECT_EQ(fixed4(p.mediaBox[2]), "300.0000");  // one point per pixel

    dir.xResolution = {11811, 100};
    dir.resolutionUnit = 3;
    p = accepted(dir);
    EXPECT_EQ(fixed4(p.xResolution), "299.9994");
}

TEST(PdfPageGeometry, OrientationSixSwapsTheMediaBoxAndRotatesTheImage)
{
    TiffDirectory dir = page(720, 360, 8, 1, 1);
    dir.xResolution = {72, 1};
    dir.yResolution = {72, 1};
    dir.orientation = 6;
    const PageParams p = accepted(dir);
    EXPECT_EQ(fixed4(p.mediaBox[2]), "360.0000");
    EXPECT_EQ(fixed4(p.mediaBox[3]), "720.0000");
    EXPECT_EQ(contentStreamData(p, 2),
              "q  0.0000 -720.0000 360.0000 0.0000 0.0000 720.0000 cm /Im2 Do Q\r");
    dir.orientation = 3;
    EXPECT_EQ(contentStreamData(accepted(dir), 1),
              "q  -720.0000 0.0000 0.0000 -360.0000 720.0000 360.0000 cm /Im1 Do Q\r");
    dir.orientation = 9;  // unknown: taken as 0 with a warning
    PageParams params;
    std::vector<PageIssue> warnings;
    EXPECT_FALSE(readPageParams(dir, params, warnings));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].id, PdfMsg::Orientation);
    EXPECT_EQ(params.orientation, 0);
}

TEST(PdfPageParams, RefusalsComeInTheirOrderWithTheirNumbers)
{
    EXPECT_EQ(refused(page(0, 10, 16, 9, 99)).id, PdfMsg::ZeroWidth);
    EXPECT_EQ(refused(page(10, 0, 16, 9, 99)).id, PdfMsg::ZeroLength);
    EXPECT_EQ(refused(page(10, 10, 16, 9, 99)).id, PdfMsg::BitsPerSample);
    EXPECT_EQ(refused(page(10, 10, 8, 9, 99)).id, PdfMsg::SamplesPerPixel);
    const PageIssue rgb = refused(page(10, 10, 8, 2, 2));
    EXPECT_EQ(rgb.id, PdfMsg::RgbSamples);
    EXPECT_EQ(pdfMessageText(rgb.id, rgb.value),
              tnw::platform::sjis("RGB画像のﾋﾟｸｾﾙ当たりのｻﾝﾌﾟﾙ数( 2 )が不正です"));
    EXPECT_EQ(pdfDiagnosticText(rgb.id, "/s/a.tif", rgb.value),
              "No support for RGB image /s/a.tif with 2 samples per pixel");
    EXPECT_EQ(refused(page(10, 10, 8, 1, 32845)).id, PdfMsg::LogLuv);
    EXPECT_EQ(refused(page(10, 10, 8, 1, 4)).id, PdfMsg::Photometric);
    TiffDirectory ink = page(10, 10, 8, 4, 5);
    ink.inkSet = 2;
    EXPECT_EQ(refused(ink).id, PdfMsg::InkSet);
    TiffDirectory planar = page(10, 10, 8, 3, 2);
    planar.planarConfig = 2;
    EXPECT_EQ(refused(planar).id, PdfMsg::Planar8Bits);
    TiffDirectory palette = page(10, 10, 4, 1, 3);
    EXPECT_EQ(refused(palette).id, PdfMsg::PaletteNoColorMap);
    TiffDirectory tiled = page(10, 10, 8, 1, 1);
    tiled.tileWidth = 16;
    EXPECT_EQ(checkTiles(tiled).id, PdfMsg::Tiled);
    EXPECT_EQ(pdfMessageText(PdfMsg::Tiled), tnw::platform::sjis("ﾀｲﾙはｻﾎﾟｰﾄしていません"));
}

TEST(PdfPageParams, StripsMustExistAndLieInsideTheFile)
{
    TiffDirectory dir = page(10, 10, 8, 1, 1);
    EXPECT_FALSE(checkStrips(dir, 108));
    EXPECT_EQ(checkStrips(dir, 107).id, PdfMsg::StripRead);
    dir.stripOffsets = {500};
    EXPECT_EQ(checkStrips(dir, 108).id, PdfMsg::StripSeek);
    dir.stripByteCounts = {0};
    EXPECT_EQ(checkStrips(dir, 1000).id, PdfMsg::BadStripByteCount);
    dir.stripOffsets.clear();
    EXPECT_EQ(checkStrips(dir, 1000).id, PdfMsg::NoStrips);
}

TEST(PdfImageDictionary, InversionDecodeAndBlackIs1FollowThePhotometric)
{
    // Min-is-white 8-bit gray: one Decode pair.
    PageParams gray = accepted(page(10, 10, 8, 1, 0));
    EXPECT_NE(imageDictionaryEntries(gray, 1, 0).find("/Decode [ 1 0 ]\r"), std::string::npos);
    // Min-is-white bilevel Group 4: neither Decode nor BlackIs1.
    const std::string g4 = imageDictionaryEntries(accepted(page(100, 50, 1, 1, 0, 4)), 1, 0);
    EXPECT_EQ(g4.find("/Decode ["), std::string::npos);
    EXPECT_NE(g4.find("/Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns 100 /Rows 50>>\r"),
              std::string::npos);
    // Min-is-black bilevel: " /BlackIs1 true ".
    const std::string black = imageDictionaryEntries(accepted(page(100, 50, 1, 1, 1, 4)), 3, 0);
    EXPECT_EQ(black, "/Type /XObject \r/Subtype /Image \r/Name /Im3\r/Width 100\r/Height 50\r"
                     "/BitsPerComponent 1\r/ColorSpace /DeviceGray \r/Filter /CCITTFaxDecode "
                     "/DecodeParms << /K -1 /Columns 100 /Rows 50 /BlackIs1 true >>\r");
    // RGB with four samples: inverse CMYK.
    PageParams cmyk;
    std::vector<PageIssue> warnings;
    EXPECT_FALSE(readPageParams(page(10, 10, 8, 4, 2), cmyk, warnings));
    EXPECT_EQ(warnings.at(0).id, PdfMsg::RgbAsCmyk);
    EXPECT_NE(
        imageDictionaryEntries(cmyk, 1, 0).find("/DeviceCMYK \r/Decode [ 1 0 1 0 1 0 1 0 ]\r"),
        std::string::npos);
}

TEST(PdfImageDictionary, PaletteAndLabColourSpaces)
{
    TiffDirectory dir = page(10, 10, 4, 1, 3);
    for (int c = 0; c < 3; ++c) {
        for (int j = 0; j < 16; ++j)
            dir.colorMap.push_back(uint16_t((c * 16 + j) << 8 | 0xFF));
    }
    const PageParams p = accepted(dir);
    ASSERT_EQ(p.palette.size(), 48u);
    EXPECT_EQ(uint8_t(p.palette[3]), 1);   // entry 1: red 1, green 17, blue 33 (high bytes)
    EXPECT_EQ(uint8_t(p.palette[4]), 17);
    EXPECT_EQ(uint8_t(p.palette[5]), 33);
    EXPECT_EQ(p.extraObjects(), 1);
    EXPECT_NE(imageDictionaryEntries(p, 1, 7).find("[ /Indexed /DeviceRGB \r15 7 0 R ]\r"),
              std::string::npos);

    const PageParams lab = accepted(page(10, 10, 8, 3, 8));
    EXPECT_NE(imageDictionaryEntries(lab, 1, 0)
                  .find("[/Lab << \r/WhitePoint [0.9643 1.0000 0.8251] \r"
                        "/Range [-127 127 -127 127] \r>>] \r"),
              std::string::npos);
    EXPECT_EQ(lab.transcode, kTranscodeEncode);
    // ICC L*a*b* stores a* and b* with an offset of 128: its range says so. ITU L*a*b* codes are
    // unsigned already and go out as stored.
    const PageParams icc = accepted(page(10, 10, 8, 3, 9));
    EXPECT_EQ(std::vector<int>(icc.labRange, icc.labRange + 4),
              std::vector<int>({-128, 127, -128, 127}));
    const PageParams itu = accepted(page(10, 10, 8, 3, 10));
    EXPECT_EQ(std::vector<int>(itu.labRange, itu.labRange + 4),
              std::vector<int>({-85, 85, -75, 124}));
    EXPECT_EQ(itu.sampleTreatment, uint32_t(kTreatNone));
}

TEST(PdfTranscode, CopyOrEncodeByCompressionAndStrips)
{
    auto decide = [](uint16_t bits, uint16_t samples, uint16_t photometric, uint16_t compression,
                     size_t strips) {
        TiffDirectory dir = page(10, 10, bits, samples, photometric, compression);
        dir.stripOffsets.assign(strips, 8);
        dir.stripByteCounts.assign(strips, 10);
        const PageParams p = accepted(dir);
        return std::make_pair(p.transcode, p.pdfCompression);
    };
    EXPECT_EQ(decide(1, 1, 0, 4, 1), std::make_pair(int(kTranscodeRaw), int(kPdfCompG4)));
    EXPECT_EQ(decide(1, 1, 0, 4, 2), std::make_pair(int(kTranscodeEncode), int(kPdfCompG4)));
    EXPECT_EQ(decide(8, 1, 1, 8, 1), std::make_pair(int(kTranscodeRaw), int(kPdfCompFlate)));
    EXPECT_EQ(decide(8, 1, 1, 32946, 3), std::make_pair(int(kTranscodeEncode), int(kPdfCompFlate)));
    EXPECT_EQ(decide(1, 1, 1, 1, 1), std::make_pair(int(kTranscodeEncode), int(kPdfCompG4)));
    EXPECT_EQ(decide(1, 1, 1, 5, 1), std::make_pair(int(kTranscodeEncode), int(kPdfCompG4)));
    EXPECT_EQ(decide(8, 1, 1, 5, 1), std::make_pair(int(kTranscodeEncode), int(kPdfCompFlate)));
    EXPECT_EQ(decide(8, 3, 2, 1, 1), std::make_pair(int(kTranscodeEncode), int(kPdfCompNone)));
    EXPECT_EQ(decide(8, 3, 6, 7, 1), std::make_pair(int(kTranscodeRaw), int(kPdfCompDct)));
    // YCbCr samples that are not JPEG data become 8-bit RGB with Flate.
    const PageParams ycbcr = accepted(page(10, 10, 8, 3, 6, 1));
    EXPECT_TRUE(ycbcr.convertToRgb);
    EXPECT_EQ(ycbcr.colorSpace, uint32_t(kCsRgb));
    EXPECT_EQ(ycbcr.pdfCompression, kPdfCompFlate);
}
