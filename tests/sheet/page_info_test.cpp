// Page information of TIFF files: sizes in millimetres, the matched form, the orientation, the
// exported record and the per-page CSV.
#include "common/platform/cp932.h"
#include "common/tiff_reader.h"
#include "sheet/page_info.h"
#include "support/temp_dir.h"
#include "tests/sheet/sheet_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tnw::sheet {
namespace {

using platform::sjis;
using test::SheetPageShape;

class PageInfoTest : public ::testing::Test {
protected:
    PageInfoTest() : m_forms(common::FormVariant::SheetLibrary, m_dir.path())
    {
        m_forms.LoadForms(m_dir.file("tnwForm.ini").c_str());  // no file: standard forms
    }

    // The pages of a TIFF made of `specs`, matched against the standard forms.
    std::vector<SheetPage> pages(const std::vector<SheetPageShape>& specs)
    {
        const std::string path = m_dir.file("pages.tif");
        EXPECT_TRUE(test::writeSheetTiff(path, specs));
        std::vector<SheetPage> read;
        EXPECT_EQ(readPages(path, read), int(specs.size()));
        m_forms.MatchPageList(read);
        return read;
    }

    test::TempDir m_dir;
    common::CPaperFormTable m_forms;
};

TEST_F(PageInfoTest, A4At300DpiMatchesA4UprightAndTurned)
{
    const auto read = pages({test::a4Page(), test::a4Landscape()});
    ShxPageInfo info;
    toPageInfo(read[0], 1, m_forms, info);
    EXPECT_EQ(info.nPage, 1);
    EXPECT_EQ(info.nWidth, 2480);
    EXPECT_EQ(info.nHeight, 3508);
    EXPECT_EQ(info.nXUnit, 2);
    EXPECT_EQ(info.nYUnit, 2);
    EXPECT_FLOAT_EQ(info.fXRes, 300.0f);
    EXPECT_NEAR(info.fWidthMm, 209.97, 0.005);
    EXPECT_NEAR(info.fHeightMm, 297.01, 0.005);
    EXPECT_STREQ(info.szForm, "A4");
    EXPECT_EQ(info.nLandscape, 0);
    EXPECT_EQ(info.nBits, 1);
    EXPECT_EQ(info.nCompress, 4);
    EXPECT_GT(info.nDataSize, 0);

    toPageInfo(read[1], 2, m_forms, info);
    EXPECT_EQ(info.nPage, 2);
    EXPECT_STREQ(info.szForm, "A4");
    EXPECT_EQ(info.nLandscape, 1);
}

TEST_F(PageInfoTest, PageWithoutUnitUsesTheFixedFactorsWhateverItsResolution)
{
    const auto read = pages({{940, 470, 600, 72, RESUNIT_NONE, 8}});
    ShxPageInfo info;
    toPageInfo(read[0], 1, m_forms, info);
    EXPECT_EQ(info.nXUnit, 1);
    EXPECT_NEAR(info.fWidthMm, 100.0, 1e-4);
    EXPECT_NEAR(info.fHeightMm, 100.0, 1e-4);
    EXPECT_STREQ(info.szForm, "");
    EXPECT_EQ(info.nLandscape, 1);
}

TEST_F(PageInfoTest, LongFormNameIsCutAtACharacterBoundaryInTheRecord)
{
    // A user form whose name (code page 932) is longer than the record's 31 bytes.
    const std::string name = sjis("とても長い名前の用紙サイズです横長");  // 34 bytes
    ASSERT_GT(name.size(), 31u);
    common::PaperForm form;
    form.nUser = 1;
    form.nCheck = 1;
    form.szName = name;
    form.fWidth = 50;
    form.fHeight = 50;
    form.fx1 = form.fx2 = form.fy1 = form.fy2 = 1;
    ASSERT_EQ(m_forms.SaveForms({form}, m_dir.file("tnwForm.ini").c_str()), 0);
    ASSERT_EQ(m_forms.LoadForms(m_dir.file("tnwForm.ini").c_str()), 0);

    const auto read = pages({{591, 591, 300, 300, RESUNIT_INCH, 8}});  // 50.04 mm square
    ShxPageInfo info;
    std::memset(&info, 'x', sizeof info);
    toPageInfo(read[0], 1, m_forms, info);
    EXPECT_EQ(std::string(info.szForm), name.substr(0, 30));  // 15 whole characters
    EXPECT_EQ(info.szForm[30], '\0');
}

TEST_F(PageInfoTest, PageListCsvHasTheHeaderAndOneRowPerPage)
{
    const auto read = pages({
        {2480, 3508, 300, 300, RESUNIT_INCH, 1, 1, COMPRESSION_NONE},
        {3508, 2480, 300, 300, RESUNIT_INCH, 1, 1, COMPRESSION_NONE},
        {100, 50, 118.11f, 118.11f, RESUNIT_CENTIMETER, 8, 3},
        {940, 470, 72, 72, RESUNIT_NONE, 8},
    });
    const std::string expected =
        sjis("頁番号,圧縮ﾀｲﾌﾟ,色数,ｻｲｽﾞ,X,Y,xUnit,yUnit,xRes,yRes,幅(mm),高さ(mm),用紙ｻｲｽﾞ,"
             "長尺,向き\r\n"
             "1,圧縮なし,2,1062 KB,2480,3508,dpi,dpi,300.0,300.0,210.0,297.0,A4,0,縦\r\n"
             "2,圧縮なし,2,1064 KB,3508,2480,dpi,dpi,300.0,300.0,297.0,210.0,A4,0,横\r\n"
             "3,圧縮なし,1667M,15 KB,100,50,dpcm,dpcm,118.1,118.1,8.5,4.2,,,横\r\n"
             "4,圧縮なし,256,432 KB,940,470,,,,,100.0,100.0,,,横\r\n");
    EXPECT_EQ(pageListCsv(read, m_forms), expected);
}

TEST(PageInfoTexts, CompressionAndColourCountFollowTheListing)
{
    EXPECT_EQ(compressionText(4), "CCITT G4");
    EXPECT_EQ(compressionText(32946), "Defalte");
    EXPECT_EQ(compressionText(8), "???");
    EXPECT_EQ(colourCountText(0), "256");
    EXPECT_EQ(colourCountText(16), "32767");
    EXPECT_EQ(colourCountText(32), "1667");
    EXPECT_EQ(colourCountText(2), "-1");
}

TEST(PageInfoRead, UnreadableFilesGiveTheReaderCodeAndNoPages)
{
    test::TempDir dir;
    std::vector<SheetPage> read(3);
    EXPECT_EQ(readPages(dir.file("missing.tif"), read), common::tiffcode::OpenFailed);
    EXPECT_TRUE(read.empty());
    ASSERT_TRUE(test::writeFile(dir.file("text.tif"), "not a TIFF at all"));
    EXPECT_EQ(readPages(dir.file("text.tif"), read), common::tiffcode::NotTiff);
    // A header pointing at a directory beyond the file end.
    ASSERT_TRUE(test::writeFile(dir.file("short.tif"), std::string("II*\0\xFF\0\0\0", 8)));
    EXPECT_EQ(readPages(dir.file("short.tif"), read), common::tiffcode::SeekFailed);
    EXPECT_TRUE(read.empty());
}

}  // namespace
}  // namespace tnw::sheet
