// kvlExec through the call interface: the checks and their codes and messages, when the log
// is finished and when not, and whole runs whose finished log is compared byte for byte.
#include "tnwconv.h"

#include "conv/exec.h"
#include "conv/job_state.h"
#include "tests/conv/run_test_support.h"

#include <cstring>

using namespace tnw::test;
using tnw::conv::execMessage;
using tnw::conv::jobState;
using tnw::platform::sjis;

namespace {

const std::string kColumns =
    sjis("jpegフォルダ名,jpegファイル名,pdfフォルダ名,pdfファイル名,pdf頁番号,pdf圧縮,備考\r\n");

class Exec : public RunTest {
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        tnw::conv::setRunClock([] { return localTime(2024, 5, 6, 7, 8, 9); });
        kvlDebug(0);
        kvl_ForceInit(1);
        kvlInit();
        kvlReset();
        m_in = folder("in");
        m_out = folder("out");
        m_log = m_dir.file("run.csv");
        std::strcpy(jobState().baseFolder, m_in.c_str());
    }
    void TearDown() override
    {
        tnw::conv::setRunClock(nullptr);
        kvlReset();
        RunTest::TearDown();
    }

    // A job with logging on: `settings` as the caller's record, the log path and the output.
    void prepare(int mode, int grouping, int skipExisting = 0)
    {
        ConvSettings record{};
        record.nFiling = skipExisting;
        kvl_SayIni(&record);
        kvlSetMode(mode);
        kvlSetOpt(1, grouping);
        kvlSetOpt(2, 1);
        kvlSetPathTo(m_out.c_str());
        kvlSetPathLog(m_log.c_str());
    }
    std::string header(const char* settingsLine) const
    {
        return sjis("*名称,Dravik\r\n*日時,24/05/06 07:08:09\r\n*入力,") + m_in +
               sjis("\r\n*出力,") + m_out + "\r\n" + sjis(settingsLine) + "\r\n" + kColumns;
    }
    std::string lastMessage() const
    {
        return m_ui->messages.empty() ? std::string() : m_ui->messages.back().text;
    }

    std::string m_in;
    std::string m_out;
    std::string m_log;
};

}  // namespace

TEST_F(Exec, NoInputsMakesNoLog)
{
    prepare(0, 0);
    EXPECT_EQ(kvlExec(), -201);
    EXPECT_EQ(lastMessage(), sjis("kvlSetPathFrom が発行されていません。"));
    EXPECT_FALSE(exists("run.csv"));
}

TEST_F(Exec, NotInitialisedStopsBeforeAnyCheck)
{
    prepare(0, 0);
    kvl_ForceInit(0);
    EXPECT_EQ(kvlExec(), -299);
    ASSERT_EQ(m_ui->messages.size(), 1u);
    EXPECT_EQ(m_ui->messages[0].title, "Dravik");
    EXPECT_EQ(lastMessage(), execMessage(-299));
    EXPECT_NE(lastMessage().find("kvlInit"), std::string::npos);
    EXPECT_FALSE(exists("run.csv"));
}

TEST_F(Exec, ChecksReturnTheirCodesWithTheirMessages)
{
    const std::string a = jpeg("in/a.jpg");
    const std::string desc = m_dir.file("list.txt");
    ASSERT_TRUE(writeFile(desc, a + "\r\n"));

    prepare(0, 0);
    kvlSetPathFrom(a.c_str());
    kvlSetPathText(desc.c_str());
    EXPECT_EQ(kvlExec(), -200);
    EXPECT_EQ(lastMessage(), sjis("kvlSetPathFrom と kvlSetPathText が共に発行されています。"));

    kvlReset();
    prepare(0, 0);
    kvlSetPathFrom(m_dir.file("in/missing.jpg").c_str());
    EXPECT_EQ(kvlExec(), -203);

    kvlReset();
    prepare(0, 0);
    kvlSetPathFrom(a.c_str());
    jobState().outputPath[0] = '\0';
    EXPECT_EQ(kvlExec(), -204);
    EXPECT_EQ(lastMessage(), sjis("出力パスがありません。"));

    kvlReset();
    prepare(0, 0);
    kvlSetPathFrom(a.c_str());
    kvlSetPathTo(m_dir.file("gone").c_str());
    const size_t before = m_ui->messages.size();
    EXPECT_EQ(kvlExec(), -205);
    // The output check's own message first, then the job's.
    ASSERT_EQ(m_ui->messages.size(), before + 2);
    EXPECT_EQ(lastMessage(), sjis("出力パス名の作成の処理でエラーでした。"));
    // None of these made a log.
    EXPECT_FALSE(exists("run.csv"));
    EXPECT_FALSE(exists("out/a.pdf"));
}

TEST_F(Exec, BadGroupingReturnsNineAfterTheChecksAndFinishesTheLog)
{
    const std::string box = folder("in/box");
    jpeg("in/box/a.jpg");
    prepare(1, 2);
    kvlSetPathFrom(box.c_str());
    const size_t before = m_ui->messages.size();
    EXPECT_EQ(kvlExec(), -9);
    EXPECT_EQ(m_ui->messages.size(), before);
    EXPECT_FALSE(exists("out/box"));
    EXPECT_FALSE(exists("out/box.pdf"));
    EXPECT_EQ(readFile(m_log), header("*設定,フォルダ単位、結合、ファイル既存：置換"));
}

TEST_F(Exec, DescriptionFileRunsNoDriverAndFinishesTheLog)
{
    const std::string a = jpeg("in/a.jpg");
    const std::string desc = m_dir.file("list.txt");
    ASSERT_TRUE(writeFile(desc, a + "\r\n"));
    prepare(0, 0);
    kvlSetPathText(desc.c_str());
    EXPECT_EQ(kvlExec(), -190);
    EXPECT_EQ(readFile(m_log), header("*設定,ファイル単位、1対1、ファイル既存：置換"));
    // The job itself is unchanged: it runs the same way again.
    EXPECT_EQ(kvlExec(), -190);
    EXPECT_FALSE(exists("out/a.pdf"));
}

TEST_F(Exec, FileRunLeavesItsFinishedLogByteForByte)
{
    const std::string a = jpeg("in/a.jpg");
    const std::string b = jpeg("in/b.jpg");
    ASSERT_TRUE(writeFile(m_dir.file("out/b.pdf"), "old"));
    prepare(0, 0, 1);
    kvlSetPathFrom(a.c_str());
    kvlSetPathFrom(b.c_str());
    EXPECT_EQ(kvlExec(), 0);
    EXPECT_TRUE(isPdf("out/a.pdf"));
    EXPECT_EQ(readFile(m_dir.file("out/b.pdf")), "old");
    EXPECT_EQ(readFile(m_log),
              header("*設定,ファイル単位、1対1、ファイル既存：スキップ") + "\"" + m_in +
                  "\",\"a.jpg\",\"" + m_out + "\",\"a.pdf\",1,JPEG,\r\n\"" + m_in +
                  "\",\"b.jpg\",\"\",\"\",,," + sjis("既存のためｽｷｯﾌﾟ") + "\r\n");
}

TEST_F(Exec, SecondRunWithTheSameLogPathReplacesTheLog)
{
    const std::string a = jpeg("in/a.jpg");
    prepare(0, 0);
    kvlSetPathFrom(a.c_str());
    EXPECT_EQ(kvlExec(), 0);
    const std::string first = readFile(m_log);
    // Without kvlReset the same job runs again; its log replaces the first one.
    ASSERT_TRUE(writeFile(m_dir.file("out/a.pdf"), "old"));
    EXPECT_EQ(kvlExec(), 0);
    EXPECT_TRUE(isPdf("out/a.pdf"));
    EXPECT_EQ(readFile(m_log), first);
    EXPECT_EQ(first.find(sjis("*名称"), 1), std::string::npos);
}

TEST_F(Exec, FolderRunWithJoinedOutputAndSkippingFinishesItsLog)
{
    const std::string box = folder("in/box");
    jpeg("in/box/p10.jpg");
    jpeg("in/box/p2.jpg");
    prepare(1, 1, 1);
    kvlSetPathFrom(box.c_str());
    EXPECT_EQ(kvlExec(), 0);
    EXPECT_TRUE(isPdf("out/box.pdf"));
    const std::string rows =
        "\"" + box + "\",\"p2.jpg\",\"" + m_out + "\",\"box.pdf\",1,JPEG,\r\n" + "\"" + box +
        "\",\"p10.jpg\",\"" + m_out + "\",\"box.pdf\",2,JPEG,\r\n";
    EXPECT_EQ(readFile(m_log), header("*設定,フォルダ単位、結合、ファイル既存：スキップ") + rows);
}

TEST_F(Exec, WithoutALogPathRowsGoToTheFallbackLog)
{
    const std::string a = jpeg("in/a.jpg");
    prepare(0, 0);
    kvlSetPathLog("");
    kvlSetPathFrom(a.c_str());
    EXPECT_EQ(kvlExec(), 0);
    const std::vector<std::string> fallback = lines(m_work.file("tnwlogt2p.csv"));
    ASSERT_EQ(fallback.size(), 2u);
    EXPECT_EQ(fallback[0].rfind(sjis("tiffフォルダ名,"), 0), 0u);
    EXPECT_EQ(fallback[1].rfind("\"" + m_in + "\",\"a.jpg\",1,1,", 0), 0u);
    EXPECT_FALSE(exists("run.csv"));
}

TEST_F(Exec, CancelledRunStillFinishesTheLog)
{
    std::vector<std::string> inputs;
    prepare(0, 0);
    for (const char* name : {"a.jpg", "b.jpg"})
        kvlSetPathFrom(jpeg(std::string("in/") + name).c_str());
    kvlSetHWnd(1);
    m_ui->cancelAfterPumps = 2;
    EXPECT_EQ(kvlExec(), -109);
    EXPECT_FALSE(exists("out/b.pdf"));
    const std::vector<std::string> log = lines(m_log);
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[0], sjis("*名称,Dravik"));
    EXPECT_NE(log[6].find(sjis("キャンセルされました。")), std::string::npos);
}
