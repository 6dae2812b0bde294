// The display decoder against pictures made by code: every colour kind, layouts, the aspect
// correction, the fit, turns, and hostile headers.
#include "app/core/image_fixtures.h"
#include "common/image/display_decoder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QColor>

#include <sys/stat.h>

using namespace tnw::image;
using tnw::test::JpegKind;
using tnw::test::makeJpeg;
using tnw::test::TiffPage;

namespace {

DecodeResult decodeBytes(const std::string& bytes, int format, int box = 32, int rotation = 0)
{
    ImageSource source =
        ImageSource::fromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::vector<PageInfo> pages;
    if (probePages(source, format, pages) != 0)
        return {};
    DecodeRequest request;
    request.boxWidth = request.boxHeight = box;
    request.rotation = rotation;
    return decodePage(source, pages.front(), request);
}

QColor centre(const QImage& image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

void expectNear(const QColor& c, int r, int g, int b, int tolerance = 6)
{
    EXPECT_NEAR(c.red(), r, tolerance);
    EXPECT_NEAR(c.green(), g, tolerance);
    EXPECT_NEAR(c.blue(), b, tolerance);
}

}  // namespace

TEST(DisplayDecoder, JpegColourKindsDecodeToTheirColours)
{
    const DecodeResult grey = decodeBytes(makeJpeg(64, 48, JpegKind::Grey, {100}), 11);
    ASSERT_EQ(grey.code, decode::Ok);
    EXPECT_EQ(grey.image.format(), QImage::Format_Grayscale8);
    expectNear(centre(grey.image), 100, 100, 100);

    const DecodeResult rgb = decodeBytes(makeJpeg(64, 48, JpegKind::Rgb, {200, 40, 10}), 11);
    ASSERT_EQ(rgb.code, decode::Ok);
    expectNear(centre(rgb.image), 200, 40, 10, 10);

    // Plain CMYK: 255 - ink - black, clamped. Adobe CMYK stores the samples inverted.
    const DecodeResult cmyk = decodeBytes(makeJpeg(32, 32, JpegKind::Cmyk, {0, 255, 255, 0}), 11);
    ASSERT_EQ(cmyk.code, decode::Ok);
    expectNear(centre(cmyk.image), 255, 0, 0);
    const DecodeResult adobe =
        decodeBytes(makeJpeg(32, 32, JpegKind::AdobeCmyk, {255, 0, 0, 255}), 11);
    ASSERT_EQ(adobe.code, decode::Ok);
    expectNear(centre(adobe.image), 255, 0, 0);

    const DecodeResult progressive =
        decodeBytes(makeJpeg(64, 64, JpegKind::Rgb, {10, 200, 30}, 72, 72, true), 11);
    ASSERT_EQ(progressive.code, decode::Ok);
    expectNear(centre(progressive.image), 10, 200, 30, 10);
}

TEST(DisplayDecoder, FitReducesIntoTheBoxAndNeverEnlarges)
{
    const DecodeResult big = decodeBytes(makeJpeg(400, 200, JpegKind::Grey, {50}), 11, 120);
    ASSERT_EQ(big.code, decode::Ok);
    EXPECT_EQ(big.image.size(), QSize(120, 60));
    const DecodeResult small = decodeBytes(makeJpeg(50, 40, JpegKind::Grey, {50}), 11, 120);
    ASSERT_EQ(small.code, decode::Ok);
    EXPECT_EQ(small.image.size(), QSize(50, 40));
    // A quarter turn reduces into the swapped box, then turns the small picture.
    const DecodeResult turned = decodeBytes(makeJpeg(400, 200, JpegKind::Grey, {50}), 11, 120, 90);
    ASSERT_EQ(turned.code, decode::Ok);
    EXPECT_EQ(turned.image.size(), QSize(60, 120));
}

TEST(DisplayDecoder, UnequalResolutionsAreCorrectedLikeThePaper)
{
    PageInfo page;
    page.format = kFormatTiff;
    page.width = 1728;
    page.height = 1100;
    page.unit = 2;
    page.xRes = 200;
    page.yRes = 100;
    int cw = 0, ch = 0;
    correctedSize(page, cw, ch);
    EXPECT_TRUE(cw == 864 || cw == 863) << cw;
    EXPECT_EQ(ch, 1100);
    const FitSize fit = pageFit(page, 120, 120);
    EXPECT_LT(fit.width, fit.height);  // taller than wide, like the paper
    // An unknown unit leaves the pixel size.
    page.unit = 0;
    correctedSize(page, cw, ch);
    EXPECT_EQ(cw, 1728);
}

TEST(DisplayDecoder, ReducerAveragesAreasExactly)
{
    Reducer reducer(4, 2, 1, 2, 1);
    const std::uint8_t top[] = {0, 255, 10, 30};
    const std::uint8_t bottom[] = {255, 0, 50, 70};
    reducer.addRow(top);
    reducer.addRow(bottom);
    const QImage out = reducer.finish();
    EXPECT_EQ(qGray(out.pixel(0, 0)), 128);  // (0 + 255 + 255 + 0) / 4 rounded
    EXPECT_EQ(qGray(out.pixel(1, 0)), 40);
    // Three columns into two: the middle one is split between both.
    Reducer odd(3, 1, 1, 2, 1);
    const std::uint8_t row[] = {0, 90, 180};
    odd.addRow(row);
    const QImage o = odd.finish();
    EXPECT_EQ(qGray(o.pixel(0, 0)), 30);   // (0 * 2 + 90 * 1) / 3
    EXPECT_EQ(qGray(o.pixel(1, 0)), 150);  // (90 * 1 + 180 * 2) / 3
    // Rows never given are the fill level, averaged with the given ones where they meet.
    Reducer cut(3, 3, 1, 3, 2);
    const std::uint8_t dark[] = {0, 0, 0};
    cut.addRow(dark);
    const QImage c = cut.finish(120);
    EXPECT_EQ(qGray(c.pixel(1, 0)), 40);   // (0 * 2 + 120 * 1) / 3
    EXPECT_EQ(qGray(c.pixel(1, 1)), 120);
}

TEST(DisplayDecoder, TiffLayoutsDecodeAsThePdfShowsThem)
{
    tnw::test::TempDir dir;
    TiffPage bilevel;  // min-is-white 1 bit: 0 bits are white
    bilevel.bitsPerSample = 1;
    bilevel.photometric = 0;
    bilevel.compression = COMPRESSION_CCITTFAX4;
    bilevel.row = {0x00, 0x00};
    TiffPage grey4;  // 4-bit grey: value 5 of 15 is 85
    grey4.bitsPerSample = 4;
    grey4.row = std::vector<std::uint8_t>(8, 0x55);
    TiffPage palette;
    palette.photometric = PHOTOMETRIC_PALETTE;
    palette.row = std::vector<std::uint8_t>(16, 1);
    TiffPage rgb;
    rgb.samplesPerPixel = 3;
    rgb.photometric = PHOTOMETRIC_RGB;
    rgb.row = {};
    for (int i = 0; i < 16; ++i)
        rgb.row.insert(rgb.row.end(), {20, 120, 220});
    TiffPage sixteen = rgb;  // 16 bits per sample: through the RGBA reader
    sixteen.bitsPerSample = 16;
    sixteen.row.clear();
    for (int i = 0; i < 16; ++i)
        for (int v : {0xFFFF, 0, 0})
            sixteen.row.insert(sixteen.row.end(), {std::uint8_t(v & 0xFF), std::uint8_t(v >> 8)});
    const std::string path = dir.file("pages.tif");
    ASSERT_TRUE(tnw::test::writeTiff(path, {bilevel, grey4, palette, rgb, sixteen}));

    std::vector<PageInfo> pages;
    ASSERT_EQ(probeFile(path, pages), 0);
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_EQ(pages[0].pageCount, 5);
    EXPECT_EQ(pages[0].compression, 4);
    EXPECT_EQ(pages[0].bitsPerPixel, 1);
    EXPECT_EQ(pages[3].bitsPerPixel, 24);
    const int expected[][3] = {{255, 255, 255}, {85, 85, 85}, {255, 0, 0}, {20, 120, 220},
                               {255, 0, 0}};
    for (size_t i = 0; i < pages.size(); ++i) {
        const DecodeResult r = decodeFile(path, pages[i], DecodeRequest{int(i), 8, 8, 0});
        ASSERT_EQ(r.code, decode::Ok) << i << " " << r.message;
        EXPECT_EQ(r.image.size(), QSize(8, 8)) << i;
        expectNear(centre(r.image), expected[i][0], expected[i][1], expected[i][2], 1);
    }
}

TEST(DisplayDecoder, HostileFilesFailWithoutAllocating)
{
    // A header claiming 65500 x 65500 pixels: probed, refused before decoding.
    std::string huge = makeJpeg(8, 8, JpegKind::Grey, {0});
    const size_t sof = huge.find("\xFF\xC0", 0, 2);
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = huge[sof + 7] = char(0xFF);
    huge[sof + 6] = huge[sof + 8] = char(0xDC);
    EXPECT_EQ(decodeBytes(huge, 11).code, decode::Failed);

    std::vector<PageInfo> pages;
    for (const std::string& bytes :
         {std::string(), std::string("\x89PNG\r\n\x1a\n0000", 12), std::string("\xFF\xD8\xFF", 3)}) {
        ImageSource s = ImageSource::fromBytes(
            reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        EXPECT_EQ(probePages(s, 11, pages), decode::Failed);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].format, kFormatNone);
    }

    // A truncated JPEG decodes what it has; the missing rows are grey and a warning counted.
    const std::string whole = makeJpeg(256, 256, JpegKind::Grey, {0});
    const DecodeResult cut = decodeBytes(whole.substr(0, whole.size() / 2), 11, 256);
    ASSERT_EQ(cut.code, decode::Ok);
    EXPECT_GT(cut.warnings, 0);
    EXPECT_NEAR(qGray(cut.image.pixel(128, 2)), 0, 4);
    EXPECT_EQ(qGray(cut.image.pixel(128, 253)), 128);

    // A directory chain pointing back at itself ends; garbage is -1 with a reason.
    std::string cyclic("II*\0\x08\0\0\0\x01\0\x00\x01\x03\0\x01\0\0\0\x10\0\0\0\x08\0\0\0", 26);
    ImageSource c =
        ImageSource::fromBytes(reinterpret_cast<const std::uint8_t*>(cyclic.data()), cyclic.size());
    probePages(c, 12, pages);
    EXPECT_LE(pages.size(), 2u);
}

TEST(DisplayDecoder, AFifoNamedLikeAnImageIsRefusedAtOnce)
{
    tnw::test::TempDir dir;
    const std::string fifo = dir.file("pipe.jpg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<PageInfo> pages;
    EXPECT_EQ(probeFile(fifo, pages), decode::Failed);
    PageInfo info;
    info.format = kFormatJpeg;
    info.width = 8;
    info.height = 8;
    EXPECT_EQ(decodeFile(fifo, info, {}).code, decode::CannotOpen);
}

namespace {

// A w x h page whose pixel (x, y) is 7 + 5 * (y * w + x), written with the given
// orientation tag: as 8-bit strips (read a scanline at a time), as 16-bit strips of two rows
// (libtiff's RGBA reader, strip by strip), as one uncompressed 8-bit 16 x 16 tile (read tile
// by tile) or as one LZW 16-bit tile as wide as the page (the RGBA reader by tiles; libtiff
// 4.5 misreads 16-bit tiles cut at the right edge).
enum class Layout { Scanlines, Strips16, Tiled, Tiled16 };

int patternValue(int x, int y, int w)
{
    return 7 + 5 * (y * w + x);
}

bool writePattern(const std::string& path, int w, int h, int orientation, Layout layout)
{
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t)
        return false;
    const int bits = layout == Layout::Strips16 || layout == Layout::Tiled16 ? 16 : 8;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t, TIFFTAG_COMPRESSION,
                 layout == Layout::Tiled16 ? COMPRESSION_LZW : COMPRESSION_NONE);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ORIENTATION, orientation);
    bool ok = true;
    if (layout == Layout::Tiled || layout == Layout::Tiled16) {
        TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
        std::vector<std::uint8_t> narrow(256, 0);
        std::vector<std::uint16_t> wide(256, 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                narrow[size_t(y * 16 + x)] = std::uint8_t(patternValue(x, y, w));
                wide[size_t(y * 16 + x)] = std::uint16_t(patternValue(x, y, w) * 257);
            }
        }
        void* tile = bits == 16 ? static_cast<void*>(wide.data()) : narrow.data();
        ok = TIFFWriteTile(t, tile, 0, 0, 0, 0) > 0;
    } else {
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, layout == Layout::Strips16 ? 2 : h);
        for (int y = 0; ok && y < h; ++y) {
            std::vector<std::uint16_t> wide(static_cast<size_t>(w));
            std::vector<std::uint8_t> narrow(static_cast<size_t>(w));
            for (int x = 0; x < w; ++x) {
                wide[size_t(x)] = std::uint16_t(patternValue(x, y, w) * 257);
                narrow[size_t(x)] = std::uint8_t(patternValue(x, y, w));
            }
            void* row = bits == 16 ? static_cast<void*>(wide.data()) : narrow.data();
            ok = TIFFWriteScanline(t, row, uint32_t(y), 0) >= 0;
        }
    }
    TIFFClose(t);
    return ok;
}

// Where display pixel (X, Y) of a page stored w x h with `orientation` comes from.
std::pair<int, int> storedPixel(int orientation, int X, int Y, int w, int h)
{
    switch (orientation) {
    case 2: return {w - 1 - X, Y};
    case 3: return {w - 1 - X, h - 1 - Y};
    case 4: return {X, h - 1 - Y};
    case 5: return {Y, X};
    case 6: return {Y, h - 1 - X};
    case 7: return {w - 1 - Y, h - 1 - X};
    case 8: return {w - 1 - Y, X};
    default: return {X, Y};
    }
}

// A baseline JPEG of w x h whose left half is `left` and right half `right` (grey or RGB).
std::string twoToneJpeg(int w, int h, bool colour, int left, int right)
{
    const int components = colour ? 3 : 1;
    return tnw::test::encodeJpeg(w, h, components, colour ? JCS_RGB : JCS_GRAYSCALE,
                                 [&](int, JSAMPLE* row) {
                                     for (int x = 0; x < w; ++x)
                                         for (int k = 0; k < components; ++k)
                                             row[x * components + k] =
                                                 JSAMPLE(x < w / 2 ? left : right);
                                 });
}

// A TIFF page with compression 6 (old-style JPEG) built byte by byte, as libtiff cannot write
// one: one strip holding a whole JPEG stream, which JPEGInterchangeFormat points at too.
std::string oldJpegTiff(const std::string& jpeg, int w, int h, bool colour)
{
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count, value;
    };
    const std::uint32_t data = 8;  // the JPEG right after the header
    const std::uint32_t ifd = data + std::uint32_t(jpeg.size() + (jpeg.size() & 1));
    const std::uint32_t bitsAt = ifd + 2 + 14 * 12 + 4;  // three SHORTs for colour
    std::vector<Entry> entries = {
        {256, 3, 1, std::uint32_t(w)},
        {257, 3, 1, std::uint32_t(h)},
        {258, 3, colour ? 3u : 1u, colour ? bitsAt : 8u},
        {259, 3, 1, 6},
        {262, 3, 1, colour ? 6u : 1u},
        {273, 4, 1, data},
        {277, 3, 1, colour ? 3u : 1u},
        {278, 3, 1, std::uint32_t(h)},
        {279, 4, 1, std::uint32_t(jpeg.size())},
        {513, 4, 1, data},
        {514, 4, 1, std::uint32_t(jpeg.size())},
    };
    if (colour)
        entries.push_back({530, 3, 2, 2u | (2u << 16)});  // YCbCr 4:2:0, libjpeg's default
    std::string out("II*\0", 4);
    const auto put16 = [&out](std::uint32_t v) {
        out += char(v & 0xFF);
        out += char((v >> 8) & 0xFF);
    };
    const auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put32(ifd);
    out += jpeg;
    if (jpeg.size() & 1)
        out += '\0';
    put16(std::uint32_t(entries.size()));
    for (const Entry& e : entries) {
        put16(e.tag);
        put16(e.type);
        put32(e.count);
        put32(e.value);
    }
    put32(0);
    out.resize(bitsAt, '\0');
    for (int i = 0; i < 3; ++i)
        put16(8);
    return out;
}

}  // namespace

TEST(DisplayDecoder, TiffOrientationIsAppliedExactlyOnceOnEveryPath)
{
    tnw::test::TempDir dir;
    const int h = 3;
    for (Layout layout : {Layout::Scanlines, Layout::Strips16, Layout::Tiled, Layout::Tiled16}) {
        const int w = layout == Layout::Tiled16 ? 16 : 5;
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const std::string path = dir.file("o.tif");
            ASSERT_TRUE(writePattern(path, w, h, orientation, layout));
            std::vector<PageInfo> pages;
            ASSERT_EQ(probeFile(path, pages), 0);
            ASSERT_EQ(pages.front().orientation, orientation);
            const DecodeResult r = decodeFile(path, pages.front(), DecodeRequest{0, 64, 64, 0});
            const std::string where =
                "layout " + std::to_string(int(layout)) + " orientation " +
                std::to_string(orientation);
            ASSERT_EQ(r.code, decode::Ok) << where << " " << r.message;
            const QSize shown = orientation >= 5 ? QSize(h, w) : QSize(w, h);
            ASSERT_EQ(r.image.size(), shown) << where;
            for (int Y = 0; Y < shown.height(); ++Y) {
                for (int X = 0; X < shown.width(); ++X) {
                    const auto [x, y] = storedPixel(orientation, X, Y, w, h);
                    ASSERT_EQ(qRed(r.image.pixel(X, Y)), patternValue(x, y, w))
                        << where << " at " << X << "," << Y;
                }
            }
        }
    }
}

TEST(DisplayDecoder, OldStyleJpegPagesAreShown)
{
    tnw::test::TempDir dir;
    for (bool colour : {false, true}) {
        const std::string path = dir.file(colour ? "ojpeg_rgb.tif" : "ojpeg_grey.tif");
        ASSERT_TRUE(tnw::test::writeFile(
            path, oldJpegTiff(twoToneJpeg(32, 16, colour, 30, 220), 32, 16, colour)));
        std::vector<PageInfo> pages;
        ASSERT_EQ(probeFile(path, pages), 0);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].compression, 6);
        const DecodeResult r = decodeFile(path, pages[0], DecodeRequest{0, 64, 64, 0});
        ASSERT_EQ(r.code, decode::Ok) << colour << " " << r.message;
        ASSERT_EQ(r.image.size(), QSize(32, 16));
        expectNear(r.image.pixelColor(4, 8), 30, 30, 30);
        expectNear(r.image.pixelColor(27, 8), 220, 220, 220);
        // Cut short, the page is drawn as far as it goes or refused; never a crash or a hang.
        const std::string bytes =
            oldJpegTiff(twoToneJpeg(32, 16, colour, 30, 220), 32, 16, colour);
        for (size_t cut : {size_t(40), bytes.size() / 2}) {
            std::string shortened = bytes;
            std::fill(shortened.begin() + long(cut), shortened.begin() + long(cut) + 40, '\0');
            ImageSource s = ImageSource::fromBytes(
                reinterpret_cast<const std::uint8_t*>(shortened.data()), shortened.size());
            decodePage(s, pages[0], DecodeRequest{0, 64, 64, 0});
        }
    }
}
