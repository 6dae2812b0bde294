#include "common/tiff_reader.h"
#include "common/tiff_reader_tags.h"
#include "support/temp_dir.h"
#include "tiff_builder.h"

#include <gtest/gtest.h>

using namespace tnw::common;
using tnw::test::TempDir;
using tnw::test::TiffBuilder;

namespace {

// A small RGB page with the usual tags; the same page in either byte order.
std::string rgbPage(bool bigEndian)
{
    TiffBuilder b(bigEndian);
    b.shorts(256, {1234})
        .longs(257, {77})
        .shorts(258, {8, 8, 8})
        .shorts(259, {1})
        .shorts(262, {2})
        .ascii(271, "Scan")
        .longs(273, {0x200, 0x400, 0x600})
        .shorts(277, {3})
        .shorts(278, {30})
        .shorts(279, {100, 300, 200})
        .rationals(282, {{300, 1}})
        .rationals(283, {{600, 2}})
        .shorts(296, {3})
        .shorts(297, {1, 4})
        .ascii(306, "2024:01:02 03:04:05")
        .shorts(530, {2, 1});
    return b.build();
}

class TiffReaderTest : public ::testing::Test {
protected:
    // Writes the bytes to a file and opens it; the open result.
    int openBytes(const std::string& bytes)
    {
        const std::string path = m_dir.file("t" + std::to_string(m_files++) + ".tif");
        EXPECT_TRUE(tnw::test::writeFile(path, bytes));
        return m_reader.open(path);
    }
    int failureOf(uint16_t tag) const
    {
        for (const TiffTagFailure& f : m_reader.record().failures) {
            if (f.tag == tag)
                return f.code;
        }
        return 0;
    }

    TempDir m_dir;
    int m_files = 0;
    TiffReader m_reader;
};

TEST_F(TiffReaderTest, BigEndianFileReadsLikeItsLittleEndianTwin)
{
    TiffDirectory records[2];
    for (int big = 0; big < 2; ++big) {
        ASSERT_EQ(openBytes(rgbPage(big)), 0);
        EXPECT_EQ(m_reader.byteOrder(), big);
        EXPECT_EQ(m_reader.version(), 42);
        ASSERT_EQ(m_reader.readDirectories(), 0);
        ASSERT_EQ(m_reader.readDirectory(0), 0);
        records[big] = m_reader.record();
        EXPECT_TRUE(records[big].failures.empty());
    }
    for (const TiffDirectory& r : records) {
        EXPECT_EQ(r.width, 1234u);  // a SHORT held in the value field
        EXPECT_EQ(r.length, 77u);
        EXPECT_EQ(r.bitsPerSample, 8);
        EXPECT_EQ(r.bitsPerSampleValues, (std::vector<uint16_t>{8, 8, 8}));
        EXPECT_EQ(r.compression, 1);
        EXPECT_EQ(r.photometric, 2);
        EXPECT_EQ(r.make, "Scan");
        EXPECT_EQ(r.stripOffsets, (std::vector<uint32_t>{0x200, 0x400, 0x600}));
        EXPECT_EQ(r.samplesPerPixel, 3);
        EXPECT_EQ(r.rowsPerStrip, 30u);
        EXPECT_EQ(r.stripByteCounts, (std::vector<uint32_t>{100, 300, 200}));
        EXPECT_EQ(r.stripByteCountSum, 600u);
        EXPECT_EQ(r.largestStrip, 300u);
        EXPECT_EQ(r.xResolution.numerator, 300u);
        EXPECT_EQ(r.yResolution.denominator, 2u);
        EXPECT_EQ(r.resolutionUnit, 3);
        EXPECT_EQ(r.pageNumber[0], 1);  // two SHORTs held in the value field
        EXPECT_EQ(r.pageNumber[1], 4);
        EXPECT_EQ(r.dateTime, "2024:01:02 03:04:05");
        EXPECT_EQ(r.ycbcrSubsampling[0], 2);
        EXPECT_EQ(r.ycbcrSubsampling[1], 1);
        EXPECT_EQ(r.bytesPerRow, (1234u * 24 + 31) / 32 * 4);
        EXPECT_TRUE(r.has(297));
        EXPECT_FALSE(r.has(320));
    }
}

TEST_F(TiffReaderTest, AbsentTagsKeepTheirDefaults)
{
    ASSERT_EQ(openBytes(TiffBuilder(false).longs(256, {9}).build()), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.readDirectory(0), 0);
    const TiffDirectory& r = m_reader.record();
    EXPECT_EQ(r.bitsPerSample, 1);
    EXPECT_EQ(r.fillOrder, 1);
    EXPECT_EQ(r.rowsPerStrip, 0xFFFFFFFFu);
    EXPECT_EQ(r.resolutionUnit, 2);
    EXPECT_EQ(r.ycbcrSubsampling[0], 2);
    EXPECT_EQ(r.ycbcrSubsampling[1], 2);
    EXPECT_EQ(r.samplesPerPixel, 0);
    EXPECT_EQ(r.bytesPerRow, 4u);  // 9 one-bit samples, one sample counted when absent
}

TEST_F(TiffReaderTest, OpenRefusesWhatIsNotATiffHeader)
{
    EXPECT_EQ(m_reader.open(""), tiffcode::OpenFailed);
    EXPECT_EQ(m_reader.open(m_dir.file("missing.tif")), tiffcode::OpenFailed);
    EXPECT_EQ(m_reader.open(m_dir.path()), tiffcode::OpenFailed);  // a folder
    EXPECT_EQ(openBytes("II*\0\x08\0\0"), tiffcode::ReadFailed);   // 7 bytes
    EXPECT_EQ(openBytes(std::string("IM*\0\x08\0\0\0", 8)), tiffcode::NotTiff);
    EXPECT_EQ(openBytes(std::string("\x89PNG\r\n\x1a\n", 8)), tiffcode::NotTiff);
    EXPECT_FALSE(m_reader.isOpen());
    EXPECT_EQ(m_reader.readDirectories(), tiffcode::OpenFailed);
}

TEST_F(TiffReaderTest, DirectoryChainFaultsGiveTheirCodes)
{
    TiffBuilder le(false);
    const std::string header = std::string("II") + le.u16(42);
    // No directory at all.
    ASSERT_EQ(openBytes(header + le.u32(0)), 0);
    EXPECT_EQ(m_reader.readDirectories(), tiffcode::NoDirectory);
    // A directory offset beyond the file end.
    ASSERT_EQ(openBytes(header + le.u32(1000)), 0);
    EXPECT_EQ(m_reader.readDirectories(), tiffcode::SeekFailed);
    // A directory of 0 entries.
    ASSERT_EQ(openBytes(header + le.u32(8) + le.u16(0) + le.u32(0)), 0);
    EXPECT_EQ(m_reader.readDirectories(), tiffcode::NoEntries);
    // An entry count whose entries would run past the file end.
    ASSERT_EQ(openBytes(header + le.u32(8) + le.u16(0xFFFF) + std::string(40, '\0')), 0);
    EXPECT_EQ(m_reader.readDirectories(), tiffcode::ReadFailed);
    // The entries are there but the next offset is cut off.
    std::string cut = TiffBuilder(false).shorts(256, {1}).build();
    cut.resize(cut.size() - 2);
    ASSERT_EQ(openBytes(cut), 0);
    EXPECT_EQ(m_reader.readDirectories(), tiffcode::ReadFailed);
    EXPECT_EQ(m_reader.readDirectory(0), tiffcode::NoDirectory);
}

TEST_F(TiffReaderTest, CyclicDirectoryChainStopsAtTheFirstRepeat)
{
    TiffBuilder b(true);
    b.shorts(256, {10}).nextDirectory().shorts(256, {20}).nextDirectory().shorts(256, {30});
    std::string bytes = b.build();
    // The third directory points back to the second.
    const uint32_t third = b.directoryOffsets()[2];
    bytes.replace(third + 2 + 12, 4, b.u32(b.directoryOffsets()[1]));
    ASSERT_EQ(openBytes(bytes), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.directoryCount(), 3);
    ASSERT_EQ(m_reader.readDirectory(2), 0);
    EXPECT_EQ(m_reader.record().width, 30u);
    EXPECT_EQ(m_reader.readDirectory(3), tiffcode::NoDirectory);

    // A directory that names itself as the next.
    TiffBuilder self(false);
    std::string one = self.shorts(256, {1}).build();
    one.replace(8 + 2 + 12, 4, self.u32(8));
    ASSERT_EQ(openBytes(one), 0);
    EXPECT_EQ(m_reader.readDirectories(), 0);
    EXPECT_EQ(m_reader.directoryCount(), 1);
}

TEST_F(TiffReaderTest, DirectoryInsideAnEarlierDirectoryEndsTheWalk)
{
    // Overlapping directories would let a small file list far more entries than it holds.
    TiffBuilder b(false);
    std::string bytes = b.shorts(256, {1}).shorts(257, {2}).shorts(258, {8}).build();
    // The next directory starts at the second entry of the first: a count of 257 entries
    // (its tag) that lie inside the file only because they reuse the first one's bytes.
    bytes += std::string(257 * 12, '\0');
    bytes.replace(8 + 2 + 3 * 12, 4, b.u32(8 + 2 + 12));
    ASSERT_EQ(openBytes(bytes), 0);
    EXPECT_EQ(m_reader.readDirectories(), 0);
    EXPECT_EQ(m_reader.directoryCount(), 1);
}

TEST_F(TiffReaderTest, TooManyStripsFailsThatTagOnly)
{
    TiffBuilder b(false);
    b.shorts(256, {5})
        .field(273, 4, kMaxStripValues + 1, 8)
        .shorts(277, {1})
        .longs(279, std::vector<uint32_t>(kMaxStripValues, 7));
    ASSERT_EQ(openBytes(b.build()), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.readDirectory(0), 0);
    const TiffDirectory& r = m_reader.record();
    EXPECT_EQ(failureOf(273), tiffcode::TooManyValues);
    EXPECT_TRUE(r.stripOffsets.empty());
    // The limit itself is allowed, and the entries after the refused one are read.
    EXPECT_EQ(r.samplesPerPixel, 1);
    EXPECT_EQ(r.stripByteCounts.size(), kMaxStripValues);
    EXPECT_EQ(r.stripByteCountSum, 7u * kMaxStripValues);
    EXPECT_EQ(r.failures.size(), 1u);
}

TEST_F(TiffReaderTest, ValuesBeyondTheFileEndGiveCodesAndKeepDefaults)
{
    TiffBuilder b(true);
    b.shorts(256, {5})
        .field(258, 3, 3, 0x7FFFFFF0)           // offset beyond the end
        .field(270, 2, 0xFFFFFFFF, 8)           // a count larger than the file
        .field(273, 4, 4, 100)                  // starts inside, runs past the end
        .field(282, 5, 1, 0xFFFFFFFF)           // rational at the last possible offset
        .field(319, 5, 0xFFFFFFFF, 8)           // count x 8 bytes beyond 32 bits
        .field(347, 7, 1000, 8)                 // JPEG tables running past the end
        .shorts(277, {3});
    ASSERT_EQ(openBytes(b.build()), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.readDirectory(0), 0);
    const TiffDirectory& r = m_reader.record();
    EXPECT_EQ(failureOf(258), tiffcode::SeekFailed);
    EXPECT_EQ(failureOf(270), tiffcode::ReadFailed);
    EXPECT_EQ(failureOf(273), tiffcode::ReadFailed);
    EXPECT_EQ(failureOf(282), tiffcode::SeekFailed);
    EXPECT_EQ(failureOf(319), tiffcode::ReadFailed);
    EXPECT_EQ(failureOf(347), tiffcode::ReadFailed);
    EXPECT_EQ(r.bitsPerSample, 1);
    EXPECT_TRUE(r.imageDescription.empty());
    EXPECT_TRUE(r.stripOffsets.empty());
    EXPECT_EQ(r.xResolution.denominator, 0u);
    EXPECT_EQ(r.jpegTablesLength, 0u);
    EXPECT_EQ(r.samplesPerPixel, 3);
}

TEST_F(TiffReaderTest, WrongTypeLeavesTheDefaultAndReadsOn)
{
    TiffBuilder b(false);
    b.rationals(256, {{5, 1}})  // width as RATIONAL
        .longs(259, {4})        // compression must be SHORT
        .shorts(270, {65})      // a text tag that is not ASCII
        .shorts(277, {1});
    ASSERT_EQ(openBytes(b.build()), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.readDirectory(0), 0);
    EXPECT_EQ(failureOf(256), tiffcode::WrongType);
    EXPECT_EQ(failureOf(259), tiffcode::WrongType);
    EXPECT_EQ(failureOf(270), tiffcode::WrongType);
    EXPECT_EQ(m_reader.record().width, 0u);
    EXPECT_EQ(m_reader.record().compression, 0);
    EXPECT_EQ(m_reader.record().samplesPerPixel, 1);
}

TEST_F(TiffReaderTest, ColorMapMustHoldThreeTimesTwoToTheBits)
{
    std::vector<uint32_t> map(48);
    for (size_t i = 0; i < map.size(); ++i)
        map[i] = uint32_t(i * 0x101);
    ASSERT_EQ(openBytes(TiffBuilder(true).shorts(258, {4}).shorts(320, map).build()), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.readDirectory(0), 0);
    ASSERT_EQ(m_reader.record().colorMap.size(), 48u);
    EXPECT_EQ(m_reader.record().colorMap[47], 47 * 0x101);

    // A count that does not match the bits, and bits too deep for a map, are refused unread.
    ASSERT_EQ(openBytes(TiffBuilder(false).shorts(258, {4}).shorts(320, {1, 2, 3}).build()), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.readDirectory(0), 0);
    EXPECT_EQ(failureOf(320), tiffcode::WrongType);
    EXPECT_TRUE(m_reader.record().colorMap.empty());
    TiffBuilder deep(false);
    deep.shorts(258, {31}).field(320, 3, 3u << 31, 8);
    ASSERT_EQ(openBytes(deep.build()), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.readDirectory(0), 0);
    EXPECT_EQ(failureOf(320), tiffcode::WrongType);
}

TEST_F(TiffReaderTest, SeveralBitsPerSampleGiveTheirCommonValueOrEight)
{
    ASSERT_EQ(openBytes(TiffBuilder(false).shorts(258, {16, 16, 16}).build()), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.readDirectory(0), 0);
    EXPECT_EQ(m_reader.record().bitsPerSample, 16);
    ASSERT_EQ(openBytes(TiffBuilder(true).shorts(258, {5, 6, 5}).build()), 0);
    ASSERT_EQ(m_reader.readDirectories(), 0);
    ASSERT_EQ(m_reader.readDirectory(0), 0);
    EXPECT_EQ(m_reader.record().bitsPerSample, 8);
    EXPECT_EQ(m_reader.record().bitsPerSampleValues, (std::vector<uint16_t>{5, 6, 5}));
}

TEST(TiffTagTable, HoldsEightyRowsInTagOrderWithCp932Names)
{
    const auto table = tiffTagTable();
    ASSERT_EQ(table.size(), 80u);
    for (size_t i = 1; i < table.size(); ++i)
        EXPECT_LT(table[i - 1].tag, table[i].tag);
    EXPECT_EQ(tiffTagName(findTiffTag(259)), "\x88\xB3\x8F\x6B\x95\xFB\x8E\xAE");  // 圧縮方式
    EXPECT_EQ(tiffTagName(findTiffTag(33432)), "Copyright");
    EXPECT_EQ(findTiffTag(257)->kind, TiffTagKind::Number);
    EXPECT_EQ(findTiffTag(300)->kind, TiffTagKind::Plain);
    EXPECT_EQ(findTiffTag(260), nullptr);
    EXPECT_EQ(tiffTagName(nullptr), "?");
    EXPECT_STREQ(tiffTypeName(10), "SRATIONAL");
    EXPECT_STREQ(tiffTypeName(13), "???????");
    EXPECT_EQ(tiffTypeSize(kTiffSRational), 8u);
    EXPECT_EQ(tiffTypeSize(0), 1u);
}

}  // namespace
