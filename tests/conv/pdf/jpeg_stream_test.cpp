#include "conv/pdf/jpeg_stream.h"

#include "common/platform/cp932.h"
#include "common/tiff_reader.h"
#include "conv/pdf/jpeg_wrap.h"
#include "conv/pdf/tiff_writer.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/jpeg_fixtures.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdlib>
#include <functional>

using namespace tnw::conv;
using tnw::common::TiffDirectory;
using tnw::common::TiffReader;
using tnw::test::decodeJpeg;
using tnw::test::JpegSpec;
using tnw::test::makeJpeg;
using tnw::test::readFile;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

const std::string kEoi = "\xFF\xD9";

TiffDirectory readPage(const std::string& path)
{
    TiffReader reader;
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
    if (s.rc >= 0) {
        EXPECT_EQ(size_t(s.rc), s.bytes.size());
    }
    return s;
}

// Position of the marker FF `code` at or after `from`; npos when there is none.
size_t findMarker(const std::string& jpeg, uint8_t code, size_t from = 0)
{
    for (size_t i = from; i + 1 < jpeg.size(); ++i) {
        if (uint8_t(jpeg[i]) == 0xFF && uint8_t(jpeg[i + 1]) == code)
            return i;
    }
    return std::string::npos;
}

size_t sosEnd(const std::string& jpeg)
{
    const size_t sos = findMarker(jpeg, 0xDA);
    return sos + 2 + (uint8_t(jpeg[sos + 2]) << 8 | uint8_t(jpeg[sos + 3]));
}

// An old-style JPEG page made with our TIFF writer: one data block that holds the interchange
// bytes and the strips wherever the test puts them.
struct OldJpegPage {
    uint32_t width = 16;
    uint32_t length = 16;
    uint32_t rowsPerStrip = 16;
    uint16_t subsampling[2] = {2, 2};
    std::string data;
    bool interchange = true;
    uint32_t interchangeAt = 0;  // within the data block
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
    w.addShorts(530, {page.subsampling[0], page.subsampling[1]});
    std::vector<uint16_t> offsets(page.strips.size(), 0);
    std::vector<uint16_t> counts;
    for (const auto& s : page.strips)
        counts.push_back(uint16_t(s.second));
    w.addShorts(273, offsets);
    w.addShorts(279, counts);
    if (page.interchange) {
        w.addLong(513, 0);
        w.addLong(514, page.interchangeLength);
    }
    std::vector<uint8_t> head;
    uint32_t at = 0;
    ASSERT_TRUE(w.layout(head, at));  // values do not move the data block
    for (size_t i = 0; i < offsets.size(); ++i)
        offsets[i] = uint16_t(at + page.strips[i].first);
    w.addShorts(273, offsets);
    if (page.interchange)
        w.addLong(513, at + page.interchangeAt);
    ASSERT_EQ(w.write(path, reinterpret_cast<const uint8_t*>(page.data.data()), page.data.size()),
              0);
}

// Strips that split `bytes` at the given positions, one after another from `base`.
std::vector<std::pair<uint32_t, uint32_t>> split(uint32_t base, uint32_t size,
                                                 const std::vector<uint32_t>& cuts)
{
    std::vector<std::pair<uint32_t, uint32_t>> strips;
    uint32_t from = 0;
    for (uint32_t cut : cuts) {
        strips.push_back({base + from, cut - from});
        from = cut;
    }
    strips.push_back({base + from, size - from});
    return strips;
}

// A JPEG-compressed TIFF written by libtiff (TIFF compression 7): RGB bands top, middle and
// bottom (red, green, blue), or a gray ramp.
void writeNewJpeg(const std::string& path, uint32_t width, uint32_t length, uint32_t rowsPerStrip,
                  bool gray)
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    const uint16_t samples = gray ? 1 : 3;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, length);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, gray ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_YCBCR);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 90);
    if (!gray)
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    std::vector<uint8_t> row(size_t(width) * samples);
    for (uint32_t y = 0; y < length; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* p = &row[size_t(x) * samples];
            if (gray) {
                p[0] = uint8_t(x * 4);
            } else {
                const uint32_t band = y * 3 / length;
                p[0] = band == 0 ? 255 : 0;
                p[1] = band == 1 ? 255 : 0;
                p[2] = band == 2 ? 255 : 0;
            }
        }
        ASSERT_EQ(TIFFWriteScanline(tif, row.data(), y, 0), 1);
    }
    TIFFClose(tif);
}

}  // namespace

// ---- Compression 6 ----

TEST(JpegStreamOldStyle, WrappedColourJpegIsTheFileFollowedByEoi)
{
    TempDir dir;
    JpegSpec spec;
    spec.width = 24;
    spec.height = 10;
    spec.gradient = true;
    const std::string jpeg = makeJpeg(spec);
    ASSERT_TRUE(writeFile(dir.file("in.jpg"), jpeg));
    JpegWrapResult wrap;
    ASSERT_EQ(wrapJpegFile(dir.file("in.jpg"), dir.file("t.tif"), dir.path(), wrap), 0);

    const TiffDirectory page = readPage(dir.file("t.tif"));
    ASSERT_EQ(page.compression, 6);
    const Stream s = assemble(dir.file("t.tif"), page, dir.path());
    EXPECT_EQ(s.bytes, jpeg + kEoi);
    EXPECT_FALSE(s.report.rebuilt);
    EXPECT_EQ(s.report.status, s.rc);
}

TEST(JpegStreamOldStyle, HeaderIsWrittenOnlyWhenTheFirstStripDoesNotStartWithIt)
{
    TempDir dir;
    JpegSpec spec;
    spec.width = 32;
    spec.height = 32;
    spec.gradient = true;
    const std::string jpeg = makeJpeg(spec);
    const uint32_t header = uint32_t(sosEnd(jpeg));
    const uint32_t body = uint32_t(jpeg.size() - 2);  // without the file's EOI
    const uint32_t mid = (header + body) / 2;

    struct Case {
        const char* name;
        bool interchange;
        uint32_t interchangeAt;
        std::vector<std::pair<uint32_t, uint32_t>> strips;
    };
    const std::vector<Case> cases = {
        {"no interchange tag: strips as stored", false, 0, split(0, body, {mid})},
        {"one strip after a separate header", true, 0, split(header, body - header, {})},
        {"two strips after a separate header", true, 0, split(header, body - header, {40})},
        {"the first strip starts with the header", true, 0, split(0, body, {mid})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OldJpegPage page;
        page.width = 32;
        page.length = 32;
        page.rowsPerStrip = 32;
        page.data = jpeg.substr(0, body);
        page.interchange = c.interchange;
        page.interchangeAt = c.interchangeAt;
        page.interchangeLength = header;
        page.strips = c.strips;
        writeOldJpeg(dir.file("old.tif"), page);
        const Stream s = assemble(dir.file("old.tif"), readPage(dir.file("old.tif")), dir.path());
        ASSERT_GT(s.rc, 0) << s.report.diagnostic;
        EXPECT_EQ(s.bytes, jpeg);
        EXPECT_FALSE(s.report.restartsInserted);
    }
}

// The interchange bytes end before the scan; each strip is one restart interval of the scan
// with its marker taken out (or carrying a wrong one). The stream must come out as the JPEG
// file the strips were cut from.
TEST(JpegStreamOldStyle, StripsAfterTheTablesAreJoinedWithRestartMarkers)
{
    TempDir dir;
    JpegSpec spec;
    spec.width = 16;
    spec.height = 160;  // ten MCU rows of 16 x 16 (2 x 2 subsampling): ten strips
    spec.restartInterval = 1;
    spec.gradient = true;
    const std::string jpeg = makeJpeg(spec);
    const size_t dri = findMarker(jpeg, 0xDD);
    ASSERT_NE(dri, std::string::npos);
    ASSERT_EQ(jpeg.substr(dri, 6), std::string("\xFF\xDD\x00\x04\x00\x01", 6));
    ASSERT_EQ(size_t(findMarker(jpeg, 0xDA)), dri + 6);
    std::vector<size_t> rst;  // the restart markers in the scan
    for (size_t at = findMarker(jpeg, 0xD0, dri); at != std::string::npos;) {
        rst.push_back(at);
        size_t next = std::string::npos;
        for (uint8_t code = 0xD0; code <= 0xD7; ++code)
            next = std::min(next, findMarker(jpeg, code, at + 2));
        at = next;
    }
    ASSERT_EQ(rst.size(), 9u);

    for (const bool keepMarkers : {false, true}) {
        SCOPED_TRACE(keepMarkers ? "strips start with a wrong marker" : "strips without markers");
        OldJpegPage page;
        page.rowsPerStrip = 16;
        page.length = 160;
        page.data = jpeg.substr(0, dri);  // up to the tables, without the DRI segment
        page.interchangeLength = uint32_t(dri);
        std::vector<size_t> ends = rst;
        ends.push_back(jpeg.size() - 2);
        size_t from = dri + 6;  // the SOS segment starts the first strip
        for (size_t i = 0; i < ends.size(); ++i) {
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
        ASSERT_EQ(s.bytes, jpeg);  // FF D0 ... FF D7, FF D0, FF D1, then FF D9

        const tnw::test::DecodedJpeg decoded = decodeJpeg(s.bytes);
        const tnw::test::DecodedJpeg expected = decodeJpeg(jpeg);
        EXPECT_EQ(decoded.height, 160);
        EXPECT_EQ(decoded.pixels, expected.pixels);
    }

    // The interval is the MCUs of a strip by the page's subsampling: 2 x 2 blocks across and
    // down for 1 x 1.
    OldJpegPage page;
    page.subsampling[0] = page.subsampling[1] = 1;
    page.data = jpeg.substr(0, dri) + jpeg.substr(dri + 6);
    page.interchangeLength = uint32_t(dri);
    page.strips = split(uint32_t(dri), uint32_t(jpeg.size() - dri - 8), {40});
    writeOldJpeg(dir.file("old.tif"), page);
    const Stream s = assemble(dir.file("old.tif"), readPage(dir.file("old.tif")), dir.path());
    EXPECT_EQ(s.bytes.substr(dri, 6), std::string("\xFF\xDD\x00\x04\x00\x04", 6));
}

// ---- Compression 7 ----

TEST(JpegStreamNewStyle, GrayWrappedJpegIsReencodedThroughTnw7)
{
    TempDir dir;
    JpegSpec spec;
    spec.input = JCS_GRAYSCALE;
    spec.width = 40;
    spec.height = 24;
    spec.gradient = true;
    spec.fill = {60};
    const std::string jpeg = makeJpeg(spec);
    ASSERT_TRUE(writeFile(dir.file("in.jpg"), jpeg));
    JpegWrapResult wrap;
    ASSERT_EQ(wrapJpegFile(dir.file("in.jpg"), dir.file("t.tif"), dir.path(), wrap), 0);
    const TiffDirectory page = readPage(dir.file("t.tif"));
    ASSERT_EQ(page.compression, 7);

    const Stream s = assemble(dir.file("t.tif"), page, dir.path());
    ASSERT_GT(s.rc, 0) << s.report.diagnostic;
    EXPECT_TRUE(s.report.rebuilt);
    const std::string rebuilt = readFile(dir.file(kJpegRebuildName));
    ASSERT_FALSE(rebuilt.empty());
    EXPECT_EQ(s.bytes, rebuilt + kEoi);
    EXPECT_NE(rebuilt, jpeg);

    const tnw::test::DecodedJpeg got = decodeJpeg(rebuilt);
    const tnw::test::DecodedJpeg want = decodeJpeg(jpeg);
    ASSERT_EQ(got.components, 1);
    ASSERT_EQ(got.width, 40);
    ASSERT_EQ(got.height, 24);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 40; ++x)
            ASSERT_NEAR(got.at(x, y, 0), want.at(x, y, 0), 6) << x << "," << y;
    }
}

// A coarse source re-encoded at quality 75 grows; the page is written all the same.
TEST(JpegStreamNewStyle, GrayRebuildLargerThanTheInputIsStillWritten)
{
    TempDir dir;
    JpegSpec spec;
    spec.input = JCS_GRAYSCALE;
    spec.width = 128;
    spec.height = 128;
    spec.gradient = true;
    spec.quality = 3;
    const std::string jpeg = makeJpeg(spec);
    ASSERT_TRUE(writeFile(dir.file("in.jpg"), jpeg));
    JpegWrapResult wrap;
    ASSERT_EQ(wrapJpegFile(dir.file("in.jpg"), dir.file("t.tif"), dir.path(), wrap), 0);

    const Stream s = assemble(dir.file("t.tif"), readPage(dir.file("t.tif")), dir.path());
    ASSERT_GT(s.rc, 0) << s.report.diagnostic;
    EXPECT_GT(s.bytes.size(), jpeg.size() + 2);  // the case at hand
    EXPECT_EQ(s.bytes, readFile(dir.file(kJpegRebuildName)) + kEoi);
}

TEST(JpegStreamNewStyle, SingleColourStripFollowsTheTablesWithoutTheirEoi)
{
    TempDir dir;
    writeNewJpeg(dir.file("new.tif"), 32, 32, 32, false);
    TIFF* tif = TIFFOpen(dir.file("new.tif").c_str(), "r");
    ASSERT_NE(tif, nullptr);
    uint32_t tablesSize = 0;
    void* tables = nullptr;
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_JPEGTABLES, &tablesSize, &tables));
    std::string strip(size_t(TIFFRawStripSize(tif, 0)), '\0');
    ASSERT_EQ(TIFFReadRawStrip(tif, 0, strip.data(), tmsize_t(strip.size())),
              tmsize_t(strip.size()));
    const std::string expected =
        std::string(static_cast<const char*>(tables), tablesSize - 2) + strip + kEoi;
    TIFFClose(tif);
    ASSERT_GT(tablesSize, 4u);
    ASSERT_EQ(strip.substr(0, 2), "\xFF\xD8");  // kept as stored

    const Stream s = assemble(dir.file("new.tif"), readPage(dir.file("new.tif")), dir.path());
    ASSERT_GT(s.rc, 0) << s.report.diagnostic;
    EXPECT_FALSE(s.report.rebuilt);
    EXPECT_FALSE(s.report.markersNeedRebuild);
    EXPECT_EQ(s.bytes, expected);
}

TEST(JpegStreamNewStyle, SeveralColourStripsAreRebuiltInStoredRowOrder)
{
    TempDir dir;
    writeNewJpeg(dir.file("new.tif"), 48, 48, 16, false);
    const TiffDirectory page = readPage(dir.file("new.tif"));
    ASSERT_EQ(page.stripOffsets.size(), 3u);

    const Stream s = assemble(dir.file("new.tif"), page, dir.path());
    ASSERT_GT(s.rc, 0) << s.report.diagnostic;
    EXPECT_TRUE(s.report.rebuilt);
    const std::string rebuilt = readFile(dir.file(kJpegRebuildName));
    EXPECT_EQ(s.bytes, rebuilt + kEoi);
    const tnw::test::DecodedJpeg got = decodeJpeg(rebuilt);
    ASSERT_EQ(got.components, 3);
    ASSERT_EQ(got.width, 48);
    ASSERT_EQ(got.height, 48);
    const int rows[3] = {4, 24, 44};  // inside the red, green and blue bands
    for (int band = 0; band < 3; ++band) {
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(got.at(24, rows[band], k), k == band ? 255 : 0, 24) << band << k;
    }
}

TEST(JpegStreamNewStyle, GrayStripsFromTheTiffLibraryAreRebuilt)
{
    TempDir dir;
    writeNewJpeg(dir.file("gray.tif"), 40, 32, 16, true);
    const Stream s = assemble(dir.file("gray.tif"), readPage(dir.file("gray.tif")), dir.path());
    ASSERT_GT(s.rc, 0) << s.report.diagnostic;
    EXPECT_TRUE(s.report.rebuilt);
    const tnw::test::DecodedJpeg got = decodeJpeg(readFile(dir.file(kJpegRebuildName)));
    ASSERT_EQ(got.components, 1);
    EXPECT_NEAR(got.at(5, 20, 0), 20, 6);
    EXPECT_NEAR(got.at(30, 3, 0), 120, 6);
}

// ---- Hostile records ----

TEST(JpegStreamHostile, OffsetsAndValuesBeyondTheFileGiveCodesAndLeaveTheOutput)
{
    TempDir dir;
    // A wrapped colour JPEG (compression 6, interchange = the one strip) and a libtiff page
    // (compression 7, tables and one strip).
    JpegSpec spec;
    const std::string jpeg = makeJpeg(spec);
    ASSERT_TRUE(writeFile(dir.file("in.jpg"), jpeg));
    JpegWrapResult wrap;
    ASSERT_EQ(wrapJpegFile(dir.file("in.jpg"), dir.file("old.tif"), dir.path(), wrap), 0);
    writeNewJpeg(dir.file("new.tif"), 16, 16, 16, false);
    const TiffDirectory oldPage = readPage(dir.file("old.tif"));
    const TiffDirectory newPage = readPage(dir.file("new.tif"));
    const uint32_t oldSize = uint32_t(readFile(dir.file("old.tif")).size());
    const uint32_t newSize = uint32_t(readFile(dir.file("new.tif")).size());

    struct Case {
        const char* name;
        bool newStyle;
        std::function<void(TiffDirectory&)> change;
        int code;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"interchange past the end", false,
         [&](TiffDirectory& d) { d.jpegInterchangeOffset = oldSize - 4; }, -320,
         "JpegIF の読み込み失敗"},
        {"interchange offset wraps", false,
         [&](TiffDirectory& d) { d.jpegInterchangeOffset = 0xFFFFFFF0u; }, -320,
         "JpegIF の読み込み失敗"},
        {"strip offset past the end", false,
         [&](TiffDirectory& d) { d.stripOffsets[0] = oldSize + 10; }, -302,
         "ｽﾄﾘｯﾌﾟへの位置づけ失敗"},
        {"strip runs past the end", false,
         [&](TiffDirectory& d) {
             d.stripOffsets[0] += 8;
             d.jpegInterchangeLength = 10;  // a header, compared and then copied
         },
         -301, "TIFFの読み込み失敗"},
        {"no interchange, strip runs past the end", false,
         [&](TiffDirectory& d) {
             d.tags.clear();
             d.stripByteCounts[0] = 0xFFFFFFFFu;
         },
         -301, "TIFFの読み込み失敗"},
        {"restart strips with a zero subsampling", false,
         [&](TiffDirectory& d) {
             d.jpegInterchangeLength = 20;  // no SOS in it: the strips are joined with restarts
             d.stripOffsets = {d.stripOffsets[0], d.stripOffsets[0]};
             d.stripByteCounts = {100, 100};
             d.ycbcrSubsampling[1] = 0;
         },
         -323, "YCbCrSubSampling が不正です"},
        {"restart strip runs past the end", false,
         [&](TiffDirectory& d) {
             d.jpegInterchangeLength = 20;
             d.stripOffsets = {d.stripOffsets[0], oldSize - 3};
             d.stripByteCounts = {100, 100};
         },
         -301, "ｽﾄﾘｯﾌﾟの入出力ｴﾗｰ発生"},
        {"new-style strip runs past the end", true,
         [&](TiffDirectory& d) { d.stripByteCounts[0] = newSize; }, -301,
         "ｽﾄﾘｯﾌﾟの入出力ｴﾗｰ発生"},
        {"new-style strip offset past the end", true,
         [&](TiffDirectory& d) { d.stripOffsets[0] = 0xFFFFFFFFu; }, -302,
         "ｽﾄﾘｯﾌﾟへの位置づけ失敗"},
        {"tables past the end", true,
         [&](TiffDirectory& d) { d.jpegTablesLength = newSize; }, -301, "TIFFの読み込み失敗"},
        {"gray rebuild of a colour page", true,
         [&](TiffDirectory& d) { d.samplesPerPixel = 1; }, -33,
         "グレースケールJpeg7の作成が失敗しました"},
        {"rebuild larger than the limit", true,
         [&](TiffDirectory& d) {
             d.width = 60000;
             d.length = 60000;
             d.stripOffsets.push_back(0);
             d.stripByteCounts.push_back(0);
         },
         -21, "Jpeg7の再作成が失敗しました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TiffDirectory page = c.newStyle ? newPage : oldPage;
        c.change(page);
        JpegPageSource source;
        source.path = dir.file(c.newStyle ? "new.tif" : "old.tif");
        source.directory = &page;
        source.workFolder = dir.path();
        std::string out = "kept";
        JpegStreamReport report;
        EXPECT_EQ(writeJpegPageStream(source, out, report), c.code) << report.diagnostic;
        EXPECT_EQ(report.status, c.code);
        EXPECT_EQ(report.message, tnw::platform::sjis(c.message));
        EXPECT_EQ(out, "kept");
    }
}

TEST(JpegStreamHostile, StripsThatDoNotDecodeFailTheRebuild)
{
    TempDir dir;
    writeNewJpeg(dir.file("new.tif"), 16, 32, 16, false);
    const TiffDirectory page = readPage(dir.file("new.tif"));
    ASSERT_EQ(page.stripOffsets.size(), 2u);
    std::string bytes = readFile(dir.file("new.tif"));
    for (uint32_t offset : page.stripOffsets)
        bytes.replace(offset, 2, std::string(2, '\0'));  // no SOI
    ASSERT_TRUE(writeFile(dir.file("new.tif"), bytes));

    const Stream s = assemble(dir.file("new.tif"), page, dir.path());
    EXPECT_EQ(s.rc, kJpegRebuildColourDecode);
    EXPECT_EQ(s.report.message, tnw::platform::sjis("Jpeg7の再作成が失敗しました"));
    EXPECT_TRUE(s.bytes.empty());
}
