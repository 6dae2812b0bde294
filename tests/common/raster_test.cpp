#include "common/raster.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

using namespace tnw::common;

namespace {

int fakeDevice;  // any non-null pointer stands for a device context

const RasterQuad* paletteOf(const Raster& r)
{
    return reinterpret_cast<const RasterQuad*>(r.header + 1);
}

// The 24-bit pixel at (x, y from the top) as blue, green, red.
std::vector<int> pixel(const Raster& r, int x, int y)
{
    const uint8_t* p = rasterRowFromTop(&r, y) + 3 * x;
    return {p[0], p[1], p[2]};
}

}  // namespace

TEST(RasterCreate, BuildsHeaderPaletteAndPaddedBottomUpRows)
{
    EXPECT_EQ(rasterStride(3, 24), 12);
    EXPECT_EQ(rasterStride(1, 1), 4);
    EXPECT_EQ(rasterStride(33, 1), 8);

    ScopedRaster r;
    const uint8_t rgb[] = {10, 20, 30, 40, 50, 60};
    ASSERT_EQ(rasterCreate(r.get(), 5, 3, 0, rgb, 2, kRasterOwnPixels), kRasterOk);
    EXPECT_EQ(r->bitsPerPixel, 8);  // depth 0 is taken as 8
    EXPECT_EQ(r->stride, 8);
    EXPECT_EQ(r->imageSize, 24);
    EXPECT_EQ(r->paletteEntries, 256);
    EXPECT_EQ(r->headerSize, 40 + 1024);
    EXPECT_EQ(r->pixelOwnership, kRasterPixelsOwned);
    const RasterInfoHeader& h = *r->header;
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 5);
    EXPECT_EQ(h.height, 3);
    EXPECT_EQ(h.bitCount, 8);
    EXPECT_EQ(h.sizeImage, 24u);
    // Triples are stored as blue, green, red, 0; entries without a triple are black.
    const RasterQuad* pal = paletteOf(*r);
    EXPECT_EQ(std::vector<int>({pal[1].blue, pal[1].green, pal[1].red, pal[1].reserved}),
              std::vector<int>({60, 50, 40, 0}));
    EXPECT_EQ(pal[2].red, 0);
    // The top row is the last one in memory.
    EXPECT_EQ(rasterRowFromTop(r.get(), 0), r->pixels + 2 * 8);
    EXPECT_EQ(rasterRowFromTop(r.get(), 3), nullptr);

    ASSERT_EQ(rasterCreate(r.get(), 2, 2, 24, nullptr, 0, kRasterNoPixels), kRasterOk);
    EXPECT_EQ(r->pixels, nullptr);
    EXPECT_EQ(r->paletteEntries, 0);
    EXPECT_EQ(r->headerSize, 40);
}

TEST(RasterCreate, SectionModeWithoutDeviceContextAllocatesLikeOwnedPixels)
{
    Raster r{};
    ASSERT_EQ(rasterCreate(&r, 3, 2, 24, nullptr, 0, kRasterSection), kRasterOk);
    EXPECT_NE(r.pixels, nullptr);
    EXPECT_EQ(r.imageSize, 24);
    EXPECT_EQ(rasterDestroy(&r), 0);
}

TEST(RasterCreate, RefusesBadArgumentsWithTheirCodes)
{
    Raster r{};
    EXPECT_EQ(rasterCreate(nullptr, 1, 1, 8, nullptr, 0, 1), kRasterCreateNull);
    EXPECT_EQ(rasterCreate(&r, 1, 1, 7, nullptr, 0, 1), kRasterCreateDepth);
    EXPECT_EQ(rasterCreate(&r, 1, 1, 2, nullptr, 0, 1), kRasterHeaderDepth);
    EXPECT_EQ(rasterCreate(&r, 0, 1, 8, nullptr, 0, 1), kRasterBadSize);
    EXPECT_EQ(rasterCreate(&r, 1, -1, 8, nullptr, 0, 1), kRasterBadSize);
    EXPECT_EQ(r.header, nullptr);  // nothing was left allocated

    EXPECT_EQ(rasterSetHeader(nullptr, 1, 1, 8, 0), kRasterHeaderNull);
    EXPECT_EQ(rasterSetHeader(&r, 1, 1, 4, kRasterRle8), kRasterRle8Depth);
    EXPECT_EQ(rasterSetHeader(&r, 1, 1, 8, kRasterRle4), kRasterRle4Depth);
    r.imageSize = 77;  // a compressed image keeps its compressed size
    ASSERT_EQ(rasterSetHeader(&r, 10, 10, 8, kRasterRle8), kRasterOk);
    EXPECT_EQ(r.imageSize, 77);
    EXPECT_EQ(rasterDestroy(&r), kRasterOk);
}

TEST(RasterCreate, HugeImagesFailAsAllocationsAndSectionsGetOwnPixels)
{
    ScopedRaster r;
    EXPECT_EQ(rasterCreate(r.get(), INT_MAX, INT_MAX, 32, nullptr, 0, kRasterOwnPixels),
              kRasterNoPixelMemory);
    EXPECT_EQ(rasterCreate(r.get(), 65536, 65536, 8, nullptr, 0, kRasterNoPixels),
              kRasterNoPixelMemory);
    r->deviceContext = &fakeDevice;
    EXPECT_EQ(rasterCreate(r.get(), 100000, 100000, 24, nullptr, 0, kRasterSection),
              kRasterNoSection);
    EXPECT_EQ(r->pixels, nullptr);

    // With a device context, a section's pixels are allocated and owned like the record's own.
    ASSERT_EQ(rasterCreate(r.get(), 4, 4, 24, nullptr, 0, kRasterSection), kRasterOk);
    EXPECT_EQ(r->deviceContext, &fakeDevice);
    EXPECT_EQ(r->pixelOwnership, kRasterPixelsOwned);
}

TEST(RasterDestroy, FreesOnlyTaggedRecordsAndClosesTheFile)
{
    EXPECT_EQ(rasterDestroy(nullptr), kRasterFailed);
    Raster untagged{};
    EXPECT_EQ(rasterDestroy(&untagged), kRasterNotTagged);

    Raster r{};
    ASSERT_EQ(rasterCreate(&r, 8, 8, 8, nullptr, 0, kRasterOwnPixels), kRasterOk);
    ASSERT_EQ(rasterMakePalette(&r, nullptr), kRasterOk);
    r.file = std::tmpfile();
    ASSERT_NE(r.file, nullptr);
    EXPECT_EQ(rasterDestroy(&r), kRasterOk);
    EXPECT_EQ(r.file, nullptr);
    EXPECT_EQ(r.pixels, nullptr);
    EXPECT_EQ(r.header, nullptr);
    EXPECT_EQ(r.palette, nullptr);
    EXPECT_EQ(rasterDestroy(&r), kRasterOk);  // twice is harmless

    // Pixels the record does not own are left alone.
    uint8_t borrowed[4] = {};
    rasterClear(&r, nullptr);
    r.pixels = borrowed;
    EXPECT_EQ(rasterDestroy(&r), kRasterOk);
}

TEST(RasterTo24, PaletteDepthsGoThroughThePalette)
{
    const uint8_t rgb[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    ScopedRaster src, dst;

    ASSERT_EQ(rasterCreate(src.get(), 3, 2, 8, rgb, 4, kRasterOwnPixels), kRasterOk);
    uint8_t* top = rasterRowFromTop(src.get(), 0);
    top[0] = 1, top[1] = 2, top[2] = 3;
    rasterRowFromTop(src.get(), 1)[0] = 9;  // no triple given: black
    ASSERT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterOk);
    EXPECT_EQ(dst->bitsPerPixel, 24);
    EXPECT_EQ(dst->stride, 12);
    EXPECT_EQ(pixel(*dst, 0, 0), (std::vector<int>{0, 0, 255}));  // red as blue, green, red
    EXPECT_EQ(pixel(*dst, 1, 0), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(pixel(*dst, 2, 0), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(pixel(*dst, 0, 1), (std::vector<int>{0, 0, 0}));

    ASSERT_EQ(rasterCreate(src.get(), 3, 1, 4, rgb, 4, kRasterOwnPixels), kRasterOk);
    src->pixels[0] = 0x12, src->pixels[1] = 0x30;  // high nibble first
    ASSERT_EQ(rasterTo24(src.get(), dst.get(), 1), kRasterOk);  // and swapped to red first
    EXPECT_EQ(pixel(*dst, 0, 0), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(pixel(*dst, 1, 0), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(pixel(*dst, 2, 0), (std::vector<int>{0, 0, 255}));

    ASSERT_EQ(rasterCreate(src.get(), 10, 1, 1, rgb + 3, 2, kRasterOwnPixels), kRasterOk);
    src->pixels[0] = 0x80, src->pixels[1] = 0x40;  // most significant bit first
    ASSERT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterOk);
    EXPECT_EQ(pixel(*dst, 0, 0), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(pixel(*dst, 1, 0), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(pixel(*dst, 9, 0), (std::vector<int>{0, 255, 0}));
}

TEST(RasterTo24, DirectDepthsFollowTheirByteRules)
{
    ScopedRaster src, dst;
    ASSERT_EQ(rasterCreate(src.get(), 1, 1, 16, nullptr, 0, kRasterOwnPixels), kRasterOk);
    const int v = (31 << 10) | (1 << 5) | 2;  // 5-5-5, red in the high bits
    src->pixels[0] = v & 0xFF, src->pixels[1] = v >> 8;
    ASSERT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterOk);
    EXPECT_EQ(pixel(*dst, 0, 0), (std::vector<int>{16, 8, 248}));

    ASSERT_EQ(rasterCreate(src.get(), 2, 1, 32, nullptr, 0, kRasterOwnPixels), kRasterOk);
    const uint8_t cmyk[8] = {10, 20, 30, 40, 200, 0, 0, 100};
    std::memcpy(src->pixels, cmyk, 8);
    ASSERT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterOk);
    EXPECT_EQ(pixel(*dst, 0, 0), (std::vector<int>{185, 195, 205}));
    // Inks adding up past 255 stay dark instead of wrapping to a bright value.
    EXPECT_EQ(pixel(*dst, 1, 0), (std::vector<int>{155, 155, 0}));

    src->colorKind = kRasterColorRgba;  // blue, green, red and a fourth byte
    ASSERT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterOk);
    EXPECT_EQ(pixel(*dst, 0, 0), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(pixel(*dst, 1, 0), (std::vector<int>{200, 0, 0}));
}

TEST(RasterTo24, ConvertsInPlaceAndReusesAMatchingTarget)
{
    ScopedRaster src, dst;
    ASSERT_EQ(rasterCreate(src.get(), 2, 1, 24, nullptr, 0, kRasterOwnPixels), kRasterOk);
    src->pixels[0] = 1, src->pixels[2] = 3;
    ASSERT_EQ(rasterCreate(dst.get(), 2, 1, 24, nullptr, 0, kRasterOwnPixels), kRasterOk);
    uint8_t* kept = dst->pixels;
    ASSERT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterOk);
    EXPECT_EQ(dst->pixels, kept);
    EXPECT_EQ(pixel(*dst, 0, 0), (std::vector<int>{1, 0, 3}));
    ASSERT_EQ(rasterTo24(src.get(), src.get(), 1), kRasterOk);
    EXPECT_EQ(pixel(*src, 0, 0), (std::vector<int>{3, 0, 1}));

    const uint8_t rgb[] = {1, 2, 3};
    ASSERT_EQ(rasterCreate(src.get(), 2, 2, 8, rgb, 1, kRasterOwnPixels), kRasterOk);
    ASSERT_EQ(rasterTo24(src.get(), src.get(), 0), kRasterOk);
    EXPECT_EQ(src->bitsPerPixel, 24);
    EXPECT_EQ(pixel(*src, 1, 1), (std::vector<int>{3, 2, 1}));
}

TEST(RasterTo24, RefusesWhatItCannotConvert)
{
    ScopedRaster src, dst;
    EXPECT_EQ(rasterTo24(nullptr, dst.get(), 0), kRasterFailed);
    ASSERT_EQ(rasterCreate(src.get(), 4, 4, 8, nullptr, 0, kRasterNoPixels), kRasterOk);
    EXPECT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterFailed);  // no pixels
    ASSERT_EQ(rasterCreate(src.get(), 4, 4, 8, nullptr, 0, kRasterOwnPixels), kRasterOk);
    ASSERT_EQ(rasterSetHeader(src.get(), 4, 4, 8, kRasterRle8), kRasterOk);
    EXPECT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterNot24);
    src->compression = kRasterRgb;
    src->bitsPerPixel = 2;
    EXPECT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterNot24);
    src->bitsPerPixel = 32;  // rows four times longer than the pixels hold
    EXPECT_EQ(rasterTo24(src.get(), dst.get(), 0), kRasterFailed);
}

TEST(RasterPalette, SmallPalettesAreCopiedAsTheyAre)
{
    ScopedRaster r;
    EXPECT_EQ(rasterMakePalette(nullptr, nullptr), kRasterPaletteNull);
    EXPECT_EQ(rasterMakePalette(r.get(), nullptr), kRasterPaletteNoHeader);
    ASSERT_EQ(rasterCreate(r.get(), 2, 2, 24, nullptr, 0, kRasterNoPixels), kRasterOk);
    EXPECT_EQ(rasterMakePalette(r.get(), nullptr), kRasterPaletteFailed);
    r->paletteEntries = -1;
    EXPECT_EQ(rasterMakePalette(r.get(), nullptr), kRasterPaletteNegative);

    const uint8_t rgb[] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(rasterCreate(r.get(), 2, 2, 4, rgb, 2, kRasterNoPixels), kRasterOk);
    ASSERT_EQ(rasterMakePalette(r.get(), &fakeDevice), kRasterOk);
    EXPECT_EQ(r->palette->count, 16);
    EXPECT_EQ(r->palette->entries[1].red, 4);
    EXPECT_EQ(r->palette->translation[15], 15);
    EXPECT_EQ(r->paletteMapped, 0);
}

TEST(RasterPalette, FullPaletteIsMatchedToTheReservedSystemColours)
{
    // 0: white (reserved 255), 1: pure red (reserved 249), 2-237: 236 new colours that fill
    // the free slots, 238-255: colours one step away from some of those.
    std::vector<uint8_t> rgb(256 * 3);
    auto set = [&rgb](int i, int red, int green, int blue) {
        rgb[3 * i] = static_cast<uint8_t>(red);
        rgb[3 * i + 1] = static_cast<uint8_t>(green);
        rgb[3 * i + 2] = static_cast<uint8_t>(blue);
    };
    set(0, 255, 255, 255);
    set(1, 255, 0, 0);
    for (int i = 2; i < 238; ++i) set(i, i, 0, 100);
    for (int i = 238; i < 256; ++i) set(i, i - 200, 1, 100);
    ScopedRaster r;
    ASSERT_EQ(rasterCreate(r.get(), 2, 2, 8, rgb.data(), 256, kRasterNoPixels), kRasterOk);

    ASSERT_EQ(rasterMakePalette(r.get(), nullptr), kRasterOk);  // no palette device: as is
    EXPECT_EQ(r->palette->translation[0], 0);

    ASSERT_EQ(rasterMakePalette(r.get(), &fakeDevice), kRasterOk);
    const RasterLogicalPalette& lp = *r->palette;
    EXPECT_EQ(r->paletteMapped, 1);
    EXPECT_EQ(lp.translation[0], 255);
    EXPECT_EQ(lp.translation[1], 249);
    EXPECT_EQ(lp.entries[7].red, 192);  // reserved light grey stays in place
    EXPECT_EQ(lp.translation[2], 10);   // first new colour: first free slot
    EXPECT_EQ(lp.entries[10].red, 2);
    EXPECT_EQ(lp.translation[237], 245);  // last free slot
    // A colour without a slot of its own goes to its nearest neighbour.
    EXPECT_EQ(lp.translation[238], lp.translation[38]);
    EXPECT_EQ(lp.translation[255], lp.translation[55]);
    EXPECT_EQ(lp.entries[lp.translation[255]].red, 55);
}

TEST(RasterRecord, SwapAndMoveKeepOwnershipClear)
{
    ScopedRaster a, b;
    ASSERT_EQ(rasterCreate(a.get(), 1, 1, 8, nullptr, 0, kRasterOwnPixels), kRasterOk);
    EXPECT_EQ(rasterSwapRedBlue(a.get()), kRasterFailed);
    EXPECT_EQ(rasterSwapRedBlue(nullptr), kRasterFailed);

    ASSERT_EQ(rasterCreate(b.get(), 1, 1, 24, nullptr, 0, kRasterOwnPixels), kRasterOk);
    uint8_t* pixels = a->pixels;
    ASSERT_EQ(rasterMove(a.get(), b.get()), kRasterOk);  // b's own pixels are freed first
    EXPECT_EQ(b->pixels, pixels);
    EXPECT_EQ(b->bitsPerPixel, 8);
    EXPECT_EQ(a->pixels, nullptr);
    EXPECT_EQ(rasterDestroy(a.get()), kRasterNotTagged);  // the source is zeroed
    EXPECT_EQ(rasterMove(nullptr, b.get()), kRasterFailed);
}
