#include "app/core/settings/app_settings.h"
#include "app/core/settings/window_placement.h"

#include "common/platform/cp932.h"
#include "common/platform/profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace tnw::app;
using tnw::test::TempDir;

namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    void write(const std::string& text) { ASSERT_TRUE(tnw::test::writeFile(m_ini, text)); }
    std::string content() const { return tnw::test::readFile(m_ini); }

    TempDir m_dir;
    std::string m_ini = m_dir.file("Korvelin.ini");
};

// The key names of a section in file order.
std::vector<std::string> keysOf(const std::string& ini, const char* section)
{
    char buf[8192];
    const unsigned n = tnw::platform::GetPrivateProfileKeyNames(section, buf, sizeof buf,
                                                                ini.c_str());
    std::vector<std::string> keys;
    for (unsigned i = 0; i < n && buf[i];) {
        keys.emplace_back(buf + i);
        i += static_cast<unsigned>(keys.back().size()) + 1;
    }
    return keys;
}

}  // namespace

TEST_F(AppSettingsTest, MissingFileGivesDefaults)
{
    AppSettings s;
    s.nTif2Pdf = 7;
    std::strcpy(s.szPdfTitle, "old");
    EXPECT_EQ(LoadAppSettings(s, m_ini), 0);
    EXPECT_EQ(s.nWho, 21);
    EXPECT_EQ(s.nPDFVersMajor, 1);
    EXPECT_EQ(s.nPDFVersMinor, 1);
    EXPECT_EQ(s.nTif2Pdf, 0);
    EXPECT_EQ(s.nSubDirLevel, 1);
    EXPECT_STREQ(s.szPdfTitle, "");
    EXPECT_EQ(s.lvFile.nSortNo, 0);
    EXPECT_EQ(s.lvFile.nSortDir, 1);
    EXPECT_EQ(s.lvFile.nColCount, 0);
    EXPECT_EQ(tnw::test::readFile(m_ini), "");  // loading never writes
}

TEST_F(AppSettingsTest, ForcedValuesAreNotRead)
{
    write("[App]\r\nnJpg2Tif=0\r\nnMakePdf=0\r\nnVerifyTif=1\r\nnVerifyPdf=1\r\nnConvTif=0\r\n"
          "nPutWangA=5\r\nnTif2Pdf=1\r\nnPDFVersMajor=1\r\nnPDFVersMinor=4\r\nnWho=25\r\n");
    AppSettings s;
    LoadAppSettings(s, m_ini);
    EXPECT_EQ(s.nJpg2Tif, 1);
    EXPECT_EQ(s.nMakePdf, 1);
    EXPECT_EQ(s.nVerifyTif, 0);
    EXPECT_EQ(s.nVerifyPdf, 0);
    EXPECT_EQ(s.nConvTif, 1);
    EXPECT_EQ(s.nPutWangA, 5);
    EXPECT_EQ(s.nTif2Pdf, 1);
    EXPECT_EQ(s.nPDFVersMinor, 4);
    EXPECT_EQ(s.nWho, 25);
}

TEST_F(AppSettingsTest, SubDirLevelOfZeroOrLessLoadsAsOne)
{
    for (const char* value : {"0", "-3", "x"}) {
        write(std::string("[App]\r\nnSubDirLevel=") + value + "\r\n");
        AppSettings s;
        LoadAppSettings(s, m_ini);
        EXPECT_EQ(s.nSubDirLevel, 1) << value;
    }
    write("[App]\r\nnSubDirLevel=4\r\n");
    AppSettings s;
    LoadAppSettings(s, m_ini);
    EXPECT_EQ(s.nSubDirLevel, 4);
}

TEST_F(AppSettingsTest, ColumnWidthsStopAtTheFirstWidthOfZero)
{
    write("[LvFile]\r\nnColxy_0=80\r\nnColxy_1=0\r\nnColxy_2=60\r\n"
          "[LvDir2]\r\nnSortNo=3\r\nnSortDir=0\r\nnColxy_0=10\r\nnColxy_1=20\r\nnColxy_3=40\r\n");
    AppSettings s;
    LoadAppSettings(s, m_ini);
    ASSERT_EQ(s.lvFile.nColCount, 1);
    EXPECT_EQ(s.lvFile.nColxy[0], 80);
    EXPECT_EQ(s.lvDir2.nColCount, 2);  // nColxy_2 missing ends the list
    EXPECT_EQ(s.lvDir2.nSortNo, 3);
    EXPECT_EQ(s.lvDir2.nSortDir, 0);
    EXPECT_EQ(s.lvPage.nColCount, 0);
}

TEST_F(AppSettingsTest, NeverMoreThanOneHundredColumns)
{
    std::string text = "[LvPage]\r\n";
    for (int i = 0; i < 120; ++i)
        text += "nColxy_" + std::to_string(i) + "=" + std::to_string(i + 1) + "\r\n";
    write(text);
    AppSettings s;
    LoadAppSettings(s, m_ini);
    EXPECT_EQ(s.lvPage.nColCount, 100);
    EXPECT_EQ(s.lvPage.nColxy[99], 100);
}

TEST_F(AppSettingsTest, LongTextIsCutToItsBufferAtACharacterBoundary)
{
    // 508 ASCII bytes and then one double-byte character: the buffer holds 509 bytes, so the
    // character that would be split goes whole.
    const std::string kanji = tnw::platform::sjis("漢");
    write("[App]\r\nszPdfTitle=" + std::string(508, 'a') + kanji + "\r\n");
    AppSettings s;
    LoadAppSettings(s, m_ini);
    EXPECT_EQ(std::strlen(s.szPdfTitle), 508u);
}

TEST_F(AppSettingsTest, SaveWritesTheKeysInRecordOrderWithoutListState)
{
    AppSettings s;
    s.nMakePdf = 0;  // always written as 1
    s.nTif2Pdf = 1;
    s.nWho = 25;
    s.nSubDirLevel = 3;
    std::strcpy(s.szPdfTitle, "Title");
    std::strcpy(s.szPdfCreator, "Me");
    s.lvFile.nColCount = 1;
    s.lvFile.nColxy[0] = 50;
    ASSERT_TRUE(SaveAppSettings(s, m_ini));

    const std::vector<std::string> expected = {
        "nJpg2Tif",    "nMakePdf",     "nPutWangA",    "nPDFVersMajor", "nPDFVersMinor",
        "nVerifyTif",  "nVerifyPdf",   "nConvTif",     "nTif2Pdf",      "nSubDirShow",
        "nSubDirProc", "nSubDirLevel", "nSubDirZeros", "szPdfTitle",    "szPdfSubject",
        "szPdfAuthor", "szPdfKeyword", "szPdfCreator"};
    EXPECT_EQ(keysOf(m_ini, "App"), expected);
    EXPECT_EQ(keysOf(m_ini, "LvFile"), std::vector<std::string>{});
    const std::string text = content();
    EXPECT_NE(text.find("nMakePdf=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("nSubDirLevel=3\r\n"), std::string::npos);

    AppSettings back;
    LoadAppSettings(back, m_ini);
    EXPECT_EQ(back.nTif2Pdf, 1);
    EXPECT_STREQ(back.szPdfTitle, "Title");
    EXPECT_STREQ(back.szPdfCreator, "Me");
    EXPECT_EQ(back.nWho, 21);
}

TEST_F(AppSettingsTest, SaveKeepsTheLibrarySectionsAndComments)
{
    write("; kept\r\n[Settings]\r\nnMakeLog=1\r\n[App]\r\nnTif2Pdf=0\r\n");
    AppSettings s;
    s.nTif2Pdf = 1;
    ASSERT_TRUE(SaveAppSettings(s, m_ini));
    const std::string text = content();
    EXPECT_EQ(text.rfind("; kept\r\n[Settings]\r\nnMakeLog=1\r\n[App]\r\nnTif2Pdf=1\r\n", 0), 0u);
}

TEST_F(AppSettingsTest, TextsKeepTheirBlanksAndQuotes)
{
    AppSettings s;
    std::strcpy(s.szPdfTitle, " padded ");
    std::strcpy(s.szPdfSubject, "\"quoted\"");
    std::strcpy(s.szPdfAuthor, "line\r\nbreak=x");  // a line break ends the text
    const std::string kanji = tnw::platform::sjis("作成者 表示");
    std::strcpy(s.szPdfKeyword, kanji.c_str());
    ASSERT_TRUE(SaveAppSettings(s, m_ini));
    AppSettings back;
    LoadAppSettings(back, m_ini);
    EXPECT_STREQ(back.szPdfTitle, " padded ");
    EXPECT_STREQ(back.szPdfSubject, "\"quoted\"");
    EXPECT_STREQ(back.szPdfAuthor, "line");
    EXPECT_EQ(std::string(back.szPdfKeyword), kanji);
    EXPECT_EQ(keysOf(m_ini, "App").size(), 18u);  // nothing leaked into keys of its own
}

TEST_F(AppSettingsTest, CurrentListWritesOnlyWho)
{
    AppSettings s;
    ASSERT_TRUE(SaveCurrentList(s, kListDir1, m_ini));
    EXPECT_EQ(s.nWho, 25);
    EXPECT_EQ(content(), "[App]\r\nnWho=25\r\n");
}

TEST_F(AppSettingsTest, ColumnWidthsRoundTripThroughTheirSection)
{
    ListColumnSettings columns;
    columns.nColCount = 3;
    columns.nColxy[0] = 120;
    columns.nColxy[1] = 45;
    columns.nColxy[2] = 80;
    ASSERT_TRUE(SaveColumnWidths(kListPageSubDir, columns, m_ini));
    EXPECT_EQ(content(), "[LvPageSubDir]\r\nnColxy_0=120\r\nnColxy_1=45\r\nnColxy_2=80\r\n");
    AppSettings s;
    LoadAppSettings(s, m_ini);
    ASSERT_EQ(s.lvPageSubDir.nColCount, 3);
    EXPECT_EQ(s.lvPageSubDir.nColxy[1], 45);
}

TEST_F(AppSettingsTest, SortIsStoredOnlyForListsWithSortableColumns)
{
    AppSettings s;
    for (ListKind kind : {kListFile, kListPage, kListDir1, kListFileSubDir, kListPageSubDir}) {
        EXPECT_TRUE(SaveSort(s, kind, 2, 0, m_ini)) << kind;
        EXPECT_EQ(columnsOf(s, kind)->nSortNo, 2);
        EXPECT_EQ(columnsOf(s, kind)->nSortDir, 0);
    }
    for (int kind : {int(kListFileThumbs), int(kListPageThumbs), int(kListDir2), 99})
        EXPECT_FALSE(SaveSort(s, kind, 4, 1, m_ini)) << kind;
    EXPECT_EQ(s.lvDir2.nSortNo, 0);
    EXPECT_EQ(content().find("LvDir2"), std::string::npos);
    EXPECT_EQ(content().find("Lv???"), std::string::npos);
    AppSettings back;
    LoadAppSettings(back, m_ini);
    EXPECT_EQ(back.lvPageSubDir.nSortNo, 2);
}

TEST(ListKind, SectionNames)
{
    EXPECT_STREQ(columnSection(kListFile), "LvFile");
    EXPECT_STREQ(columnSection(kListDir2), "LvDir2");
    EXPECT_STREQ(columnSection(kListPageSubDir), "LvPageSubDir");
    EXPECT_STREQ(columnSection(kListFileThumbs), "Lv???");
    EXPECT_STREQ(columnSection(0), "Lv???");
}

TEST(DialogText, KeptOnlyWhenOneTo509Bytes)
{
    char buf[kAppTextSize];
    StoreDialogText(buf, "abc");
    EXPECT_STREQ(buf, "abc");
    StoreDialogText(buf, std::string(509, 'x'));
    EXPECT_EQ(std::strlen(buf), 509u);
    StoreDialogText(buf, std::string(510, 'x'));
    EXPECT_STREQ(buf, "");
    StoreDialogText(buf, "");
    EXPECT_STREQ(buf, "");
}

TEST_F(AppSettingsTest, WindowPlacementDefaultsAndPaneFloor)
{
    WindowPlacement p;
    LoadWindowPlacement(p, m_ini);
    EXPECT_EQ(p.nShowMax, 0);
    EXPECT_EQ(p.nPaneLeft, 160);
    EXPECT_EQ(p.nLeft, 132);
    EXPECT_EQ(p.nTop, 132);
    EXPECT_EQ(p.nRight, 900);
    EXPECT_EQ(p.nBottom, 660);
    write("[WINDOW]\r\nnPaneLeft=10\r\nnLeft=5\r\n");
    LoadWindowPlacement(p, m_ini);
    EXPECT_EQ(p.nPaneLeft, 160);
    EXPECT_EQ(p.nLeft, 5);
    write("[WINDOW]\r\nnPaneLeft=20\r\n");
    LoadWindowPlacement(p, m_ini);
    EXPECT_EQ(p.nPaneLeft, 20);
}

TEST_F(AppSettingsTest, MaximisedWindowKeepsItsRestoredRectangle)
{
    WindowPlacement p;
    p.nShowMax = 1;
    p.nLeft = 10;
    p.nTop = 20;
    p.nRight = 810;
    p.nBottom = 620;
    ASSERT_TRUE(SaveWindowPlacement(p, false, m_ini));
    EXPECT_EQ(content(), "[WINDOW]\r\nnShowMax=1\r\nnLeft=10\r\nnTop=20\r\nnRight=810\r\n"
                         "nBottom=620\r\n");
    p.nPaneLeft = 240;
    ASSERT_TRUE(SaveWindowPlacement(p, true, m_ini));
    WindowPlacement back;
    LoadWindowPlacement(back, m_ini);
    EXPECT_EQ(back.nShowMax, 1);
    EXPECT_EQ(back.nPaneLeft, 240);
    EXPECT_EQ(back.nRight, 810);
}
