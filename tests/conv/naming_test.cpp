// Output folders and names: the folder rules, kvl_GetPathTo and its log paths, the per-image
// and per-folder PDF names, the output check and the numbers for renaming.
#include "conv/naming.h"

#include "tnwconv.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/ui.h"
#include "conv/job_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using tnw::common::fixedClock;
using tnw::common::LocalTime;
using tnw::conv::NamingEngine;
using tnw::platform::PathKind;
using tnw::platform::pathKind;
using tnw::platform::sjis;

namespace {

constexpr LocalTime kDec7{2026, 12, 7, 9, 5, 3};

template <size_t N>
void setText(char (&field)[N], const std::string& text)
{
    ASSERT_LT(text.size(), N);
    std::memcpy(field, text.c_str(), text.size() + 1);
}

class Naming : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ui = std::make_shared<tnw::platform::RecorderUi>();
        tnw::platform::setUiBackend(m_ui);
        m_s = ConvSettings{};
        setText(m_s.szExt, "pdf");
        m_scan = m_dir.file("scan");
        m_out = m_dir.file("out");
        ASSERT_TRUE(tnw::platform::createFolder(m_scan));
        ASSERT_TRUE(tnw::platform::createFolder(m_out));
    }
    void TearDown() override { tnw::platform::setUiBackend(nullptr); }

    // kvl_GetPathTo with the fixed clock.
    int getPathTo(const std::string& base)
    {
        std::strcpy(m_folder, "stale");
        std::strcpy(m_pdf, "stale");
        std::strcpy(m_log, "stale");
        return tnw::conv::getPathTo(base.c_str(), &m_s, m_folder, m_pdf, m_log,
                                    fixedClock(kDec7));
    }
    void fixedOutput(int sub)
    {
        m_s.nFolding = 1;
        m_s.nFoldSub2 = sub;
        setText(m_s.szFold2, m_out);
    }
    const tnw::platform::RecorderUi::Message& lastMessage() const
    {
        static const tnw::platform::RecorderUi::Message none{};
        return m_ui->messages.empty() ? none : m_ui->messages.back();
    }

    tnw::test::TempDir m_dir;
    std::shared_ptr<tnw::platform::RecorderUi> m_ui;
    ConvSettings m_s{};
    std::string m_scan, m_out;
    char m_folder[260] = {};
    char m_pdf[260] = {};
    char m_log[400] = {};
};

}  // namespace

TEST_F(Naming, GetPathToNamesTheJoinedPdfByTheFileRule)
{
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_folder), m_scan);
    EXPECT_EQ(std::string(m_pdf), m_scan + "/scan.pdf");
    EXPECT_EQ(std::string(m_log), "");
    EXPECT_EQ(std::string(tnw::conv::jobState().baseFolder), m_scan);

    m_s.nNameingFile = 1;
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_pdf), m_scan + "/scan_20261207_090503.pdf");

    m_s.nNameingFile = 2;
    setText(m_s.szMetaFile, "&d_%g");
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_pdf), m_scan + "/scan_" + sjis("令和8") + ".pdf");

    m_s.nNameingFile = 3;
    EXPECT_EQ(getPathTo(m_scan), tnw::conv::kNoOutputName);
    EXPECT_EQ(std::string(m_pdf), "");
    EXPECT_TRUE(m_ui->messages.empty());
}

TEST_F(Naming, SubFoldersOfTheInputFolder)
{
    m_s.nFoldSub1 = 1;
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_folder), m_scan + "/20261207_090503");
    EXPECT_EQ(pathKind(m_folder), PathKind::Folder);
    EXPECT_EQ(std::string(m_pdf), m_scan + "/20261207_090503/scan.pdf");

    m_s.nFoldSub1 = 2;
    setText(m_s.szMetaSub1, "&Y&m");
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_folder), m_scan + "/202612");

    m_s.nFoldSub1 = 7;  // no sub-folder
    EXPECT_EQ(getPathTo(m_scan + "/"), 0);
    EXPECT_EQ(std::string(m_folder), m_scan);
}

TEST_F(Naming, SubFoldersOfTheFixedOutputFolder)
{
    fixedOutput(0);
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_folder), m_out);
    EXPECT_EQ(std::string(m_pdf), m_out + "/scan.pdf");

    fixedOutput(1);
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_folder), m_out + "/20261207_090503");

    fixedOutput(2);
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_folder), m_out + "/scan");

    fixedOutput(3);
    setText(m_s.szMetaSub2, "&d-%y");
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_folder), m_out + "/scan-26");
    EXPECT_TRUE(m_ui->messages.empty());
}

TEST_F(Naming, LogPathRows)
{
    fixedOutput(0);
    m_s.nMakeLog = 1;
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_log), m_out + "/scan_20261207_090503.csv");

    m_s.nNameingLog = 1;
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_log), m_out + "/scan.csv");

    m_s.nNameingLog = 2;
    setText(m_s.szMetaLog, "log_&d");
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_log), m_out + "/log_scan.csv");

    setText(m_s.szMetaLog, "&p");  // expands to nothing: the time stands in
    EXPECT_EQ(getPathTo(m_scan), 0);
    EXPECT_EQ(std::string(m_log), m_out + "/20261207_090503.csv");
}

TEST_F(Naming, FolderRuleFailuresShowTheirMessagesAndLeaveBuffersEmpty)
{
    EXPECT_EQ(getPathTo(""), tnw::conv::kFolderRulesFailed);
    EXPECT_EQ(lastMessage().title, "Sablon");
    EXPECT_EQ(lastMessage().text, sjis("出力ﾌｫﾙﾀﾞ名が不正です。"));
    EXPECT_EQ(std::string(m_folder) + m_pdf + m_log, "");

    EXPECT_EQ(getPathTo(m_dir.file("gone")), tnw::conv::kFolderRulesFailed);
    EXPECT_EQ(lastMessage().title, "Sablon");
    EXPECT_EQ(lastMessage().text,
              sjis("作成ﾌｫﾙﾀﾞ:") + m_dir.file("gone") + sjis(" が存在しません。"));

    m_s.nFoldSub1 = 2;
    setText(m_s.szMetaSub1, "&x");
    EXPECT_EQ(getPathTo(m_scan), tnw::conv::kFolderRulesFailed);
    EXPECT_EQ(lastMessage().title, "Sablon");
    EXPECT_EQ(lastMessage().text, sjis("ｻﾌﾞﾌｫﾙﾀﾞが作成できません。"));

    // A file where the sub-folder should be: the application's message box.
    setText(m_s.szMetaSub1, "taken");
    ASSERT_TRUE(tnw::test::writeFile(m_scan + "/taken", "x"));
    EXPECT_EQ(getPathTo(m_scan), tnw::conv::kFolderRulesFailed);
    EXPECT_EQ(lastMessage().title, "Dravik");
    EXPECT_EQ(lastMessage().text,
              sjis("出力ﾌｫﾙﾀﾞ( ") + m_scan + "/taken" + sjis(" )が作成できません。"));
}

TEST_F(Naming, ResultsThatDoNotFitTheirBuffersAreRefusedNotCut)
{
    const std::string longBase = m_dir.file(std::string(200, 'b'));
    ASSERT_TRUE(tnw::platform::createFolder(longBase));
    EXPECT_EQ(getPathTo(longBase), tnw::conv::kNoOutputName);
    EXPECT_EQ(lastMessage().text, sjis("出力ﾊﾟｽ名が作成できません。"));
    EXPECT_EQ(std::string(m_folder) + m_pdf, "");

    // The PDF fits with a short name, the log path not within 400 bytes.
    m_s.nNameingFile = 2;
    setText(m_s.szMetaFile, "x");
    EXPECT_EQ(getPathTo(longBase), 0);
    m_s.nMakeLog = 1;
    m_s.nNameingLog = 2;
    setText(m_s.szMetaLog, "&d&d");
    EXPECT_EQ(getPathTo(longBase), tnw::conv::kNoOutputName);
    EXPECT_EQ(std::string(m_log), "");

    // A base too long to be remembered whole.
    fixedOutput(0);
    std::memset(m_s.szFold2, 'f', sizeof m_s.szFold2);  // no zero inside the field
    EXPECT_EQ(getPathTo(m_scan), tnw::conv::kFolderRulesFailed);
    EXPECT_EQ(lastMessage().text, sjis("出力ﾌｫﾙﾀﾞ名が不正です。"));

    const std::string huge = "/" + std::string(260, 'h');
    EXPECT_EQ(getPathTo(huge), tnw::conv::kFolderRulesFailed);
    EXPECT_EQ(lastMessage().text, sjis("出力ﾌｫﾙﾀﾞ名が不正です。"));
}

TEST_F(Naming, GetDirToAppliesTheRulesSilently)
{
    char out[260] = "stale";
    m_s.nFoldSub1 = 1;
    EXPECT_EQ(tnw::conv::getDirTo(&m_s, m_scan.c_str(), out, fixedClock(kDec7)), 0);
    EXPECT_EQ(std::string(out), m_scan + "/20261207_090503");
    EXPECT_EQ(tnw::conv::getDirTo(&m_s, m_dir.file("gone").c_str(), out, fixedClock(kDec7)), -1);
    EXPECT_EQ(std::string(out), "");
    EXPECT_EQ(kvl_GetDirTo(nullptr, m_scan.c_str(), out), -1);
    EXPECT_TRUE(m_ui->messages.empty());
}

TEST_F(Naming, PerImageNamesInFileMode)
{
    const std::string image = m_scan + "/p1.jpg";
    ASSERT_TRUE(tnw::test::writeFile(image, "x"));
    const LocalTime runStart{2026, 1, 2, 3, 4, 5};
    NamingEngine engine(m_s, fixedClock(kDec7));
    std::string path;
    EXPECT_EQ(engine.imagePdfPath(image, m_out, runStart, path), 0);
    EXPECT_EQ(path, m_out + "/p1.pdf");

    m_s.nNameingFile = 1;
    EXPECT_EQ(NamingEngine(m_s).imagePdfPath(image, m_out, runStart, path), 0);
    EXPECT_EQ(path, m_out + "/p1_20260102_030405.pdf");

    m_s.nNameingFile = 2;
    setText(m_s.szMetaFile, "&Y&m&D_&f");
    EXPECT_EQ(NamingEngine(m_s, fixedClock(kDec7)).imagePdfPath(image, m_out, runStart, path), 0);
    EXPECT_EQ(path, m_out + "/20261207_p1.pdf");

    setText(m_s.szMetaFile, "&x");
    EXPECT_EQ(NamingEngine(m_s).imagePdfPath(image, m_out, runStart, path), tnw::conv::kNameEmpty);
    EXPECT_EQ(path, "");
}

TEST_F(Naming, PerImageNamesInFolderMode)
{
    const std::string image = m_scan + "/p1.jpg";
    ASSERT_TRUE(tnw::test::writeFile(image, "x"));
    const LocalTime runStart{2026, 1, 2, 3, 4, 5};
    m_s.nMode = 1;
    setText(m_s.szMetaFile, "&d-&f");
    setText(m_s.szMetaDir, "unused");
    const std::pair<int, std::string> rows[] = {
        {0, "p1"},
        {1, "p1_20260102_030405"},
        {2, "scan_p1"},
        {3, "scan_p1_20260102_030405"},
        {4, "scan-p1"},
        {5, "scan"},
    };
    for (const auto& [rule, name] : rows) {
        m_s.nNameingDir = rule;
        std::string path;
        EXPECT_EQ(NamingEngine(m_s).imagePdfPath(image, m_out, runStart, path), 0) << rule;
        EXPECT_EQ(path, m_out + "/" + name + ".pdf") << rule;
    }
    // Without a file template the folder template names the image.
    setText(m_s.szMetaFile, "");
    setText(m_s.szMetaDir, "&f_&d");
    m_s.nNameingDir = 4;
    std::string path;
    EXPECT_EQ(NamingEngine(m_s).imagePdfPath(image, m_out, runStart, path), 0);
    EXPECT_EQ(path, m_out + "/p1_scan.pdf");
}

TEST_F(Naming, PerImagePathOf260BytesIsRefused)
{
    const std::string image = m_scan + "/" + std::string(200, 'p') + ".jpg";
    std::string path;
    const std::string deep = m_dir.file(std::string(40, 'o'));
    EXPECT_EQ(NamingEngine(m_s).imagePdfPath(image, deep, kDec7, path), tnw::conv::kPathTooLong);
    EXPECT_EQ(path, "");
}

TEST_F(Naming, PerFolderNamesOfTheJoinedFolderRun)
{
    const std::string box = m_scan + "/box1";
    ASSERT_TRUE(tnw::platform::createFolder(box));
    setText(m_s.szMetaDir, "%Y_&d");
    const std::pair<int, std::string> rows[] = {
        {0, "box1"},
        {1, "box1_20261207_090503"},
        {2, "scan_box1"},
        {3, "scan_box1_20261207_090503"},
        {4, "2026_box1"},
    };
    for (const auto& [rule, name] : rows) {
        m_s.nNameingDir = rule;
        std::string path;
        NamingEngine engine(m_s, fixedClock(kDec7));
        EXPECT_EQ(engine.folderPdfPath(box, m_out, path), 0) << rule;
        EXPECT_EQ(path, m_out + "/" + name + ".pdf") << rule;
    }
    std::string path;
    m_s.nNameingDir = 5;
    EXPECT_EQ(NamingEngine(m_s).folderPdfPath(box, m_out, path), tnw::conv::kNoNamingRule);
    m_s.nNameingDir = 4;
    setText(m_s.szMetaDir, "&p");
    EXPECT_EQ(NamingEngine(m_s).folderPdfPath(box, m_out, path), 0);
    EXPECT_EQ(path, m_out + "/_tnwsablon.pdf");

    const std::string deep = m_dir.file(std::string(250, 'o'));
    EXPECT_EQ(NamingEngine(m_s).folderPdfPath(box, deep, path), tnw::conv::kPathTooLong);
    EXPECT_EQ(lastMessage().title, "Sablon");
    EXPECT_EQ(lastMessage().text, sjis("出力ﾊﾟｽ名が作成できません。"));
}

TEST_F(Naming, OutputCheckForFolders)
{
    char resolved[260] = "stale";
    EXPECT_EQ(sbxGetPathTo(1, m_scan.c_str(), m_out.c_str(), resolved), 0);
    EXPECT_EQ(std::string(resolved), m_out);
    EXPECT_EQ(sbxGetPathTo(1, m_scan.c_str(), "", resolved), 0);
    EXPECT_EQ(std::string(resolved), m_scan);
    EXPECT_TRUE(m_ui->messages.empty());

    const std::string gone = m_dir.file("gone");
    EXPECT_EQ(sbxGetPathTo(1, m_scan.c_str(), gone.c_str(), resolved), -9);
    EXPECT_EQ(lastMessage().text, sjis("出力：") + gone + sjis(" が存在しません。"));
    EXPECT_EQ(lastMessage().title, "Dravik");
    EXPECT_EQ(std::string(resolved), "");

    const std::string file = m_dir.file("f.pdf");
    ASSERT_TRUE(tnw::test::writeFile(file, "x"));
    EXPECT_EQ(sbxGetPathTo(1, m_scan.c_str(), file.c_str(), resolved), -1);
    EXPECT_EQ(lastMessage().text, sjis("出力：") + file + sjis(" はフォルダでありません。"));

    const std::string tooLong = "/" + std::string(260, 'x');
    EXPECT_EQ(sbxGetPathTo(1, m_scan.c_str(), tooLong.c_str(), resolved), -4);
    EXPECT_EQ(lastMessage().text, sjis("出力：") + tooLong + sjis(" は不正です。"));
}

TEST_F(Naming, OutputCheckForAJoinedPdf)
{
    char resolved[260] = "stale";
    const std::string pdf = m_out + "/all.pdf";
    EXPECT_EQ(sbxGetPathTo2(0, 1, m_scan.c_str(), pdf.c_str(), resolved), 0);
    EXPECT_EQ(std::string(resolved), pdf);
    EXPECT_EQ(sbxGetPathTo(0, m_scan.c_str(), "", resolved), 0);
    EXPECT_EQ(std::string(resolved), m_scan + "/scan.tif");

    const std::string orphan = m_dir.file("gone/all.pdf");
    EXPECT_EQ(sbxGetPathTo2(0, 1, m_scan.c_str(), orphan.c_str(), resolved), -9);
    EXPECT_EQ(lastMessage().text, sjis("出力：") + orphan + sjis(" の親が存在しません。"));

    // An existing PDF path that is a folder.
    ASSERT_TRUE(tnw::platform::createFolder(m_out + "/dir.pdf"));
    EXPECT_EQ(sbxGetPathTo2(0, 1, m_scan.c_str(), (m_out + "/dir.pdf").c_str(), resolved), -1);
    EXPECT_EQ(lastMessage().text,
              sjis("出力：") + m_out + "/dir.pdf" + sjis(" はファイル名でありません。"));

    // Folder mode and single outputs want a folder.
    EXPECT_EQ(sbxGetPathTo2(1, 1, m_scan.c_str(), pdf.c_str(), resolved), -9);
    EXPECT_EQ(sbxGetPathTo2(0, 0, m_scan.c_str(), m_out.c_str(), resolved), 0);
}

TEST(Rename, NumberInTheNameByRule)
{
    ConvSettings s{};
    char name[16];
    auto number = [&](const char* path, int rule) {
        s.nNameInType = rule;
        std::strcpy(name, "stale");
        return sbxDoRename(path, name, &s);
    };
    EXPECT_EQ(number("/s/IMG_0012.jpg", 1), 0);
    EXPECT_STREQ(name, "00012");
    EXPECT_EQ(number("/s/(3)scan.jpg", 3), 0);
    EXPECT_STREQ(name, "00003");
    EXPECT_EQ(number("/s/42abc7.jpg", 0), 0);
    EXPECT_STREQ(name, "00042");
    EXPECT_EQ(number("/s/abc.jpg", 0), 0);
    EXPECT_STREQ(name, "00000");
    EXPECT_EQ(number("/s/ab12cd34.jpg", 2), 0);
    EXPECT_STREQ(name, "00012");
    EXPECT_EQ(number("/s/99999999999999.jpg", 0), 0);
    EXPECT_STREQ(name, "2147483647");

    EXPECT_EQ(number("/s/abc.jpg", 1), -2);
    EXPECT_EQ(number("/s/abc.jpg", 2), -2);
    EXPECT_EQ(number("/s/abc.jpg", 3), -1);
    EXPECT_EQ(number("/s/a)b(3.jpg", 3), -2);
    EXPECT_EQ(number("/s/a1.jpg", 4), -2);
    EXPECT_EQ(number("/s/.jpg", 0), -1);
    EXPECT_EQ(sbxDoRename(nullptr, name, &s), -1);
}
