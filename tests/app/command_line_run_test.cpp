#include "app/cli/command_line_run.h"

#include "common/platform/cp932.h"
#include "common/platform/ui.h"
#include "support/temp_dir.h"
#include "tnwconv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace tnw::app;
using tnw::platform::sjis;
using tnw::test::TempDir;

namespace {

// Records every call of a run and answers as the test says; settings come from the real file.
class RecordingLibrary : public ConvLibrary {
public:
    std::vector<std::string> calls;
    ConvSettings said{};            // the record given to sayIni
    ConvSettings forPaths{};        // the record given to getPathTo
    int slotCount = -1;
    int pathResult = 0;
    int execResult = 0;
    std::string folder = "/out";
    std::string pdfPath = "/out/all.pdf";
    std::string logPath = "/out/log.csv";

    int loadIni(const char* iniPath, ConvSettings* record) override
    {
        return sbxLoadIni(iniPath, record);
    }
    int saveIni(const char* iniPath, const ConvSettings* record) override
    {
        return sbxSaveIni(iniPath, record);
    }
    int forceInit(int n) override { return add("forceInit(" + std::to_string(n) + ")"); }
    int init() override { return add("init"); }
    int reset() override { return add("reset"); }
    int setHWnd(int window) override { return add("setHWnd(" + std::to_string(window) + ")"); }
    int setMode(int mode) override { return add("setMode(" + std::to_string(mode) + ")"); }
    int setOpt(int option, int value) override
    {
        return add("setOpt(" + std::to_string(option) + "," + std::to_string(value) + ")");
    }
    int sayIni(const ConvSettings* record) override
    {
        said = *record;
        return add("sayIni");
    }
    int getPathTo(int grouping, const char* base, CTnwbuff* slots, const ConvSettings* record,
                  char* outFolder, char* outPdf, char* outLog) override
    {
        forPaths = *record;
        slotCount = slots->Count();
        add("getPathTo(" + std::to_string(grouping) + "," + base + ")");
        std::strcpy(outFolder, folder.c_str());
        std::strcpy(outPdf, pdfPath.c_str());
        std::strcpy(outLog, logPath.c_str());
        return pathResult;
    }
    int setPathTo(const char* path) override { return add(std::string("setPathTo(") + path + ")"); }
    int setPathLog(const char* path) override
    {
        return add(std::string("setPathLog(") + path + ")");
    }
    int setPathFrom(const char* path) override
    {
        return add(std::string("setPathFrom(") + path + ")");
    }
    int setDocInfo(int type, const char* text, int length) override
    {
        return add("setDocInfo(" + std::to_string(type) + "," + std::string(text, length) + ")");
    }
    int setPdfVersion(int major, int minor) override
    {
        return add("setPdfVersion(" + std::to_string(major) + "," + std::to_string(minor) + ")");
    }
    int exec() override
    {
        add("exec");
        for (const Report& r : reports) {
            if (proc)
                proc(r.kind, r.source.c_str(), r.page, r.remark.c_str(), procUser);
        }
        return execResult;
    }
    int setReportProc(KvlReportProc p, void* user) override
    {
        proc = p;
        procUser = user;
        return 0;
    }
    int getRunCounts(KvlRunCounts* out) override
    {
        *out = counts;
        return 0;
    }

    // What exec reports through the installed proc, and the counts it leaves.
    struct Report {
        int kind;
        std::string source;
        int page;
        std::string remark;
    };
    std::vector<Report> reports;
    KvlRunCounts counts = {1, 1, 0, 0, 0, 0};
    KvlReportProc proc = nullptr;
    void* procUser = nullptr;

private:
    int add(std::string call)
    {
        calls.push_back(std::move(call));
        return 0;
    }
};

class CommandLineRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ui = std::make_shared<tnw::platform::RecorderUi>();
        tnw::platform::setUiBackend(m_ui);
        std::filesystem::create_directories(m_dir.file("box/sub1"));
        std::filesystem::create_directories(m_dir.file("box/sub2"));
        for (const char* f : {"box/a.jpg", "box/b.jpg"})
            ASSERT_TRUE(tnw::test::writeFile(m_dir.file(f), "x"));
        m_context.iniPath = m_dir.file("Korvelin.ini");
        m_context.openFile = [this](const std::string& path) { m_opened.push_back(path); };
        m_context.note = [this](const std::string& text) { m_notes += text; };
    }
    void TearDown() override { tnw::platform::setUiBackend(nullptr); }

    void settings(const std::string& text)
    {
        ASSERT_TRUE(tnw::test::writeFile(m_context.iniPath, text));
    }
    int run(const std::vector<std::string>& args) { return runCommandLine(args, m_context); }

    TempDir m_dir;
    std::shared_ptr<tnw::platform::RecorderUi> m_ui;
    RecordingLibrary m_library;
    CommandLineContext m_context{m_library};
    std::vector<std::string> m_opened;
    std::string m_notes;
};

}  // namespace

TEST_F(CommandLineRunTest, FilesAreConvertedWithTheFileSequence)
{
    settings("[App]\r\nnPDFVersMajor=1\r\nnPDFVersMinor=4\r\nszPdfTitle=T\r\n"
             "szPdfAuthor=Sub\r\nszPdfSubject=Auth\r\nszPdfKeyword=K\r\nszPdfCreator=C\r\n"
             "[Settings]\r\nnMakeLog=0\r\n");
    const std::string box = m_dir.file("box");
    EXPECT_EQ(run({box + "/b.jpg", box + "/a.jpg"}), kExitConverted);
    const std::vector<std::string> expected = {
        "forceInit(1)", "init", "reset", "sayIni", "setHWnd(1)", "setOpt(1,0)", "setOpt(2,0)",
        "getPathTo(0," + box + ")", "setPathTo(/out)", "setPathLog(/out/log.csv)",
        "setPathFrom(" + box + "/b.jpg)", "setPathFrom(" + box + "/a.jpg)",
        // the author box (stored as szPdfSubject) is the Author, the subtitle box (stored as
        // szPdfAuthor) the Subject
        "setDocInfo(1,T)", "setDocInfo(2,Auth)", "setDocInfo(3,Sub)", "setDocInfo(4,K)",
        "setPdfVersion(1,4)", "exec"};
    EXPECT_EQ(m_library.calls, expected);
    EXPECT_EQ(m_library.slotCount, 0);
    EXPECT_TRUE(m_ui->messages.empty());
}

TEST_F(CommandLineRunTest, JoinedFilesGoToThePdfPath)
{
    settings("[App]\r\nnTif2Pdf=1\r\n");
    EXPECT_EQ(run({m_dir.file("box/a.jpg")}), kExitConverted);
    EXPECT_EQ(m_library.calls.at(5), "setOpt(1,1)");
    EXPECT_EQ(m_library.calls.at(8), "setPathTo(/out/all.pdf)");
    // Empty texts are passed with length 0.
    EXPECT_EQ(m_library.calls.at(11), "setDocInfo(1,)");
}

TEST_F(CommandLineRunTest, FilesStopWhenNoOutputPathCanBeMade)
{
    m_library.pathResult = -306;
    EXPECT_EQ(run({m_dir.file("box/a.jpg")}), kExitFailed);
    EXPECT_EQ(m_library.calls.back(), "getPathTo(0," + m_dir.file("box") + ")");
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(CommandLineRunTest, FoldersAreConvertedWithTheFolderSequence)
{
    settings("[App]\r\nnPDFVersMinor=3\r\nszPdfTitle=T\r\n");
    const std::string box = m_dir.file("box");
    EXPECT_EQ(run({box + "/sub2", box + "/sub1"}), kExitConverted);
    const std::vector<std::string> expected = {
        "forceInit(1)", "init", "reset", "sayIni", "setHWnd(1)", "setMode(1)", "setOpt(1,0)",
        "setOpt(2,1)", "getPathTo(0," + box + ")", "setPathTo(/out)",
        "setPathLog(/out/log.csv)", "setPathFrom(" + box + "/sub2)",
        "setPathFrom(" + box + "/sub1)", "setPdfVersion(1,3)", "exec"};
    EXPECT_EQ(m_library.calls, expected);
    EXPECT_EQ(m_library.slotCount, 2);
}

TEST_F(CommandLineRunTest, FoldersGoOnWhenNoOutputPathCanBeMade)
{
    // The library reports the missing output itself when it runs.
    m_library.pathResult = -306;
    m_library.folder = "";
    m_library.execResult = -204;
    m_library.counts = {};
    EXPECT_EQ(run({m_dir.file("box/sub1")}), kExitFailed);
    EXPECT_EQ(m_library.calls.back(), "exec");
    EXPECT_EQ(m_library.calls.at(9), "setPathTo()");
}

TEST_F(CommandLineRunTest, ObjectsDecideTheModeWhateverTheSettingsSay)
{
    settings("[PageInfo]\r\nnMode=0\r\n");
    run({m_dir.file("box/sub1")});
    EXPECT_EQ(m_library.said.nMode, 1);
    EXPECT_EQ(m_library.forPaths.nMode, 1);

    settings("[PageInfo]\r\nnMode=1\r\n");
    m_library.calls.clear();
    run({m_dir.file("box/a.jpg")});
    EXPECT_EQ(m_library.said.nMode, 0);
    EXPECT_EQ(std::count(m_library.calls.begin(), m_library.calls.end(), "setMode(1)"), 0);
}

TEST_F(CommandLineRunTest, RunFieldsOfTheCommandLine)
{
    settings("[App]\r\nnPDFVersMajor=1\r\nnPDFVersMinor=6\r\nnSubDirShow=1\r\n");
    run({m_dir.file("box/a.jpg")});
    const ConvSettings& files = m_library.said;
    EXPECT_EQ(files.nRunFlagA, 0);
    EXPECT_EQ(files.nRunFlagB, 1);
    EXPECT_EQ(files.nPdfVerMajor, 1);
    EXPECT_EQ(files.nPdfVerMinor, 6);
    EXPECT_EQ(files.nRunFlagC, 0);
    EXPECT_EQ(files.nRunVerify, 0);
    EXPECT_EQ(files.nRunFlagD, 0);
    EXPECT_EQ(files.nSubDirMirror, 0);  // not written from nSubDirShow here

    run({m_dir.file("box/sub1")});
    const ConvSettings& folders = m_library.said;
    EXPECT_EQ(folders.nRunFlagD, 1);
    EXPECT_EQ(folders.nPdfVerMinor, 6);
    EXPECT_EQ(folders.nSubDirMirror, 0);
}

TEST_F(CommandLineRunTest, RefusedArgumentsAreShownAndNothingRuns)
{
    EXPECT_EQ(run({m_dir.file("box/sub1"), m_dir.file("box/a.jpg")}), kExitRefused);
    ASSERT_EQ(m_ui->messages.size(), 1u);
    EXPECT_EQ(m_ui->messages[0].title, "Dravik");
    EXPECT_EQ(m_ui->messages[0].text, sjis("ﾌｫﾙﾀﾞとﾌｧｲﾙの混在はｻﾎﾟｰﾄしていません。"));
    EXPECT_TRUE(m_library.calls.empty());

    EXPECT_EQ(run({m_dir.file("box/none.jpg")}), kExitRefused);
    EXPECT_EQ(m_ui->messages.back().text, sjis("ﾌｧｲﾙ/ﾌｫﾙﾀﾞでないｵﾌﾞｼﾞｪｸﾄがあります。"));
    EXPECT_TRUE(m_library.calls.empty());
}

TEST_F(CommandLineRunTest, FailedConversionEndsWithOne)
{
    m_library.execResult = -203;
    m_library.counts = {};
    EXPECT_EQ(run({m_dir.file("box/a.jpg")}), kExitFailed);
}

TEST_F(CommandLineRunTest, SettingsDialogIsSkippedWithANoteWithoutADisplay)
{
    int shown = 0;
    m_context.showSettings = [&](const std::string&, bool) { return ++shown, false; };
    settings("[PageInfo]\r\nnShowDlg=1\r\n");
    EXPECT_EQ(run({m_dir.file("box/a.jpg")}), kExitConverted);
    EXPECT_NE(m_notes.find("settings dialog is skipped"), std::string::npos) << m_notes;
    EXPECT_EQ(m_library.calls.back(), "exec");
    EXPECT_EQ(shown, 0);

    settings("[PageInfo]\r\nnShowDlg=0\r\n");
    m_notes.clear();
    m_context.display = true;
    run({m_dir.file("box/a.jpg")});
    EXPECT_EQ(m_notes, "");
    EXPECT_EQ(shown, 0);
}

TEST_F(CommandLineRunTest, SettingsDialogCancelConvertsNothingAndOkUsesWhatItSaved)
{
    m_context.display = true;
    settings("[PageInfo]\r\nnShowDlg=1\r\n[App]\r\nnPDFVersMinor=3\r\n");
    std::string folderShown;
    bool foldersShown = true;
    m_context.showSettings = [&](const std::string& folder, bool folders) {
        folderShown = folder;
        foldersShown = folders;
        return false;
    };
    EXPECT_EQ(run({m_dir.file("box/a.jpg")}), kExitFailed);
    EXPECT_EQ(folderShown, m_dir.file("box"));
    EXPECT_FALSE(foldersShown);
    for (const std::string& call : m_library.calls)
        EXPECT_NE(call, "exec");

    // OK: the dialog has saved new settings, and the run takes them, both records.
    m_context.showSettings = [&](const std::string&, bool) {
        settings("[PageInfo]\r\nnShowDlg=1\r\n[App]\r\nnPDFVersMinor=6\r\nnTif2Pdf=1\r\n");
        return true;
    };
    m_library.calls.clear();
    EXPECT_EQ(run({m_dir.file("box/a.jpg")}), kExitConverted);
    EXPECT_NE(std::find(m_library.calls.begin(), m_library.calls.end(), "setPdfVersion(1,6)"),
              m_library.calls.end());
    EXPECT_NE(std::find(m_library.calls.begin(), m_library.calls.end(), "setOpt(1,1)"),
              m_library.calls.end());
}

TEST_F(CommandLineRunTest, LogIsOpenedOnlyWhenAskedForWithADisplay)
{
    const std::string log = m_dir.file("box/run.csv");
    ASSERT_TRUE(tnw::test::writeFile(log, "x"));
    m_library.logPath = log;
    m_context.display = true;

    settings("[Settings]\r\nnMakeLog=1\r\nnShowLog=1\r\n");
    run({m_dir.file("box/a.jpg")});
    EXPECT_EQ(m_opened, std::vector<std::string>{log});

    // Even when the run failed, as long as the log exists.
    m_library.execResult = -9;
    run({m_dir.file("box/a.jpg")});
    EXPECT_EQ(m_opened.size(), 2u);
    m_library.execResult = 0;

    m_opened.clear();
    settings("[Settings]\r\nnMakeLog=0\r\nnShowLog=1\r\n");
    run({m_dir.file("box/a.jpg")});
    settings("[Settings]\r\nnMakeLog=1\r\nnShowLog=0\r\n");
    run({m_dir.file("box/a.jpg")});
    EXPECT_TRUE(m_opened.empty());

    settings("[Settings]\r\nnMakeLog=1\r\nnShowLog=1\r\n");
    m_context.display = false;
    run({m_dir.file("box/a.jpg")});
    EXPECT_TRUE(m_opened.empty());

    // A log the run never made is not handed to the desktop.
    m_context.display = true;
    m_library.logPath = m_dir.file("box/never.csv");
    run({m_dir.file("box/a.jpg")});
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(CommandLineRunTest, ExitStatusFollowsWhatTheRunWrote)
{
    struct Case {
        int code;
        KvlRunCounts counts;  // pdfs, pages, refused, kept, log failed, cancelled
        int status;
    };
    const Case cases[] = {
        {0, {2, 5, 0, 0, 0, 0}, kExitConverted},
        {0, {0, 0, 0, 3, 0, 0}, kExitConverted},  // every PDF kept because it exists
        {0, {2, 5, 0, 1, 0, 0}, kExitConverted},
        {0, {2, 4, 1, 0, 0, 0}, kExitPartial},    // a refused page
        {-1, {1, 1, 0, 0, 0, 0}, kExitPartial},   // the run failed after a PDF
        {0, {1, 1, 0, 0, 1, 0}, kExitPartial},    // the log could not be written
        {9, {1, 1, 0, 0, 0, 1}, kExitPartial},    // cancelled after a PDF
        {0, {0, 0, 1, 0, 0, 0}, kExitFailed},     // refused, nothing written
        {0, {0, 0, 0, 0, 0, 0}, kExitFailed},     // nothing at all
        {0, {0, 0, 1, 2, 0, 0}, kExitFailed},
        {-203, {0, 0, 0, 0, 0, 0}, kExitFailed},
    };
    for (const Case& c : cases) {
        m_library.execResult = c.code;
        m_library.counts = c.counts;
        EXPECT_EQ(run({m_dir.file("box/a.jpg")}), c.status)
            << c.code << " " << c.counts.pdfsWritten << " " << c.counts.refused << " "
            << c.counts.keptExisting;
    }

    // A run that stops before kvlExec never reads the counts of an earlier one.
    m_library.execResult = 0;
    m_library.counts = {3, 3, 0, 0, 0, 0};
    m_library.pathResult = -306;
    EXPECT_EQ(run({m_dir.file("box/a.jpg")}), kExitFailed);
}

TEST_F(CommandLineRunTest, ReportedInputsBecomeLinesOnStandardError)
{
    const std::string box = m_dir.file("box");
    m_library.counts = {1, 3, 2, 1, 0, 0};
    m_library.reports = {
        {KVL_REPORT_REFUSED, box + "/" + sjis("表紙.jpg"), -1, sjis("ﾌｧｲﾙが壊れています")},
        {KVL_REPORT_REFUSED, box + "/scan.tif", 1, "Bad page"},
        {KVL_REPORT_KEPT_EXISTING, box + "/b.jpg", -1, sjis("既存のためｽｷｯﾌﾟ")},
    };
    EXPECT_EQ(run({box + "/a.jpg"}), kExitPartial);
    EXPECT_EQ(m_notes, "[Korvelin] 表紙.jpg: ﾌｧｲﾙが壊れています\n"
                       "[Korvelin] scan.tif (page 2): Bad page\n"
                       "[Korvelin] b.jpg: 既存のためｽｷｯﾌﾟ\n");
    // The proc points into this run: it is removed when the run ends.
    EXPECT_EQ(m_library.proc, nullptr);
}
