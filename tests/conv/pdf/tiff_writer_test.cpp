#include "conv/pdf/tiff_writer.h"

#include "common/tiff_reader.h"
#include "common/image/jpeg_analysis.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/jpeg_fixtures.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <memory>

using namespace tnw::conv;
namespace image = tnw::image;
using tnw::common::TiffReader;
using tnw::test::JpegShape;
using tnw::test::makeJpeg;
using tnw::test::readFile;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle openWithLibtiff(const std::string& path)
{
    // Quiet: libtiff complains of resolution unit 0, which the page of a JPEG without a
    // density has on purpose.
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    return TiffHandle(TIFFOpen(path.c_str(), "r"));
}

// The analysis record of a fixture written to `jpegPath`.
image::JpegInfo fixture(const std::string& jpegPath, const JpegShape& shape, std::string& bytes)
{
    bytes = makeJpeg(shape);
    EXPECT_TRUE(writeFile(jpegPath, bytes));
    image::JpegAnalysis analysis;
    EXPECT_EQ(analysis.analyse(jpegPath), 0);
    return analysis.info();
}

int writeTiff(const std::string& path, const image::JpegInfo& info, const std::string& bytes)
{
    return writeJpegTiff(path, info, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                         bytes.size());
}

}  // namespace

TEST(TiffWriter, WritesTheDirectoryInAscendingTagOrderWithTheJpegAsItsStrip)
{
    TempDir dir;
    JpegShape shape;
    shape.width = 24;
    shape.height = 10;
    shape.densityUnit = 1;
    shape.xDensity = 300;
    shape.yDensity = 150;
    shape.restartInterval = 2;
    std::string jpeg;
    const image::JpegInfo info = fixture(dir.file("in.jpg"), shape, jpeg);
    ASSERT_EQ(writeTiff(dir.file("t.tif"), info, jpeg), 0);

    TiffReader reader;
    ASSERT_EQ(reader.open(dir.file("t.tif")), 0);
    ASSERT_EQ(reader.readDirectories(), 0);
    ASSERT_EQ(reader.directoryCount(), 1);
    ASSERT_EQ(reader.readDirectory(0), 0);
    const auto& d = reader.record();
    const std::vector<std::uint16_t> tags{254, 256, 257, 258, 259, 262, 266, 273, 274, 277,
                                          278, 279, 282, 283, 296, 512, 513, 514, 515};
    EXPECT_EQ(d.tags, tags);
    EXPECT_TRUE(d.failures.empty());
    EXPECT_EQ(d.width, 24u);
    EXPECT_EQ(d.length, 10u);
    EXPECT_EQ(d.bitsPerSampleValues, (std::vector<std::uint16_t>{8, 8, 8}));
    EXPECT_EQ(d.compression, 6);
    EXPECT_EQ(d.photometric, 6);
    EXPECT_EQ(d.fillOrder, 1);
    EXPECT_EQ(d.orientation, 1);
    EXPECT_EQ(d.samplesPerPixel, 3);
    EXPECT_EQ(d.rowsPerStrip, 10u);
    EXPECT_EQ(d.resolutionUnit, 2);
    EXPECT_EQ(d.xResolution.numerator, 300u);
    EXPECT_EQ(d.xResolution.denominator, 1u);
    EXPECT_EQ(d.yResolution.numerator, 150u);
    EXPECT_EQ(d.jpegProc, 1);
    EXPECT_EQ(d.jpegRestartInterval, 2);
    ASSERT_EQ(d.stripOffsets.size(), 1u);
    ASSERT_EQ(d.stripByteCounts.size(), 1u);
    EXPECT_EQ(d.stripByteCounts[0], jpeg.size());
    EXPECT_EQ(d.jpegInterchangeOffset, d.stripOffsets[0]);
    EXPECT_EQ(d.jpegInterchangeLength, jpeg.size());

    const std::string file = readFile(dir.file("t.tif"));
    EXPECT_EQ(file.substr(0, 4), std::string("II*\0", 4));
    EXPECT_EQ(file.substr(d.stripOffsets[0]), jpeg);  // the whole file, and nothing after it
}

TEST(TiffWriter, LibtiffReadsTheStripBackAsTheJpegFile)
{
    TempDir dir;
    std::string jpeg;
    const image::JpegInfo info = fixture(dir.file("in.jpg"), {}, jpeg);
    ASSERT_EQ(writeTiff(dir.file("t.tif"), info, jpeg), 0);
    TiffHandle tif = openWithLibtiff(dir.file("t.tif"));
    ASSERT_TRUE(tif);
    std::uint32_t width = 0, height = 0;
    std::uint16_t compression = 0, photometric = 0, spp = 0;
    EXPECT_TRUE(TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width));
    EXPECT_TRUE(TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height));
    EXPECT_TRUE(TIFFGetField(tif.get(), TIFFTAG_COMPRESSION, &compression));
    EXPECT_TRUE(TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric));
    EXPECT_TRUE(TIFFGetField(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &spp));
    EXPECT_EQ(width, 16u);
    EXPECT_EQ(height, 16u);
    EXPECT_EQ(compression, COMPRESSION_OJPEG);
    EXPECT_EQ(photometric, PHOTOMETRIC_YCBCR);
    EXPECT_EQ(spp, 3);
    ASSERT_EQ(TIFFNumberOfStrips(tif.get()), 1u);
    const std::uint64_t* offsets = nullptr;
    const std::uint64_t* counts = nullptr;
    ASSERT_TRUE(TIFFGetField(tif.get(), TIFFTAG_STRIPOFFSETS, &offsets));
    ASSERT_TRUE(TIFFGetField(tif.get(), TIFFTAG_STRIPBYTECOUNTS, &counts));
    EXPECT_EQ(counts[0], jpeg.size());
    EXPECT_EQ(readFile(dir.file("t.tif")).substr(offsets[0], counts[0]), jpeg);
    std::uint64_t interchange = 0;
    ASSERT_TRUE(TIFFGetField(tif.get(), TIFFTAG_JPEGIFOFFSET, &interchange));
    EXPECT_EQ(interchange, offsets[0]);

    // And libtiff decodes the page to the fixture's pixels.
    std::vector<std::uint32_t> rgba(16 * 16);
    ASSERT_TRUE(TIFFReadRGBAImage(tif.get(), 16, 16, rgba.data(), 0));
    EXPECT_NEAR(static_cast<int>(TIFFGetR(rgba[8 * 16 + 8])), 128, 4);
    EXPECT_NEAR(static_cast<int>(TIFFGetG(rgba[8 * 16 + 8])), 128, 4);
}

TEST(TiffWriter, ColourSpacesMapToCompressionPhotometricAndSamples)
{
    TempDir dir;
    struct Case {
        J_COLOR_SPACE input;
        J_COLOR_SPACE coded;
        int compression;
        int photometric;
        std::vector<std::uint16_t> bits;
    };
    const Case cases[] = {
        {JCS_GRAYSCALE, JCS_UNKNOWN, 7, 1, {8}},
        {JCS_RGB, JCS_UNKNOWN, 6, 6, {8, 8, 8}},
        {JCS_RGB, JCS_RGB, 6, 2, {8, 8, 8}},
        {JCS_CMYK, JCS_UNKNOWN, 6, 5, {8, 8, 8, 8}},
        // YCCK is decoded to CMYK: four 8-bit samples of a CMYK page, never a "gray" page.
        {JCS_CMYK, JCS_YCCK, 6, 5, {8, 8, 8, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.photometric);
        JpegShape shape;
        shape.input = c.input;
        shape.coded = c.coded;
        shape.jfif = c.coded == JCS_UNKNOWN;  // a JFIF marker would make RGB data YCbCr
        std::string jpeg;
        const image::JpegInfo info = fixture(dir.file("in.jpg"), shape, jpeg);
        ASSERT_EQ(writeTiff(dir.file("t.tif"), info, jpeg), 0);
        TiffReader reader;
        ASSERT_EQ(reader.open(dir.file("t.tif")), 0);
        ASSERT_EQ(reader.readDirectories(), 0);
        ASSERT_EQ(reader.readDirectory(0), 0);
        EXPECT_EQ(reader.record().compression, c.compression);
        EXPECT_EQ(reader.record().photometric, c.photometric);
        EXPECT_EQ(reader.record().bitsPerSampleValues, c.bits);
        EXPECT_EQ(reader.record().samplesPerPixel, c.bits.size());
    }
}

TEST(TiffWriter, DensityUnitsMapToResolutionUnits)
{
    EXPECT_EQ(tiffResolutionUnitForJpeg(2), 3);  // per centimetre (per inch: the first test)
    TempDir dir;
    JpegShape shape;
    shape.jfif = false;  // no density: unit 0, densities 1
    std::string jpeg;
    const image::JpegInfo info = fixture(dir.file("in.jpg"), shape, jpeg);
    ASSERT_EQ(writeTiff(dir.file("t.tif"), info, jpeg), 0);
    TiffReader reader;
    ASSERT_EQ(reader.open(dir.file("t.tif")), 0);
    ASSERT_EQ(reader.readDirectories(), 0);
    ASSERT_EQ(reader.readDirectory(0), 0);
    EXPECT_EQ(reader.record().resolutionUnit, 0);
    EXPECT_EQ(reader.record().xResolution.numerator, 1u);
    EXPECT_EQ(reader.record().yResolution.numerator, 1u);
    EXPECT_EQ(reader.record().xResolution.denominator, 1u);
}

TEST(TiffWriter, RefusesHeightsOneStripCannotHold)
{
    TempDir dir;
    image::JpegInfo info;
    info.width = 1;
    info.colorSpace = image::kJpegGray;
    info.components = 1;
    const std::string bytes = "\xFF\xD8\xFF\xD9";
    info.height = 0;
    EXPECT_EQ(writeTiff(dir.file("t.tif"), info, bytes), -10);
    info.height = kMaxJpegTiffRows + 1;
    EXPECT_EQ(writeTiff(dir.file("t.tif"), info, bytes), -10);
    EXPECT_TRUE(readFile(dir.file("t.tif")).empty());
    info.height = kMaxJpegTiffRows;
    EXPECT_EQ(writeTiff(dir.file("t.tif"), info, bytes), 0);
}

TEST(TiffWriter, ReplacesAnExistingFileAndReportsCreateFailure)
{
    TempDir dir;
    ASSERT_TRUE(writeFile(dir.file("t.tif"), std::string(100000, 'x')));
    std::string jpeg;
    const image::JpegInfo info = fixture(dir.file("in.jpg"), {}, jpeg);
    ASSERT_EQ(writeTiff(dir.file("t.tif"), info, jpeg), 0);
    const std::string file = readFile(dir.file("t.tif"));
    EXPECT_LT(file.size(), 100000u);
    EXPECT_EQ(file.substr(file.size() - jpeg.size()), jpeg);

    EXPECT_EQ(writeTiff(dir.file("missing/t.tif"), info, jpeg), TiffWriter::kCreate);
}
