// JPEG files as other programs write them (cjpeg and ImageMagick, made here from one photo-like
// image): every sampling of gray and colour, restart intervals, progressive and arithmetic
// coding, Adobe CMYK, no density and 600 dpi. Each becomes a PDF alone and all of them one
// joined PDF; every page rendered by pdftoppm at the image's own pixel size must match the
// decoded source (PSNR of at least 30 dB).
#include "tests/conv/pdf/pdf_writer_test_support.h"

#include <cmath>
#include <cstdio>
#include <sys/wait.h>

using namespace tnw::conv;
using namespace tnw::test;

namespace {

constexpr int kWidth = 227;  // not a whole number of MCUs in any sampling
constexpr int kHeight = 163;

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

bool haveTool(const char* name)
{
    return run(std::string("command -v ") + name).first == 0;
}

// Smooth gradients with some detail in every channel, as a PPM file.
std::string sourcePpm()
{
    std::string ppm = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
    const auto clamp = [](double v) { return char(v < 0 ? 0 : v > 255 ? 255 : int(v)); };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            ppm += clamp(110 + 80 * std::sin(x / 19.0) * std::cos(y / 27.0) + 0.25 * x);
            ppm += clamp(60 + 0.8 * y + 30 * std::sin((x + y) / 11.0));
            ppm += clamp(40 + 0.6 * x + 40 * std::cos(x * y / 1800.0));
        }
    }
    return ppm;
}

struct Variant {
    const char* name;
    std::string command;  // %s: the source PPM, %o: the JPEG to write
    int density = 0;      // pixels per inch the JPEG declares (0: none)
};

std::vector<Variant> variants()
{
    const std::string c = "cjpeg -quality 90 ";
    const std::string im = "convert %s -quality 90 ";
    return {
        {"gray11", c + "-grayscale -sample 1x1 -outfile %o %s"},
        {"gray12", c + "-grayscale -sample 1x2 -outfile %o %s"},
        {"gray22", c + "-grayscale -sample 2x2 -outfile %o %s"},
        {"gray44", c + "-grayscale -sample 4x4 -outfile %o %s"},
        {"im_gray22", im + "-type Grayscale -sampling-factor 2x2 %o"},
        {"c444", c + "-sample 1x1 -outfile %o %s"},
        {"c422", c + "-sample 2x1 -outfile %o %s"},
        {"c420", c + "-sample 2x2 -outfile %o %s"},
        {"c411", c + "-sample 4x1 -outfile %o %s"},
        {"c440", c + "-sample 1x2 -outfile %o %s"},
        {"restart_rows", c + "-restart 1 -outfile %o %s"},
        {"restart_blocks", c + "-restart 5B -outfile %o %s"},
        {"gray_restart", c + "-grayscale -sample 2x2 -restart 3B -outfile %o %s"},
        {"gray_progressive", c + "-grayscale -progressive -outfile %o %s"},
        {"colour_progressive", c + "-progressive -outfile %o %s"},
        {"gray_arithmetic", c + "-grayscale -arithmetic -outfile %o %s"},
        {"colour_arithmetic", c + "-arithmetic -outfile %o %s"},
        {"cmyk_adobe", im + "-colorspace CMYK %o"},
        {"no_density", c + "-outfile %o %s"},
        {"dpi600", im + "-units PixelsPerInch -density 600 %o", 600},
    };
}

std::string fill(std::string command, const std::string& source, const std::string& output)
{
    for (const auto& [key, value] : {std::pair{"%s", source}, std::pair{"%o", output}}) {
        for (size_t at; (at = command.find(key)) != std::string::npos;)
            command.replace(at, 2, "'" + value + "'");
    }
    return command;
}

// A PNM file's samples (P5 gray, P6 RGB); empty when it is not one.
std::vector<uint8_t> readPnm(const std::string& path, int& width, int& height, int& channels)
{
    const std::string bytes = readFile(path);
    char magic[3] = {};
    int maxval = 0;
    int consumed = 0;
    if (std::sscanf(bytes.c_str(), "%2s %d %d %d%n", magic, &width, &height, &maxval,
                    &consumed) != 4 ||
        maxval != 255)
        return {};
    channels = std::string(magic) == "P6" ? 3 : 1;
    const size_t start = size_t(consumed) + 1;
    const size_t size = size_t(width) * height * channels;
    if (bytes.size() < start + size)
        return {};
    return std::vector<uint8_t>(bytes.begin() + long(start), bytes.begin() + long(start + size));
}

double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size() || a.empty())
        return 0;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    const double mse = sum / double(a.size());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The decoded samples with ink as the larger value (an Adobe CMYK JPEG stores inverted ones).
std::vector<uint8_t> inkSamples(const DecodedJpeg& d)
{
    std::vector<uint8_t> ink = d.pixels;
    if (d.components == 4 && d.adobe) {
        for (uint8_t& v : ink)
            v = uint8_t(255 - v);
    }
    return ink;
}

class JpegVariants : public PdfJob {
protected:
    // Page `page` of `pdf` at the image's own size; its PSNR against `source`. Gray and
    // colour pages are rendered as gray or RGB, CMYK pages in CMYK (as a JPEG), so
    // the renderer's conversion between colour spaces plays no part.
    double pageMatch(const std::string& pdf, int page, const DecodedJpeg& source)
    {
        const std::string prefix = m_dir.file("render");
        const std::string n = std::to_string(page);
        const char* mode = source.components == 1   ? "-gray "
                           : source.components == 4 ? "-jpegcmyk "
                                                    : "";
        const auto [status, output] =
            run(std::string("pdftoppm ") + mode + "-scale-to-x " + std::to_string(source.width) +
                " -scale-to-y " + std::to_string(source.height) + " -singlefile -f " + n +
                " -l " + n + " '" + pdf + "' '" + prefix + "'");
        EXPECT_EQ(status, 0) << output;
        if (source.components == 4) {
            const DecodedJpeg shown = decodeJpeg(readFile(prefix + ".jpg"));
            EXPECT_EQ(shown.width, source.width);
            EXPECT_EQ(shown.height, source.height);
            EXPECT_EQ(shown.components, 4);
            return psnr(inkSamples(shown), inkSamples(source));
        }
        int width = 0;
        int height = 0;
        int channels = 0;
        const std::vector<uint8_t> shown =
            readPnm(prefix + (source.components == 1 ? ".pgm" : ".ppm"), width, height, channels);
        EXPECT_EQ(width, source.width);
        EXPECT_EQ(height, source.height);
        return psnr(shown, source.pixels);
    }
};

}  // namespace

TEST_F(JpegVariants, EveryVariantRendersLikeItsSourceAloneAndJoined)
{
    for (const char* tool : {"cjpeg", "convert", "pdftoppm"}) {
        if (!haveTool(tool))
            GTEST_SKIP() << tool << " is not installed";
    }
    const std::string source = m_dir.file("source.ppm");
    ASSERT_TRUE(writeFile(source, sourcePpm()));

    std::vector<std::string> jpegs;
    std::vector<DecodedJpeg> decoded;
    for (const Variant& v : variants()) {
        SCOPED_TRACE(v.name);
        const std::string jpeg = m_dir.file(std::string(v.name) + ".jpg");
        const auto [status, output] = run(fill(v.command, source, jpeg));
        ASSERT_EQ(status, 0) << output;
        DecodedJpeg d = decodeJpeg(readFile(jpeg));
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(d.width, kWidth);
        EXPECT_EQ(d.densityUnit == 1 ? d.xDensity : 0, v.density);
        jpegs.push_back(jpeg);
        decoded.push_back(std::move(d));

        const std::string pdf = m_dir.file(std::string(v.name) + ".pdf");
        ASSERT_EQ(m_writer.pdfWriteJpegFile(0, jpeg, pdf, nullptr), 0) << m_writer.message();
        ASSERT_TRUE(m_writer.documentWritten());
        EXPECT_TRUE(m_writer.refusals().empty());
        EXPECT_GE(pageMatch(pdf, 1, decoded.back()), 30.0);
    }

    const std::string joined = m_dir.file("joined.pdf");
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", jpegs, joined, nullptr), 0);
    ASSERT_EQ(m_writer.pagesWritten(), int(jpegs.size()));
    EXPECT_TRUE(m_writer.refusals().empty());
    const auto [status, info] = run("pdfinfo '" + joined + "'");
    const size_t pages = info.find("\nPages:");
    ASSERT_NE(pages, std::string::npos) << info;
    EXPECT_EQ(std::atoi(info.c_str() + pages + 7), int(jpegs.size())) << info;
    for (size_t i = 0; i < jpegs.size(); ++i) {
        SCOPED_TRACE(jpegs[i]);
        EXPECT_GE(pageMatch(joined, int(i) + 1, decoded[i]), 30.0);
    }
}

// With lossless embedding a grayscale baseline and a progressive file go into the PDF as they
// are and render like their source, alone and joined; an arithmetic-coded one is still
// re-encoded, and before PDF 1.3 so is a progressive one.
TEST_F(JpegVariants, KeptJpegsAreTheirFileUnchangedAndRenderLikeTheirSource)
{
    for (const char* tool : {"cjpeg", "pdftoppm"}) {
        if (!haveTool(tool))
            GTEST_SKIP() << tool << " is not installed";
    }
    const std::string source = m_dir.file("source.ppm");
    ASSERT_TRUE(writeFile(source, sourcePpm()));
    const std::string c = "cjpeg -quality 90 ";
    const std::vector<std::pair<Variant, bool>> cases = {
        {{"gray22", c + "-grayscale -sample 2x2 -outfile %o %s"}, true},
        {{"gray_progressive", c + "-grayscale -progressive -outfile %o %s"}, true},
        {{"colour_progressive", c + "-progressive -outfile %o %s"}, true},
        {{"gray_arithmetic", c + "-grayscale -arithmetic -outfile %o %s"}, false},
    };
    m_writer.setKeepJpeg(true);
    std::vector<std::string> jpegs;
    std::vector<DecodedJpeg> decoded;
    for (const auto& [v, kept] : cases) {
        SCOPED_TRACE(v.name);
        const std::string jpeg = m_dir.file(std::string(v.name) + ".jpg");
        const auto [status, output] = run(fill(v.command, source, jpeg));
        ASSERT_EQ(status, 0) << output;
        jpegs.push_back(jpeg);
        decoded.push_back(decodeJpeg(readFile(jpeg)));
        ASSERT_TRUE(decoded.back().ok);

        const std::string pdf = m_dir.file(std::string(v.name) + ".pdf");
        ASSERT_EQ(m_writer.pdfWriteJpegFile(0, jpeg, pdf, nullptr), 0) << m_writer.message();
        EXPECT_EQ(readFile(pdf).find(readFile(jpeg)) != std::string::npos, kept);
        EXPECT_GE(pageMatch(pdf, 1, decoded.back()), kept ? 40.0 : 30.0);
    }
    const std::string joined = m_dir.file("joined.pdf");
    ASSERT_EQ(m_writer.pdfWriteFileList(0, "src", jpegs, joined, nullptr), 0);
    for (size_t i = 0; i < jpegs.size(); ++i) {
        SCOPED_TRACE(jpegs[i]);
        EXPECT_EQ(readFile(joined).find(readFile(jpegs[i])) != std::string::npos, cases[i].second);
        EXPECT_GE(pageMatch(joined, int(i) + 1, decoded[i]), cases[i].second ? 40.0 : 30.0);
    }

    // PDF 1.2 readers know no progressive JPEG.
    m_writer.setVersion(1, 2);
    const std::string old = m_dir.file("old.pdf");
    ASSERT_EQ(m_writer.pdfWriteJpegFile(0, jpegs[2], old, nullptr), 0);
    EXPECT_EQ(readFile(old).find(readFile(jpegs[2])), std::string::npos);
    EXPECT_GE(pageMatch(old, 1, decoded[2]), 30.0);
}
