#include "common/image/jpeg_analysis.h"

#include "common/platform/cp932.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/jpeg_fixtures.h"

#include <gtest/gtest.h>

using namespace tnw::image;
using tnw::test::JpegShape;
using tnw::test::makeJpeg;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

JpegInfo analyseShape(const TempDir& dir, const JpegShape& shape)
{
    const std::string path = dir.file("in.jpg");
    EXPECT_TRUE(writeFile(path, makeJpeg(shape)));
    JpegAnalysis analysis;
    EXPECT_EQ(analysis.analyse(path), 0) << analysis.message();
    return analysis.info();
}

}  // namespace

TEST(JpegAnalysis, FillsTheRecordOfABaselineColourFile)
{
    TempDir dir;
    JpegShape shape;
    shape.width = 40;
    shape.height = 30;
    shape.densityUnit = 1;
    shape.xDensity = 300;
    shape.yDensity = 200;
    shape.restartInterval = 4;
    const JpegInfo info = analyseShape(dir, shape);
    EXPECT_EQ(info.width, 40);
    EXPECT_EQ(info.height, 30);
    EXPECT_EQ(info.components, 3);
    EXPECT_EQ(info.colorSpace, kJpegYCbCr);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_EQ(info.densityUnit, 1);
    EXPECT_EQ(info.xDensity, 300);
    EXPECT_EQ(info.yDensity, 200);
    EXPECT_EQ(info.restartInterval, 4);
    EXPECT_FALSE(info.progressive);
    EXPECT_FALSE(info.arithmetic);
    EXPECT_FALSE(info.adobeMarker);
}

TEST(JpegAnalysis, TellsProgressiveAndArithmeticCodingApart)
{
    TempDir dir;
    JpegShape shape;
    shape.progressive = true;
    JpegInfo info = analyseShape(dir, shape);
    EXPECT_TRUE(info.progressive);
    EXPECT_FALSE(info.arithmetic);

    shape.arithmetic = true;  // SOF10
    info = analyseShape(dir, shape);
    EXPECT_TRUE(info.progressive);
    EXPECT_TRUE(info.arithmetic);

    shape.progressive = false;  // SOF9
    info = analyseShape(dir, shape);
    EXPECT_FALSE(info.progressive);
    EXPECT_TRUE(info.arithmetic);
}

TEST(JpegAnalysis, FourComponentFilesReportTheAdobeMarker)
{
    TempDir dir;
    JpegShape shape;
    shape.input = JCS_CMYK;
    shape.adobe = 1;
    JpegInfo info = analyseShape(dir, shape);
    EXPECT_EQ(info.colorSpace, kJpegCmyk);
    EXPECT_EQ(info.bitsPerPixel, 32);
    EXPECT_TRUE(info.adobeMarker);
    EXPECT_EQ(info.adobeTransform, 0);
    EXPECT_TRUE(hasInvertedCmyk(info));

    shape.adobe = 0;
    info = analyseShape(dir, shape);
    EXPECT_EQ(info.colorSpace, kJpegCmyk);
    EXPECT_FALSE(info.adobeMarker);
    EXPECT_FALSE(hasInvertedCmyk(info));

    shape.adobe = -1;
    shape.coded = JCS_YCCK;
    info = analyseShape(dir, shape);
    EXPECT_EQ(info.colorSpace, kJpegYcck);
    EXPECT_EQ(info.adobeTransform, 2);
    EXPECT_TRUE(hasInvertedCmyk(info));
}

TEST(JpegAnalysis, OpensCodePage932Paths)
{
    TempDir dir;
    EXPECT_TRUE(writeFile(dir.file("見本.jpg"), makeJpeg({})));
    const std::string path = tnw::platform::sjis(dir.path() + "/見本.jpg");
    JpegAnalysis analysis;
    EXPECT_EQ(analysis.analyse(path), 0) << analysis.message();
}

TEST(JpegAnalysis, UnreadableFilesFailWithTheLibraryMessageKept)
{
    TempDir dir;
    const std::string good = makeJpeg({});
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty.jpg", ""},
        {"text.jpg", "this is not a JPEG file at all\n"},
        {"truncated_header.jpg", good.substr(0, 100)},
        {"soi_only.jpg", "\xFF\xD8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFile(dir.file(c.name), c.bytes));
        JpegAnalysis analysis;
        EXPECT_EQ(analysis.analyse(dir.file(c.name)), -1);
        EXPECT_FALSE(analysis.message().empty());
        EXPECT_NE(analysis.messageCode(), 0);
    }
    JpegAnalysis analysis;
    EXPECT_EQ(analysis.analyse(dir.file("missing.jpg")), -1);
}

TEST(JpegAnalysis, ImageThatIsNeitherGrayNorColourIsRefused)
{
    TempDir dir;
    JpegShape shape;
    shape.input = JCS_UNKNOWN;
    shape.components = 2;
    ASSERT_TRUE(writeFile(dir.file("two.jpg"), makeJpeg(shape)));
    JpegAnalysis analysis;
    EXPECT_EQ(analysis.analyse(dir.file("two.jpg")), -1);
    EXPECT_EQ(analysis.messageCode(), JpegAnalysis::kUnsupportedColorSpace);
}
