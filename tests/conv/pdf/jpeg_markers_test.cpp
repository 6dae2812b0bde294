#include "conv/pdf/jpeg_markers.h"

#include "common/platform/cp932.h"
#include "tests/conv/pdf/jpeg_fixtures.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tnw::conv;
using tnw::test::JpegShape;
using tnw::test::makeJpeg;

namespace {

// Scans an exact-size copy, so that AddressSanitizer catches a read past the end.
int scan(const std::string& bytes, JpegMarkerScan& result)
{
    const std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    return scanJpegMarkers(copy.data(), copy.size(), result);
}

// The bytes of a literal, zero bytes included.
template <size_t N>
std::string raw(const char (&text)[N])
{
    return std::string(text, N - 1);
}

}  // namespace

TEST(JpegMarkers, TableHoldsTheEightySixMarkersInAscendingOrder)
{
    const auto& table = jpegMarkers();
    ASSERT_EQ(table.size(), 86u);
    for (size_t i = 1; i < table.size(); ++i)
        EXPECT_LT(table[i - 1].code, table[i].code) << table[i].name;
    EXPECT_EQ(table.front().code, 0xFF00);
    EXPECT_EQ(table.back().code, 0xFFFE);
    EXPECT_EQ(table.back().name, "COM");
    for (const JpegMarker& m : table) {
        std::string utf8;
        EXPECT_TRUE(tnw::platform::cp932ToUtf8(m.detail, utf8)) << m.name;
        EXPECT_FALSE(m.brief.empty());
        EXPECT_FALSE(m.detail.empty());
        EXPECT_EQ(m.code >> 8, 0xFF);
    }
    for (int code : {0x00, 0x01, 0x02, 0x4E, 0x4F, 0x64, 0x93, 0xC0, 0xCF, 0xD0, 0xD7, 0xDF,
                     0xE0, 0xEF, 0xF0, 0xFD, 0xFE})
        EXPECT_TRUE(isJpegMarkerCode(static_cast<std::uint8_t>(code))) << code;
    for (int code : {0x03, 0x4D, 0x50, 0x54, 0x62, 0x65, 0x8F, 0x94, 0xBF, 0xFF})
        EXPECT_FALSE(isJpegMarkerCode(static_cast<std::uint8_t>(code))) << code;
}

TEST(JpegMarkers, CountsTheSegmentsAndScanMarkersOfARealFile)
{
    JpegShape shape;
    shape.width = shape.height = 64;
    shape.gradient = true;
    shape.restartInterval = 2;
    JpegMarkerScan result;
    EXPECT_EQ(scan(makeJpeg(shape), result), 0);
    EXPECT_FALSE(result.error);
    EXPECT_EQ(result.counts[kMarkerSoi], 1);
    EXPECT_EQ(result.counts[0xE0], 1);  // JFIF
    EXPECT_EQ(result.counts[kMarkerDqt], 2);
    EXPECT_EQ(result.counts[0xC0], 1);
    EXPECT_EQ(result.counts[0xC4], 4);
    EXPECT_EQ(result.counts[kMarkerDri], 1);
    EXPECT_EQ(result.counts[kMarkerSos], 1);
    EXPECT_EQ(result.counts[kMarkerEoi], 1);
    int restarts = 0;
    for (int n = 0; n < 8; ++n)
        restarts += result.counts[0xD0 + n];
    EXPECT_EQ(restarts, 7);  // 16 MCUs, a restart every 2
    EXPECT_EQ(result.counts[0], 0);

    // A progressive file: the later scans' SOS and DHT segments are seen in the data.
    shape.progressive = true;
    shape.restartInterval = 0;
    EXPECT_EQ(scan(makeJpeg(shape), result), 0);
    EXPECT_GT(result.counts[kMarkerSos], 1);
}

TEST(JpegMarkers, MarkersInsideTheScanDataAreCounted)
{
    const std::string bytes = raw("\xFF\xD8"                          // SOI
                                  "\xFF\xDA\x00\x04\x00\x00"          // SOS
                                  "\x12\xFF\x00\xFF\xD0\x34\xFF\xDB"  // data, RST0, DQT
                                  "\xFF\xDD\xFF\xFF\xD1\xFF\xDA\xFF\xD9");
    JpegMarkerScan result;
    EXPECT_EQ(scan(bytes, result), 0);
    EXPECT_FALSE(result.error);
    EXPECT_EQ(result.counts[0], 0);
    EXPECT_EQ(result.counts[0xD0], 1);
    EXPECT_EQ(result.counts[0xD1], 1);
    EXPECT_EQ(result.counts[kMarkerDqt], 1);
    EXPECT_EQ(result.counts[kMarkerDri], 1);
    EXPECT_EQ(result.counts[kMarkerSos], 2);
    EXPECT_EQ(result.counts[kMarkerEoi], 1);
}

TEST(JpegMarkers, EoiBeforeTheScanEndsTheWalk)
{
    JpegMarkerScan result;
    EXPECT_EQ(scan(raw("\xFF\xD8\xFF\xD9\xFF\x03"), result), 0);
    EXPECT_FALSE(result.error);
    EXPECT_EQ(result.counts[kMarkerEoi], 1);
}

TEST(JpegMarkers, BrokenSegmentsBeforeTheScanAreErrors)
{
    struct Case {
        const char* what;
        std::string bytes;
        int code;
    };
    const Case cases[] = {
        {"second SOI", raw("\xFF\xD8\x00\xFF\xD8"), kScanSecondSoi},
        {"length 2", raw("\xFF\xD8\xFF\xDB\x00\x02\x00\x00"), kScanBadLength},
        {"length 0", raw("\xFF\xDB\x00\x00\x00\x00"), kScanBadLength},
        {"cut length", raw("\xFF\xD8\xFF\xDB\x00"), kScanCutLength},
        {"segment past the end", raw("\xFF\xD8\xFF\xDB\x00\x40\x00\x00"),
         kScanCutSegment},
        {"one byte after the segment", raw("\xFF\xE0\x00\x03\x00\x00"),
         kScanCutSegment},
        {"SOS header at the very end", raw("\xFF\xDA\x00\x03\x00"), kScanCutSegment},
        {"unknown code", raw("\xFF\xD8\xFF\x03\x00\x04\x00\x00"), kScanBadMarker},
        {"fill byte", raw("\xFF\xD8\xFF\xFF\xD9"), kScanBadMarker},
        {"FF at the end", raw("\xFF\xD8\x00\xFF"), kScanBadMarker},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        JpegMarkerScan result;
        EXPECT_EQ(scan(c.bytes, result), c.code);
        EXPECT_TRUE(result.error);
    }
}

TEST(JpegMarkers, BufferWithoutMarkersSetsTheErrorFlagAndGivesItsLength)
{
    JpegMarkerScan result;
    EXPECT_EQ(scan("", result), 0);
    EXPECT_TRUE(result.error);
    EXPECT_EQ(scanJpegMarkers(nullptr, 0, result), 0);
    EXPECT_TRUE(result.error);
    EXPECT_EQ(scan(raw("\x12\x34\xFF\x00\x56"), result), 5);  // a stuffed byte only
    EXPECT_TRUE(result.error);
    EXPECT_EQ(scan(raw("\xFF\xD8"), result), 0);
    EXPECT_FALSE(result.error);
}

TEST(JpegMarkers, EveryPrefixOfARealFileStaysInsideTheBuffer)
{
    JpegShape shape;
    shape.restartInterval = 1;
    shape.progressive = true;
    const std::string jpeg = makeJpeg(shape);
    for (size_t n = 0; n <= jpeg.size(); ++n) {
        JpegMarkerScan result;
        const int rc = scan(jpeg.substr(0, n), result);
        EXPECT_TRUE(rc >= 0 || result.error) << n;
    }
}
