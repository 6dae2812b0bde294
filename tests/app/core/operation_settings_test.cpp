#include "app/core/run/operation_settings.h"
#include "app/core/text/cp932_validator.h"
#include "app/core/text/version_rule.h"

#include "common/platform/cp932.h"
#include "common/platform/profile.h"
#include "common/platform/ui.h"
#include "support/temp_dir.h"
#include "tnwconv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace tnw::app {
namespace {

using platform::MsgAnswer;
using platform::sjis;
using test::TempDir;

class OperationSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ui = std::make_shared<platform::RecorderUi>();
        platform::setUiBackend(m_ui);
        m_files.iniPath = m_dir.file("Korvelin.ini");
        m_files.historyPath = m_dir.file("tnwTo.txt");
        m_files.io = libraryConvSettingsIo();
        std::filesystem::create_directories(m_dir.file("out"));
    }
    void TearDown() override { platform::setUiBackend(nullptr); }

    OperationSettings& opened(bool folderMode = false)
    {
        m_form = std::make_unique<OperationSettings>(m_files);
        m_form->open(folderMode);
        return *m_form;
    }
    std::string lastMessage() const
    {
        return m_ui->messages.empty() ? std::string() : m_ui->messages.back().text;
    }

    TempDir m_dir;
    std::shared_ptr<platform::RecorderUi> m_ui;
    OperationSettingsFiles m_files;
    std::unique_ptr<OperationSettings> m_form;
};

TEST(VersionRule, OnlyOnePointOneToOnePointSevenAreAccepted)
{
    PdfVersion v;
    EXPECT_TRUE(parseVersion("1.4", v));
    EXPECT_EQ(v.major, 1);
    EXPECT_EQ(v.minor, 4);
    for (const char* bad : {"2.0", "1.10", "1.8", "1.0", "1.", "", "1,4", "01.4"})
        EXPECT_FALSE(parseVersion(bad, v)) << bad;
    EXPECT_EQ(versionText(1, 7), "1.7");
    EXPECT_EQ(versionText(1, 9), "1.1");
    EXPECT_EQ(versionText(0, 0), "1.1");
}

TEST(Cp932Validator, RefusesBytesPastTheLimitForbiddenAndUnmappableCharacters)
{
    const Cp932Validator doc(509);
    EXPECT_TRUE(doc.accepts(QString(509, 'a')));
    EXPECT_FALSE(doc.accepts(QString(510, 'a')));
    // A double-byte character counts two bytes.
    EXPECT_TRUE(doc.accepts(QString(254, QChar(0x3042)) + "a"));
    EXPECT_FALSE(doc.accepts(QString(255, QChar(0x3042))));
    EXPECT_FALSE(doc.accepts(QString::fromUtf8("\xF0\x9F\x98\x80")));  // no CP932 form

    const Cp932Validator meta(kMetaMaxBytes, "/");
    EXPECT_TRUE(meta.accepts("&d_%Y"));
    EXPECT_FALSE(meta.accepts("&d/%Y"));
}

TEST_F(OperationSettingsTest, FailedChecksLeaveTheSettingsFileByteForByte)
{
    const std::string before = "; mine\r\n[App]\r\nnPDFVersMinor=4\r\nszPdfTitle=old\r\n";
    ASSERT_TRUE(test::writeFile(m_files.iniPath, before));
    OperationSettings& form = opened();
    EXPECT_EQ(versionText(form.app().nPDFVersMajor, form.app().nPDFVersMinor), "1.4");
    std::strcpy(form.app().szPdfTitle, "new");

    EXPECT_FALSE(form.accept("2.0"));
    EXPECT_EQ(lastMessage(), sjis("バージョンの形式は、1.1 ～ 1.7です。"));
    EXPECT_EQ(test::readFile(m_files.iniPath), before);

    // A later check failing: nothing of the earlier steps is saved either.
    form.conv().nNameingFile = 2;
    EXPECT_FALSE(form.accept("1.5"));
    EXPECT_EQ(lastMessage(), sjis("出力ファイルのファイル単位のメタ文字列が空です。"));
    EXPECT_EQ(test::readFile(m_files.iniPath), before);
}

TEST_F(OperationSettingsTest, OkSavesBothRecordsAndForcesTheOrderFields)
{
    ASSERT_TRUE(test::writeFile(m_files.iniPath,
                                "[PageInfo]\r\nnPageOrder=2\r\n[Settings]\r\nnNameSort=0\r\n"));
    OperationSettings& form = opened();
    std::strcpy(form.app().szPdfSubject, "author");
    form.app().nTif2Pdf = 1;
    form.conv().nFiling = 1;
    form.conv().nFolding = 1;
    form.setFolderText(m_dir.file("out/"));  // a trailing '/' is harmless
    EXPECT_FALSE(form.keepJpeg());
    form.setKeepJpeg(true);
    ASSERT_TRUE(form.accept("1.6")) << lastMessage();

    ConvSettings conv{};
    sbxLoadIni(m_files.iniPath.c_str(), &conv);
    AppSettings app;
    LoadAppSettings(app, m_files.iniPath);
    EXPECT_EQ(conv.nPageOrder, 0);
    EXPECT_EQ(conv.nNameSort, 1);
    EXPECT_EQ(conv.nFiling, 1);
    EXPECT_STREQ(conv.szFold2, m_dir.file("out").c_str());
    EXPECT_EQ(app.nPDFVersMinor, 6);
    EXPECT_EQ(app.nTif2Pdf, 1);
    EXPECT_STREQ(app.szPdfSubject, "author");
    // The library's own setting goes into the same replacement of the file.
    EXPECT_EQ(tnw::platform::GetPrivateProfileInt("Settings", "nKeepJpeg", 0,
                                                  m_files.iniPath.c_str()),
              1);
    // The history holds the folder, first; no copy of the settings file is left behind.
    EXPECT_EQ(test::readFile(m_files.historyPath), m_dir.file("out") + "\r\n");
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(m_dir.path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 2);
}

TEST_F(OperationSettingsTest, SpecifiedFolderRules)
{
    OperationSettings& form = opened();
    form.conv().nFolding = 1;
    for (const std::string& bad : {std::string(), std::string("rel/dir"), std::string("/"),
                                  "/" + std::string(260, 'a')}) {
        form.setFolderText(bad);
        EXPECT_FALSE(form.accept("1.4"));
        EXPECT_EQ(lastMessage(), sjis("指定フォルダ ") + bad + sjis(" は不正です。"));
    }
    // A file where the folder should be.
    ASSERT_TRUE(test::writeFile(m_dir.file("plain"), "x"));
    form.setFolderText(m_dir.file("plain"));
    EXPECT_FALSE(form.accept("1.4"));
    EXPECT_NE(lastMessage().find(sjis("フォルダでないか")), std::string::npos);

    // A missing folder: Yes creates every level.
    const std::string deep = m_dir.file("made/a/b");
    form.setFolderText(deep);
    EXPECT_TRUE(form.accept("1.4")) << lastMessage();
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_EQ(m_ui->messages.back().text, deep + sjis(" は存在しません。作成しますか？"));

    // A level that cannot be made: the system's text, then the dialog's.
    form.setFolderText(m_dir.file("plain/below"));
    EXPECT_FALSE(form.accept("1.4"));
    EXPECT_EQ(lastMessage(),
              sjis("指定フォルダ ") + m_dir.file("plain/below") + sjis(" の作成が失敗しました。"));
}

TEST_F(OperationSettingsTest, HistoryKeepsTheStoredFolderAndDropsVanishedEntries)
{
    std::filesystem::create_directories(m_dir.file("b"));
    ASSERT_TRUE(test::writeFile(m_files.historyPath,
                                m_dir.file("gone") + "\n" + m_dir.file("b") + "\n"));
    ASSERT_TRUE(test::writeFile(m_files.iniPath,
                                "[Settings]\r\nszFold2=" + m_dir.file("out") + "\r\n"));
    OperationSettings& form = opened();
    // The stored folder is missing from the file: it joins the list and stays selected.
    EXPECT_EQ(form.folderText(), m_dir.file("out"));
    EXPECT_EQ(form.history().size(), 3u);

    EXPECT_FALSE(form.chooseHistoryEntry(m_dir.file("gone")));
    EXPECT_EQ(m_ui->messages.back().text, m_dir.file("gone") + sjis(" は存在しません。"));
    EXPECT_EQ(form.history().size(), 2u);
    EXPECT_EQ(test::readFile(m_files.historyPath).find("gone"), std::string::npos);

    // Declining to create a folder typed from the history may drop it from the history.
    form.conv().nFolding = 1;
    std::filesystem::remove(m_dir.file("out"));
    const std::string first = form.history().front();
    const std::string second = form.history().back();
    std::filesystem::remove(second);
    form.setFolderText(second);
    m_ui->answers = {MsgAnswer::No, MsgAnswer::Yes};
    EXPECT_FALSE(form.accept("1.4"));
    EXPECT_EQ(lastMessage(), sjis("指定フォルダを設定してください。"));
    EXPECT_EQ(form.history().size(), 1u);
    EXPECT_EQ(form.folderText(), first);
}

TEST_F(OperationSettingsTest, MetaStringsAreCheckedOnlyWhereTheyAreUsed)
{
    OperationSettings& form = opened(true);
    form.conv().nNameingDir = 4;
    EXPECT_FALSE(form.accept("1.4"));
    EXPECT_EQ(lastMessage(), sjis("出力ファイルのフォルダ単位のメタ文字列が空です。"));
    // A template that names nothing counts as empty.
    form.setMeta(MetaKind::Dir, "%Q");
    EXPECT_FALSE(form.accept("1.4"));
    form.setMeta(MetaKind::Dir, "&d_%Y");

    form.conv().nNameingLog = 2;
    form.conv().nMakeLog = 0;  // no log: its name is not checked
    EXPECT_TRUE(form.accept("1.4")) << lastMessage();
    form.conv().nMakeLog = 1;
    EXPECT_FALSE(form.accept("1.4"));
    EXPECT_EQ(lastMessage(), sjis("ログのファイル名のメタ文字列が空です。"));

    form.conv().nFoldSub1 = 2;
    EXPECT_FALSE(form.accept("1.4"));
    EXPECT_EQ(lastMessage(), sjis("作成フォルダのメタ文字列が空です。"));
}

TEST_F(OperationSettingsTest, NameListsAndPreviewsFollowTheCreationMethod)
{
    EXPECT_EQ(OperationSettings::nameEntries(false, 1).at(1), "ﾌｫﾙﾀﾞ名＋年月日");
    EXPECT_EQ(OperationSettings::nameEntries(true, 0).size(), 5);
    EXPECT_EQ(OperationSettings::keptIndex(4, 3), 0);
    EXPECT_EQ(OperationSettings::keptIndex(2, 3), 2);

    OperationSettings& form = opened();
    form.app().nTif2Pdf = 0;
    EXPECT_TRUE(form.offersFileName(MetaKind::File));
    EXPECT_FALSE(form.offersFileName(MetaKind::Sub1));
    EXPECT_FALSE(form.preview(MetaKind::File, "&f").empty());
    form.app().nTif2Pdf = 1;
    EXPECT_FALSE(form.offersFileName(MetaKind::File));
    EXPECT_EQ(form.preview(MetaKind::File, "&f"), "");
    EXPECT_FALSE(form.preview(MetaKind::Log, "&d").empty());
}

TEST(AfterSettings, OrderKeysResortTheFileListAndSubFolderChangesRebuildOrStop)
{
    ConvSettings before{};
    before.nPageOrder = 1;
    ConvSettings after = before;
    AppSettings app;
    const auto resorts = [&](SettingsForm form, bool empty = false) {
        return afterSettingsOk(form, before, after, app, app, empty).resortFiles;
    };
    EXPECT_FALSE(resorts(SettingsForm::Settings));
    after.nNameSort = 1;  // counts under order kind 1 only
    EXPECT_TRUE(resorts(SettingsForm::Settings));
    EXPECT_FALSE(resorts(SettingsForm::Run));  // the order shown is the order converted
    EXPECT_FALSE(resorts(SettingsForm::Settings, true));
    after.nMode = 1;
    EXPECT_FALSE(resorts(SettingsForm::Settings));
    after.nMode = 0;
    after.nPageOrder = 0;  // the kind itself changed
    EXPECT_TRUE(resorts(SettingsForm::Settings));
    before = after;
    after.nNameSort = 0;
    after.nNameInType = 2;
    EXPECT_FALSE(resorts(SettingsForm::Settings));
    before.nPageOrder = after.nPageOrder = 3;
    EXPECT_TRUE(resorts(SettingsForm::Settings));

    AppSettings shown = app;
    shown.nSubDirShow = 1;
    const AfterSettings settings =
        afterSettingsOk(SettingsForm::Settings, before, after, app, shown, false);
    EXPECT_TRUE(settings.rebuildLists);
    EXPECT_FALSE(settings.stopRun);
    EXPECT_FALSE(settings.resortFiles);  // the rebuild sorts
    const AfterSettings run = afterSettingsOk(SettingsForm::Run, before, after, app, shown, true);
    EXPECT_TRUE(run.rebuildLists);
    EXPECT_TRUE(run.stopRun);
}

}  // namespace
}  // namespace tnw::app
