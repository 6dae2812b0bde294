// The folder TIFF-to-PDF job: one PDF per TIFF file, the list of failed files
// "tif2pdf_err.txt" in the output folder, and its messages.
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "conv/tiff_jobs.h"
#include "conv/verify.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/pdf_fixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tnw::conv {
namespace {

using platform::sjis;

test::TiffPageShape group4Page()
{
    test::TiffPageShape page;
    page.width = 48;
    page.length = 16;
    page.bits = 1;
    page.photometric = PHOTOMETRIC_MINISWHITE;
    page.compression = COMPRESSION_CCITTFAX4;
    return page;
}

class TiffFolderJobTest : public ::testing::Test {
protected:
    TiffFolderJobTest()
    {
        m_writer.setWorkFolder(m_dir.path());
        m_writer.setLogPath(m_dir.file("log.csv"));
        mkdir(m_in.c_str(), 0755);
        mkdir(m_out.c_str(), 0755);
    }
    bool exists(const std::string& path) const
    {
        return platform::pathKind(path) != platform::PathKind::Missing;
    }

    test::TempDir m_dir;
    std::string m_in = m_dir.file("in");
    std::string m_out = m_dir.file("out");
    PdfWriter m_writer;
};

TEST_F(TiffFolderJobTest, GoodFilesBecomePdfsAndNoListIsLeft)
{
    ASSERT_TRUE(test::writeTiff(m_in + "/one.tif", {group4Page()}));
    ASSERT_TRUE(test::writeTiff(m_in + "/two.TIFF", {group4Page(), group4Page()}));
    ASSERT_TRUE(test::writeFile(m_in + "/readme.txt", "not an image"));
    mkdir((m_in + "/sub.tif").c_str(), 0755);
    // A list of an earlier job is removed first.
    ASSERT_TRUE(test::writeFile(m_out + "/tif2pdf_err.txt", "old\r\n"));

    TiffFolderResult result;
    EXPECT_EQ(convertTiffFolder(m_writer, m_in, m_out, {}, true, &result), 0);
    EXPECT_EQ(result.files, 2);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_TRUE(exists(m_out + "/one.pdf"));
    EXPECT_TRUE(exists(m_out + "/two.pdf"));
    EXPECT_FALSE(exists(m_out + "/sub.pdf"));
    EXPECT_FALSE(exists(m_out + "/tif2pdf_err.txt"));
    EXPECT_FALSE(exists(m_in + "/one_ckpdf.txt"));
}

TEST_F(TiffFolderJobTest, FailedFilesAreListedOnePathPerLine)
{
    ASSERT_TRUE(test::writeTiff(m_in + "/a.tif", {group4Page()}));
    ASSERT_TRUE(test::writeFile(m_in + "/b.tif", std::string("II*\0 cut", 8)));
    ASSERT_TRUE(test::writeTiff(m_in + "/c.tif", {group4Page()}));
    ASSERT_TRUE(test::writeFile(m_in + "/d.tif", std::string("MM\0*\0\0\0\x08\0\0", 10)));

    TiffFolderResult result;
    EXPECT_EQ(convertTiffFolder(m_writer, m_in, m_out, {}, true, &result), -1);
    EXPECT_EQ(result.files, 4);
    const std::string list = m_out + "/tif2pdf_err.txt";
    EXPECT_EQ(result.listPath, list);
    EXPECT_EQ(test::readFile(list), m_in + "/b.tif\r\n" + m_in + "/d.tif\r\n");
    EXPECT_EQ(pdfShared().message,
              sjis("tif2pdf: 2 個のファイルにエラーがありました。\n" + list +
                   " のエラーファイル一覧表を参照したください。"));
    EXPECT_TRUE(exists(m_out + "/a.pdf"));
    EXPECT_TRUE(exists(m_out + "/c.pdf"));
}

TEST_F(TiffFolderJobTest, ListThatCannotBeWrittenGivesTheFallbackMessage)
{
    ASSERT_TRUE(test::writeFile(m_in + "/bad.tif", "neither II nor MM"));
    // The output folder is missing: no PDF and no list can be written there.
    const std::string out = m_dir.file("missing");
    EXPECT_EQ(convertTiffFolder(m_writer, m_in, out, {}, false), -1);
    EXPECT_EQ(pdfShared().message,
              sjis("tif2pdf: エラーがありました。出力フォルダの *.ckpdf.txt を参照してください。"));
}

TEST_F(TiffFolderJobTest, FolderWithoutTiffFails)
{
    ASSERT_TRUE(test::writeFile(m_in + "/photo.jpg", "\xFF\xD8"));
    TiffFolderResult result;
    EXPECT_EQ(convertTiffFolder(m_writer, m_in, m_out, {}, true, &result), -1);
    EXPECT_EQ(result.files, 0);
    EXPECT_EQ(pdfShared().message, sjis("ファイルなし"));
    EXPECT_EQ(convertTiffFolder(m_writer, m_dir.file("nowhere"), m_out, {}, true), -1);
    EXPECT_FALSE(exists(m_out + "/tif2pdf_err.txt"));
}

TEST_F(TiffFolderJobTest, CancelEndsTheFolder)
{
    ASSERT_TRUE(test::writeTiff(m_in + "/a.tif", {group4Page()}));
    ASSERT_TRUE(test::writeTiff(m_in + "/b.tif", {group4Page()}));
    const ProgressProc cancel = [](int, int, int) { return 0; };
    TiffFolderResult result;
    EXPECT_EQ(convertTiffFolder(m_writer, m_in, m_out, cancel, true, &result), kPdfCancelled);
    EXPECT_EQ(result.files, 1);
    EXPECT_FALSE(exists(m_out + "/b.pdf"));
}

}  // namespace
}  // namespace tnw::conv
