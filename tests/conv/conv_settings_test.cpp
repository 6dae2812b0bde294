// Loading and saving the settings record through sbxLoadIni and sbxSaveIni.
#include "tnwconv.h"

#include "common/platform/cp932.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using tnw::platform::sjis;
using tnw::test::readFile;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

TEST(ConvSettings, MissingFileGivesTheDefaults)
{
    TempDir dir;
    ConvSettings s;
    std::memset(&s, 0x55, sizeof s);
    EXPECT_EQ(sbxLoadIni(dir.file("none.ini").c_str(), &s), 0);

    ConvSettings expected = {};
    expected.nMakeLog = 1;
    expected.nShowLog = 1;
    expected.nShowDlgParm = 1;
    std::strcpy(expected.szExt, "tif");
    EXPECT_EQ(std::memcmp(&s, &expected, sizeof s), 0);
}

TEST(ConvSettings, LongTemplatesAreCutToTheFieldWidth)
{
    TempDir dir;
    const std::string ini = dir.file("k.ini");
    const std::string longText(100, 'm');
    writeFile(ini, "[Settings]\r\nszMetaFile=" + longText + "\r\nszExt=" + longText +
                       "\r\nszFold2=" + std::string(300, 'f') + "\r\n");
    ConvSettings s;
    sbxLoadIni(ini.c_str(), &s);
    EXPECT_EQ(std::string(s.szMetaFile), std::string(79, 'm'));
    EXPECT_EQ(std::string(s.szExt), std::string(15, 'm'));
    EXPECT_EQ(std::string(s.szFold2), std::string(259, 'f'));
}

TEST(ConvSettings, IntegersReadLikeThePlatformReader)
{
    TempDir dir;
    const std::string ini = dir.file("k.ini");
    writeFile(ini, "[pageinfo]\nNMODE=abc\nnImageType=12x\nnPageOrder=-3\n"
                   "[Settings]\nnMakeLog=\nnFiling=7\n");
    ConvSettings s;
    sbxLoadIni(ini.c_str(), &s);
    EXPECT_EQ(s.nMode, 0);
    EXPECT_EQ(s.nImageType, 12);
    EXPECT_EQ(s.nPageOrder, -3);
    EXPECT_EQ(s.nMakeLog, 1);  // present but empty: the default, as the platform reader gives
    EXPECT_EQ(s.nFiling, 7);
    EXPECT_EQ(s.nShowLog, 1);
}

ConvSettings everyFieldSet()
{
    ConvSettings s = {};
    int* ints[] = {&s.nMode, &s.nImageType, &s.nPageOrder, &s.nNameInType, &s.nNameInNo,
                   &s.nSortOrder, &s.nBatchLevel, &s.nShowDlg, &s.nModeSubDir, &s.nMenuType,
                   &s.nNameingFile, &s.nNameingDir, &s.nFolding, &s.nFoldSub1, &s.nFoldSub2,
                   &s.nFiling, &s.nDateing, &s.nDateNo, &s.nForming, &s.nYear1, &s.nMonth1,
                   &s.nDay1, &s.nYear2, &s.nMonth2, &s.nDay2, &s.nMakeLog, &s.nShowLog,
                   &s.nNameingLog, &s.nShowDlgParm, &s.nNameSort, &s.nT2PFlag};
    int v = -7;
    for (int* p : ints)
        *p = v += 13;
    std::strcpy(s.szMetaFile, sjis("&Y&M&D_報告").c_str());
    std::strcpy(s.szMetaDir, " leading and trailing ");
    std::strcpy(s.szExt, "pdf");
    std::strcpy(s.szFold2, sjis("/scan/出力").c_str());
    std::strcpy(s.szMetaSub1, "\"quoted\"");
    std::strcpy(s.szMetaSub2, "a=b;c");
    std::strcpy(s.szMetaLog, std::string(79, 'z').c_str());
    return s;
}

TEST(ConvSettings, SaveThenLoadGivesBackEveryStoredField)
{
    TempDir dir;
    const std::string ini = dir.file("k.ini");
    const ConvSettings saved = everyFieldSet();
    ASSERT_EQ(sbxSaveIni(ini.c_str(), &saved), 0);
    ConvSettings loaded;
    sbxLoadIni(ini.c_str(), &loaded);
    EXPECT_EQ(std::memcmp(&loaded, &saved, sizeof saved), 0);
}

TEST(ConvSettings, SaveWritesTheFixedOrderAndNeverTheRunFields)
{
    TempDir dir;
    const std::string ini = dir.file("k.ini");
    writeFile(ini, "; program settings\r\n[App]\r\nnX=1\r\n");
    ConvSettings s = everyFieldSet();
    s.nPdfVerMajor = 1;
    s.nPdfVerMinor = 6;
    s.nRunFlagA = 9;
    s.nSubDirMirror = 1;
    sbxSaveIni(ini.c_str(), &s);
    const std::string text = readFile(ini);

    EXPECT_EQ(text.rfind("; program settings\r\n[App]\r\nnX=1\r\n", 0), 0u);
    const char* order[] = {"[PageInfo]", "nMode=", "nMenuType=", "[Settings]", "nNameingFile=",
                           "nNameingDir=", "nFolding=", "nDay2=", "szMetaFile=", "szMetaDir=",
                           "szExt=", "szFold2=", "szMetaSub1=", "szMetaSub2=", "nMakeLog=",
                           "nShowLog=", "nNameingLog=", "szMetaLog=", "nShowDlgParm=",
                           "nNameSort=", "nT2PFlag="};
    size_t at = 0;
    for (const char* key : order) {
        const size_t found = text.find(key, at);
        ASSERT_NE(found, std::string::npos) << key;
        at = found;
    }
    EXPECT_EQ(text.find("Pdf"), std::string::npos);
    EXPECT_EQ(text.find("nRunFlag"), std::string::npos);
    EXPECT_EQ(text.find("nSubDirMirror"), std::string::npos);
    EXPECT_EQ(text.find('\n', 0) - 1, text.find('\r', 0));  // CR LF line ends
}

TEST(ConvSettings, LineBreaksInATextCannotInjectLines)
{
    TempDir dir;
    const std::string ini = dir.file("k.ini");
    ConvSettings s = {};
    std::strcpy(s.szMetaFile, "abc\r\n[PageInfo]\r\nnMode=1");
    sbxSaveIni(ini.c_str(), &s);
    ConvSettings loaded;
    sbxLoadIni(ini.c_str(), &loaded);
    EXPECT_STREQ(loaded.szMetaFile, "abc");
    EXPECT_EQ(loaded.nMode, 0);
}

}  // namespace
