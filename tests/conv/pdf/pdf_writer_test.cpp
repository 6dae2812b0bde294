#include "tests/conv/pdf/pdf_writer_test_support.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/tiff_reader.h"

using namespace tnw::conv;
using namespace tnw::test;
using tnw::platform::sjis;

namespace {

const std::string kId = "C64100007E160000812700006B440000";

// Objects 1 to 3 as every deterministic job without tags writes them.
std::string documentStart(const std::string& kids, int count)
{
    return "1 0 obj\r<< \r/Type /Catalog \r/Pages 3 0 R \r>>\rendobj\r"
           "2 0 obj\r<< \r/CreationDate (D:20240102030405)\r/ModDate (D:20240102030405)\r"
           "/Producer (Korvelin PDF Writer)\r/Creator (Korvelin PDF Writer)\r>> \rendobj\r"
           "3 0 obj\r<< \r/Type /Pages \r/Kids [ " +
           kids + "] \r/Count " + std::to_string(count) + " \r>> \rendobj\r";
}

}  // namespace

TEST_F(PdfJob, OneJpegPageIsTheDocumentedByteLayout)
{
    const std::string input = jpeg("in.jpg");
    ASSERT_EQ(m_writer.pdfWriteJpegFile(0, input, out(), nullptr), 0);

    const std::string content = "q  3.8400 0.0000 0.0000 3.8400 0.0000 0.0000 cm /Im1 Do Q\r";
    const std::string data = readFile(input) + "\xFF\xD9";
    const std::string head = std::string("%PDF-1.4 \r%\xE2\xE3\xCF\xD3\r\n", 17);
    std::vector<std::string> objects = {
        "1 0 obj\r<< \r/Type /Catalog \r/Pages 3 0 R \r>>\rendobj\r",
        "2 0 obj\r<< \r/CreationDate (D:20240102030405)\r/ModDate (D:20240102030405)\r"
        "/Producer (Korvelin PDF Writer)\r/Creator (Korvelin PDF Writer)\r>> \rendobj\r",
        "3 0 obj\r<< \r/Type /Pages \r/Kids [ 4 0 R ] \r/Count 1 \r>> \rendobj\r",
        "4 0 obj\r<<\r/Type /Page \r/Parent 3 0 R \r/MediaBox [0.0000 0.0000 3.8400 3.8400] \r"
        "/Contents 5 0 R \r/Resources << \r/XObject <<\r/Im1 7 0 R >>\r/ProcSet [ /ImageC ]\r"
        ">>\r>>\rendobj\r",
        "5 0 obj\r<< \r/Length 6 0 R \r >>\rstream\r\n" + content + "\rendstream\rendobj\r",
        "6 0 obj\r" + std::to_string(content.size()) + "\rendobj\r",
        "7 0 obj\r<< \r/Length 8 0 R \r/Type /XObject \r/Subtype /Image \r/Name /Im1\r"
        "/Width 16\r/Height 16\r/BitsPerComponent 8\r/ColorSpace /DeviceRGB \r"
        "/Filter /DCTDecode  >>\rstream\r\n" + data + "\rendstream\rendobj\r",
        "8 0 obj\r" + std::to_string(data.size()) + "\rendobj\r",
    };
    std::string expected = head;
    std::string xref = "xref\r0 9 \r0000000000 65535 f\r\n";
    for (const std::string& object : objects) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%.10zu 00000 n\r\n", expected.size());
        xref += entry;
        expected += object;
    }
    const size_t xrefOffset = expected.size();
    expected += xref + "trailer\r<<\r/Size 9\r/Root 1 0 R \r/Info 2 0 R \r/ID[<" + kId + "><" +
                kId + ">]\r>>\rstartxref\r" + std::to_string(xrefOffset) + "\r%%EOF\r";
    EXPECT_EQ(readFile(out()), expected);

    const auto& records = pdfShared().records;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(expected.substr(size_t(records[0].streamOffset), size_t(records[0].streamLength)),
              data);
    EXPECT_EQ(records[0].converted, 0);
    EXPECT_EQ(m_writer.message(), "");
    const std::string dir = m_dir.path();
    EXPECT_EQ(logRows(), std::vector<std::string>{"\"" + dir + "\",\"in.jpg\",1,1," +
                                                  sjis("Jpeg ﾌｧｲﾙ") + ",\"" + dir +
                                                  "\",\"out.pdf\",1,JPEG,\r"});
}

TEST_F(PdfJob, NinePagesBreakTheKidsLineAfterTheEighth)
{
    const std::string input = tiff("nine.tif", std::vector<TiffPageShape>(9));
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
    const PdfBytes file = pdf();
    EXPECT_EQ(file.object(3), "3 0 obj\r<< \r/Type /Pages \r/Kids [ 4 0 R 9 0 R 14 0 R 19 0 R "
                              "24 0 R 29 0 R 34 0 R 39 0 R \r44 0 R ] \r/Count 9 \r>> \rendobj\r");
    EXPECT_EQ(file.objectCount(), 48);
    EXPECT_NE(file.bytes().find("/Size 49\r"), std::string::npos);
    EXPECT_EQ(m_writer.pagesWritten(), 9);
    EXPECT_EQ(m_writer.filesProcessed(), 1);
    // Only the first pages when a page count is given.
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 2, input, out(), nullptr), 0);
    EXPECT_EQ(pdf().objectCount(), 13);
}

TEST_F(PdfJob, PalettePageShiftsTheNextPageObjectByOne)
{
    TiffPageShape palette;
    palette.bits = 4;
    palette.photometric = PHOTOMETRIC_PALETTE;
    const std::string input = tiff("pal.tif", {palette, TiffPageShape{}});
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
    const PdfBytes file = pdf();
    EXPECT_EQ(file.bytes().substr(17, documentStart("4 0 R 10 0 R ", 2).size()),
              documentStart("4 0 R 10 0 R ", 2));
    EXPECT_NE(file.object(4).find("/Im1 8 0 R >>\r/ProcSet [ /ImageC /ImageI ]"),
              std::string::npos);
    EXPECT_EQ(file.streamData(7).size(), 48u);
    EXPECT_EQ(file.streamData(7).substr(3, 3), std::string("\x01\x00\xFE", 3));  // entry 1
    EXPECT_NE(file.object(8).find("/ColorSpace [ /Indexed /DeviceRGB \r15 7 0 R ]\r"),
              std::string::npos);
    EXPECT_NE(file.object(10).find("/Im2 13 0 R"), std::string::npos);
    EXPECT_EQ(file.objectCount(), 14);
    EXPECT_EQ(m_writer.palettePages(), 1);
}

TEST_F(PdfJob, RefusedPageBeforeAPalettePageKeepsEveryObjectNumberConsistent)
{
    TiffPageShape deep;
    deep.bits = 16;
    TiffPageShape palette;
    palette.bits = 8;
    palette.photometric = PHOTOMETRIC_PALETTE;
    const std::string input = tiff("mixed.tif", {deep, palette, TiffPageShape{}});
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
    const PdfBytes file = pdf();
    EXPECT_NE(file.object(3).find("/Kids [ 4 0 R 10 0 R ] \r/Count 2"), std::string::npos);
    ASSERT_EQ(file.objectCount(), 14);
    for (int n = 1; n <= 14; ++n)
        EXPECT_EQ(file.object(n).rfind(std::to_string(n) + " 0 obj\r", 0), 0u) << n;
    EXPECT_NE(file.object(10).find("/Type /Page "), std::string::npos);
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_NE(rows[0].find(",\"\",," + sjis("圧縮なし") + "," +
                           sjis("ｻﾝﾌﾟﾙ当たりのﾋﾞｯﾄ数( 16 )は不正です") + "\r"),
              std::string::npos);
    EXPECT_NE(rows[1].find(",\"out.pdf\",1,"), std::string::npos);
    EXPECT_NE(rows[2].find(",\"out.pdf\",2,"), std::string::npos);
}

TEST_F(PdfJob, SingleStripDeflateRaisesVersionOneOneToOneTwo)
{
    TiffPageShape deflate;
    deflate.compression = COMPRESSION_ADOBE_DEFLATE;
    const std::string one = tiff("one.tif", {deflate});
    deflate.rowsPerStrip = 2;
    const std::string many = tiff("many.tif", {deflate});
    m_writer.setVersion(1, 1);
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, one, out(), nullptr), 0);
    EXPECT_EQ(readFile(out()).substr(0, 9), "%PDF-1.2 ");
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, many, out(), nullptr), 0);
    EXPECT_EQ(readFile(out()).substr(0, 9), "%PDF-1.1 ");
    m_writer.setVersion(1, 4);
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, one, out(), nullptr), 0);
    EXPECT_EQ(readFile(out()).substr(0, 9), "%PDF-1.4 ");
}

TEST_F(PdfJob, CancelAfterTheFirstOfThreePagesStillEndsTheFile)
{
    const std::string input = tiff("three.tif", std::vector<TiffPageShape>(3));
    std::vector<std::tuple<int, int, int>> calls;
    auto progress = [&](int phase, int index, int total) {
        calls.emplace_back(phase, index, total);
        return phase == 1 && index == 2 ? 0 : 1;
    };
    EXPECT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), progress), kPdfCancelled);
    EXPECT_TRUE(m_writer.cancelled());
    EXPECT_EQ(m_writer.message(), sjis("キャンセルされました。"));
    const std::string bytes = readFile(out());
    EXPECT_EQ(bytes.substr(bytes.size() - 6), "%%EOF\r");
    const PdfBytes file(bytes);
    EXPECT_EQ(file.objectCount(), 8);  // the page tree still names all three pages
    EXPECT_NE(file.object(3).find("/Count 3"), std::string::npos);
    const std::vector<std::tuple<int, int, int>> expected = {
        {0, -1, 3}, {0, 1, 3}, {0, 2, 3}, {0, 3, 3}, {1, -1, 3}, {1, 1, 3}, {1, 2, 3}};
    EXPECT_EQ(calls, expected);
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[1].find(",3,2,"), std::string::npos);
    EXPECT_NE(rows[1].find(sjis("キャンセルされました。") + "\r"), std::string::npos);
}

TEST_F(PdfJob, ListJobReportsEachNewSourceFile)
{
    const std::string a = tiff("a.tif", std::vector<TiffPageShape>(2));
    const std::string b = jpeg("b.jpg");
    std::vector<std::tuple<int, int, int>> calls;
    auto progress = [&](int phase, int index, int total) {
        calls.emplace_back(phase, index, total);
        return 1;
    };
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", {a, b}, out(), progress), 0);
    const std::vector<std::tuple<int, int, int>> expected = {
        {0, -1, 3}, {0, 1, 3}, {0, 2, 3}, {0, 3, 3}, {1, -1, 3}, {10, -1, 1},
        {1, 1, 3},  {1, 2, 3}, {10, -1, 1}, {1, 3, 3}};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(pdf().objectCount(), 18);
    EXPECT_EQ(m_writer.filesProcessed(), 2);
    // List jobs take their dates from the clock.
    EXPECT_NE(readFile(out()).find("/CreationDate (D:20240102030405)"), std::string::npos);
}

TEST_F(PdfJob, DocumentInformationEscapesAsciiAndWritesJapaneseAsUtf16)
{
    TiffPageShape page;
    page.dateTime = "2020:01:02 03:04:05";
    page.software = "Scan(ner)\\1";
    const std::string input = tiff("info.tif", {page});
    const std::string title = sjis("日本");
    PdfDocInfo info;
    info.enabled = 1;
    info.title = title.c_str();
    info.keywords = "a (b)";
    m_writer.setDocInfo(info);
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
    EXPECT_EQ(pdf().object(2),
              "2 0 obj\r<< \r/CreationDate (D:20200102030405)\r/ModDate (D:20200102030405)\r"
              "/Producer (Korvelin PDF Writer)\r/Creator (Scan\\(ner\\)\\\\1)\r"
              "/Title (\\376\\377e\\345g,)\r/Keywords (a \\(b\\))\r>> \rendobj\r");
}

TEST_F(PdfJob, AdobeCmykJpegCarriesAnInvertingDecodeArray)
{
    JpegShape shape;
    shape.input = JCS_CMYK;
    shape.adobe = 1;
    ASSERT_EQ(m_writer.pdfWriteJpegFile(0, jpeg("cmyk.jpg", shape), out(), nullptr), 0);
    EXPECT_NE(pdf().object(7).find(
                  "/ColorSpace /DeviceCMYK \r/Decode [ 1 0 1 0 1 0 1 0 ]\r/Filter /DCTDecode  >>"),
              std::string::npos);

    // Without the marker the samples are ink amounts as they stand.
    shape.adobe = 0;
    ASSERT_EQ(m_writer.pdfWriteJpegFile(0, jpeg("plain.jpg", shape), out(), nullptr), 0);
    EXPECT_NE(pdf().object(7).find("/ColorSpace /DeviceCMYK \r/Filter /DCTDecode  >>"),
              std::string::npos)
        << pdf().object(7).substr(0, 240);
}

// A JPEG-compressed TIFF page decoded and encoded again holds 8-bit gray or RGB data, whatever
// its source held; its image dictionary says so. A page that is not rebuilt keeps its own.
TEST_F(PdfJob, RebuiltJpegPagesAreDescribedAsTheirNewData)
{
    TiffPageShape cmyk;
    cmyk.width = 32;
    cmyk.length = 32;
    cmyk.samples = 4;
    cmyk.photometric = PHOTOMETRIC_SEPARATED;
    cmyk.compression = COMPRESSION_JPEG;
    cmyk.rowsPerStrip = 8;  // several strips: rebuilt as RGB
    cmyk.pixels.assign(32 * 32 * 4, '\0');
    for (size_t i = 0; i < 32 * 32; ++i) {
        if (i < 16 * 32)
            cmyk.pixels[4 * i] = '\xFF';  // cyan above
        else
            cmyk.pixels[4 * i + 1] = cmyk.pixels[4 * i + 2] = '\xFF';  // red below
    }
    TiffPageShape oneStrip = cmyk;
    oneStrip.rowsPerStrip = 0;
    TiffPageShape gray;
    gray.width = 32;
    gray.length = 32;
    gray.photometric = PHOTOMETRIC_MINISWHITE;
    gray.compression = COMPRESSION_JPEG;
    gray.rowsPerStrip = 8;
    gray.pixels.assign(32 * 32, '\x28');
    const std::string input = tiff("jpeg7.tif", {cmyk, oneStrip, gray});
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
    ASSERT_EQ(m_writer.pagesWritten(), 3) << m_writer.message();
    const PdfBytes file = pdf();

    EXPECT_NE(file.object(7).find("/BitsPerComponent 8\r/ColorSpace /DeviceRGB \r"
                                  "/Filter /DCTDecode  >>"),
              std::string::npos)
        << file.object(7).substr(0, 240);
    EXPECT_NE(file.object(4).find("/ProcSet [ /ImageC ]"), std::string::npos);
    const DecodedJpeg rgb = decodeJpeg(file.streamData(7));
    ASSERT_TRUE(rgb.ok);
    ASSERT_EQ(rgb.components, 3);
    const int cyan[3] = {0, 255, 255};
    const int red[3] = {255, 0, 0};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(rgb.at(16, 4, k), cyan[k], 24) << k;
        EXPECT_NEAR(rgb.at(16, 28, k), red[k], 24) << k;
    }

    EXPECT_NE(file.object(12).find("/BitsPerComponent 8\r/ColorSpace /DeviceCMYK \r"
                                   "/Filter /DCTDecode  >>"),
              std::string::npos)
        << file.object(12).substr(0, 240);
    const DecodedJpeg kept = decodeJpeg(file.streamData(12));
    ASSERT_TRUE(kept.ok);
    ASSERT_EQ(kept.components, 4);
    EXPECT_NEAR(kept.at(16, 4, 0), 255, 24);
    EXPECT_NEAR(kept.at(16, 28, 1), 255, 24);

    EXPECT_NE(file.object(17).find("/BitsPerComponent 8\r/ColorSpace /DeviceGray \r"
                                   "/Decode [ 1 0 ]\r/Filter /DCTDecode  >>"),
              std::string::npos)
        << file.object(17).substr(0, 240);
    const DecodedJpeg grayData = decodeJpeg(file.streamData(17));
    ASSERT_TRUE(grayData.ok);
    ASSERT_EQ(grayData.components, 1);
    EXPECT_NEAR(grayData.at(16, 16, 0), 0x28, 4);  // the samples as stored, inverted by Decode

    const auto& records = pdfShared().records;
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].converted, 1);
    EXPECT_EQ(records[1].converted, 0);
    EXPECT_EQ(records[2].converted, 1);
}

// The writer's image limit also bounds the pixels a JPEG rebuild decodes.
TEST_F(PdfJob, ImageLimitAlsoBoundsTheJpegRebuild)
{
    TiffPageShape rgb;
    rgb.width = 64;
    rgb.length = 64;
    rgb.samples = 3;
    rgb.photometric = PHOTOMETRIC_RGB;
    rgb.compression = COMPRESSION_JPEG;
    rgb.rowsPerStrip = 16;
    TiffPageShape gray = rgb;
    gray.width = 128;
    gray.samples = 1;
    gray.photometric = PHOTOMETRIC_MINISBLACK;
    const std::string colourInput = tiff("rgb.tif", {rgb});
    const std::string grayInput = tiff("gray.tif", {gray});

    const struct {
        const std::string& input;
        uint64_t decoded;  // the rebuild's pixel buffer
        const char* remark;
    } cases[] = {{colourInput, 64 * 64 * 4, "Jpeg7の再作成が失敗しました"},
                 {grayInput, 128 * 64, "グレースケールJpeg7の作成が失敗しました"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remark);
        std::remove(out().c_str());
        m_writer.setMaxImageBytes(c.decoded - 1);
        ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, c.input, out(), nullptr), kPdfNoPageWritten);
        EXPECT_FALSE(m_writer.documentWritten());
        EXPECT_TRUE(pdfShared().records.empty());
        EXPECT_EQ(readFile(out()), "");
        ASSERT_EQ(m_writer.refusals().size(), 1u);
        EXPECT_EQ(m_writer.refusals()[0].remark, sjis(c.remark));

        m_writer.setMaxImageBytes(c.decoded);
        ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, c.input, out(), nullptr), 0);
        ASSERT_EQ(pdfShared().records.size(), 1u);
        EXPECT_EQ(pdfShared().records[0].status, 0);
        EXPECT_EQ(pdfShared().records[0].converted, 1);
    }
}

TEST_F(PdfJob, YCbCrSamplesAreConvertedToRgbNotZeros)
{
    TiffPageShape page;
    page.width = 4;
    page.length = 2;
    page.samples = 3;
    page.photometric = PHOTOMETRIC_YCBCR;
    page.pixels = std::string(24, '\x80');
    for (int i = 0; i < 24; i += 3)
        page.pixels[size_t(i)] = '\xC8';  // Y 200, Cb = Cr = 128: gray 200
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, tiff("ycc.tif", {page}), out(), nullptr), 0);
    const PdfBytes file = pdf();
    EXPECT_NE(file.object(7).find("/BitsPerComponent 8\r/ColorSpace /DeviceRGB \r"
                                  "/Filter /FlateDecode  >>"),
              std::string::npos);
    const std::string rgb = inflateImage(m_dir, file.streamData(7), 4, 2, 8, 3);
    ASSERT_EQ(rgb.size(), 24u);
    for (const char c : rgb)
        EXPECT_NEAR(uint8_t(c), 200, 2);
    EXPECT_EQ(pdfShared().records.at(0).converted, 1);
}

// The page's matrix draws the orientation, so the converted samples stay in the order the file
// stores them, whatever the Orientation tag says.
TEST_F(PdfJob, YCbCrPageKeepsItsStoredRowsInEveryOrientation)
{
    TiffPageShape page;
    page.width = 4;
    page.length = 3;
    page.samples = 3;
    page.photometric = PHOTOMETRIC_YCBCR;
    page.pixels = std::string(36, '\x80');
    for (int i = 0; i < 12; ++i)
        page.pixels[size_t(3 * i)] = char(20 + 15 * i);  // Y; Cb = Cr = 128: gray
    for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        page.orientation = orientation;
        const std::string input = tiff("ycc" + std::to_string(orientation) + ".tif", {page});
        ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
        const std::string rgb = inflateImage(m_dir, pdf().streamData(7), 4, 3, 8, 3);
        ASSERT_EQ(rgb.size(), 36u);
        for (size_t i = 0; i < 36; ++i)
            EXPECT_NEAR(uint8_t(rgb[i]), 20 + 15 * int(i / 3), 2) << "sample " << i;
    }
}

TEST_F(PdfJob, CieLabSignedSamplesAreMadeUnsigned)
{
    TiffPageShape page;
    page.width = 2;
    page.length = 1;
    page.samples = 3;
    page.photometric = PHOTOMETRIC_CIELAB;
    page.pixels = std::string("\x32\xF6\x14\x64\x00\x80", 6);
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, tiff("lab.tif", {page}), out(), nullptr), 0);
    EXPECT_EQ(pdf().streamData(7), std::string("\x32\x76\x94\x64\x80\x00", 6));
}

TEST_F(PdfJob, FillOrderTwoGroup4IsBitReversedIntoTheSameStream)
{
    TiffPageShape page;
    page.width = 64;
    page.length = 16;
    page.bits = 1;
    page.photometric = PHOTOMETRIC_MINISWHITE;
    page.compression = COMPRESSION_CCITTFAX4;
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, tiff("msb.tif", {page}), out(), nullptr), 0);
    const std::string msbFirst = pdf().streamData(7);
    page.fillOrder = FILLORDER_LSB2MSB;
    const std::string lsb = tiff("lsb.tif", {page});
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, lsb, out(), nullptr), 0);
    EXPECT_EQ(pdf().streamData(7), msbFirst);
    ASSERT_EQ(pdfShared().records.size(), 1u);
    EXPECT_EQ(pdfShared().records[0].bitReversed, 1);
    EXPECT_EQ(pdfShared().records[0].converted, 0);
    EXPECT_EQ(pdfShared().records[0].compression, 4);
}

namespace {

// Overwrites the strip data of the given pages of a TIFF file with bytes no decoder accepts.
void spoilStrips(const std::string& path, std::initializer_list<int> pages)
{
    tnw::common::TiffReader reader;
    ASSERT_EQ(reader.open(path), 0);
    ASSERT_EQ(reader.readDirectories(), 0);
    std::string bytes = readFile(path);
    for (const int page : pages) {
        ASSERT_EQ(reader.readDirectory(page), 0);
        const auto& dir = reader.record();
        std::fill_n(bytes.begin() + dir.stripOffsets[0], dir.stripByteCounts[0], '\xFF');
    }
    reader.close();
    ASSERT_TRUE(writeFile(path, bytes));
}

}  // namespace

// A page whose image cannot be made in the writing pass is left out, never written blank: the
// document is written again without it, the pages after it move up, and its row says why.
TEST_F(PdfJob, PageThatFailsWhileWritingIsLeftOutAndTheRestRenumbered)
{
    TiffPageShape lzw;
    lzw.compression = COMPRESSION_LZW;
    TiffPageShape palette;
    palette.photometric = PHOTOMETRIC_PALETTE;
    const std::string input = tiff("bad.tif", {TiffPageShape{}, lzw, palette, lzw});
    spoilStrips(input, {1, 3});
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
    EXPECT_TRUE(m_writer.documentWritten());
    EXPECT_EQ(m_writer.pagesWritten(), 2);

    const PdfBytes file = pdf();
    EXPECT_NE(file.object(3).find("/Kids [ 4 0 R 9 0 R ] \r/Count 2 "), std::string::npos);
    EXPECT_EQ(file.objectCount(), 3 + 5 + 6);  // two pages, the second with its palette
    EXPECT_NE(file.object(4).find("/Im1 7 0 R"), std::string::npos);
    EXPECT_NE(file.object(9).find("/Im2 13 0 R"), std::string::npos);
    ASSERT_EQ(pdfShared().records.size(), 2u);
    EXPECT_EQ(pdfShared().records[0].pageIndex, 0);
    EXPECT_EQ(pdfShared().records[1].pageIndex, 2);

    // One row per page, in page order: those left out skipped with the decoder's message.
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_NE(rows[0].find(",4,1,"), std::string::npos);
    EXPECT_NE(rows[0].find("\"out.pdf\",1,"), std::string::npos);
    EXPECT_NE(rows[1].find(",4,2,"), std::string::npos);
    EXPECT_NE(rows[1].find("\"\",,"), std::string::npos);  // no PDF page
    EXPECT_NE(rows[1].find(sjis("TIFF画像伸長失敗")), std::string::npos);
    EXPECT_NE(rows[2].find("\"out.pdf\",2,"), std::string::npos);
    EXPECT_NE(rows[3].find(sjis("TIFF画像伸長失敗")), std::string::npos);
    ASSERT_EQ(m_writer.refusals().size(), 2u);
    EXPECT_EQ(m_writer.refusals()[0].pageIndex, 1);
    EXPECT_EQ(m_writer.refusals()[1].pageIndex, 3);
    EXPECT_EQ(m_writer.refusals()[1].remark, sjis("TIFF画像伸長失敗"));
}

// When every page fails while writing, no PDF is written and the existing output stays.
TEST_F(PdfJob, NoPageLeftWritesNoPdfAndKeepsTheExistingOutput)
{
    TiffPageShape lzw;
    lzw.compression = COMPRESSION_LZW;
    const std::string input = tiff("bad.tif", {lzw, lzw});
    spoilStrips(input, {0, 1});
    ASSERT_TRUE(writeFile(out(), "old"));
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), kPdfNoPageWritten);
    EXPECT_FALSE(m_writer.documentWritten());
    EXPECT_EQ(m_writer.pagesWritten(), 0);
    EXPECT_TRUE(pdfShared().records.empty());
    EXPECT_EQ(readFile(out()), "old");
    EXPECT_EQ(logRows().size(), 2u);
    EXPECT_EQ(m_writer.refusals().size(), 2u);
    EXPECT_EQ(m_writer.message(), sjis("TIFF画像伸長失敗"));
    std::vector<tnw::platform::FolderEntry> entries;
    ASSERT_TRUE(tnw::platform::listFolder(m_dir.path(), entries));
    EXPECT_EQ(entries.size(), 3u);  // bad.tif, log.csv, out.pdf: no partial file
}

TEST_F(PdfJob, SizeLimitStopsTheListAndLogsTheRestAfterThePass)
{
    const std::string a = jpeg("a.jpg");
    const uint64_t size = readFile(a).size();
    const std::string b = jpeg("b.jpg");
    const std::string c = jpeg("c.jpg");
    m_writer.setSizeLimit(512 + 2 * (1024 + size) - 1);  // room for one page only
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", {a, b, c}, out(), nullptr), 0);
    EXPECT_EQ(pdf().objectCount(), 8);
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_NE(rows[1].find("\"b.jpg\",1,1,,\"\",\"\",,," + sjis("最大ｻｲｽﾞに達した") + "\r"),
              std::string::npos);
    EXPECT_NE(rows[2].find("\"c.jpg\",1,1,,\"\",\"\",,," + sjis("ｴﾗｰのため未処理") + "\r"),
              std::string::npos);
}

TEST_F(PdfJob, SizeLimitReachedWhileWritingMarksEveryWaitingPage)
{
    const std::string input = tiff("three.tif", std::vector<TiffPageShape>(3));
    m_writer.setSizeLimit(600);  // the first page already passes it
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 4u);  // written, then the limit rows of pages 1 to 3
    EXPECT_NE(rows[1].find(",3,1,," + std::string("\"\",\"\",,,") + sjis("最大ｻｲｽﾞに達した")),
              std::string::npos);
    EXPECT_NE(rows[3].find(",3,3,,"), std::string::npos);
    EXPECT_NE(rows[3].find(sjis("ｴﾗｰのため未処理")), std::string::npos);
}

TEST_F(PdfJob, ExistingOutputIsReplacedOnlyByAFinishedFile)
{
    ASSERT_TRUE(writeFile(out(), "old"));
    EXPECT_EQ(m_writer.pdfWriteTiffFile(0, 0, m_dir.file("missing.tif"), out(), nullptr), -300);
    EXPECT_EQ(m_writer.message(), sjis("ｵｰﾌﾟﾝｴﾗｰ( -300 )"));
    EXPECT_EQ(readFile(out()), "old");

    TiffPageShape deep;
    deep.bits = 16;
    EXPECT_EQ(m_writer.pdfWriteTiffFile(0, 0, tiff("deep.tif", {deep}), out(), nullptr),
              kPdfNoPageWritten);
    EXPECT_EQ(readFile(out()), "old");  // every page refused: nothing to write
    EXPECT_EQ(m_writer.message(), sjis("ｻﾝﾌﾟﾙ当たりのﾋﾞｯﾄ数( 16 )は不正です"));

    auto cancel = [](int, int, int) { return 0; };
    EXPECT_EQ(m_writer.pdfWriteTiffFile(0, 0, tiff("ok.tif", {TiffPageShape{}}), out(), cancel),
              kPdfCancelled);
    const std::string bytes = readFile(out());
    EXPECT_EQ(bytes.substr(bytes.size() - 6), "%%EOF\r");
    EXPECT_EQ(readFile(out() + ".kvlpart"), "");
}

TEST_F(PdfJob, LogRowsForAnEmptyListAnUnsupportedFileAndAProgressiveJpeg)
{
    EXPECT_EQ(m_writer.pdfWriteFileList(0, "/scan/box", {}, out(), nullptr), 0);
    EXPECT_EQ(m_writer.message(), sjis("ファイルなし"));

    const std::string bmp = m_dir.file("x.bmp");
    ASSERT_TRUE(writeFile(bmp, "BM"));
    JpegShape shape;
    shape.progressive = true;
    const std::string progressive = jpeg("p.jpg", shape);
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "/scan/box", {bmp, progressive}, out(), nullptr), 0);
    const std::string dir = m_dir.path();
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], "\"/scan/box\",\"\",,,,\"" + dir + "\",\"out.pdf\",,," +
                           sjis("ファイルなし") + "\r");
    EXPECT_EQ(rows[1], "\"" + dir + "\",\"x.bmp\",,,,\"\",\"\",,," + sjis("非ｻﾎﾟｰﾄのﾌｧｲﾙ") + "\r");
    EXPECT_EQ(rows[2], "\"" + dir + "\",\"p.jpg\",1,1," + sjis("Jpeg ﾌｧｲﾙ") + ",\"" + dir +
                           "\",\"out.pdf\",1,JPEG," + sjis("ﾌﾟﾛｸﾞﾚｼﾌﾞDCT.") + "\r");
}

TEST_F(PdfJob, ListJpegTooTallToWrapGetsAFileRefusedRow)
{
    JpegShape shape;
    shape.width = 1;
    shape.height = 20000;
    shape.input = JCS_GRAYSCALE;
    const std::string tall = jpeg("tall.jpg", shape);
    const std::string ok = jpeg("ok.jpg");
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", {tall, ok}, out(), nullptr), 0);
    EXPECT_EQ(pdf().objectCount(), 8);
    const std::string dir = m_dir.path();
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "\"" + dir + "\",\"tall.jpg\",1,1,,\"\",\"\",,," +
                           sjis("Jpeg→一時Tiffの作成失敗( -10 )") + "\r");
    EXPECT_NE(rows[1].find("\"ok.jpg\",1,1,"), std::string::npos);
}

TEST_F(PdfJob, ListedTiffThatCannotBeOpenedWhenWrittenLogsTheOpenError)
{
    const std::string a = tiff("a.tif", {TiffPageShape{}});
    const std::string b = tiff("b.tif", {TiffPageShape{}});
    auto progress = [&](int phase, int index, int) {
        if (phase == 1 && index == -1)
            std::remove(a.c_str());  // gone between the examination and the writing
        return 1;
    };
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", {a, b}, out(), progress), 0);
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[0].find("\"a.tif\",1,1,"), std::string::npos);
    EXPECT_NE(rows[0].find(sjis("ｵｰﾌﾟﾝｴﾗｰ( -300 )") + "\r"), std::string::npos) << rows[0];
    EXPECT_NE(rows[1].find("\"b.tif\",1,1,"), std::string::npos);
}

TEST(PdfLogRows, QuotesInsideQuotedFieldsAreDoubledAndNamesKeepTheirSpelling)
{
    LogPageFields f;
    f.sourcePath = "/in/a\"b/c,d.tif";
    f.pagesInSource = 2;
    f.pageInSource = 1;
    f.sourceCompression = sourceCompressionName(32946, false);
    f.outputPath = "/out/x.pdf";
    f.pdfPage = 1;
    f.pdfCompression = pdfCompressionName(4);
    f.message = logMessageField("m", sjis("ﾉｰﾄ"));
    EXPECT_EQ(pageWrittenRow(f), "\"/in/a\"\"b\",\"c,d.tif\",2,1,Defalte,\"/out\",\"x.pdf\",1,"
                                 "Deflate," + sjis("ﾉｰﾄ、m") + "\r\n");
    EXPECT_EQ(sourceCompressionName(4, true), sjis("Jpeg ﾌｧｲﾙ"));
    EXPECT_EQ(sourceCompressionName(12345, false), "???");
}

TEST(PdfMessages, EveryMessageHasItsTexts)
{
    EXPECT_EQ(pdfMessageRowCount(), int(PdfMsg::SizeLimitLater));
    for (int id = int(PdfMsg::ZeroWidth); id <= int(PdfMsg::SizeLimitLater); ++id) {
        EXPECT_FALSE(pdfDiagnosticText(PdfMsg(id), "p").empty()) << id;
        EXPECT_FALSE(pdfMessageText(PdfMsg(id)).empty()) << id;
    }
    EXPECT_EQ(pdfMessageText(PdfMsg::SizeLimitError, -316), "Error:-316");
    EXPECT_EQ(pdfMessageText(PdfMsg::OutputOpen, 0, "/o.pdf"),
              "Can't open output file /o.pdf for writing");
}
