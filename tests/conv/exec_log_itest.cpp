// kvlExec and its log: a job that fails its checks leaves an earlier log alone, and a log that
// cannot be created or finished is named in a message and marks the run, which still converts.
#include "tnwconv.h"

#include "conv/exec.h"
#include "conv/job_state.h"
#include "conv/run_log.h"
#include "conv/run_outcome.h"
#include "tests/conv/run_test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

using namespace tnw::test;
using tnw::conv::jobState;
using tnw::conv::runLog;
using tnw::conv::runReport;
using tnw::platform::sjis;

namespace {

class ExecLog : public RunTest {
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        kvl_ForceInit(1);
        kvlInit();
        kvlReset();
        m_out = folder("out");
        std::strcpy(jobState().baseFolder, folder("in").c_str());
    }
    void TearDown() override
    {
        kvlReset();
        RunTest::TearDown();
    }

    // A per-file job of one JPEG with logging on into `logPath`.
    void prepare(const std::string& logPath)
    {
        ConvSettings record{};
        kvl_SayIni(&record);
        kvlSetMode(0);
        kvlSetOpt(1, 0);
        kvlSetOpt(2, 1);
        kvlSetPathFrom(jpeg("in/a.jpg").c_str());
        kvlSetPathTo(m_out.c_str());
        kvlSetPathLog(logPath.c_str());
    }
    // The messages that name `logPath`.
    std::vector<std::string> toldAbout(const std::string& logPath) const
    {
        std::vector<std::string> texts;
        for (const auto& m : m_ui->messages) {
            if (m.text.find(logPath) != std::string::npos)
                texts.push_back(m.text);
        }
        return texts;
    }

    std::string m_out;
};

}  // namespace

TEST_F(ExecLog, FailedChecksLeaveAnEarlierLogAlone)
{
    const std::string log = m_dir.file("run.csv");
    ASSERT_TRUE(writeFile(log, "the last run's log\r\n"));
    prepare(log);
    kvlSetPathTo(m_dir.file("gone").c_str());  // the output check fails
    EXPECT_EQ(kvlExec(), tnw::conv::kExecOutputCheckFailed);
    EXPECT_EQ(readFile(log), "the last run's log\r\n");
    EXPECT_FALSE(runLog().failed());
}

TEST_F(ExecLog, LogThatCannotBeCreatedIsNamedAndTheRunGoesOn)
{
    const std::string log = m_dir.file("missing/run.csv");
    prepare(log);
    EXPECT_EQ(kvlExec(), 0);
    EXPECT_TRUE(isPdf("out/a.pdf"));
    EXPECT_TRUE(runLog().failed());
    EXPECT_TRUE(runReport().outcome().logFailed);
    // One message for the cause, none for the rows and the finishing that fail after it.
    ASSERT_EQ(toldAbout(log).size(), 1u);
    EXPECT_EQ(toldAbout(log)[0], sjis("ログファイル ") + log + sjis(" を作成できません。"));
}

TEST_F(ExecLog, LogThatCannotBeFinishedIsNamed)
{
    const std::string log = m_dir.file("run.csv");
    prepare(log);
    // The finished log is written in the work folder first: a file in its place stops that.
    const std::string blocker = m_dir.file("not-a-folder");
    ASSERT_TRUE(writeFile(blocker, "x"));
    setenv("KORVELIN_WORK_DIR", blocker.c_str(), 1);
    kvlExec();
    EXPECT_TRUE(runLog().failed());
    EXPECT_TRUE(runReport().outcome().logFailed);
    ASSERT_EQ(toldAbout(log).size(), 1u);
    EXPECT_EQ(toldAbout(log)[0], sjis("ログファイル ") + log + sjis(" を書き終えられません。"));
}

TEST_F(ExecLog, RowsThatCannotBeAppendedAreNamed)
{
    const std::string log = m_dir.file("run.csv");
    prepare(log);
    const std::string bad = m_dir.file("in/b.jpg");
    ASSERT_TRUE(writeFile(bad, makeJpeg(JpegShape{}).substr(0, 40)));  // a cut-off header
    kvlSetPathFrom(bad.c_str());
    kvlSetPathFrom(jpeg("in/c.jpg").c_str());
    // Once the first image is refused, a folder takes the log's place: later rows fail.
    kvlSetReportProc(
        [](int, const char*, int, const char*, void* user) {
            const auto* path = static_cast<const std::string*>(user);
            ::unlink(path->c_str());
            ::mkdir(path->c_str(), 0700);
        },
        const_cast<std::string*>(&log));
    kvlExec();
    kvlSetReportProc(nullptr, nullptr);
    EXPECT_TRUE(isPdf("out/c.pdf"));
    EXPECT_TRUE(runLog().failed());
    ASSERT_EQ(toldAbout(log).size(), 1u);
    EXPECT_EQ(toldAbout(log)[0],
              sjis("ログファイル ") + log + sjis(" に書き込めなかった行があります。"));
}

TEST_F(ExecLog, GoodLogLeavesTheRunUnmarked)
{
    const std::string log = m_dir.file("run.csv");
    prepare(log);
    EXPECT_EQ(kvlExec(), 0);
    EXPECT_FALSE(runLog().failed());
    EXPECT_FALSE(runReport().outcome().logFailed);
    EXPECT_TRUE(toldAbout(log).empty());
    EXPECT_EQ(readFile(log).rfind(sjis("*名称,"), 0), 0u);
}
