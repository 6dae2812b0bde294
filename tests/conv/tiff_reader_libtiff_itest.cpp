// The system's TIFF reader against files written by the TIFF library: every page's size, strips,
// resolution and compression as the library itself reports them. Here rather than under
// tests/common because this test program links the TIFF library.
#include "common/tiff_reader.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <memory>
#include <vector>

using tnw::common::TiffDirectory;
using tnw::common::TiffReader;
using tnw::test::TempDir;

namespace {

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

struct Page {
    uint32_t width;
    uint32_t length;
    uint16_t bits;
    uint16_t samples;
    uint16_t compression;
    uint32_t rowsPerStrip;
    float resolution;
    uint16_t unit;
};

const Page kPages[] = {
    {100, 80, 8, 1, COMPRESSION_NONE, 16, 300.0f, RESUNIT_INCH},
    {33, 20, 1, 1, COMPRESSION_LZW, 20, 118.0f, RESUNIT_CENTIMETER},
    {16, 16, 8, 3, COMPRESSION_ADOBE_DEFLATE, 5, 72.0f, RESUNIT_INCH},
    {1000, 3, 8, 1, COMPRESSION_PACKBITS, 1, 200.0f, RESUNIT_NONE},
};

// Writes the pages with the TIFF library; "wb" is big-endian, "wl" little-endian.
void writePages(const std::string& path, const char* mode)
{
    TiffHandle tif(TIFFOpen(path.c_str(), mode));
    ASSERT_TRUE(tif);
    for (const Page& p : kPages) {
        TIFF* t = tif.get();
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, p.length);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, p.bits);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, p.samples);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, p.samples == 3 ? PHOTOMETRIC_RGB
                                                             : PHOTOMETRIC_MINISBLACK);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, p.compression);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, p.rowsPerStrip);
        TIFFSetField(t, TIFFTAG_XRESOLUTION, p.resolution);
        TIFFSetField(t, TIFFTAG_YRESOLUTION, p.resolution / 2);
        TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, p.unit);
        TIFFSetField(t, TIFFTAG_SOFTWARE, "kvl test");
        std::vector<uint8_t> row(size_t(TIFFScanlineSize(t)));
        for (uint32_t y = 0; y < p.length; ++y) {
            for (size_t x = 0; x < row.size(); ++x)
                row[x] = uint8_t(x * 7 + y * 13);
            ASSERT_EQ(TIFFWriteScanline(t, row.data(), y, 0), 1);
        }
        ASSERT_TRUE(TIFFWriteDirectory(t));
    }
}

// What the TIFF library reads for one page's strips.
void expectStripsAsLibraryReads(const std::string& path, int page, const TiffDirectory& r)
{
    TiffHandle tif(TIFFOpen(path.c_str(), "r"));
    ASSERT_TRUE(tif);
    ASSERT_TRUE(TIFFSetDirectory(tif.get(), tdir_t(page)));
    const uint32_t strips = TIFFNumberOfStrips(tif.get());
    ASSERT_EQ(r.stripOffsets.size(), strips);
    ASSERT_EQ(r.stripByteCounts.size(), strips);
    uint64_t sum = 0;
    for (uint32_t s = 0; s < strips; ++s) {
        EXPECT_EQ(r.stripOffsets[s], TIFFGetStrileOffset(tif.get(), s)) << "strip " << s;
        EXPECT_EQ(r.stripByteCounts[s], TIFFGetStrileByteCount(tif.get(), s)) << "strip " << s;
        sum += TIFFGetStrileByteCount(tif.get(), s);
    }
    EXPECT_EQ(r.stripByteCountSum, sum);
}

}  // namespace

TEST(TiffReaderWithLibtiff, ReadsEveryPageOfAMultiPageFileInBothByteOrders)
{
    TempDir dir;
    TIFFSetWarningHandler(nullptr);
    for (const char* mode : {"wl", "wb"}) {
        SCOPED_TRACE(mode);
        const std::string path = dir.file(std::string("pages_") + mode + ".tif");
        writePages(path, mode);
        TiffReader reader;
        ASSERT_EQ(reader.open(path), 0);
        EXPECT_EQ(reader.byteOrder(), mode[1] == 'b' ? 1 : 0);
        ASSERT_EQ(reader.readDirectories(), 0);
        ASSERT_EQ(reader.directoryCount(), int(std::size(kPages)));
        for (int i = 0; i < reader.directoryCount(); ++i) {
            SCOPED_TRACE(i);
            const Page& p = kPages[i];
            ASSERT_EQ(reader.readDirectory(i), 0);
            const TiffDirectory& r = reader.record();
            EXPECT_TRUE(r.failures.empty());
            EXPECT_EQ(r.index, i);
            EXPECT_EQ(r.width, p.width);
            EXPECT_EQ(r.length, p.length);
            EXPECT_EQ(r.bitsPerSample, p.bits);
            EXPECT_EQ(r.samplesPerPixel, p.samples);
            EXPECT_EQ(r.compression, p.compression);
            EXPECT_EQ(r.rowsPerStrip, p.rowsPerStrip);
            EXPECT_EQ(r.resolutionUnit, p.unit);
            EXPECT_NEAR(r.xResolution.toDouble(), p.resolution, 0.01);
            EXPECT_NEAR(r.yResolution.toDouble(), p.resolution / 2, 0.01);
            EXPECT_EQ(r.software, "kvl test");
            EXPECT_EQ(r.bytesPerRow, (uint64_t(p.width) * p.bits * p.samples + 31) / 32 * 4);
            expectStripsAsLibraryReads(path, i, r);
        }
    }
}
