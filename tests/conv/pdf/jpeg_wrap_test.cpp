#include "conv/pdf/jpeg_wrap.h"

#include "common/tiff_reader.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/jpeg_fixtures.h"

#include <gtest/gtest.h>

using namespace tnw::conv;
using tnw::common::TiffReader;
using tnw::test::decodeJpeg;
using tnw::test::JpegShape;
using tnw::test::makeJpeg;
using tnw::test::readFile;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

class JpegWrap : public ::testing::Test {
protected:
    int wrap(const std::string& bytes)
    {
        EXPECT_TRUE(writeFile(input(), bytes));
        return wrapJpegFile(input(), tiff(), m_dir.path(), m_result);
    }
    int wrap(const JpegShape& shape) { return wrap(makeJpeg(shape)); }

    std::string input() const { return m_dir.file("page.jpg"); }
    std::string tiff() const { return m_dir.file("tnwt2pdojpg.tif"); }

    // The strip of the temporary TIFF, read through our tag reader.
    std::string strip()
    {
        TiffReader reader;
        EXPECT_EQ(reader.open(tiff()), 0);
        EXPECT_EQ(reader.readDirectories(), 0);
        EXPECT_EQ(reader.readDirectory(0), 0);
        m_record = reader.record();
        if (m_record.stripOffsets.size() != 1)
            return {};
        return readFile(tiff()).substr(m_record.stripOffsets[0], m_record.stripByteCounts[0]);
    }

    bool temporariesGone() const
    {
        return readFile(m_dir.file(kWrapCopyName)).empty() &&
               readFile(m_dir.file(kWrapBaselineName)).empty();
    }

    TempDir m_dir;
    JpegWrapResult m_result;
    tnw::common::TiffDirectory m_record;
};

}  // namespace

TEST_F(JpegWrap, BaselineColourFileIsTheStripByteForByte)
{
    JpegShape shape;
    shape.width = 50;
    shape.height = 20;
    shape.densityUnit = 1;
    shape.xDensity = shape.yDensity = 300;
    const std::string jpeg = makeJpeg(shape);
    ASSERT_EQ(wrap(jpeg), 0) << m_result.diagnostic;
    EXPECT_EQ(strip(), jpeg);
    EXPECT_EQ(m_record.compression, 6);
    EXPECT_EQ(m_record.photometric, 6);
    EXPECT_EQ(m_record.resolutionUnit, 2);
    EXPECT_FALSE(m_result.reencoded);
    EXPECT_FALSE(m_result.invertedCmyk);
    EXPECT_EQ(m_result.dataSize, jpeg.size());
    EXPECT_EQ(m_result.info.width, 50);
    EXPECT_EQ(m_result.info.xDensity, 300);
}

TEST_F(JpegWrap, GrayscaleFileBecomesCompression7Photometric1)
{
    JpegShape shape;
    shape.input = JCS_GRAYSCALE;
    const std::string jpeg = makeJpeg(shape);
    ASSERT_EQ(wrap(jpeg), 0);
    EXPECT_EQ(strip(), jpeg);
    EXPECT_EQ(m_record.compression, 7);
    EXPECT_EQ(m_record.photometric, 1);
    EXPECT_EQ(m_record.samplesPerPixel, 1);
    EXPECT_FALSE(m_result.reencoded);
}

TEST_F(JpegWrap, ProgressiveAndArithmeticFilesAreReencodedOnceAsBaseline)
{
    JpegShape shape;
    shape.width = 40;
    shape.height = 24;
    shape.densityUnit = 2;
    shape.xDensity = shape.yDensity = 80;
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        shape.progressive = kind != 1;
        shape.arithmetic = kind != 0;
        const std::string jpeg = makeJpeg(shape);
        ASSERT_EQ(wrap(jpeg), 0) << m_result.diagnostic;
        EXPECT_TRUE(m_result.reencoded);
        EXPECT_FALSE(m_result.info.progressive);
        EXPECT_FALSE(m_result.info.arithmetic);
        const std::string data = strip();
        EXPECT_NE(data, jpeg);
        EXPECT_EQ(m_result.dataSize, data.size());
        const auto decoded = decodeJpeg(data);
        EXPECT_FALSE(decoded.progressive);
        EXPECT_FALSE(decoded.arithmetic);
        EXPECT_EQ(decoded.width, 40);
        EXPECT_EQ(decoded.height, 24);
        EXPECT_EQ(m_record.resolutionUnit, 3);
        EXPECT_EQ(m_record.xResolution.numerator, 80u);
        EXPECT_TRUE(temporariesGone());
    }
}

TEST_F(JpegWrap, ImageTallerThanOneStripIsRefusedWithMinus10)
{
    JpegShape shape;
    shape.width = 1;
    shape.height = 20000;
    shape.input = JCS_GRAYSCALE;
    EXPECT_EQ(wrap(shape), -10);
    EXPECT_EQ(m_result.info.height, 20000);
    EXPECT_TRUE(readFile(tiff()).empty());

    shape.progressive = true;  // refused before any re-encoding
    EXPECT_EQ(wrap(shape), -10);
    EXPECT_FALSE(m_result.reencoded);
    EXPECT_TRUE(temporariesGone());

    shape.progressive = false;
    shape.height = 16384;
    EXPECT_EQ(wrap(shape), 0);
}

TEST_F(JpegWrap, UnreadableFilesAreRefusedWithMinus1)
{
    const std::string good = makeJpeg({});
    EXPECT_EQ(wrap(""), -1);
    EXPECT_EQ(wrap("GIF89a not a JPEG"), -1);
    EXPECT_EQ(wrap(good.substr(0, 120)), -1);  // breaks off inside the header
    EXPECT_FALSE(m_result.diagnostic.empty());
    EXPECT_EQ(wrapJpegFile(m_dir.file("missing.jpg"), tiff(), m_dir.path(), m_result), -1);
    EXPECT_TRUE(readFile(tiff()).empty());
}

TEST_F(JpegWrap, CmykWithTheAdobeMarkerIsFlaggedInverted)
{
    JpegShape shape;
    shape.input = JCS_CMYK;
    shape.adobe = 1;
    ASSERT_EQ(wrap(shape), 0);
    EXPECT_TRUE(m_result.invertedCmyk);
    strip();
    EXPECT_EQ(m_record.photometric, 5);

    shape.adobe = 0;
    ASSERT_EQ(wrap(shape), 0);
    EXPECT_FALSE(m_result.invertedCmyk);

    shape.adobe = -1;
    shape.coded = JCS_YCCK;
    const std::string ycck = makeJpeg(shape);
    ASSERT_EQ(wrap(ycck), 0);
    EXPECT_TRUE(m_result.invertedCmyk);
    EXPECT_EQ(strip(), ycck);
    EXPECT_EQ(m_record.photometric, 5);
    EXPECT_EQ(m_record.samplesPerPixel, 4);

    // A progressive CMYK file without the marker is re-encoded with it, samples inverted.
    shape.coded = JCS_UNKNOWN;
    shape.adobe = 0;
    shape.progressive = true;
    ASSERT_EQ(wrap(shape), 0);
    EXPECT_TRUE(m_result.reencoded);
    EXPECT_TRUE(m_result.invertedCmyk);
}

TEST_F(JpegWrap, MissingWorkFolderFailsTheReencodingWithMinus300)
{
    JpegShape shape;
    shape.progressive = true;
    ASSERT_TRUE(writeFile(input(), makeJpeg(shape)));
    EXPECT_EQ(wrapJpegFile(input(), tiff(), m_dir.file("gone"), m_result), -300);
    // A plain baseline file needs no work folder.
    ASSERT_TRUE(writeFile(input(), makeJpeg({})));
    EXPECT_EQ(wrapJpegFile(input(), tiff(), m_dir.file("gone"), m_result), 0);
    // A TIFF that cannot be created.
    EXPECT_EQ(wrapJpegFile(input(), m_dir.file("gone/t.tif"), m_dir.path(), m_result), -300);
}

TEST_F(JpegWrap, HugeProgressiveImageFailsWithinTheDecodersMemoryLimit)
{
    // A progressive frame of 65500 × 16384 pixels in three components with a first scan and no
    // data: decoding it would need gigabytes of coefficients.
    const unsigned char bytes[] = {
        0xFF, 0xD8, 0xFF, 0xC2, 0x00, 0x11, 0x08, 0x40, 0x00, 0xFF, 0xDC, 0x03, 0x01, 0x11, 0x00,
        0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x00,
        0x03, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xD9};
    EXPECT_EQ(wrap(std::string(reinterpret_cast<const char*>(bytes), sizeof bytes)), -301);
    EXPECT_EQ(m_result.info.width, 65500);
    EXPECT_TRUE(temporariesGone());
}

// The TIFF kept in memory is the file's TIFF byte for byte, for a file wrapped as it is and for
// a re-encoded one, and the tag reader reads it from memory as it reads the file.
TEST_F(JpegWrap, TiffInMemoryIsTheTiffFile)
{
    JpegShape shape;
    for (bool progressive : {false, true}) {
        shape.progressive = progressive;
        ASSERT_EQ(wrap(shape), 0);
        JpegWrapResult inMemory;
        ASSERT_EQ(wrapJpegInMemory(input(), m_dir.path(), inMemory), 0);
        EXPECT_EQ(std::string(inMemory.tiff()), readFile(tiff()));
        EXPECT_EQ(inMemory.dataSize, m_result.dataSize);
        EXPECT_EQ(inMemory.reencoded, progressive);

        TiffReader reader;
        ASSERT_EQ(reader.openMemory(inMemory.tiff()), 0);
        ASSERT_EQ(reader.readDirectories(), 0);
        ASSERT_EQ(reader.readDirectory(0), 0);
        strip();
        EXPECT_EQ(reader.record().stripOffsets, m_record.stripOffsets);
        EXPECT_EQ(reader.record().jpegInterchangeLength, m_record.jpegInterchangeLength);
        EXPECT_TRUE(temporariesGone());
    }
    EXPECT_EQ(wrapJpegInMemory(m_dir.file("missing.jpg"), m_dir.path(), m_result), -1);
    EXPECT_TRUE(m_result.tiff().empty());
}
