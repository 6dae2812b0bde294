#include "conv/pdf/jpeg_reencoder.h"

#include "support/temp_dir.h"
#include "tests/conv/pdf/jpeg_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tnw::conv;
using tnw::test::decodeJpeg;
using tnw::test::DecodedJpeg;
using tnw::test::JpegShape;
using tnw::test::makeJpeg;
using tnw::test::readFile;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

// Re-encodes a fixture and decodes the result.
DecodedJpeg reencode(const TempDir& dir, const JpegShape& shape)
{
    EXPECT_TRUE(writeFile(dir.file("in.jpg"), makeJpeg(shape)));
    JpegReencoder reencoder;
    EXPECT_EQ(reencoder.reencodeFile(dir.file("in.jpg"), dir.file("out.jpg")), 0)
        << reencoder.message();
    return decodeJpeg(readFile(dir.file("out.jpg")));
}

bool near(int a, int b, int tolerance = 6)
{
    return std::abs(a - b) <= tolerance;
}

}  // namespace

TEST(JpegReencoder, ProgressiveAndArithmeticFilesBecomeBaselineWithTheirDensity)
{
    TempDir dir;
    JpegShape shape;
    shape.width = 33;
    shape.height = 17;
    shape.fill = {200, 60, 30};
    shape.densityUnit = 2;
    shape.xDensity = 118;
    shape.yDensity = 59;
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        shape.progressive = kind != 1;
        shape.arithmetic = kind != 0;
        const DecodedJpeg out = reencode(dir, shape);
        EXPECT_FALSE(out.progressive);
        EXPECT_FALSE(out.arithmetic);
        EXPECT_EQ(out.coded, JCS_YCbCr);
        EXPECT_EQ(out.width, 33);
        EXPECT_EQ(out.height, 17);
        EXPECT_EQ(out.densityUnit, 2);
        EXPECT_EQ(out.xDensity, 118);
        EXPECT_EQ(out.yDensity, 59);
        EXPECT_TRUE(near(out.at(5, 5, 0), 200) && near(out.at(5, 5, 1), 60) &&
                    near(out.at(5, 5, 2), 30));
    }
}

TEST(JpegReencoder, GrayscaleStaysOneComponent)
{
    TempDir dir;
    JpegShape shape;
    shape.input = JCS_GRAYSCALE;
    shape.progressive = true;
    shape.fill = {77};
    const DecodedJpeg out = reencode(dir, shape);
    EXPECT_EQ(out.coded, JCS_GRAYSCALE);
    EXPECT_EQ(out.components, 1);
    EXPECT_FALSE(out.progressive);
    EXPECT_TRUE(near(out.at(3, 3, 0), 77));
}

TEST(JpegReencoder, FourComponentFilesStayCmykUnderTheAdobeConvention)
{
    TempDir dir;
    JpegShape shape;
    shape.input = JCS_CMYK;
    shape.progressive = true;
    shape.fill = {10, 100, 180, 250};

    // With the marker the (already inverted) samples pass unchanged.
    shape.adobe = 1;
    DecodedJpeg out = reencode(dir, shape);
    EXPECT_EQ(out.coded, JCS_CMYK);
    EXPECT_TRUE(out.adobe);
    EXPECT_TRUE(near(out.at(0, 0, 0), 10) && near(out.at(0, 0, 3), 250));

    // Without it the samples are plain: the output, which has the marker, holds them inverted.
    shape.adobe = 0;
    out = reencode(dir, shape);
    EXPECT_EQ(out.coded, JCS_CMYK);
    EXPECT_TRUE(out.adobe);
    EXPECT_TRUE(near(out.at(0, 0, 0), 245) && near(out.at(0, 0, 3), 5));

    // YCCK is decoded to CMYK and written as CMYK.
    shape.adobe = -1;
    shape.coded = JCS_YCCK;
    out = reencode(dir, shape);
    EXPECT_EQ(out.coded, JCS_CMYK);
    EXPECT_EQ(out.components, 4);
    EXPECT_TRUE(out.adobe);
    EXPECT_TRUE(near(out.at(0, 0, 0), 10, 8) && near(out.at(0, 0, 3), 250, 8));
}

TEST(JpegReencoder, FailuresLeaveNoOutputFile)
{
    TempDir dir;
    JpegReencoder reencoder;
    EXPECT_EQ(reencoder.reencodeFile(dir.file("missing.jpg"), dir.file("out.jpg")),
              JpegReencoder::kOpenInput);
    ASSERT_TRUE(writeFile(dir.file("text.jpg"), "not a JPEG"));
    EXPECT_EQ(reencoder.reencodeFile(dir.file("text.jpg"), dir.file("out.jpg")),
              JpegReencoder::kDecode);
    EXPECT_FALSE(reencoder.message().empty());
    ASSERT_TRUE(writeFile(dir.file("in.jpg"), makeJpeg({})));
    EXPECT_EQ(reencoder.reencodeFile(dir.file("in.jpg"), dir.file("no/such/out.jpg")),
              JpegReencoder::kCreateOutput);

    // A file that breaks off inside its scan data is decoded with warnings, as libjpeg does.
    JpegShape shape;
    shape.width = shape.height = 256;
    shape.gradient = true;
    const std::string whole = makeJpeg(shape);
    ASSERT_TRUE(writeFile(dir.file("cut.jpg"), whole.substr(0, whole.size() - 200)));
    EXPECT_EQ(reencoder.reencodeFile(dir.file("cut.jpg"), dir.file("out.jpg")), 0)
        << reencoder.message() << " of " << whole.size();
    EXPECT_GT(reencoder.warnings(), 0);

    // A header the decoder cannot take (12-bit samples) is refused and no output is made.
    shape.progressive = true;
    std::string bad = makeJpeg(shape);
    const size_t sof = bad.find("\xFF\xC2");
    ASSERT_NE(sof, std::string::npos);
    bad[sof + 4] = 12;  // 12-bit precision: not decodable here
    ASSERT_TRUE(writeFile(dir.file("bad.jpg"), bad));
    EXPECT_EQ(reencoder.reencodeFile(dir.file("bad.jpg"), dir.file("bad_out.jpg")),
              JpegReencoder::kDecode);
    EXPECT_TRUE(readFile(dir.file("bad_out.jpg")).empty());
}

TEST(JpegReencoder, BottomUpBgrBitmapComesOutTopDownRgb)
{
    TempDir dir;
    // 16 × 16, 24 bits, 48 bytes a row; the first rows in memory are the bottom half of the
    // image (blue), the others red, stored blue-green-red.
    const int w = 16, h = 16;
    std::vector<std::uint8_t> pixels(48 * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &pixels[y * 48 + 3 * x];
            p[0] = y < 8 ? 255 : 0;  // blue
            p[2] = y < 8 ? 0 : 255;  // red
        }
    }
    BitmapView bitmap;
    bitmap.width = w;
    bitmap.height = h;
    bitmap.bitCount = 24;
    bitmap.pixels = pixels.data();
    bitmap.size = pixels.size();
    bitmap.order = BitmapView::RowOrder::BottomUp;
    bitmap.bgr = true;
    bitmap.densityUnit = 1;
    bitmap.xDensity = bitmap.yDensity = 400;
    JpegReencoder reencoder;
    ASSERT_EQ(reencoder.encodeBitmap(bitmap, dir.file("b.jpg")), 0) << reencoder.message();
    const DecodedJpeg out = decodeJpeg(readFile(dir.file("b.jpg")));
    EXPECT_EQ(out.coded, JCS_YCbCr);
    EXPECT_FALSE(out.progressive);
    EXPECT_EQ(out.xDensity, 400);
    EXPECT_GT(out.at(8, 0, 0), 200);   // top: red
    EXPECT_LT(out.at(8, 0, 2), 60);
    EXPECT_GT(out.at(8, 15, 2), 150);  // bottom: blue
    EXPECT_LT(out.at(8, 15, 0), 100);
}

TEST(JpegReencoder, EightBitBitmapIsGrayOrColourByItsPalette)
{
    TempDir dir;
    const int w = 8, h = 8;
    std::vector<std::uint8_t> pixels(w * h, 3);
    std::vector<PaletteEntry> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(255 - i),
                      static_cast<std::uint8_t>(255 - i)};
    BitmapView bitmap;
    bitmap.width = w;
    bitmap.height = h;
    bitmap.bitCount = 8;
    bitmap.pixels = pixels.data();
    bitmap.size = pixels.size();
    bitmap.palette = palette.data();
    JpegReencoder reencoder;
    ASSERT_EQ(reencoder.encodeBitmap(bitmap, dir.file("g.jpg")), 0);
    DecodedJpeg out = decodeJpeg(readFile(dir.file("g.jpg")));
    EXPECT_EQ(out.coded, JCS_GRAYSCALE);
    EXPECT_TRUE(near(out.at(1, 1, 0), 252));

    palette[3] = {0, 0, 250};
    ASSERT_EQ(reencoder.encodeBitmap(bitmap, dir.file("c.jpg")), 0);
    out = decodeJpeg(readFile(dir.file("c.jpg")));
    EXPECT_EQ(out.coded, JCS_YCbCr);
    EXPECT_GT(out.at(1, 1, 2), 200);
    EXPECT_LT(out.at(1, 1, 0), 60);
}

TEST(JpegReencoder, RefusesBitmapsThatDoNotHoldTheirRows)
{
    TempDir dir;
    std::vector<std::uint8_t> pixels(16 * 16 * 3);
    BitmapView bitmap;
    bitmap.width = 16;
    bitmap.height = 16;
    bitmap.pixels = pixels.data();
    bitmap.size = pixels.size() - 1;
    JpegReencoder reencoder;
    EXPECT_EQ(reencoder.encodeBitmap(bitmap, dir.file("x.jpg")), JpegReencoder::kUnsupported);
    bitmap.size = pixels.size();
    bitmap.stride = 47;  // narrower than a row
    EXPECT_EQ(reencoder.encodeBitmap(bitmap, dir.file("x.jpg")), JpegReencoder::kUnsupported);
    bitmap.stride = 0;
    bitmap.width = 0;
    EXPECT_EQ(reencoder.encodeBitmap(bitmap, dir.file("x.jpg")), JpegReencoder::kUnsupported);
    bitmap.width = 70000;
    bitmap.height = 1;
    EXPECT_EQ(reencoder.encodeBitmap(bitmap, dir.file("x.jpg")), JpegReencoder::kUnsupported);
    bitmap.width = 16;
    bitmap.height = 16;
    bitmap.bitCount = 16;
    EXPECT_EQ(reencoder.encodeBitmap(bitmap, dir.file("x.jpg")), JpegReencoder::kUnsupported);
    EXPECT_TRUE(readFile(dir.file("x.jpg")).empty());
}
