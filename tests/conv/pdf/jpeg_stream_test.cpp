#include "conv/pdf/jpeg_stream.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/tiff_reader.h"
#include "conv/pdf/jpeg_wrap.h"
#include "conv/pdf/tiff_writer.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/jpeg_fixtures.h"
#include "tests/conv/pdf/pdf_fixtures.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <functional>

using namespace tnw::conv;
using tnw::common::TiffDirectory;
using tnw::test::decodeJpeg;
using tnw::test::JpegShape;
using tnw::test::makeJpeg;
using tnw::test::readFile;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

const std::string kEoi = "\xFF\xD9";

TiffDirectory readPage(const std::string& path)
{
    tnw::common::TiffReader reader;
    EXPECT_EQ(reader.open(path), 0);
    EXPECT_EQ(reader.readDirectories(), 0);
    EXPECT_EQ(reader.readDirectory(0), 0);
    return reader.record();
}

struct Stream {
    int rc = 0;
    std::string bytes;
    JpegStreamReport report;
};

Stream assemble(const std::string& tiff, const TiffDirectory& dir, const std::string& work)
{
    JpegPageSource source;
    source.path = tiff;
    source.directory = &dir;
    source.workFolder = work;
    Stream s;
    s.rc = writeJpegPageStream(source, s.bytes, s.report);
    EXPECT_EQ(s.report.status, s.rc);
    if (s.rc >= 0) {
        EXPECT_EQ(size_t(s.rc), s.bytes.size());
    }
    return s;
}

// The JPEG of `shape` wrapped into dir/t.tif as the writer wraps a ".jpg" file.
std::string wrapJpeg(const TempDir& dir, const JpegShape& shape)
{
    const std::string jpeg = makeJpeg(shape);
    EXPECT_TRUE(writeFile(dir.file("in.jpg"), jpeg));
    JpegWrapResult wrap;
    EXPECT_EQ(wrapJpegFile(dir.file("in.jpg"), dir.file("t.tif"), dir.path(), wrap), 0);
    return jpeg;
}

size_t findMarker(const std::string& jpeg, uint8_t code)
{
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (uint8_t(jpeg[i]) == 0xFF && uint8_t(jpeg[i + 1]) == code)
            return i;
    }
    return std::string::npos;
}

// An old-style JPEG page (compression 6, YCbCr) written by our TIFF writer: one data block that
// holds the interchange bytes and the strips wherever the test puts them.
struct OldJpegPage {
    uint32_t width = 16;
    uint32_t length = 16;
    uint32_t rowsPerStrip = 16;
    uint16_t subsampling = 2;
    std::string data;
    bool interchange = true;  // at the start of the block
    uint32_t interchangeLength = 0;
    std::vector<std::pair<uint32_t, uint32_t>> strips;  // offset within the block, bytes
};

void writeOldJpeg(const std::string& path, const OldJpegPage& page)
{
    TiffWriter w;
    w.addLong(256, page.width);
    w.addLong(257, page.length);
    w.addShorts(258, {8, 8, 8});
    w.addShort(259, 6);
    w.addShort(262, 6);
    w.addShort(277, 3);
    w.addLong(278, page.rowsPerStrip);
    w.addShorts(530, {page.subsampling, page.subsampling});
    std::vector<uint16_t> offsets(page.strips.size(), 0);
    std::vector<uint16_t> counts;
    for (const auto& s : page.strips)
        counts.push_back(uint16_t(s.second));
    w.addShorts(273, offsets);
    w.addShorts(279, counts);
    if (page.interchange) {
        w.addDataOffset(513);
        w.addLong(514, page.interchangeLength);
    }
    std::vector<uint8_t> head;
    uint32_t at = 0;
    ASSERT_TRUE(w.layout(head, at));  // values do not move the data block
    for (size_t i = 0; i < offsets.size(); ++i)
        offsets[i] = uint16_t(at + page.strips[i].first);
    w.addShorts(273, offsets);
    ASSERT_EQ(w.write(path, reinterpret_cast<const uint8_t*>(page.data.data()), page.data.size()),
              0);
}

// A JPEG-compressed RGB page written by the TIFF library: red, green and blue bands from the
// top down.
void writeNewJpeg(const std::string& path, uint32_t width, uint32_t length, uint32_t rowsPerStrip)
{
    tnw::test::TiffPageShape p;
    p.width = width;
    p.length = length;
    p.samples = 3;
    p.photometric = PHOTOMETRIC_RGB;
    p.compression = COMPRESSION_JPEG;
    p.rowsPerStrip = rowsPerStrip;
    p.pixels.assign(size_t(width) * length * 3, '\0');
    for (size_t i = 0; i < size_t(width) * length; ++i)
        p.pixels[3 * i + i / width * 3 / length] = '\xFF';
    ASSERT_TRUE(tnw::test::writeTiff(path, {p}));
}

}  // namespace

// ---- Compression 6 ----

TEST(JpegStreamOldStyle, WrappedColourJpegIsTheFileFollowedByEoi)
{
    TempDir dir;
    JpegShape shape;
    shape.width = 24;
    shape.gradient = true;
    const std::string jpeg = wrapJpeg(dir, shape);
    const TiffDirectory page = readPage(dir.file("t.tif"));
    ASSERT_EQ(page.compression, 6);
    const Stream s = assemble(dir.file("t.tif"), page, dir.path());
    EXPECT_EQ(s.bytes, jpeg + kEoi);
    EXPECT_FALSE(s.report.rebuilt);
}

// The interchange bytes are the header up to the end of the SOS segment; whichever way the
// strips hold the rest, the stream is the JPEG file they were cut from.
TEST(JpegStreamOldStyle, HeaderIsWrittenOnlyWhenTheFirstStripDoesNotStartWithIt)
{
    TempDir dir;
    JpegShape shape;
    shape.width = 32;
    shape.height = 32;
    shape.gradient = true;
    const std::string jpeg = makeJpeg(shape);
    const size_t sos = findMarker(jpeg, 0xDA);
    const uint32_t head =
        uint32_t(sos + 2 + (uint8_t(jpeg[sos + 2]) << 8 | uint8_t(jpeg[sos + 3])));
    const uint32_t body = uint32_t(jpeg.size() - 2);  // without the file's EOI
    const uint32_t mid = (head + body) / 2;

    const struct {
        const char* name;
        bool interchange;
        std::vector<std::pair<uint32_t, uint32_t>> strips;
    } cases[] = {
        {"no interchange tag: strips as stored", false, {{0, mid}, {mid, body - mid}}},
        {"one strip after a separate header", true, {{head, body - head}}},
        {"two strips after a separate header", true, {{head, 40}, {head + 40, body - head - 40}}},
        {"the first strip starts with the header", true, {{0, mid}, {mid, body - mid}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OldJpegPage page;
        page.width = page.length = page.rowsPerStrip = 32;
        page.data = jpeg.substr(0, body);
        page.interchange = c.interchange;
        page.interchangeLength = head;
        page.strips = c.strips;
        writeOldJpeg(dir.file("old.tif"), page);
        const Stream s = assemble(dir.file("old.tif"), readPage(dir.file("old.tif")), dir.path());
        ASSERT_GT(s.rc, 0) << s.report.diagnostic;
        EXPECT_EQ(s.bytes, jpeg);
        EXPECT_FALSE(s.report.restartsInserted);
    }
}

// The interchange bytes are the tables; each strip is one restart interval of the scan with its
// marker taken out (or carrying a wrong one). The stream must be the JPEG file the strips were
// cut from, DRI segment and restart markers FF D0 to FF D7, FF D0, FF D1 included.
TEST(JpegStreamOldStyle, StripsAfterTheTablesAreJoinedWithRestartMarkers)
{
    TempDir dir;
    JpegShape shape;
    shape.height = 160;  // ten MCU rows of 16 x 16 (2 x 2 subsampling): ten strips
    shape.restartInterval = 1;
    shape.gradient = true;
    const std::string jpeg = makeJpeg(shape);
    const size_t dri = findMarker(jpeg, 0xDD);
    ASSERT_EQ(jpeg.substr(dri, 6), std::string("\xFF\xDD\x00\x04\x00\x01", 6));
    ASSERT_EQ(findMarker(jpeg, 0xDA), dri + 6);
    std::vector<size_t> ends;  // the restart markers in the scan, then the EOI
    for (size_t i = dri; i + 1 < jpeg.size(); ++i) {
        if (uint8_t(jpeg[i]) == 0xFF && (uint8_t(jpeg[i + 1]) & 0xF8) == 0xD0)
            ends.push_back(i);
    }
    ASSERT_EQ(ends.size(), 9u);
    ends.push_back(jpeg.size() - 2);

    for (const bool keepMarkers : {false, true}) {
        SCOPED_TRACE(keepMarkers ? "strips start with a wrong marker" : "strips without markers");
        OldJpegPage page;
        page.length = 160;
        page.data = jpeg.substr(0, dri);  // the tables, without the DRI segment
        page.interchangeLength = uint32_t(dri);
        for (size_t i = 0, from = dri + 6; i < ends.size(); ++i) {
            std::string strip = jpeg.substr(from, ends[i] - from);
            if (keepMarkers && i > 0)
                strip[1] = '\xD7';
            page.strips.push_back({uint32_t(page.data.size()), uint32_t(strip.size())});
            page.data += strip;
            from = ends[i] + (keepMarkers ? 0 : 2);
        }
        writeOldJpeg(dir.file("old.tif"), page);
        const Stream s = assemble(dir.file("old.tif"), readPage(dir.file("old.tif")), dir.path());
        ASSERT_GT(s.rc, 0) << s.report.diagnostic;
        EXPECT_TRUE(s.report.restartsInserted);
        ASSERT_EQ(s.bytes, jpeg);
        EXPECT_EQ(decodeJpeg(s.bytes).height, 160);

        // With 1 x 1 subsampling the interval is 2 x 2 blocks of 8 x 8 per strip.
        page.subsampling = 1;
        writeOldJpeg(dir.file("old.tif"), page);
        const Stream one = assemble(dir.file("old.tif"), readPage(dir.file("old.tif")), "");
        EXPECT_EQ(one.bytes.substr(dri, 6), std::string("\xFF\xDD\x00\x04\x00\x04", 6));
    }
}

// ---- Compression 7 ----

// A grayscale page is always encoded again; a coarse source (quality 3) grows at quality 75 and
// is written all the same.
TEST(JpegStreamNewStyle, GrayWrappedJpegIsReencodedThroughTnw7EvenWhenItGrows)
{
    for (const int quality : {90, 3}) {
        SCOPED_TRACE(quality);
        TempDir dir;
        JpegShape shape;
        shape.input = JCS_GRAYSCALE;
        shape.width = 64;
        shape.height = 48;
        shape.gradient = true;
        shape.fill = {60};
        shape.quality = quality;
        const std::string jpeg = wrapJpeg(dir, shape);
        const TiffDirectory page = readPage(dir.file("t.tif"));
        ASSERT_EQ(page.compression, 7);

        const Stream s = assemble(dir.file("t.tif"), page, dir.path());
        ASSERT_GT(s.rc, 0) << s.report.diagnostic;
        EXPECT_TRUE(s.report.rebuilt);
        EXPECT_EQ(s.report.rebuiltComponents, 1);
        ASSERT_EQ(s.bytes.substr(s.bytes.size() - 2), kEoi);
        const std::string rebuilt = s.bytes.substr(0, s.bytes.size() - 2);
        EXPECT_NE(rebuilt, jpeg);
        if (quality == 3) {
            EXPECT_GT(s.bytes.size(), jpeg.size() + 2);
        }
        const tnw::test::DecodedJpeg got = decodeJpeg(rebuilt);
        const tnw::test::DecodedJpeg want = decodeJpeg(jpeg);
        ASSERT_EQ(got.components, 1);
        ASSERT_EQ(got.width, 64);
        ASSERT_EQ(got.height, 48);
        for (size_t i = 0; i < got.pixels.size(); ++i)
            ASSERT_NEAR(got.pixels[i], want.pixels[i], 10) << i;
    }
}

// A single component may name any sampling factors (scanners write 2x2): they change nothing
// in the image, and the page is rebuilt like one sampled 1x1. The rebuilt file goes away with
// the call.
TEST(JpegStreamNewStyle, GrayJpegSampledOtherThanOneByOneIsRebuilt)
{
    const std::pair<int, int> factors[] = {{1, 2}, {2, 1}, {2, 2}, {4, 4}, {1, 1}};
    for (const auto& [h, v] : factors) {
        SCOPED_TRACE(std::to_string(h) + "x" + std::to_string(v));
        TempDir dir;
        JpegShape shape;
        shape.input = JCS_GRAYSCALE;
        shape.width = 45;  // not a whole number of MCUs either way
        shape.height = 37;
        shape.gradient = true;
        shape.fill = {40};
        shape.hSampling = h;
        shape.vSampling = v;
        const std::string jpeg = wrapJpeg(dir, shape);
        const Stream s = assemble(dir.file("t.tif"), readPage(dir.file("t.tif")), dir.path());
        ASSERT_GT(s.rc, 0) << s.report.diagnostic;
        EXPECT_EQ(s.report.rebuiltComponents, 1);
        const tnw::test::DecodedJpeg got = decodeJpeg(s.bytes);
        const tnw::test::DecodedJpeg want = decodeJpeg(jpeg);
        ASSERT_TRUE(got.ok);
        ASSERT_EQ(got.components, 1);
        ASSERT_EQ(got.width, 45);
        ASSERT_EQ(got.height, 37);
        for (size_t i = 0; i < got.pixels.size(); ++i)
            ASSERT_NEAR(got.pixels[i], want.pixels[i], 10) << i;
        std::vector<tnw::platform::FolderEntry> entries;
        ASSERT_TRUE(tnw::platform::listFolder(dir.path(), entries));
        EXPECT_EQ(entries.size(), 2u);  // in.jpg and t.tif: no rebuilt file stays
    }
}

// The tables open with their SOI and the strip as stored opens with its own: the stream keeps
// only the first, so a JPEG decoder reads it (a second SOI is an error to libjpeg).
TEST(JpegStreamNewStyle, SingleColourStripFollowsTheTablesWithoutTheirEoiAndItsSoi)
{
    TempDir dir;
    writeNewJpeg(dir.file("new.tif"), 32, 48, 48);
    TIFF* tif = TIFFOpen(dir.file("new.tif").c_str(), "r");
    ASSERT_NE(tif, nullptr);
    uint32_t tablesSize = 0;
    void* tables = nullptr;
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_JPEGTABLES, &tablesSize, &tables));
    std::string strip(size_t(TIFFRawStripSize(tif, 0)), '\0');
    TIFFReadRawStrip(tif, 0, strip.data(), tmsize_t(strip.size()));
    const std::string tableBytes(static_cast<const char*>(tables), tablesSize);
    TIFFClose(tif);
    ASSERT_GT(tablesSize, 4u);
    ASSERT_EQ(tableBytes.substr(0, 2), "\xFF\xD8");
    ASSERT_EQ(strip.substr(0, 2), "\xFF\xD8");

    const Stream s = assemble(dir.file("new.tif"), readPage(dir.file("new.tif")), dir.path());
    ASSERT_GT(s.rc, 0) << s.report.diagnostic;
    EXPECT_FALSE(s.report.rebuilt);
    EXPECT_EQ(s.report.rebuiltComponents, 0);
    EXPECT_EQ(s.bytes, tableBytes.substr(0, tablesSize - 2) + strip.substr(2) + kEoi);

    const tnw::test::DecodedJpeg got = decodeJpeg(s.bytes);
    ASSERT_TRUE(got.ok);
    ASSERT_EQ(got.components, 3);
    ASSERT_EQ(got.width, 32);
    ASSERT_EQ(got.height, 48);
    const int rows[3] = {4, 24, 44};  // inside the red, green and blue bands
    for (int band = 0; band < 3; ++band) {
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(got.at(16, rows[band], k), k == band ? 255 : 0, 24) << band << k;
    }
}

TEST(JpegStreamNewStyle, SeveralColourStripsAreRebuiltInStoredRowOrder)
{
    TempDir dir;
    writeNewJpeg(dir.file("new.tif"), 48, 48, 16);
    const Stream s = assemble(dir.file("new.tif"), readPage(dir.file("new.tif")), dir.path());
    ASSERT_GT(s.rc, 0) << s.report.diagnostic;
    EXPECT_TRUE(s.report.rebuilt);
    EXPECT_EQ(s.report.rebuiltComponents, 3);
    ASSERT_EQ(s.bytes.substr(s.bytes.size() - 2), kEoi);
    const tnw::test::DecodedJpeg got = decodeJpeg(s.bytes);
    ASSERT_EQ(got.components, 3);
    ASSERT_EQ(got.height, 48);
    const int rows[3] = {4, 24, 44};  // inside the red, green and blue bands
    for (int band = 0; band < 3; ++band) {
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(got.at(24, rows[band], k), k == band ? 255 : 0, 24) << band << k;
    }
}

// ---- Hostile records and files ----

TEST(JpegStreamHostile, OffsetsBeyondTheFileAndBadValuesGiveCodesAndLeaveTheOutput)
{
    TempDir dir;
    wrapJpeg(dir, JpegShape{});  // t.tif: compression 6, the one strip is the interchange bytes
    writeNewJpeg(dir.file("new.tif"), 16, 16, 16);  // compression 7, tables and one strip
    writeNewJpeg(dir.file("bad.tif"), 16, 32, 16);  // two strips whose SOI is cleared
    const TiffDirectory bad = readPage(dir.file("bad.tif"));
    std::string bytes = readFile(dir.file("bad.tif"));
    for (uint32_t offset : bad.stripOffsets)
        bytes.replace(offset, 2, std::string(2, '\0'));
    ASSERT_TRUE(writeFile(dir.file("bad.tif"), bytes));
    const uint32_t oldSize = uint32_t(readFile(dir.file("t.tif")).size());
    const uint32_t newSize = uint32_t(readFile(dir.file("new.tif")).size());

    const auto restarts = [](TiffDirectory& d, uint32_t second) {
        d.jpegInterchangeLength = 20;  // SOI and APP0, no SOS: the strips get restart markers
        d.stripOffsets = {d.stripOffsets[0], second};
        d.stripByteCounts = {100, 100};
    };
    const struct {
        const char* name;
        const char* file;
        std::function<void(TiffDirectory&)> change;
        int code;
        const char* message;
    } cases[] = {
        {"interchange offset wraps", "t.tif",
         [](TiffDirectory& d) { d.jpegInterchangeOffset = 0xFFFFFFF0u; }, -320,
         "JpegIF の読み込み失敗"},
        {"header, then a strip past the end", "t.tif",
         [](TiffDirectory& d) {
             d.stripOffsets[0] += 8;
             d.jpegInterchangeLength = 10;
         },
         -301, "TIFFの読み込み失敗"},
        {"restart strips with a zero subsampling", "t.tif",
         [&](TiffDirectory& d) {
             restarts(d, d.stripOffsets[0]);
             d.ycbcrSubsampling[1] = 0;
         },
         -323, "YCbCrSubSampling が不正です"},
        {"restart strip past the end", "t.tif",
         [&](TiffDirectory& d) { restarts(d, oldSize - 3); }, -301, "ｽﾄﾘｯﾌﾟの入出力ｴﾗｰ発生"},
        {"new-style strip offset past the end", "new.tif",
         [](TiffDirectory& d) { d.stripOffsets[0] = 0xFFFFFFFFu; }, -302,
         "ｽﾄﾘｯﾌﾟへの位置づけ失敗"},
        {"new-style strip past the end", "new.tif",
         [&](TiffDirectory& d) { d.stripByteCounts[0] = newSize; }, -301,
         "ｽﾄﾘｯﾌﾟの入出力ｴﾗｰ発生"},
        {"tables past the end", "new.tif",
         [&](TiffDirectory& d) { d.jpegTablesLength = newSize; }, -301, "TIFFの読み込み失敗"},
        {"gray rebuild of a colour page", "new.tif",
         [](TiffDirectory& d) { d.samplesPerPixel = 1; }, -33,
         "グレースケールJpeg7の作成が失敗しました"},
        {"colour rebuild beyond the decoding limit", "new.tif",
         [](TiffDirectory& d) {
             d.width = d.length = 60000;
             d.stripOffsets.push_back(0);
             d.stripByteCounts.push_back(0);
         },
         -21, "Jpeg7の再作成が失敗しました"},
        {"colour rebuild of strips that do not decode", "bad.tif", [](TiffDirectory&) {}, -23,
         "Jpeg7の再作成が失敗しました"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TiffDirectory page = readPage(dir.file(c.file));
        c.change(page);
        JpegPageSource source;
        source.path = dir.file(c.file);
        source.directory = &page;
        source.workFolder = dir.path();
        std::string out = "kept";
        JpegStreamReport report;
        EXPECT_EQ(writeJpegPageStream(source, out, report), c.code) << report.diagnostic;
        EXPECT_EQ(report.message, tnw::platform::sjis(c.message));
        EXPECT_EQ(out, "kept");
    }
}
