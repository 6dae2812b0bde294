// Benchmarks of the PDF writer on scanner-sized pages: a colour A4 JPEG wrapped unchanged, a
// grayscale A4 JPEG (re-encoded), a progressive one (re-encoded), ten bilevel A4 Group 4 pages
// copied raw, ten uncompressed bilevel pages encoded to Group 4, and the tag reader alone.
// Run: build-bench/bin/bench_pdf_writer (see bench/README.md).
#include "common/tiff_reader.h"
#include "conv/pdf/pdf_writer.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/jpeg_fixtures.h"
#include "tests/conv/pdf/pdf_fixtures.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using tnw::conv::PdfWriter;
using tnw::test::JpegShape;
using tnw::test::TempDir;
using tnw::test::TiffPageShape;

// A4 at 300 pixels per inch.
constexpr int kWidth = 2480;
constexpr int kHeight = 3508;

// The fixtures are made once per process, in one folder.
struct Fixtures {
    TempDir dir;
    std::string colour, gray, progressive, g4, raw;

    Fixtures()
    {
        setenv("KORVELIN_WORK_DIR", dir.path().c_str(), 1);
        JpegShape shape;
        shape.width = kWidth;
        shape.height = kHeight;
        shape.gradient = true;
        shape.densityUnit = 1;
        shape.xDensity = shape.yDensity = 300;
        colour = write("colour.jpg", tnw::test::makeJpeg(shape));
        shape.progressive = true;
        progressive = write("progressive.jpg", tnw::test::makeJpeg(shape));
        shape.progressive = false;
        shape.input = JCS_GRAYSCALE;
        gray = write("gray.jpg", tnw::test::makeJpeg(shape));

        TiffPageShape page;
        page.width = kWidth;
        page.length = kHeight;
        page.bits = 1;
        page.photometric = PHOTOMETRIC_MINISWHITE;
        page.compression = COMPRESSION_CCITTFAX4;
        g4 = dir.file("g4.tif");
        tnw::test::writeTiff(g4, std::vector<TiffPageShape>(10, page));
        page.compression = COMPRESSION_NONE;
        raw = dir.file("raw.tif");
        tnw::test::writeTiff(raw, std::vector<TiffPageShape>(10, page));
    }
    std::string write(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        tnw::test::writeFile(path, bytes);
        return path;
    }
};

Fixtures& fixtures()
{
    static Fixtures f;
    return f;
}

int goOn(int, int, int) { return 1; }

void jpegPage(benchmark::State& state, const std::string& path)
{
    const std::string out = fixtures().dir.file("out.pdf");
    for (auto _ : state) {
        PdfWriter writer;
        if (writer.pdfWriteJpegFile(0, path, out, goOn) != 0)
            state.SkipWithError("conversion failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ColourJpegPage(benchmark::State& state) { jpegPage(state, fixtures().colour); }
void BM_GrayJpegPage(benchmark::State& state) { jpegPage(state, fixtures().gray); }
void BM_ProgressiveJpegPage(benchmark::State& state) { jpegPage(state, fixtures().progressive); }

void tiffPages(benchmark::State& state, const std::string& path)
{
    const std::string out = fixtures().dir.file("out.pdf");
    for (auto _ : state) {
        PdfWriter writer;
        if (writer.pdfWriteTiffFile(0, 0, path, out, goOn) != 0)
            state.SkipWithError("conversion failed");
    }
    state.SetItemsProcessed(state.iterations() * 10);
}

void BM_TenGroup4PagesCopied(benchmark::State& state) { tiffPages(state, fixtures().g4); }
void BM_TenRawPagesEncoded(benchmark::State& state) { tiffPages(state, fixtures().raw); }

void BM_TagReaderTenPages(benchmark::State& state)
{
    for (auto _ : state) {
        tnw::common::TiffReader reader;
        if (reader.open(fixtures().g4) != 0 || reader.readDirectories() != 0)
            state.SkipWithError("read failed");
        for (int i = 0; i < 10; ++i)
            reader.readDirectory(i);
    }
}

BENCHMARK(BM_ColourJpegPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrayJpegPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgressiveJpegPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TenGroup4PagesCopied)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TenRawPagesEncoded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagReaderTenPages)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
