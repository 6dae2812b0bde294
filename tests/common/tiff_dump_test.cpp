#include "common/platform/cp932.h"
#include "common/tiff_reader.h"
#include "support/temp_dir.h"
#include "tiff_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace tnw::common;
using tnw::platform::sjis;
using tnw::test::TempDir;
using tnw::test::TiffBuilder;

namespace {

// One page with an entry of each usual shape and a tag the table does not know (65000).
std::string dumpPage(bool bigEndian)
{
    TiffBuilder b(bigEndian);
    b.shorts(256, {2})
        .shorts(258, {8, 8, 8})
        .shorts(259, {1})
        .shorts(262, {2})
        .longs(273, {0x100, 0x200})
        .shorts(279, {10, 20})
        .rationals(282, {{300, 1}})
        .shorts(296, {2})
        .shorts(297, {0, 1})
        .ascii(305, "Kv")
        .shorts(65000, {7});
    return b.build();
}

class TiffDumpTest : public ::testing::Test {
protected:
    // The dump of directory n of a file made of these bytes.
    std::string dumpOf(const std::string& bytes, TiffDumpMode mode, int n = 0)
    {
        const std::string path = m_dir.file("d" + std::to_string(m_files++) + ".tif");
        EXPECT_TRUE(tnw::test::writeFile(path, bytes));
        char* data = nullptr;
        size_t size = 0;
        FILE* out = open_memstream(&data, &size);
        TiffReader reader;
        reader.setDump(out, mode);
        EXPECT_EQ(reader.open(path), 0);
        EXPECT_EQ(reader.readDirectories(), 0);
        EXPECT_EQ(reader.readDirectory(n), 0);
        reader.close();
        std::fclose(out);
        std::string text(data, size);
        std::free(data);
        return text;
    }

    TempDir m_dir;
    int m_files = 0;
};

TEST_F(TiffDumpTest, TextListingOfASmallPage)
{
    const std::string expected = sjis(
        "Byte Order : II\n"
        "Version    : 2Ah\n"
        "IFD offset : 8( 8h )\n"
        "タグ数 : 11\n"
        "ﾀｸﾞ番号       データ型   　データ数 データ           ﾀｸﾞ名称\n"
        "------------- ------------ -------- ---------------- ----------------------\n"
        "  256( 100h )  3:SHORT            1        2(    2 ) x方向のピクセル数\n"
        "  258( 102h )  3:SHORT            3      146(   92 ) サンプル当りのビット数\n"
        "---->(Dec)\n"
        " 8 8 8\n"
        "  259( 103h )  3:SHORT            1        1(    1 ) 圧縮方式\n"
        "---->非圧縮\n"
        "  262( 106h )  3:SHORT            1        2(    2 ) 白/黒/rgbの別\n"
        "---->RGB\n"
        "  273( 111h )  4:LONG             2      152(   98 ) イメージポインタ\n"
        "---->(Hex)\n"
        "     100      200 \n"
        "  279( 117h )  3:SHORT            2  1310730( 14000A ) Strip毎のバイト数\n"
        "---->(Dec)\n"
        "      10      20\n"
        "  282( 11Ah )  5:RATIONAL         1      160(   A0 ) x方向解像度\n"
        "---->(Dec)  300 1\n"
        "  296( 128h )  3:SHORT            1        2(    2 ) 解像度単位\n"
        "---->Inch\n"
        "  297( 129h )  3:SHORT            2    65536( 10000 ) ページ番号\n"
        "---->Dec( Hex )  0( 0 ) 1( 1 )\n"
        "  305( 131h )  2:ASCII            3    30283( 764B ) 作成ソフト名\n"
        "---->Kv/\n"
        "65000(FDE8h )  3:SHORT            1        7(    7 ) ?\n");
    EXPECT_EQ(dumpOf(dumpPage(false), TiffDumpMode::Text), expected);
}

TEST_F(TiffDumpTest, RowsOfTheBigEndianTwin)
{
    const std::string expected = sjis(
        "256, 3,SHORT    ,1,2,x方向のピクセル数,\n"
        "258, 3,SHORT    ,3,146,サンプル当りのビット数,8 8 8 \n"
        "259, 3,SHORT    ,1,1,圧縮方式,非圧縮\n"
        "262, 3,SHORT    ,1,2,白/黒/rgbの別,RGB\n"
        "273, 4,LONG     ,2,152,イメージポインタ,\n"
        "279, 3,SHORT    ,2,655380,Strip毎のバイト数,\n"
        "282, 5,RATIONAL ,1,160,x方向解像度,300.0\n"
        "296, 3,SHORT    ,1,2,解像度単位,Inch\n"
        "297, 3,SHORT    ,2,1,ページ番号,1 / 1\n"
        "305, 2,ASCII    ,3,1266024448,作成ソフト名,Kv\n"
        "65000, 3,SHORT    ,1,7,?,\n");
    EXPECT_EQ(dumpOf(dumpPage(true), TiffDumpMode::Rows), expected);
}

TEST_F(TiffDumpTest, ReadFailuresAreListedInPlaceOfValues)
{
    TiffBuilder b(false);
    b.field(258, 3, 3, 0x7FFFFFF0).field(270, 2, 1000, 8).field(273, 4, kMaxStripValues + 1, 8);
    const std::string text = dumpOf(b.build(), TiffDumpMode::Text);
    EXPECT_NE(text.find("---->SeeKError(7FFFFFF0H)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("---->ReadError(1000)\n"), std::string::npos) << text;
    // The refused strip offsets get no detail line; the listing ends with their entry line.
    const std::string last = sjis("イメージポインタ\n");
    ASSERT_GT(text.size(), last.size());
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    const std::string rows = dumpOf(b.build(), TiffDumpMode::Rows);
    EXPECT_NE(rows.find("\n270, 2,ASCII    ,1000,8,"), std::string::npos);
}

TEST_F(TiffDumpTest, NamesAndValueShapesOfLessCommonTags)
{
    std::vector<uint32_t> map(6);
    for (size_t i = 0; i < map.size(); ++i)
        map[i] = uint32_t(0x1111 * (i + 1));
    TiffBuilder b(true);
    b.shorts(259, {32946})
        .shorts(262, {9})
        .shorts(291, {1, 2, 3})     // not interpreted: shown in both bases
        .shorts(296, {7})
        .shorts(320, map)           // 1-bit map: two entries
        .add(347, 7, 5, "\xFF\xD8\xFF\xDB\x01")
        .rationals(286, {{5, 2}})
        .shorts(530, {2, 2});
    const std::string text = dumpOf(b.build(), TiffDumpMode::Text);
    EXPECT_NE(text.find("---->Deflate\n"), std::string::npos) << text;
    EXPECT_NE(text.find("---->9\n"), std::string::npos) << text;  // known to the rows only
    EXPECT_NE(text.find("---->Dec( Hex )  1( 1 ) 2( 2 ) 3( 3 )\n"), std::string::npos) << text;
    EXPECT_NE(text.find("---->7\n"), std::string::npos) << text;
    EXPECT_NE(text.find("---->(Dec)\n1111 3333 5555 \n2222 4444 6666 \n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("---->(Dec)\n FF D8 FF DB 01\n"), std::string::npos) << text;
    const std::string rows = dumpOf(b.build(), TiffDumpMode::Rows);
    EXPECT_NE(rows.find(",ICC L*a*b* (Adobe TIFF Technote 4)\n"), std::string::npos) << rows;
    EXPECT_NE(rows.find(",Deflate\n"), std::string::npos);
    EXPECT_NE(rows.find(",2.5\n"), std::string::npos);
    EXPECT_NE(rows.find(",Horiz:2 Vert:2\n"), std::string::npos);
}

TEST_F(TiffDumpTest, NoDumpWithoutAMode)
{
    char* data = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&data, &size);
    const std::string path = m_dir.file("n.tif");
    ASSERT_TRUE(tnw::test::writeFile(path, dumpPage(false)));
    TiffReader reader;
    reader.setDump(out, TiffDumpMode::None);
    ASSERT_EQ(reader.open(path), 0);
    ASSERT_EQ(reader.readDirectories(), 0);
    ASSERT_EQ(reader.readDirectory(0), 0);
    std::fclose(out);
    EXPECT_EQ(size, 0u);
    std::free(data);
}

}  // namespace
