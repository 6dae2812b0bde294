// The verification of PDFs written from TIFF files: raw Group 4 pages that match, an altered
// image byte, converted pages, a PDF shorter than its records, and the files it cannot open or
// create; the single-file job that runs it.
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "conv/tiff_jobs.h"
#include "conv/verify.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/pdf_fixtures.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace tnw::conv {
namespace {

using platform::sjis;
using test::TiffPageShape;

// A bilevel Group 4 page; `rowsPerStrip` 0 makes one strip.
TiffPageShape group4(uint32_t rowsPerStrip = 0)
{
    TiffPageShape page;
    page.width = 64;
    page.length = 24;
    page.bits = 1;
    page.photometric = PHOTOMETRIC_MINISWHITE;
    page.compression = COMPRESSION_CCITTFAX4;
    page.rowsPerStrip = rowsPerStrip;
    return page;
}

class VerifyTest : public ::testing::Test {
protected:
    VerifyTest()
    {
        m_writer.setWorkFolder(m_dir.path());
        m_writer.setLogPath(m_dir.file("log.csv"));
    }

    std::string tiff(const std::string& name, const std::vector<TiffPageShape>& pages)
    {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(test::writeTiff(path, pages));
        return path;
    }
    // Converts without the check and keeps the page records.
    std::vector<PdfImageRecord> convert(const std::string& tif, const std::string& pdf)
    {
        EXPECT_EQ(convertTiffFile(m_writer, tif, pdf, {}, false), 0);
        return pdfShared().records;
    }
    // Changes one byte of a file.
    void flipByte(const std::string& path, int64_t at)
    {
        std::string bytes = test::readFile(path);
        ASSERT_LT(size_t(at), bytes.size());
        bytes[size_t(at)] = char(bytes[size_t(at)] ^ 0x5A);
        ASSERT_TRUE(test::writeFile(path, bytes));
    }
    std::string recordLine(int i, const PdfImageRecord& r) const
    {
        return std::to_string(i) + ": nTifCompress( " + std::to_string(r.compression) +
               " ) nPdfStmOfs( " + std::to_string(r.streamOffset) + " ) nPdfStmBytes( " +
               std::to_string(r.streamLength) + " )\r\n";
    }
    bool exists(const std::string& path) const
    {
        return platform::pathKind(path) != platform::PathKind::Missing;
    }

    test::TempDir m_dir;
    PdfWriter m_writer;
};

TEST_F(VerifyTest, SingleStripGroup4ConvertedRawVerifiesWithoutReport)
{
    const std::string tif = tiff("page.tif", {group4(), group4()});
    const std::string pdf = m_dir.file("page.pdf");
    std::vector<std::string> calls;
    const ProgressProc progress = [&](int phase, int index, int total) {
        if (phase != 1)
            calls.push_back(std::to_string(phase) + "," + std::to_string(index) + "," +
                            std::to_string(total));
        return 1;
    };
    EXPECT_EQ(convertTiffFile(m_writer, tif, pdf, progress, true), 0);
    ASSERT_EQ(pdfShared().records.size(), 2u);
    EXPECT_EQ(pdfShared().records[0].converted, 0);
    EXPECT_EQ(pdfShared().records[0].compression, 4);
    EXPECT_TRUE(pdfShared().message.empty());
    EXPECT_FALSE(exists(m_dir.file("page_ckpdf.txt")));
    // The examination, the report before the check, then one report per page checked.
    const std::vector<std::string> tail(calls.end() - 3, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"-2,-1,2", "0,1,2", "0,2,2"}));
}

TEST_F(VerifyTest, AlteredImageByteGivesTheReportAndMinusOne)
{
    const std::string tif = tiff("scan.tiff", {group4(), group4()});
    const std::string pdf = m_dir.file("scan.pdf");
    const auto records = convert(tif, pdf);
    ASSERT_EQ(records.size(), 2u);
    flipByte(pdf, records[1].streamOffset + records[1].streamLength - 1);

    int differing = -1;
    EXPECT_EQ(verifyPdf(tif, pdf, records, {}, &differing), kVerifyDiffers);
    EXPECT_EQ(differing, 1);
    const std::string report = m_dir.file("scan_ckpdf.txt");
    const std::string stripBytes = std::to_string(records[1].streamLength);
    EXPECT_EQ(test::readFile(report),
              recordLine(1, records[0]) + recordLine(2, records[1]) + "   " +
                  sjis("tiffページ( 2 )-Strip( 0 / 1 )-StripBytes( " + stripBytes +
                       " ) 内容が異なります。") +
                  "\r\n");
    EXPECT_EQ(pdfShared().message,
              sjis(pdf + " のストリーム検証でエラーがありました。\n" +
                   "ストリームエラーは 1 個です。\n" + report + " を参照してください。"));
}

TEST_F(VerifyTest, MultiStripPagesAreReportedConvertedAndNotExamined)
{
    const std::string tif = tiff("mixed.tif", {group4(8), group4()});
    const std::string pdf = m_dir.file("mixed.pdf");
    auto records = convert(tif, pdf);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].converted, 1);
    EXPECT_EQ(records[1].converted, 0);
    // Page 1's stream is not compared: altering it changes nothing.
    flipByte(pdf, records[0].streamOffset);
    EXPECT_EQ(verifyPdf(tif, pdf, records, {}), 0);
    EXPECT_FALSE(exists(m_dir.file("mixed_ckpdf.txt")));

    // With page 2 altered too, the report shows both pages.
    flipByte(pdf, records[1].streamOffset);
    EXPECT_EQ(verifyPdf(tif, pdf, records, {}), kVerifyDiffers);
    const std::string report = test::readFile(m_dir.file("mixed_ckpdf.txt"));
    EXPECT_EQ(report.substr(0, report.find("\r\n2: ") + 2),
              recordLine(1, records[0]) + "   " +
                  sjis("圧縮/ストリップ構成を変換したページは検証しません。") + "\r\n");
    // A bit-reversed page is not examined either.
    records[1].bitReversed = 1;
    EXPECT_EQ(verifyPdf(tif, pdf, records, {}), 0);
}

TEST_F(VerifyTest, PdfShorterThanItsRecordsGivesTheStreamReadError)
{
    const std::string tif = tiff("short.tif", {group4()});
    const std::string pdf = m_dir.file("short.pdf");
    const auto records = convert(tif, pdf);
    ASSERT_EQ(records.size(), 1u);
    const std::string bytes = test::readFile(pdf);
    ASSERT_TRUE(test::writeFile(pdf, bytes.substr(0, size_t(records[0].streamOffset + 3))));

    int differing = 0;
    EXPECT_EQ(verifyPdf(tif, pdf, records, {}, &differing), kVerifyDiffers);
    EXPECT_EQ(differing, 1);
    EXPECT_EQ(test::readFile(m_dir.file("short_ckpdf.txt")),
              recordLine(1, records[0]) + "   " +
                  sjis("pdfのページ( 1 )のストリーム読み込みエラー( -301 )") + "\r\n");

    // A record beyond the file's end, and a page the TIFF does not have.
    auto beyond = records;
    beyond[0].streamOffset = int64_t(bytes.size()) + 100;
    beyond.push_back(records[0]);
    beyond[1].pageIndex = 7;
    EXPECT_EQ(verifyPdf(tif, pdf, beyond, {}, &differing), kVerifyDiffers);
    EXPECT_EQ(differing, 2);
    const std::string report = test::readFile(m_dir.file("short_ckpdf.txt"));
    EXPECT_NE(report.find(sjis("pdfのページ( 1 )のストリーム読み込みエラー( -302 )")),
              std::string::npos);
    EXPECT_NE(report.find(sjis("マルチtiffのページ( 2 )のオープン失敗( -306 )")),
              std::string::npos);
}

TEST_F(VerifyTest, StripsNeedingMoreThanTheStreamGiveTheDataSizeError)
{
    const std::string tif = tiff("size.tif", {group4()});
    const std::string pdf = m_dir.file("size.pdf");
    auto records = convert(tif, pdf);
    ASSERT_EQ(records.size(), 1u);
    records[0].streamLength -= 1;
    EXPECT_EQ(verifyPdf(tif, pdf, records, {}), kVerifyDiffers);
    EXPECT_NE(test::readFile(m_dir.file("size_ckpdf.txt"))
                  .find(sjis("tiffページ( 1 )-Strip( 0 / 1 ) データサイズエラー\r\n")),
              std::string::npos);
}

TEST_F(VerifyTest, PdfOrReportThatCannotBeOpened)
{
    const std::string tif = tiff("a.tif", {group4()});
    const auto records = convert(tif, m_dir.file("a.pdf"));
    EXPECT_EQ(verifyPdf(tif, m_dir.file("missing.pdf"), records, {}), kVerifyDiffers);
    EXPECT_EQ(pdfShared().message,
              sjis("pdfファイルのオープンが失敗しました。処理を中止します。"));
    // The report goes next to the source: in a missing folder it cannot be created.
    EXPECT_EQ(verifyPdf(m_dir.file("gone/a.tif"), m_dir.file("a.pdf"), records, {}),
              kVerifyReportFailed);
    EXPECT_EQ(pdfShared().message,
              sjis("ログファイルの作成が失敗しました。処理を中止します。"));
}

TEST_F(VerifyTest, CancelStopsTheCheckOfLaterPages)
{
    const std::string tif = tiff("c.tif", {group4(), group4()});
    const std::string pdf = m_dir.file("c.pdf");
    const auto records = convert(tif, pdf);
    flipByte(pdf, records[1].streamOffset);
    // Cancelled before page 2: page 1 matched, the report is deleted.
    const ProgressProc cancelSecond = [](int, int index, int) { return index < 2 ? 1 : 0; };
    EXPECT_EQ(verifyPdf(tif, pdf, records, cancelSecond), 0);
    EXPECT_FALSE(exists(m_dir.file("c_ckpdf.txt")));
}

TEST(CheckReportPath, FolderSeparatorBaseNameAndSuffix)
{
    EXPECT_EQ(checkReportPath("/scan/box1/page.tif"), "/scan/box1/page_ckpdf.txt");
    EXPECT_EQ(checkReportPath("/scan/v1.2/a.b.tiff"), "/scan/v1.2/a.b_ckpdf.txt");
    EXPECT_EQ(checkReportPath("/scan/noext"), "/scan/noext_ckpdf.txt");
    EXPECT_EQ(checkReportPath("/top.tif"), "/top_ckpdf.txt");
    std::string cwd;
    ASSERT_TRUE(platform::currentFolder(cwd));
    EXPECT_EQ(checkReportPath("sub/x.tif"), cwd + "/sub/x_ckpdf.txt");
    const std::string name = sjis("表.tif");  // its second byte is '\'
    EXPECT_EQ(checkReportPath("/s/" + name), "/s/" + sjis("表") + "_ckpdf.txt");
    EXPECT_EQ(checkReportPath(""), "");
}

TEST_F(VerifyTest, JobOnUnreadableTiffGivesTheReaderCodeAndItsMessage)
{
    const std::string bad = m_dir.file("bad.tif");
    ASSERT_TRUE(test::writeFile(bad, "GIF89a not a TIFF"));
    const std::string pdf = m_dir.file("bad.pdf");
    EXPECT_EQ(convertTiffFile(m_writer, bad, pdf, {}, true), common::tiffcode::NotTiff);
    EXPECT_EQ(pdfShared().message,
              sjis(bad + " のpdf作成が失敗しました。pdfの作成を中止します。"));
    EXPECT_FALSE(exists(pdf));
    EXPECT_FALSE(exists(m_dir.file("bad_ckpdf.txt")));
}

TEST_F(VerifyTest, JobWhoseEveryPageIsRefusedFailsInsteadOfReportingSuccess)
{
    // A tiled page: the writer refuses it, so no PDF is written.
    const std::string tif = m_dir.file("tiled.tif");
    TIFF* t = TIFFOpen(tif.c_str(), "w");
    ASSERT_NE(t, nullptr);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 32);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, 32);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
    std::string tile(16 * 16, '\x80');
    for (uint32_t n = 0; n < 4; ++n)
        ASSERT_GE(TIFFWriteEncodedTile(t, n, tile.data(), tmsize_t(tile.size())), 0);
    TIFFClose(t);

    const std::string pdf = m_dir.file("tiled.pdf");
    for (bool check : {false, true}) {
        EXPECT_EQ(convertTiffFile(m_writer, tif, pdf, {}, check), kPdfOutputFailed);
        EXPECT_EQ(pdfShared().message,
                  sjis(tif + " のpdf作成が失敗しました。pdfの作成を中止します。"));
    }
    EXPECT_FALSE(exists(pdf));
}

}  // namespace
}  // namespace tnw::conv
