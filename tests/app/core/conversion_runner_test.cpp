#include "app/core/run/conversion_runner.h"

#include "app/core/lists/list_document.h"
#include "app/core/tree/folder_list_model.h"
#include "common/platform/cp932.h"
#include "common/platform/ui.h"
#include "support/temp_dir.h"
#include "tnwconv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace tnw::app {
namespace {

using platform::sjis;

// Records the calls of a run; kvl_GetPathTo answers `pathCode` and names `log`.
class Recorder : public ConvLibrary {
public:
    int loadIni(const char* ini, ConvSettings* r) override { return sbxLoadIni(ini, r); }
    int saveIni(const char* ini, const ConvSettings* r) override { return sbxSaveIni(ini, r); }
    int forceInit(int) override { return add("forceInit"); }
    int init() override { return add("init"); }
    int reset() override { return add("reset"); }
    int setHWnd(int w) override { return add("setHWnd(" + std::to_string(w) + ")"); }
    int setMode(int m) override { return add("setMode(" + std::to_string(m) + ")"); }
    int setOpt(int o, int v) override
    {
        return add("setOpt(" + std::to_string(o) + "," + std::to_string(v) + ")");
    }
    int sayIni(const ConvSettings*) override { return add("sayIni"); }
    int getPathTo(int, const char*, CTnwbuff* slotList, const ConvSettings*, char* folder, char*,
                  char* log) override
    {
        add("getPathTo(" + std::to_string(slotList->Count()) + ")");
        std::strcpy(folder, "/out");
        std::strcpy(log, logPath.c_str());
        return pathCode;
    }
    int setPathTo(const char* p) override { return add(std::string("setPathTo(") + p + ")"); }
    int setPathLog(const char*) override { return add("setPathLog"); }
    int setPathFrom(const char* p) override
    {
        add(std::string("from(") + p + ")");
        return fromCode;
    }
    int setDocInfo(int t, const char*, int) override
    {
        return add("doc(" + std::to_string(t) + ")");
    }
    int setPdfVersion(int a, int b) override
    {
        return add("version(" + std::to_string(a) + "." + std::to_string(b) + ")");
    }
    int exec() override
    {
        add("exec");
        if (!logPath.empty())
            test::writeFile(logPath, "log");
        return 0;
    }
    int setReportProc(KvlReportProc, void*) override { return 0; }
    int getRunCounts(KvlRunCounts* c) override { return *c = counts, 0; }

    bool called(const std::string& c) const
    {
        return std::find(calls.begin(), calls.end(), c) != calls.end();
    }

    std::vector<std::string> calls;
    std::string logPath;
    int pathCode = 0;
    int fromCode = 0;
    KvlRunCounts counts = {1, 1, 0, 0, 0, 0};  // pdfs, pages, refused, kept, log failed, cancelled

private:
    int add(std::string c) { return calls.push_back(std::move(c)), 0; }
};

class ConversionRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ui = std::make_shared<platform::RecorderUi>();
        platform::setUiBackend(m_ui);
        m_lib.logPath = m_dir.file("run.csv");
    }
    void TearDown() override { platform::setUiBackend(nullptr); }
    void settings(const std::string& text)
    {
        ASSERT_TRUE(test::writeFile(m_dir.file("Korvelin.ini"), text));
    }

    test::TempDir m_dir;
    std::shared_ptr<platform::RecorderUi> m_ui;
    Recorder m_lib;
    std::vector<std::string> m_opened;
    ConversionRunner m_runner{m_lib, m_dir.file("Korvelin.ini"),
                              [this](const std::string& p) { m_opened.push_back(p); }};
};

TEST_F(ConversionRunnerTest, CheckedFilesGoInTheOrderShownWithTheWindowSequence)
{
    ListDocument doc;
    std::vector<FileEntry> entries(3);
    for (int i = 0; i < 3; ++i)
        entries[size_t(i)].path = "/in/" + std::to_string(i) + ".jpg";
    doc.reset(entries);
    doc.setFileOrder({2, 0, 1});
    doc.setChecked(0, false);
    const std::vector<std::string> files = checkedFiles(doc);
    ASSERT_EQ(files, (std::vector<std::string>{"/in/2.jpg", "/in/1.jpg"}));

    settings("[Settings]\r\nnMakeLog=1\r\nnShowLog=1\r\n[App]\r\nnPDFVersMajor=2\r\n");
    EXPECT_EQ(m_runner.runFiles("/in", files), 0);
    const std::vector<std::string> expected = {
        "forceInit", "init", "reset", "setHWnd(1)", "setOpt(1,0)", "setOpt(2,1)", "sayIni",
        "getPathTo(2)", "setPathTo(/out)", "setPathLog", "from(/in/2.jpg)", "from(/in/1.jpg)",
        "doc(1)", "doc(2)", "doc(3)", "doc(4)", "version(1.1)", "exec"};
    EXPECT_EQ(m_lib.calls, expected);  // a stored 2.x is passed as 1.1
    EXPECT_EQ(m_runner.lastLog(), m_dir.file("run.csv"));
    EXPECT_EQ(m_opened, std::vector<std::string>{m_dir.file("run.csv")});
}

TEST_F(ConversionRunnerTest, NothingCheckedOrRefusedInputsRunNothing)
{
    EXPECT_EQ(m_runner.runFiles("/in", {}), 0);
    EXPECT_EQ(m_ui->messages.back().text,
              sjis("結合するファイルがありません。ファイルリストのチェック、動作の日付条件などを参照してください。"));
    EXPECT_TRUE(m_lib.calls.empty());

    EXPECT_EQ(m_runner.runFolders("/in", {}), -1);
    EXPECT_EQ(m_ui->messages.back().text, sjis("フォルダがありません。"));

    // Folder mode checks the output paths too, and a refused input stops before kvlExec.
    m_lib.pathCode = -3;
    EXPECT_EQ(m_runner.runFolders("/in", {"/in/a"}), -3);
    EXPECT_EQ(m_ui->messages.back().text, sjis("入出力吟味中にエラーが発生しました。- -3"));
    m_lib.pathCode = 0;
    m_lib.fromCode = -7;
    EXPECT_EQ(m_runner.runFiles("/in", {"/in/a.jpg", "/in/b.jpg"}), -7);
    EXPECT_FALSE(m_lib.called("exec"));
    EXPECT_FALSE(m_lib.called("from(/in/b.jpg)"));
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(ConversionRunnerTest, LogIsOpenedOnlyWhenAskedForAndWrittenByTheRun)
{
    settings("[Settings]\r\nnMakeLog=1\r\nnShowLog=0\r\n");
    m_runner.runFiles("/in", {"/in/a.jpg"});
    EXPECT_TRUE(m_opened.empty());

    settings("[Settings]\r\nnMakeLog=1\r\nnShowLog=1\r\n");
    m_lib.logPath = m_dir.file("never-written/run.csv");
    m_runner.runFiles("/in", {"/in/a.jpg"});
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(ConversionRunnerTest, ARunThatDidNotConvertEverythingSaysSo)
{
    settings("[Settings]\r\nnMakeLog=1\r\nnShowLog=0\r\n");
    m_runner.runFiles("/in", {"/in/a.jpg"});
    EXPECT_TRUE(m_ui->messages.empty());  // complete: silent

    m_lib.counts = {1, 1, 2, 0, 0, 0};
    m_runner.runFiles("/in", {"/in/a.jpg"});
    ASSERT_EQ(m_ui->messages.size(), 1u);
    EXPECT_EQ(m_ui->messages.back().text,
              sjis("変換できなかったﾌｧｲﾙ、ﾍﾟｰｼﾞまたはﾌｫﾙﾀﾞが 2 件あります。\n"
                   "詳しくはﾛｸﾞﾌｧｲﾙを参照してください。\n") +
                  m_dir.file("run.csv"));

    // Nothing written and no log: no pointer to a log.
    RunResult run;
    run.executed = true;
    ConvSettings conv{};
    EXPECT_EQ(runReportText(run, conv, "/x.csv"), sjis("PDFファイルは作成されませんでした。"));
    run.counts.keptExisting = 1;  // every PDF existed and was kept: complete
    EXPECT_EQ(runReportText(run, conv, "/x.csv"), "");
    run.counts.logFailed = 1;
    EXPECT_EQ(runReportText(run, conv, "/x.csv"), sjis("ﾛｸﾞﾌｧｲﾙ /x.csv に書き込めませんでした。"));
    // Cancelled by the user, or refused by the library's own checks (its message is shown).
    run.counts = {};
    run.counts.cancelled = 1;
    EXPECT_EQ(runReportText(run, conv, ""), "");
    run.counts = {};
    run.code = -204;
    EXPECT_EQ(runReportText(run, conv, ""), "");
}

TEST(ConversionRunnerRules, FolderRowsAndSubFolderDifferences)
{
    std::vector<FolderRow> rows(3);
    rows[0] = {"/in", "", ".", 0, 0, 0, true};
    rows[1] = {"/in/a", "", "a", 1, 0, 0, false};
    rows[2] = {"/in/b", "", "b", 1, 0, 0, true};
    AppSettings app;
    EXPECT_EQ(checkedFolders(rows, app), std::vector<std::string>{"/in/b"});
    app.nSubDirShow = 1;
    app.nSubDirZeros = 1;
    EXPECT_EQ(checkedFolders(rows, app), (std::vector<std::string>{"/in", "/in/b"}));

    AppSettings before, after;
    after.nSubDirLevel = 5;  // sub-folders not shown: the level does not count
    EXPECT_FALSE(subFolderDisplayDiffers(before, after));
    before.nSubDirShow = after.nSubDirShow = 1;
    EXPECT_FALSE(subFolderDisplayDiffers(before, after));  // level counts only for method 1
    before.nSubDirProc = after.nSubDirProc = 1;
    EXPECT_TRUE(subFolderDisplayDiffers(before, after));
}

}  // namespace
}  // namespace tnw::app
