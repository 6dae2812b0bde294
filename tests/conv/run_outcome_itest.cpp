// The run report through the call interface: the counts of the last kvlExec and the proc that
// hears of each refused or kept input while the run goes on.
#include "tnwconv.h"

#include "conv/job_state.h"
#include "tests/conv/run_test_support.h"

#include <cstring>

using namespace tnw::test;
using tnw::conv::jobState;
using tnw::platform::sjis;

namespace {

struct Reported {
    int kind;
    std::string source;
    int page;
    std::string remark;
    bool laterPdfExisted;  // the PDF of the run's last input existed when this was reported
};

class RunOutcome : public RunTest {
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        kvlDebug(0);
        kvl_ForceInit(1);
        kvlInit();
        kvlReset();
        m_in = folder("in");
        m_out = folder("out");
        std::strcpy(jobState().baseFolder, m_in.c_str());
        kvlSetReportProc(&RunOutcome::record, this);
    }
    void TearDown() override
    {
        kvlSetReportProc(nullptr, nullptr);
        kvlReset();
        RunTest::TearDown();
    }

    void prepare(int mode, int grouping, int skipExisting = 0)
    {
        ConvSettings record{};
        record.nFiling = skipExisting;
        kvl_SayIni(&record);
        kvlSetMode(mode);
        kvlSetOpt(1, grouping);
        kvlSetOpt(2, 1);
        kvlSetPathTo(m_out.c_str());
        kvlSetPathLog(m_dir.file("run.csv").c_str());
    }
    std::string cutJpeg(const std::string& relative)
    {
        const std::string path = m_dir.file(relative);
        EXPECT_TRUE(writeFile(path, makeJpeg(JpegShape{}).substr(0, 200)));
        return path;
    }
    KvlRunCounts counts()
    {
        KvlRunCounts c{};
        EXPECT_EQ(kvlGetRunCounts(&c), 0);
        return c;
    }

    static void record(int kind, const char* source, int page, const char* remark, void* user)
    {
        auto* self = static_cast<RunOutcome*>(user);
        self->m_reported.push_back({kind, source, page, remark,
                                    std::filesystem::exists(self->m_lastPdf)});
    }

    std::string m_in;
    std::string m_out;
    std::string m_lastPdf;
    std::vector<Reported> m_reported;
};

}  // namespace

TEST_F(RunOutcome, PerFileRunCountsWrittenRefusedAndKeptInputsAsItGoes)
{
    const std::string cut = cutJpeg("in/a_cut.jpg");
    const std::string kept = jpeg("in/b_kept.jpg");
    const std::string text = m_dir.file("in/c_notes.txt");
    ASSERT_TRUE(writeFile(text, "not an image"));
    const std::string good = jpeg("in/d_good.jpg");
    ASSERT_TRUE(writeFile(m_dir.file("out/b_kept.pdf"), "old"));
    m_lastPdf = m_dir.file("out/d_good.pdf");
    prepare(0, 0, 1);
    for (const std::string& path : {cut, kept, text, good})
        kvlSetPathFrom(path.c_str());

    EXPECT_EQ(kvlExec(), 0);
    const KvlRunCounts c = counts();
    EXPECT_EQ(c.pdfsWritten, 1);
    EXPECT_EQ(c.pagesWritten, 1);
    EXPECT_EQ(c.refused, 2);
    EXPECT_EQ(c.keptExisting, 1);
    EXPECT_EQ(c.logFailed, 0);
    EXPECT_EQ(c.cancelled, 0);

    ASSERT_EQ(m_reported.size(), 3u);
    EXPECT_EQ(m_reported[0].kind, KVL_REPORT_REFUSED);
    EXPECT_EQ(m_reported[0].source, cut);
    EXPECT_EQ(m_reported[0].page, -1);
    EXPECT_FALSE(m_reported[0].remark.empty());
    EXPECT_EQ(m_reported[1].kind, KVL_REPORT_KEPT_EXISTING);
    EXPECT_EQ(m_reported[1].source, kept);
    EXPECT_EQ(m_reported[1].remark, sjis("既存のためｽｷｯﾌﾟ"));
    // A listed file of another kind has no log row, but is not dropped silently.
    EXPECT_EQ(m_reported[2].kind, KVL_REPORT_REFUSED);
    EXPECT_EQ(m_reported[2].source, text);
    // Each was reported while the run went on, before the last input was converted.
    for (const Reported& r : m_reported)
        EXPECT_FALSE(r.laterPdfExisted) << r.source;
    EXPECT_TRUE(isPdf("out/d_good.pdf"));
}

TEST_F(RunOutcome, JoinedListCountsItsPagesAndTheRefusedFile)
{
    const std::string a = jpeg("in/a.jpg");
    const std::string cut = cutJpeg("in/b.jpg");
    const std::string c = jpeg("in/c.jpg");
    prepare(0, 1);
    kvlSetPathTo(m_dir.file("out/all.pdf").c_str());
    for (const std::string& path : {a, cut, c})
        kvlSetPathFrom(path.c_str());

    kvlExec();
    const KvlRunCounts n = counts();
    EXPECT_EQ(n.pdfsWritten, 1);
    EXPECT_EQ(n.pagesWritten, 2);
    EXPECT_EQ(n.refused, 1);
    ASSERT_EQ(m_reported.size(), 1u);
    EXPECT_EQ(m_reported[0].source, cut);
}

TEST_F(RunOutcome, OutputThatCannotBeWrittenIsRefusedWithTheWritersMessage)
{
    const std::string a = jpeg("in/a.jpg");
    // A folder where the PDF should go: nothing can replace it.
    std::filesystem::create_directories(m_dir.file("out/a.pdf"));
    prepare(0, 0);
    kvlSetPathFrom(a.c_str());

    EXPECT_NE(kvlExec(), 0);
    const KvlRunCounts c = counts();
    EXPECT_EQ(c.pdfsWritten, 0);
    EXPECT_EQ(c.refused, 1);
    ASSERT_EQ(m_reported.size(), 1u);
    EXPECT_EQ(m_reported[0].source, a);
    EXPECT_FALSE(m_reported[0].remark.empty());
}

TEST_F(RunOutcome, FolderRunReportsAnEmptyFolderAndAKeptPdf)
{
    const std::string empty = folder("in/empty");
    const std::string box = folder("in/box");
    jpeg("in/box/p1.jpg");
    ASSERT_TRUE(writeFile(m_dir.file("out/box.pdf"), "old"));
    prepare(1, 1, 1);
    kvlSetPathFrom(empty.c_str());
    kvlSetPathFrom(box.c_str());

    kvlExec();
    const KvlRunCounts c = counts();
    EXPECT_EQ(c.pdfsWritten, 0);
    EXPECT_EQ(c.refused, 1);
    EXPECT_EQ(c.keptExisting, 1);
    ASSERT_EQ(m_reported.size(), 2u);
    EXPECT_EQ(m_reported[0].source, empty);
    EXPECT_EQ(m_reported[0].remark, sjis("該当なし"));
    EXPECT_EQ(m_reported[1].kind, KVL_REPORT_KEPT_EXISTING);
    EXPECT_EQ(m_reported[1].source, box);
}

TEST_F(RunOutcome, EachRunStartsItsCountsAfreshAndTheProcCanBeRemoved)
{
    const std::string cut = cutJpeg("in/a.jpg");
    prepare(0, 0);
    kvlSetPathFrom(cut.c_str());
    kvlExec();
    EXPECT_EQ(counts().refused, 1);

    // A run stopped by its checks leaves no counts of the one before.
    kvlSetReportProc(nullptr, nullptr);
    jobState().outputPath[0] = '\0';
    EXPECT_EQ(kvlExec(), -204);
    const KvlRunCounts c = counts();
    EXPECT_EQ(c.refused, 0);
    EXPECT_EQ(c.pdfsWritten, 0);

    kvlSetPathTo(m_out.c_str());
    kvlExec();
    EXPECT_EQ(counts().refused, 1);
    EXPECT_EQ(m_reported.size(), 1u);  // the proc was removed
    EXPECT_EQ(kvlGetRunCounts(nullptr), -1);
}
