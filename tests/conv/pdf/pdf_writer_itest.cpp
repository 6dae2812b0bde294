// The writer's PDFs checked by independent tools: qpdf's structure check, pdfinfo's reading of
// the document information, pdfimages' list of images and pdftoppm's rendering.
#include "tests/conv/pdf/pdf_writer_test_support.h"

#include "common/platform/cp932.h"

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace tnw::conv;
using namespace tnw::test;

namespace {

// Runs a command; its exit status and what it wrote (standard output and error).
std::pair<int, std::string> run(const std::string& command)
{
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return {-1, output};
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

void expectQpdfClean(const std::string& pdf)
{
    const auto [status, output] = run("qpdf --check '" + pdf + "'");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("No syntax or stream encoding errors found"), std::string::npos)
        << output;
}

// The lines of `pdfimages -list` after its two header lines.
std::vector<std::string> imageList(const std::string& pdf)
{
    std::vector<std::string> lines;
    std::istringstream in(run("pdfimages -list '" + pdf + "'").second);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines.size() >= 2 ? std::vector<std::string>(lines.begin() + 2, lines.end()) : lines;
}

// Page `page` rendered at 288 dpi (four device pixels per point) as gray samples, one byte per
// pixel, with its size. Pixels are compared at their centres, clear of the renderer's rounding
// at edges.
std::string renderGray(const TempDir& dir, const std::string& pdf, int page, int& width,
                       int& height)
{
    const std::string prefix = dir.file("render");
    const std::string n = std::to_string(page);
    run("pdftoppm -r 288 -gray -singlefile -f " + n + " -l " + n + " '" + pdf + "' '" + prefix +
        "'");
    const std::string pgm = readFile(prefix + ".pgm");
    int maxval = 0;
    int consumed = 0;
    if (std::sscanf(pgm.c_str(), "P5 %d %d %d%n", &width, &height, &maxval, &consumed) != 3)
        return {};
    return pgm.substr(size_t(consumed) + 1);
}

// The same rendering in colour: three bytes per pixel.
std::string renderRgb(const TempDir& dir, const std::string& pdf, int& width, int& height)
{
    const std::string prefix = dir.file("render");
    run("pdftoppm -r 288 -singlefile '" + pdf + "' '" + prefix + "'");
    const std::string ppm = readFile(prefix + ".ppm");
    int maxval = 0;
    int consumed = 0;
    if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &width, &height, &maxval, &consumed) != 3)
        return {};
    return ppm.substr(size_t(consumed) + 1);
}

// The colour at the centre of the rendering.
std::vector<int> centreColour(const TempDir& dir, const std::string& pdf)
{
    int width = 0;
    int height = 0;
    const std::string rgb = renderRgb(dir, pdf, width, height);
    if (rgb.size() < size_t(width) * height * 3 || width == 0)
        return {};
    const size_t at = (size_t(height / 2) * width + size_t(width / 2)) * 3;
    return {uint8_t(rgb[at]), uint8_t(rgb[at + 1]), uint8_t(rgb[at + 2])};
}

// Where stored pixel (x, y) of a w x h image shows for each TIFF orientation.
std::pair<int, int> shownAt(int orientation, int x, int y, int w, int h)
{
    switch (orientation) {
    case 2:
        return {w - 1 - x, y};
    case 3:
        return {w - 1 - x, h - 1 - y};
    case 4:
        return {x, h - 1 - y};
    case 5:
        return {y, x};
    case 6:
        return {h - 1 - y, x};
    case 7:
        return {h - 1 - y, w - 1 - x};
    case 8:
        return {y, w - 1 - x};
    default:
        return {x, y};
    }
}

// One bilevel page of 72 pixels per inch (so one point per pixel) with a pattern of bits.
TiffPageShape bilevelPage(uint16_t photometric, uint16_t compression)
{
    TiffPageShape page;
    page.width = 32;
    page.length = 8;
    page.bits = 1;
    page.photometric = photometric;
    page.compression = compression;
    page.xResolution = 72;
    page.yResolution = 72;
    page.pixels = std::string(32, '\0');
    for (size_t i = 0; i < page.pixels.size(); ++i)
        page.pixels[i] = char(i % 3 == 0 ? 0xF0 : 0x0F);
    return page;
}

bool pixelIsSet(const TiffPageShape& page, int x, int y)
{
    const auto byte = uint8_t(page.pixels[size_t(y) * ((page.width + 7) / 8) + size_t(x) / 8]);
    return (byte >> (7 - x % 8)) & 1;
}

// The value of a "Name:   value" line of pdfinfo.
std::string infoField(const std::string& info, const std::string& name)
{
    const size_t at = info.find("\n" + name + ":");
    if (at == std::string::npos)
        return {};
    const size_t start = info.find_first_not_of(' ', at + name.size() + 2);
    return info.substr(start, info.find('\n', start) - start);
}

}  // namespace

TEST_F(PdfJob, EveryKindOfTiffPageMakesAValidPdf)
{
    TiffPageShape g4 = bilevelPage(PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4);
    TiffPageShape reversed = g4;
    reversed.fillOrder = FILLORDER_LSB2MSB;
    TiffPageShape bilevel = bilevelPage(PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE);
    TiffPageShape lzw;
    lzw.compression = COMPRESSION_LZW;
    lzw.rowsPerStrip = 3;
    TiffPageShape rgb;
    rgb.samples = 3;
    rgb.photometric = PHOTOMETRIC_RGB;
    rgb.orientation = 6;
    TiffPageShape deep;
    deep.bits = 16;
    TiffPageShape palette;
    palette.bits = 4;
    palette.photometric = PHOTOMETRIC_PALETTE;
    TiffPageShape cmyk;
    cmyk.samples = 4;
    cmyk.photometric = PHOTOMETRIC_SEPARATED;
    cmyk.compression = COMPRESSION_ADOBE_DEFLATE;
    TiffPageShape ycc = rgb;
    ycc.photometric = PHOTOMETRIC_YCBCR;
    ycc.orientation = 0;
    TiffPageShape lab = rgb;
    lab.photometric = PHOTOMETRIC_CIELAB;
    lab.orientation = 3;
    const std::string input =
        tiff("all.tif", {g4, reversed, bilevel, lzw, rgb, deep, palette, cmyk, ycc, lab});
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
    EXPECT_EQ(m_writer.pagesWritten(), 9);
    expectQpdfClean(out());

    const auto images = imageList(out());
    ASSERT_EQ(images.size(), 9u);
    EXPECT_NE(images[0].find("ccitt"), std::string::npos) << images[0];
    EXPECT_NE(images[2].find("ccitt"), std::string::npos) << images[2];
    EXPECT_NE(images[5].find("index"), std::string::npos) << images[5];
    EXPECT_NE(images[6].find("cmyk"), std::string::npos) << images[6];
    EXPECT_NE(images[8].find("lab"), std::string::npos) << images[8];

    // The bilevel pages show their pixels: set bits are black when min-is-white, white when
    // min-is-black, whether copied raw, bit-reversed or encoded again.
    for (const auto& [pageNumber, shape] :
         std::vector<std::pair<int, TiffPageShape>>{{1, g4}, {2, reversed}, {3, bilevel}}) {
        int width = 0;
        int height = 0;
        const std::string gray = renderGray(m_dir, out(), pageNumber, width, height);
        ASSERT_EQ(width, 4 * 32);
        ASSERT_EQ(height, 4 * 8);
        int wrong = 0;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 32; ++x) {
                const bool black = uint8_t(gray[size_t((4 * y + 2) * width + 4 * x + 2)]) < 128;
                const bool set = pixelIsSet(shape, x, y);
                wrong += black != (shape.photometric == PHOTOMETRIC_MINISWHITE ? set : !set);
            }
        }
        EXPECT_EQ(wrong, 0) << "page " << pageNumber;
    }
}

TEST_F(PdfJob, ListOfJpegAndTiffFilesMakesAValidPdf)
{
    JpegShape gray;
    gray.input = JCS_GRAYSCALE;
    JpegShape progressive;
    progressive.progressive = true;
    JpegShape cmyk;
    cmyk.input = JCS_CMYK;
    cmyk.adobe = 1;
    const std::vector<std::string> paths = {jpeg("a.jpg"), jpeg("b.jpg", gray),
                                            jpeg("c.jpg", progressive), jpeg("d.jpg", cmyk),
                                            tiff("e.tif", {TiffPageShape{}, TiffPageShape{}})};
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", paths, out(), nullptr), 0);
    expectQpdfClean(out());
    const auto images = imageList(out());
    ASSERT_EQ(images.size(), 6u);
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(images[size_t(i)].find("jpeg"), std::string::npos) << images[size_t(i)];
    EXPECT_NE(images[3].find("cmyk"), std::string::npos) << images[3];
    const auto [status, info] = run("pdfinfo '" + out() + "'");
    EXPECT_EQ(infoField(info, "Pages"), "6") << info;
}

TEST_F(PdfJob, PdfinfoShowsAJapaneseTitle)
{
    const std::string title = tnw::platform::sjis("日本語の表題（第1版）");
    PdfDocInfo doc;
    doc.enabled = 1;
    doc.title = title.c_str();
    doc.author = "A (B)";
    m_writer.setDocInfo(doc);
    ASSERT_EQ(m_writer.pdfWriteJpegFile(0, jpeg("in.jpg"), out(), nullptr), 0);
    const auto [status, info] = run("pdfinfo -enc UTF-8 '" + out() + "'");
    EXPECT_EQ(status, 0) << info;
    EXPECT_EQ(infoField("\n" + info, "Title"), "日本語の表題（第1版）") << info;
    EXPECT_EQ(infoField(info, "Author"), "A (B)") << info;
    EXPECT_EQ(infoField(info, "Producer"), "Korvelin PDF Writer") << info;
}

TEST_F(PdfJob, DocumentWithoutAFailedPageAndACancelledFileStayReadable)
{
    TiffPageShape lzw;
    lzw.compression = COMPRESSION_LZW;
    std::string input = tiff("bad.tif", {lzw, TiffPageShape{}});
    std::string bytes = readFile(input);
    const size_t strip = bytes.find(std::string(1, '\x80'));  // LZW data starts with a clear code
    ASSERT_NE(strip, std::string::npos);
    std::fill_n(bytes.begin() + long(strip), 40, '\xFF');
    ASSERT_TRUE(writeFile(input, bytes));
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, input, out(), nullptr), 0);
    expectQpdfClean(out());
    const auto [infoStatus, info] = run("pdfinfo '" + out() + "'");
    const size_t pages = info.find("\nPages:");
    ASSERT_NE(pages, std::string::npos) << info;
    EXPECT_EQ(std::atoi(info.c_str() + pages + 7), 1) << info;

    auto cancelFirst = [](int phase, int index, int) { return phase == 1 && index == 1 ? 0 : 1; };
    EXPECT_EQ(m_writer.pdfWriteTiffFile(0, 0, tiff("two.tif", {TiffPageShape{}, TiffPageShape{}}),
                                        out(), cancelFirst),
              kPdfCancelled);
    const auto [status, output] = run("qpdf --check '" + out() + "'");
    EXPECT_NE(output.find("PDF Version"), std::string::npos) << output;  // it opens
}

// A YCbCr page converted to RGB shows like an RGB page of the same pixels: the Orientation tag
// is drawn once. The reference is the RGB page in orientation 1, turned by the test.
TEST_F(PdfJob, YCbCrPageShowsItsOrientationLikeTheRgbReference)
{
    TiffPageShape rgb;
    rgb.width = 4;
    rgb.length = 3;
    rgb.samples = 3;
    rgb.photometric = PHOTOMETRIC_RGB;
    rgb.xResolution = 72;
    rgb.yResolution = 72;
    rgb.pixels.resize(36);
    for (size_t i = 0; i < 36; ++i)
        rgb.pixels[i] = char(20 + 15 * (i / 3));  // twelve grays
    TiffPageShape ycc = rgb;
    ycc.photometric = PHOTOMETRIC_YCBCR;
    for (size_t i = 0; i < 36; ++i) {
        if (i % 3 != 0)
            ycc.pixels[i] = '\x80';
    }
    ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, tiff("ref.tif", {rgb}), out(), nullptr), 0);
    int refWidth = 0;
    int refHeight = 0;
    const std::string reference = renderGray(m_dir, out(), 1, refWidth, refHeight);
    ASSERT_EQ(refWidth, 16);
    ASSERT_EQ(refHeight, 12);
    const auto refAt = [&](int x, int y) {
        return int(uint8_t(reference[size_t((4 * y + 2) * refWidth + 4 * x + 2)]));
    };
    ASSERT_NEAR(refAt(1, 0), 35, 3);

    for (const uint16_t orientation : {2, 3, 4, 5, 6, 7, 8}) {
        SCOPED_TRACE(orientation);
        ycc.orientation = orientation;
        ASSERT_EQ(m_writer.pdfWriteTiffFile(0, 0, tiff("ycc.tif", {ycc}), out(), nullptr), 0);
        int width = 0;
        int height = 0;
        const std::string gray = renderGray(m_dir, out(), 1, width, height);
        const bool swapped = orientation >= 5;
        ASSERT_EQ(width, swapped ? 12 : 16);
        ASSERT_EQ(height, swapped ? 16 : 12);
        int wrong = 0;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const auto [sx, sy] = shownAt(orientation, x, y, 4, 3);
                const int shown = uint8_t(gray[size_t((4 * sy + 2) * width + 4 * sx + 2)]);
                wrong += std::abs(shown - refAt(x, y)) > 3;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// CMYK JPEG data shows its colours: red ink (magenta and yellow) stays red whether the file
// stores ink amounts (no Adobe marker) or their inverse (Adobe marker, as image editors write
// it), and a compression 7 CMYK page rebuilt as RGB is not inverted or taken for CMYK.
TEST_F(PdfJob, CmykJpegPagesShowTheirColoursNotANegative)
{
    JpegShape adobe;
    adobe.input = JCS_CMYK;
    adobe.adobe = 1;
    adobe.fill = {255, 0, 0, 255};
    JpegShape plain = adobe;
    plain.adobe = 0;
    plain.fill = {0, 255, 255, 0};
    TiffPageShape rebuilt;
    rebuilt.width = 32;
    rebuilt.length = 32;
    rebuilt.samples = 4;
    rebuilt.photometric = PHOTOMETRIC_SEPARATED;
    rebuilt.compression = COMPRESSION_JPEG;
    rebuilt.rowsPerStrip = 8;
    rebuilt.pixels.assign(32 * 32 * 4, '\0');
    for (size_t i = 0; i < 32 * 32; ++i)
        rebuilt.pixels[4 * i + 1] = rebuilt.pixels[4 * i + 2] = '\xFF';

    const struct {
        const char* name;
        std::function<int()> write;
    } cases[] = {
        {"Adobe CMYK JPEG",
         [&] { return m_writer.pdfWriteJpegFile(0, jpeg("adobe.jpg", adobe), out(), nullptr); }},
        {"CMYK JPEG without the marker",
         [&] { return m_writer.pdfWriteJpegFile(0, jpeg("plain.jpg", plain), out(), nullptr); }},
        {"rebuilt compression 7 CMYK page",
         [&] { return m_writer.pdfWriteTiffFile(0, 0, tiff("cmyk7.tif", {rebuilt}), out(),
                                                nullptr); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.write(), 0);
        expectQpdfClean(out());
        const std::vector<int> colour = centreColour(m_dir, out());
        ASSERT_EQ(colour.size(), 3u);
        EXPECT_GT(colour[0], 180) << colour[0] << " " << colour[1] << " " << colour[2];
        EXPECT_LT(colour[1], 90) << colour[0] << " " << colour[1] << " " << colour[2];
        EXPECT_LT(colour[2], 90) << colour[0] << " " << colour[1] << " " << colour[2];
    }
}
