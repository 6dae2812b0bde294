// Sheet sums over a folder of generated TIFF files of known paper sizes: the counts per form,
// the summary CSV byte for byte, the sum-only columns, and the folders that give no CSV.
#include "tnwsheet.h"

#include "common/platform/cp932.h"
#include "common/platform/profile.h"
#include "sheet/sheet_sums.h"
#include "support/temp_dir.h"
#include "tests/sheet/sheet_fixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

namespace tnw::sheet {
namespace {

using platform::sjis;

constexpr time_t kModified = 1704164645;  // 2024-01-02 03:04:05 UTC

class SheetSumsTest : public ::testing::Test {
protected:
    SheetSumsTest()
    {
        shxInit();
        mkdir(m_scans.c_str(), 0755);
        // a3.tif: one A3 page; a4.tif: A4 upright and turned; letter.tiff: one Letter page at
        // 200 dpi; small.tif: a page too small for any form and one without a unit (100 mm
        // square). Around them: a JPEG, a folder named like a TIFF and a broken TIFF.
        put("a3.tif", {test::a3Page()});
        put("a4.tif", {test::a4Page(), test::a4Landscape()});
        put("letter.tiff", {test::letterPage()});
        put("small.tif", {{100, 100}, {940, 470, 72, 72, RESUNIT_NONE, 8}});
        EXPECT_TRUE(test::writeFile(m_scans + "/photo.jpg", "\xFF\xD8\xFF\xD9"));
        EXPECT_TRUE(test::writeFile(m_scans + "/broken.tif", std::string("MM\0*\0\0\0\0", 8)));
        mkdir((m_scans + "/folder.tif").c_str(), 0755);
    }

    void put(const std::string& name, const std::vector<test::SheetPageShape>& pages)
    {
        const std::string path = m_scans + "/" + name;
        ASSERT_TRUE(test::writeSheetTiff(path, pages));
        const utimbuf times{kModified, kModified};
        ASSERT_EQ(utime(path.c_str(), &times), 0);
    }
    // The size column of a file: whole kilobytes, rounded up.
    std::string kb(const std::string& name) const
    {
        struct stat st {};
        EXPECT_EQ(stat((m_scans + "/" + name).c_str(), &st), 0);
        return std::to_string((st.st_size + 1023) / 1024) + " KB,2024/01/02 03:04,";
    }
    std::string forms() const { return m_dir.file("tnwForm.ini"); }

    test::TempDir m_dir;
    std::string m_scans = m_dir.file("scans");
};

TEST_F(SheetSumsTest, FolderSumCountsEachFormAndWritesTheSummary)
{
    const std::string csv = m_dir.file("sum.csv");
    ASSERT_EQ(shxGetSum(m_scans.c_str(), csv.c_str(), forms().c_str(), 0), 0);

    // Every form of the table is a column: A0 .. A10, B0 .. B10, then the six others.
    std::string header = sjis("名前,サイズ,更新日付,頁数,");
    for (const char* name : {"A0", "A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9", "A10",
                             "B0", "B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8", "B9", "B10"})
        header += std::string(name) + ",";
    header += sjis("レター,リーガル,タブロイド,官製はがき,10インチ,15インチ,その他\r\n");
    // One count per column: A3 is column 4, A4 column 5, Letter column 23.
    const auto counts = [](int a3, int a4, int letter) {
        std::string row;
        for (int column = 1; column <= 28; ++column)
            row += std::to_string(column == 4 ? a3 : column == 5 ? a4 : column == 23 ? letter : 0)
                   + ",";
        return row;
    };
    const std::string expected = header +
                                 "a3.tif," + kb("a3.tif") + "1," + counts(1, 0, 0) + "0\r\n" +
                                 "a4.tif," + kb("a4.tif") + "2," + counts(0, 2, 0) + "0\r\n" +
                                 "letter.tiff," + kb("letter.tiff") + "1," + counts(0, 0, 1) +
                                 "0\r\n" +
                                 "small.tif," + kb("small.tif") + "2," + counts(0, 0, 0) +
                                 "2\r\n" + sjis("合計") + ",,,6," + counts(1, 2, 1) + "2\r\n";
    EXPECT_EQ(test::readFile(csv), expected);

    // The same sums through the getters: every form in use is summed.
    EXPECT_EQ(shxSumGetFileCount(), 4);
    EXPECT_EQ(shxSumGetSumCount(), 28);
    EXPECT_EQ(shxSumGetSheets(1, 4), 2);  // a4.tif, A4
    EXPECT_EQ(shxSumGetSheets(1, 3), 0);
    EXPECT_EQ(shxSumGetSum(3), 1);
    EXPECT_EQ(shxSumGetSum(22), 1);
    EXPECT_EQ(shxSumGetElseFile(3), 2);
    EXPECT_EQ(shxSumGetElseSum(), 2);
    EXPECT_EQ(shxSumGetSheets(4, 4), 0);
    EXPECT_EQ(shxSumGetSheets(-1, 4), 0);
    EXPECT_EQ(shxSumGetSum(28), 0);
    EXPECT_EQ(shxSumGetElseFile(9), 0);
}

TEST_F(SheetSumsTest, SumOnlyCountsTheFormsInUseThatCarryTheSumFlag)
{
    const std::string ini = forms();
    ASSERT_TRUE(platform::WritePrivateProfileString("A4", "nSum", "1", ini.c_str()));
    ASSERT_TRUE(platform::WritePrivateProfileString("A3", "nSum", "1", ini.c_str()));
    ASSERT_TRUE(platform::WritePrivateProfileString("B5", "nSum", "1", ini.c_str()));
    ASSERT_TRUE(platform::WritePrivateProfileString("B5", "nCheck", "0", ini.c_str()));
    const std::string csv = m_dir.file("sum.csv");
    ASSERT_EQ(shxGetSum(m_scans.c_str(), csv.c_str(), ini.c_str(), 1), 0);

    EXPECT_EQ(shxSumGetSumCount(), 2);
    char name[8];
    ASSERT_EQ(shxSumGetName(0, name, sizeof name), 0);
    EXPECT_STREQ(name, "A3");
    ASSERT_EQ(shxSumGetName(1, name, sizeof name), 0);
    EXPECT_STREQ(name, "A4");
    // The Letter page matches a form that is not summed: it counts as "else".
    EXPECT_EQ(shxSumGetElseFile(2), 1);
    EXPECT_EQ(shxSumGetElseSum(), 3);
    const std::string expected =
        sjis("名前,サイズ,更新日付,頁数,A3,A4,その他\r\n") + "a3.tif," + kb("a3.tif") +
        "1,1,0,0\r\n" + "a4.tif," + kb("a4.tif") + "2,0,2,0\r\n" + "letter.tiff," +
        kb("letter.tiff") + "1,0,0,1\r\n" + "small.tif," + kb("small.tif") + "2,0,0,2\r\n" +
        sjis("合計") + ",,,6,1,2,3\r\n";
    EXPECT_EQ(test::readFile(csv), expected);
}

TEST_F(SheetSumsTest, FilesPutOneByOneAreSummedInOrder)
{
    ASSERT_EQ(shxSumInit(forms().c_str(), 0), 0);
    EXPECT_EQ(shxSumPutFile((m_scans + "/letter.tiff").c_str()), 0);
    EXPECT_EQ(shxSumPutFile((m_scans + "/photo.jpg").c_str()), -1);
    EXPECT_EQ(shxSumPutFile((m_scans + "/broken.tif").c_str()), -306);
    EXPECT_EQ(shxSumPutFile((m_scans + "/a4.tif").c_str()), 0);
    EXPECT_EQ(shxSumGetFileCount(), 2);
    EXPECT_EQ(shxSumGetSheets(0, 22), 1);
    EXPECT_EQ(shxSumGetSheets(1, 4), 2);
    EXPECT_EQ(shxSumGetSum(4), 2);
    // A new init clears every sum.
    ASSERT_EQ(shxSumInit(forms().c_str(), 0), 0);
    EXPECT_EQ(shxSumGetFileCount(), 0);
    EXPECT_EQ(shxSumGetSum(4), 0);
}

TEST_F(SheetSumsTest, FolderWithoutTiffOrUnwritableCsvLeavesNoCsv)
{
    const std::string empty = m_dir.file("empty");
    mkdir(empty.c_str(), 0755);
    ASSERT_TRUE(test::writeFile(empty + "/notes.jpg", "x"));
    ASSERT_TRUE(test::writeFile(empty + "/broken.tif", std::string("II*\0\0\0\0\0", 8)));
    const std::string csv = m_dir.file("sum.csv");
    EXPECT_EQ(shxGetSum(empty.c_str(), csv.c_str(), forms().c_str(), 0), -1);
    EXPECT_EQ(shxGetSum(m_dir.file("nowhere").c_str(), csv.c_str(), forms().c_str(), 0), -1);
    struct stat st {};
    EXPECT_NE(stat(csv.c_str(), &st), 0);

    const std::string unwritable = m_dir.file("missing/sum.csv");
    EXPECT_EQ(shxGetSum(m_scans.c_str(), unwritable.c_str(), forms().c_str(), 0), -1);
    EXPECT_NE(stat(m_dir.file("missing").c_str(), &st), 0);
    // The sums themselves were made.
    EXPECT_EQ(shxSumGetFileCount(), 4);
}

TEST_F(SheetSumsTest, MissingFileRowKeepsItsColumns)
{
    SheetSums sums;
    ASSERT_EQ(sums.init(forms().c_str(), false), 0);
    const std::string copy = m_dir.file("gone.tif");
    ASSERT_TRUE(test::writeFile(copy, test::readFile(m_scans + "/a4.tif")));
    ASSERT_EQ(sums.putFile(copy), 0);
    ASSERT_EQ(unlink(copy.c_str()), 0);
    const std::string csv = sums.summaryCsv();
    const size_t row = csv.find("gone.tif,");
    ASSERT_NE(row, std::string::npos);
    EXPECT_EQ(csv.substr(row, 15), "gone.tif,,,2,0,");
}

}  // namespace
}  // namespace tnw::sheet
