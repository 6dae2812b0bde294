// The conversion log: creating it, cutting raw rows to the finished columns with quoted
// fields kept whole, the header block and the fallback log of jobs without a log path.
#include "conv/conversion_job.h"
#include "conv/run_log.h"

#include "common/platform/cp932.h"
#include "support/local_time.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <ctime>
#include <string>

using tnw::conv::ConversionJob;
using tnw::conv::finishedRow;
using tnw::conv::RunLog;
using tnw::conv::splitLogFields;
using tnw::platform::sjis;
using tnw::test::localTime;
using tnw::test::readFile;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

class RunLogFile : public ::testing::Test {
protected:
    void SetUp() override { setenv("KORVELIN_WORK_DIR", m_work.path().c_str(), 1); }
    void TearDown() override { unsetenv("KORVELIN_WORK_DIR"); }

    TempDir m_work;
    TempDir m_dir;
};

const std::string kColumns =
    sjis("jpegフォルダ名,jpegファイル名,pdfフォルダ名,pdfファイル名,pdf頁番号,pdf圧縮,備考\r\n");

}  // namespace

TEST(RunLogRows, QuotedFieldsKeepTheirCommasAndDoubledQuotes)
{
    const auto fields = splitLogFields(R"("/scan/a,b","say ""x,y""",1,JPEG)", 10);
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0], R"("/scan/a,b")");
    EXPECT_EQ(fields[1], R"("say ""x,y""")");
    EXPECT_EQ(fields[3], "JPEG");
    // The last field takes the rest of the row.
    const auto cut = splitLogFields("a,b,c,d", 3);
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut[2], "c,d");
}

TEST(RunLogRows, PageRowKeepsSevenColumnsWithACommaInTheFolder)
{
    const std::string raw = R"("/scan/a,b","x,y.jpg",1,1,Jpeg,"/out/a,b","x,y.pdf",1,JPEG,)";
    EXPECT_EQ(finishedRow(raw), R"("/scan/a,b","x,y.jpg","/out/a,b","x,y.pdf",1,JPEG,)");
    EXPECT_EQ(splitLogFields(finishedRow(raw), 10).size(), 7u);
}

TEST(RunLogRows, RemarkRowLosesItsEmptyPageFields)
{
    const std::string raw = "\"/scan\",\"a.jpg\",,,,\"\",\"\",,," + sjis("既存のためｽｷｯﾌﾟ");
    EXPECT_EQ(finishedRow(raw), "\"/scan\",\"a.jpg\",\"\",\"\",,," + sjis("既存のためｽｷｯﾌﾟ"));
}

TEST(RunLogRows, RemarkWithCommasStaysInTheLastColumn)
{
    const std::string raw = "\"/s\",\"a.jpg\",1,1,J,\"/o\",\"a.pdf\",1,JPEG,note, more";
    EXPECT_EQ(finishedRow(raw), "\"/s\",\"a.jpg\",\"/o\",\"a.pdf\",1,JPEG,note, more");
}

TEST_F(RunLogFile, CreateReplacesAnEarlierFileWithTheColumnHeader)
{
    const std::string log = m_dir.file("run.csv");
    ASSERT_TRUE(writeFile(log, "old contents\r\n"));
    EXPECT_EQ(RunLog::create(log), 0);
    EXPECT_EQ(readFile(log), kColumns);
    EXPECT_EQ(RunLog::create(m_dir.file("missing/run.csv")), -1);
    EXPECT_EQ(RunLog::create(""), -1);
}

TEST_F(RunLogFile, FinishPutsTheHeaderBlockInFrontAndCutsEachRow)
{
    const std::string log = m_dir.file("run.csv");
    ASSERT_EQ(RunLog::create(log), 0);
    // Raw rows as the writer appends them; one folder name holds a comma, one a quote.
    const std::string rows =
        "\"/scan/a,b\",\"p1.jpg\",1,1," + sjis("Jpeg ﾌｧｲﾙ") +
        ",\"/out\",\"p1.pdf\",1,JPEG,\r\n"
        "\"/scan/say \"\"hi\"\"\",\"p2.jpg\",,,,\"\",\"\",,," + sjis("同名のためｽｷｯﾌﾟ") + "\r\n";
    ASSERT_TRUE(writeFile(log, readFile(log) + rows));

    RunLog runLog;
    runLog.start(0, 0, localTime(2024, 3, 9, 7, 5, 2));
    EXPECT_EQ(runLog.finish("/scan", "/out", 1, log), 0);

    const std::string expected =
        sjis("*名称,Dravik\r\n*日時,24/03/09 07:05:02\r\n*入力,/scan\r\n*出力,/out\r\n") +
        sjis("*設定,ファイル単位、1対1、ファイル既存：スキップ\r\n") + kColumns +
        "\"/scan/a,b\",\"p1.jpg\",\"/out\",\"p1.pdf\",1,JPEG,\r\n"
        "\"/scan/say \"\"hi\"\"\",\"p2.jpg\",\"\",\"\",,," + sjis("同名のためｽｷｯﾌﾟ") + "\r\n";
    EXPECT_EQ(readFile(log), expected);
    // The rewrite leaves no temporary file behind, in the work folder or beside the log.
    EXPECT_TRUE(std::filesystem::is_empty(m_work.path()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(RunLogFile, FinishAcceptsLfLineEndsAndWritesCrLf)
{
    const std::string log = m_dir.file("run.csv");
    ASSERT_TRUE(writeFile(log, "head\n\"/s\",\"a.jpg\",1,1,J,\"/o\",\"a.pdf\",1,JPEG,x"));
    RunLog runLog;
    runLog.start(1, 1, localTime(2024, 1, 1, 0, 0, 0));
    ASSERT_EQ(runLog.finish("/s", "/o", 0, log), 0);
    const std::string text = readFile(log);
    EXPECT_NE(text.find("head\r\n\"/s\",\"a.jpg\",\"/o\",\"a.pdf\",1,JPEG,x\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("\n\n"), std::string::npos);
}

TEST_F(RunLogFile, NeverCreatedLogHoldsOnlyTheHeaderBlock)
{
    const std::string log = m_dir.file("never.csv");
    RunLog runLog;
    runLog.start(1, 1, localTime(2025, 12, 31, 23, 59, 58));
    ASSERT_EQ(runLog.finish("/in", "/out", 0, log), 0);
    EXPECT_EQ(readFile(log),
              sjis("*名称,Dravik\r\n*日時,25/12/31 23:59:58\r\n*入力,/in\r\n*出力,/out\r\n"
                   "*設定,フォルダ単位、結合、ファイル既存：置換\r\n"));
}

TEST_F(RunLogFile, FinishFailsWithoutTouchingALogItCannotReplace)
{
    // A folder at the log path cannot be replaced by the finished file.
    const std::string log = m_dir.file("taken.csv");
    ASSERT_EQ(mkdir(log.c_str(), 0700), 0);
    RunLog runLog;
    runLog.start(0, 0, 0);
    EXPECT_EQ(runLog.finish("/in", "/out", 0, log), -1);
}

TEST(RunLogHeader, SettingsLineNamesModeGroupingAndExistingFiles)
{
    struct Case {
        int mode, grouping, skip;
        const char* line;
    };
    const Case cases[] = {
        {0, 0, 0, "*設定,ファイル単位、1対1、ファイル既存：置換\r\n"},
        {0, 1, 1, "*設定,ファイル単位、結合、ファイル既存：スキップ\r\n"},
        {1, 0, 0, "*設定,フォルダ単位、1対1、ファイル既存：置換\r\n"},
        {1, 1, 1, "*設定,フォルダ単位、結合、ファイル既存：スキップ\r\n"},
        {2, 5, 3, "*設定,フォルダ単位、結合、ファイル既存：スキップ\r\n"},
        {-1, -1, -1, "*設定,ファイル単位、1対1、ファイル既存：置換\r\n"},
    };
    for (const Case& c : cases) {
        RunLog log;
        log.start(c.mode, c.grouping, 0);
        const std::string block = log.headerBlock("/in", "/out", c.skip);
        const std::string line = sjis(c.line);
        ASSERT_GE(block.size(), line.size());
        EXPECT_EQ(block.substr(block.size() - line.size()), line)
            << c.mode << " " << c.grouping << " " << c.skip;
    }
}

TEST_F(RunLogFile, JobWithoutLogPathEmptiesTheFallbackLogAtItsFirstRow)
{
    const std::string fallback = m_work.file("tnwlogt2p.csv");
    ASSERT_TRUE(writeFile(fallback, "rows of an earlier job\r\n"));
    const std::string header =
        sjis("tiffフォルダ名,tiffファイル名,tiff頁数,tiff頁番号,tiff圧縮,pdfフォルダ名,"
             "pdfファイル名,pdf頁番号,pdf圧縮,備考\r\n");
    {
        ConversionJob job("");
        EXPECT_EQ(job.logPath(), fallback);
        job.remark("/scan/a.jpg", sjis("同名のためｽｷｯﾌﾟ"));
        job.remark("/scan/b", sjis("該当なし"), true);
        EXPECT_EQ(readFile(fallback),
                  header + "\"/scan\",\"a.jpg\",,,,\"\",\"\",,," + sjis("同名のためｽｷｯﾌﾟ") +
                      "\r\n\"/scan/b\",\"\",,,,\"\",\"\",,," + sjis("該当なし") + "\r\n");
    }
    ConversionJob next("");
    next.remark("/scan/c.jpg", "x");
    EXPECT_EQ(readFile(fallback), header + "\"/scan\",\"c.jpg\",,,,\"\",\"\",,,x\r\n");
}
