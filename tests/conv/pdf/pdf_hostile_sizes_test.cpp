// Pages whose headers name sizes that wrap 64-bit arithmetic: 2^31 x 2^31 pixels of four 8-bit
// samples is 2^64 bytes, which a plain product turns into 0. Such pages are refused as too
// large, and the job goes on; nothing is allocated, read or written for them.
#include "tests/conv/pdf/pdf_writer_test_support.h"

#include "common/platform/cp932.h"
#include "common/checked_size.h"

#include <tiffio.h>

using namespace tnw::conv;
using namespace tnw;
using namespace tnw::test;
using tnw::platform::sjis;

namespace {

// One page whose header says `width` x `length` pixels of `samples` 8-bit samples, in strips
// of 2^27 rows that all point at the same few bytes. The TIFF library opens such a page: each
// strip is below its own 2^63-byte limit, only the whole image is not.
std::string hostilePage(const TempDir& dir, const char* name, uint32_t width, uint32_t length,
                        uint16_t samples, uint16_t photometric, uint16_t compression)
{
    const uint32_t rowsPerStrip = uint32_t(1) << 27;
    const size_t strips = (uint64_t(length) + rowsPerStrip - 1) / rowsPerStrip;
    const std::string data(16, '\x80');
    TiffWriter w;
    w.addLong(256, width);
    w.addLong(257, length);
    w.addShorts(258, std::vector<uint16_t>(samples, 8));
    w.addShort(259, compression);
    w.addShort(262, photometric);
    w.addShorts(273, std::vector<uint16_t>(strips, 0));
    w.addShort(277, samples);
    w.addLong(278, rowsPerStrip);
    w.addShorts(279, std::vector<uint16_t>(strips, uint16_t(data.size())));
    std::vector<uint8_t> head;
    uint32_t at = 0;
    EXPECT_TRUE(w.layout(head, at));
    w.addShorts(273, std::vector<uint16_t>(strips, uint16_t(at)));
    const std::string path = dir.file(name);
    EXPECT_EQ(w.write(path, reinterpret_cast<const uint8_t*>(data.data()), data.size()), 0);
    return path;
}

}  // namespace

TEST(CheckedSize, ProductsAndSumsThatWrapAreRefused)
{
    uint64_t out = 7;
    EXPECT_FALSE(checkedProduct({uint64_t(1) << 31, uint64_t(1) << 31, 4}, out));
    EXPECT_EQ(out, 7u);
    EXPECT_TRUE(checkedProduct({uint64_t(1) << 31, uint64_t(1) << 31, 3}, out));
    EXPECT_EQ(out, uint64_t(3) << 62);
    EXPECT_FALSE(checkedAdd(UINT64_MAX, 1, out));
    EXPECT_FALSE(checkedMul(UINT64_MAX / 2 + 1, 2, out));
    EXPECT_TRUE(checkedRowBytes(3, 1, 1, out));
    EXPECT_EQ(out, 1u);
    EXPECT_FALSE(checkedRowBytes(UINT64_MAX, 8, 1, out));
}

// L*a*b* with four samples (decoded, then its a* and b* made unsigned) and CMYK, both decoded
// by the TIFF library; and a JPEG page of three samples in two strips (rebuilt through the RGBA
// reader). Each wraps to a 0-byte image with plain products; the page after it is written.
TEST_F(PdfJob, PagesWhoseSizesWrapAreRefusedAndTheListGoesOn)
{
    const uint32_t huge = uint32_t(1) << 31;
    const std::string pages[] = {
        hostilePage(m_dir, "lab.tif", huge, huge, 4, PHOTOMETRIC_CIELAB, COMPRESSION_LZW),
        hostilePage(m_dir, "cmyk.tif", huge, huge, 4, PHOTOMETRIC_SEPARATED, COMPRESSION_LZW),
        hostilePage(m_dir, "jpeg.tif", huge, huge, 3, PHOTOMETRIC_RGB, COMPRESSION_JPEG),
    };
    const std::string good = tiff("good.tif", {TiffPageShape{}});
    for (const std::string& page : pages) {
        SCOPED_TRACE(page);
        ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", {page, good}, out(), nullptr), 0);
        EXPECT_TRUE(m_writer.documentWritten());
        EXPECT_EQ(m_writer.pagesWritten(), 1);
        ASSERT_EQ(m_writer.refusals().size(), 1u);
        EXPECT_EQ(m_writer.refusals()[0].sourcePath, page);
        EXPECT_EQ(pdf().objectCount(), 8);
    }
}
