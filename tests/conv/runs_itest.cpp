// The batch drivers on real files: skipping and replacing, the same-name rule, sub-folder
// mirroring, page order, empty folders, paths that cannot be built, the progress window and
// Cancel. Each test runs a driver in its own folder and reads the PDFs and the raw log rows.
#include "conv/runs.h"

#include "conv/naming.h"
#include "conv/run_log.h"
#include "tests/conv/run_test_support.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace tnw::conv;
using namespace tnw::test;
using tnw::platform::sjis;

namespace {

class Runs : public RunTest {
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        m_log = m_dir.file("run.csv");
        ASSERT_EQ(RunLog::create(m_log), 0);
        m_out = folder("out");
    }

    RunRequest request(std::vector<std::string> inputs, int mode = 0) const
    {
        RunRequest r;
        r.settings.nMode = mode;
        r.baseFolder = m_dir.file("in");
        r.inputs = std::move(inputs);
        r.output = m_out;
        r.logPath = m_log;
        r.runStart = localTime(2024, 5, 6, 7, 8, 9);
        r.clock = tnw::common::fixedClock({2024, 5, 6, 7, 8, 9});
        return r;
    }

    // The raw rows after the column header, split into their ten fields.
    std::vector<std::vector<std::string>> rows() const
    {
        std::vector<std::vector<std::string>> out;
        const std::vector<std::string> all = lines(m_log);
        for (size_t i = 1; i < all.size(); ++i) {
            std::vector<std::string> fields;
            for (const auto f : splitLogFields(all[i], 10))
                fields.emplace_back(f);
            out.push_back(fields);
        }
        return out;
    }
    std::string q(const std::string& text) const { return "\"" + text + "\""; }

    // Pumps of the progress window for a per-file run of one JPEG: the start report and the
    // writer's reports for one image.
    int pumpsForOneFile()
    {
        RunRequest r = request({jpeg("probe/x.jpg")});
        r.window = 1;
        r.output = folder("probe-out");
        m_ui->pumps = 0;
        EXPECT_EQ(runFilesEach(r), 0);
        const int pumps = m_ui->pumps;
        m_ui->pumps = 0;
        return pumps;
    }

    std::string m_log;
    std::string m_out;
};

}  // namespace

TEST_F(Runs, SkipExistingKeepsTheOldPdfAndRecordsIt)
{
    const std::string a = jpeg("in/a.jpg");
    ASSERT_TRUE(writeFile(m_dir.file("out/a.pdf"), "old"));
    RunRequest r = request({a});
    r.skipExisting = 1;
    EXPECT_EQ(runFilesEach(r), 0);
    EXPECT_EQ(readFile(m_dir.file("out/a.pdf")), "old");

    RunLog log;
    log.start(0, 0, r.runStart);
    ASSERT_EQ(log.finish(r.baseFolder, m_out, 1, m_log), 0);
    EXPECT_EQ(readFile(m_log),
              sjis("*名称,Dravik\r\n*日時,24/05/06 07:08:09\r\n*入力,") + r.baseFolder +
                  sjis("\r\n*出力,") + m_out +
                  sjis("\r\n*設定,ファイル単位、1対1、ファイル既存：スキップ\r\n"
                       "jpegフォルダ名,jpegファイル名,pdfフォルダ名,pdfファイル名,pdf頁番号,"
                       "pdf圧縮,備考\r\n") +
                  q(r.baseFolder) + ",\"a.jpg\",\"\",\"\",,," + sjis("既存のためｽｷｯﾌﾟ") + "\r\n");
}

TEST_F(Runs, ReplaceOverwritesAnExistingPdf)
{
    const std::string a = jpeg("in/a.jpg");
    ASSERT_TRUE(writeFile(m_dir.file("out/a.pdf"), "old"));
    EXPECT_EQ(runFilesEach(request({a})), 0);
    EXPECT_TRUE(isPdf("out/a.pdf"));
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0][1], "\"a.jpg\"");
    EXPECT_EQ(rows()[0][6], "\"a.pdf\"");
}

TEST_F(Runs, SameNameJpegIsSkippedAndTheTiffPassedOver)
{
    const std::string a = jpeg("in/a.jpg");
    const std::string tif = m_dir.file("in/A.tif");
    ASSERT_TRUE(writeFile(tif, "not read"));
    const std::string b = jpeg("in/b.jpg");
    EXPECT_EQ(runFilesEach(request({a, tif, b})), 0);
    EXPECT_FALSE(exists("out/a.pdf"));
    EXPECT_FALSE(exists("out/A.pdf"));
    EXPECT_TRUE(isPdf("out/b.pdf"));
    const auto r = rows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0][1], "\"a.jpg\"");
    EXPECT_EQ(r[0][9], sjis("同名のためｽｷｯﾌﾟ"));
    EXPECT_EQ(r[1][1], "\"b.jpg\"");
}

TEST_F(Runs, SameNameFromAnotherFolderNeverReplacesThePdfOfThisRun)
{
    // Sub-folders shown, not mirrored: both images name out/a.pdf.
    const std::string first = jpeg("in/a.jpg");
    const std::string second = jpeg("in/sub/a.jpg");
    EXPECT_EQ(runFilesEach(request({first, second})), 0);
    EXPECT_TRUE(isPdf("out/a.pdf"));
    const auto r = rows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0][0], q(m_dir.file("in")));
    EXPECT_EQ(r[0][6], "\"a.pdf\"");
    EXPECT_EQ(r[1][0], q(m_dir.file("in/sub")));
    EXPECT_EQ(r[1][9], sjis("同名のためｽｷｯﾌﾟ"));
}

TEST_F(Runs, PdfPathTakenByAFolderFailsThatImageOnly)
{
    folder("out/a.pdf");
    const std::string a = jpeg("in/a.jpg");
    const std::string b = jpeg("in/b.jpg");
    for (const int skip : {0, 1}) {
        RunRequest r = request({a, b});
        r.skipExisting = skip;
        EXPECT_EQ(runFilesEach(r), 0) << skip;
        EXPECT_TRUE(std::filesystem::is_directory(m_dir.file("out/a.pdf")));
        EXPECT_TRUE(isPdf("out/b.pdf"));
    }
    // The failed image has its row from the writer.
    bool failedRow = false;
    for (const auto& row : rows())
        failedRow = failedRow || (row[1] == "\"a.jpg\"" && !row[9].empty());
    EXPECT_TRUE(failedRow);
}

TEST_F(Runs, ImageWhosePdfNameIsEmptyIsNotedAndTheRunGoesOn)
{
    const std::string a = jpeg("in/a.jpg");
    const std::string b = jpeg("in/b.jpg");
    RunRequest r = request({a, b});
    r.settings.nNameingFile = 2;  // an empty template names nothing
    EXPECT_EQ(runFilesEach(r), kNameEmpty);
    const auto rs = rows();
    ASSERT_EQ(rs.size(), 2u);
    EXPECT_EQ(rs[0][9], sjis("pdfパス名の作成失敗"));
    EXPECT_EQ(rs[1][1], "\"b.jpg\"");
    EXPECT_EQ(rs[1][9], sjis("pdfパス名の作成失敗"));
}

TEST_F(Runs, MirroringRebuildsTheSubFoldersLevelByLevel)
{
    const std::string a = folder("scan/2023/a");
    jpeg("scan/2023/a/p1.jpg");
    RunRequest r = request({a}, 1);
    r.baseFolder = m_dir.file("scan");
    r.mirrorSubDirs = 1;
    EXPECT_EQ(runFoldersEach(r), 0);
    EXPECT_TRUE(isPdf("out/2023/a/p1.pdf"));
    EXPECT_FALSE(exists("out/a"));

    // Per-file runs: each run of files goes into its own folder's mirror.
    const std::string x = jpeg("scan/2024/b/x.jpg");
    const std::string y = jpeg("scan/c/y.jpg");
    RunRequest files = request({x, y});
    files.baseFolder = m_dir.file("scan/");
    files.mirrorSubDirs = 1;
    EXPECT_EQ(runFilesEach(files), 0);
    EXPECT_TRUE(isPdf("out/2024/b/x.pdf"));
    EXPECT_TRUE(isPdf("out/c/y.pdf"));

    // Joined folder runs write each folder's PDF into its mirror.
    RunRequest joined = request({a}, 1);
    joined.baseFolder = m_dir.file("scan");
    joined.mirrorSubDirs = 1;
    joined.output = folder("joined");
    EXPECT_EQ(runFoldersJoined(joined), 0);
    EXPECT_TRUE(isPdf("joined/2023/a/a.pdf"));
}

TEST(MirroredFolder, PartAfterTheBaseIsAppendedToTheOutput)
{
    std::string m;
    ASSERT_TRUE(mirroredFolder("/out", "/scan", "/scan/2023/a", m));
    EXPECT_EQ(m, "/out/2023/a");
    ASSERT_TRUE(mirroredFolder("/out", "/scan/", "/scan/2023", m));
    EXPECT_EQ(m, "/out/2023");
    ASSERT_TRUE(mirroredFolder("/out", "/", "/scan/x", m));
    EXPECT_EQ(m, "/out/scan/x");
    // The base itself, and folders outside it (a name that merely starts like the base
    // included), mirror to the output folder itself.
    ASSERT_TRUE(mirroredFolder("/out", "/scan", "/scan", m));
    EXPECT_EQ(m, "/out");
    ASSERT_TRUE(mirroredFolder("/out", "/scan", "/scanner/x", m));
    EXPECT_EQ(m, "/out");
    ASSERT_TRUE(mirroredFolder("/out", "/scan/a/b", "/scan", m));
    EXPECT_EQ(m, "/out");
    EXPECT_FALSE(mirroredFolder("/" + std::string(250, 'o'), "/scan", "/scan/abcdefghij", m));
}

TEST_F(Runs, FolderPdfTakesItsPagesInNaturalOrder)
{
    const std::string box = folder("in/box");
    for (const char* name : {"p10.jpg", "p2.jpg", "p1.jpg"})
        jpeg(std::string("in/box/") + name);
    EXPECT_EQ(runFoldersJoined(request({box}, 1)), 0);
    EXPECT_TRUE(isPdf("out/box.pdf"));
    const auto r = rows();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0][1], "\"p1.jpg\"");
    EXPECT_EQ(r[1][1], "\"p2.jpg\"");
    EXPECT_EQ(r[2][1], "\"p10.jpg\"");
    EXPECT_EQ(r[2][6], "\"box.pdf\"");
    EXPECT_EQ(r[2][7], "3");
}

TEST_F(Runs, FolderWithoutJpegsIsNotedAndTheRunGoesOn)
{
    const std::string empty = folder("in/empty");
    ASSERT_TRUE(writeFile(m_dir.file("in/empty/note.txt"), "x"));
    const std::string full = folder("in/full");
    jpeg("in/full/f.jpg");
    EXPECT_EQ(runFoldersEach(request({empty, full}, 1)), 0);
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.file("out/empty")));
    EXPECT_TRUE(isPdf("out/full/f.pdf"));

    const std::string joined = folder("joined");
    RunRequest r = request({empty, full}, 1);
    r.output = joined;
    EXPECT_EQ(runFoldersJoined(r), 0);
    EXPECT_TRUE(isPdf("joined/full.pdf"));
    EXPECT_FALSE(exists("joined/empty.pdf"));

    const auto rs = rows();
    ASSERT_EQ(rs.size(), 4u);
    for (const size_t i : {size_t(0), size_t(2)}) {
        EXPECT_EQ(rs[i][0], q(empty));
        EXPECT_EQ(rs[i][1], "\"\"");
        EXPECT_EQ(rs[i][9], sjis("該当なし"));
    }
}

TEST_F(Runs, FolderWhosePdfPathCannotBeBuiltIsNotedAndTheRunGoesOn)
{
    // A folder name that fits as an input path but not as the PDF path in the output.
    const size_t room = 259 - m_dir.file("in/").size();
    const std::string longName(std::min<size_t>(room, 240), 'n');
    ASSERT_GE(m_out.size() + 1 + longName.size() + 4, 260u);
    const std::string longFolder = folder("in/" + longName);
    jpeg("in/" + longName + "/a.jpg");
    const std::string good = folder("in/good");
    jpeg("in/good/a.jpg");
    EXPECT_EQ(runFoldersJoined(request({longFolder, good}, 1)), 0);
    EXPECT_TRUE(isPdf("out/good.pdf"));
    const auto r = rows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0][0], q(longFolder));
    EXPECT_EQ(r[0][9], sjis("pdfパス名の作成失敗"));
    EXPECT_EQ(r[1][0], q(good));
}

TEST_F(Runs, SubFolderThatCannotBeMadeEndsTheFolderRun)
{
    const std::string a = folder("in/a");
    jpeg("in/a/p.jpg");
    ASSERT_TRUE(writeFile(m_dir.file("out/a"), "a file where the sub-folder goes"));
    EXPECT_EQ(runFoldersEach(request({a}, 1)), kRunFolderFailed);
    ASSERT_EQ(m_ui->messages.size(), 1u);
    EXPECT_EQ(m_ui->messages[0].title, "Dravik");
    EXPECT_EQ(m_ui->messages[0].text, sjis("作業フォルダ作成失敗"));
}

TEST_F(Runs, WithoutAWindowNothingOpensAndNothingCancels)
{
    m_ui->cancelAfterPumps = 0;
    const std::string a = jpeg("in/a.jpg");
    EXPECT_EQ(runFilesEach(request({a})), 0);
    RunRequest joined = request({a});
    joined.output = m_dir.file("out/all.pdf");
    EXPECT_EQ(runFilesJoined(joined), 0);
    EXPECT_EQ(m_ui->progressOpened, 0);
    EXPECT_EQ(m_ui->pumps, 0);
    EXPECT_TRUE(isPdf("out/a.pdf"));
}

TEST_F(Runs, ProgressWindowCountsFilesAndFolders)
{
    const std::string a = jpeg("in/a.jpg");
    const std::string b = jpeg("in/b.jpg");
    RunRequest files = request({a, b});
    files.window = 1;
    EXPECT_EQ(runFilesEach(files), 0);
    EXPECT_EQ(m_ui->progressTexts,
              (std::vector<std::string>{"", "", sjis("ﾌｧｲﾙ：1 / 2 "), sjis("ﾌｧｲﾙ：2 / 2 ")}));

    m_ui->progressTexts.clear();
    const std::string f1 = folder("in/f1");
    jpeg("in/f1/x.jpg");
    const std::string f2 = folder("in/f2");
    jpeg("in/f2/y.jpg");
    RunRequest folders = request({f1, f2}, 1);
    folders.window = 1;
    EXPECT_EQ(runFoldersJoined(folders), 0);
    EXPECT_EQ(m_ui->progressTexts,
              (std::vector<std::string>{"", "", sjis("ﾌｫﾙﾀﾞ：1 / 2 "), sjis("ﾌｫﾙﾀﾞ：2 / 2 ")}));
    EXPECT_EQ(m_ui->progressOpened, 2);
}

TEST_F(Runs, CancelDuringTheSecondOfFiveFilesStopsTheRun)
{
    const int perFile = pumpsForOneFile() - 1;  // without the start report
    ASSERT_GE(perFile, 2);
    std::vector<std::string> inputs;
    for (int i = 1; i <= 5; ++i)
        inputs.push_back(jpeg("in/f" + std::to_string(i) + ".jpg"));
    RunRequest r = request(inputs);
    r.window = 1;
    // Cancel comes with the last report of the second file.
    m_ui->cancelAfterPumps = 1 + perFile + perFile;
    EXPECT_EQ(runFilesEach(r), kRunCancelled);
    EXPECT_TRUE(isPdf("out/f1.pdf"));
    for (const char* untouched : {"out/f3.pdf", "out/f4.pdf", "out/f5.pdf"})
        EXPECT_FALSE(exists(untouched)) << untouched;
    const auto rs = rows();
    ASSERT_FALSE(rs.empty());
    EXPECT_EQ(rs.back()[1], "\"f2.jpg\"");
    EXPECT_NE(rs.back()[9].find(sjis("キャンセルされました。")), std::string::npos);
}

TEST_F(Runs, CancelledFolderEndsTheJoinedFolderRun)
{
    const std::string f1 = folder("in/f1");
    jpeg("in/f1/x.jpg");
    const std::string f2 = folder("in/f2");
    jpeg("in/f2/y.jpg");
    ASSERT_TRUE(writeFile(m_dir.file("out/f2.pdf"), "kept"));
    RunRequest r = request({f1, f2}, 1);
    r.window = 1;
    m_ui->cancelAfterPumps = 3;
    EXPECT_EQ(runFoldersJoined(r), kRunCancelledJoined);
    EXPECT_EQ(readFile(m_dir.file("out/f2.pdf")), "kept");
}

TEST_F(Runs, JoinedFileRunUsesTheVersionAndDocumentInformation)
{
    const std::string a = jpeg("in/a.jpg");
    const std::string b = jpeg("in/b.jpg");
    RunRequest r = request({b, a});
    r.output = m_dir.file("out/all.pdf");
    r.settings.nPdfVerMajor = 1;
    r.settings.nPdfVerMinor = 6;
    r.docInfo.title = "Scans";
    EXPECT_EQ(runFilesJoined(r), 0);
    const std::string pdf = readFile(r.output);
    EXPECT_EQ(pdf.rfind("%PDF-1.6", 0), 0u);
    EXPECT_NE(pdf.find("/Title (Scans)"), std::string::npos);
    // The caller's order, not sorted.
    const auto rs = rows();
    ASSERT_EQ(rs.size(), 2u);
    EXPECT_EQ(rs[0][1], "\"b.jpg\"");
    EXPECT_EQ(rs[1][1], "\"a.jpg\"");

    // Skipping existing files holds for the joined PDF as well.
    ASSERT_TRUE(writeFile(r.output, "old"));
    r.skipExisting = 1;
    EXPECT_EQ(runFilesJoined(r), 0);
    EXPECT_EQ(readFile(r.output), "old");
    EXPECT_EQ(rows().back()[9], sjis("既存のためｽｷｯﾌﾟ"));
}

TEST_F(Runs, CancelledJoinedFileRunReturnsNine)
{
    const std::string a = jpeg("in/a.jpg");
    RunRequest r = request({a});
    r.output = m_dir.file("out/all.pdf");
    r.window = 1;
    m_ui->cancelAfterPumps = 2;
    EXPECT_EQ(runFilesJoined(r), kRunCancelledJoined);
}

namespace {

TEST_F(Runs, UnwritableOutputFolderFailsEachImageAndTheRunGoesOn)
{
    // A folder where no file can be made: the process file system for root (whom permissions
    // do not stop), a folder without write permission for anybody else.
    std::string out = "/proc";
    if (::geteuid() != 0) {
        out = folder("locked");
        ::chmod(out.c_str(), 0555);
    }
    const std::string a = jpeg("in/a.jpg");
    const std::string b = jpeg("in/b.jpg");
    RunRequest r = request({a, b});
    r.output = out;
    EXPECT_NE(runFilesEach(r), 0);
    const auto rs = rows();
    ASSERT_EQ(rs.size(), 2u);  // both images were tried and each has its failure row
    EXPECT_EQ(rs[0][1], q("a.jpg"));
    EXPECT_EQ(rs[1][1], q("b.jpg"));
    EXPECT_FALSE(rs[0][9].empty());
    EXPECT_FALSE(rs[1][9].empty());
    EXPECT_FALSE(std::filesystem::exists(out + "/a.pdf"));
}

TEST_F(Runs, UnreadableImageAmongGoodOnesIsRecordedAndTheOthersConverted)
{
    const std::string a = jpeg("in/a.jpg");
    const std::string bad = m_dir.file("in/b.jpg");
    ASSERT_TRUE(writeFile(bad, makeJpeg(JpegShape{}).substr(0, 40)));  // a cut-off header
    const std::string c = jpeg("in/c.jpg");
    RunRequest r = request({a, bad, c});
    runFilesEach(r);
    EXPECT_TRUE(isPdf("out/a.pdf"));
    EXPECT_FALSE(exists("out/b.pdf"));
    EXPECT_TRUE(isPdf("out/c.pdf"));
    const auto rs = rows();
    ASSERT_EQ(rs.size(), 3u);
    EXPECT_EQ(rs[1][1], q("b.jpg"));
    EXPECT_FALSE(rs[1][9].empty());
    EXPECT_EQ(rs[2][1], q("c.jpg"));
}

}  // namespace

namespace {

TEST_F(Runs, ImagesWhoseNamesHaveNoCp932FormAreNotedForTheirFolder)
{
    const std::string box = folder("in/box");
    jpeg("in/box/a.jpg");
    // "¥" has no code page 932 form of its own (it would come back as "\").
    ASSERT_TRUE(writeFile(box + "/\xC2\xA5.jpg", makeJpeg(JpegShape{})));
    EXPECT_EQ(runFoldersEach(request({box}, 1)), 0);
    EXPECT_TRUE(isPdf("out/box/a.pdf"));
    const auto rs = rows();
    ASSERT_EQ(rs.size(), 2u);
    EXPECT_EQ(rs[0][0], q(box));
    EXPECT_EQ(rs[0][9], sjis("不正な名前があります。"));
    EXPECT_EQ(rs[1][1], q("a.jpg"));
}

}  // namespace
