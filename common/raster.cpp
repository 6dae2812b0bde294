// The raster record: header and palette in one allocation, pixel rows bottom-up, conversion to
// 24 bits per pixel. Every size is computed in 64 bits and checked before it is stored or
// allocated, so a huge picture fails with a code instead of wrapping around.
#include "common/raster.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tnw::common {

namespace {

constexpr char kTag[4] = {'t', 'R', 'P', 'L'};
constexpr int kHeaderBytes = static_cast<int>(sizeof(RasterInfoHeader));

bool hasTag(const Raster* r) { return std::memcmp(r->tag, kTag, 4) == 0; }

bool isDepth(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The 20 reserved colours of a 256-colour display palette: indices 0-9, then 246-255.
constexpr RasterQuad kSystemColours[20] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {240, 202, 166, 0},  // money green, sky blue
    {240, 251, 255, 0}, {164, 160, 160, 0},  // cream, medium grey
    {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},     {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0},
};
constexpr int kFirstFreeSlot = 10;
constexpr int kLastFreeSlot = 245;

bool sameColour(const RasterQuad& a, const RasterQuad& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

int distance(const RasterQuad& a, const RasterQuad& b)
{
    int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
    return dr * dr + dg * dg + db * db;
}

void matchSystemColours(const RasterQuad* image, RasterLogicalPalette* out)
{
    bool filled[256] = {};
    for (int i = 0; i < 10; ++i) {
        out->entries[i] = kSystemColours[i];
        out->entries[246 + i] = kSystemColours[10 + i];
        filled[i] = filled[246 + i] = true;
    }
    int nextFree = kFirstFreeSlot;
    int pending[256];
    int pendingCount = 0;
    for (int i = 0; i < 256; ++i) {
        int found = -1;
        for (int j = 0; j < 256 && found < 0; ++j) {
            if (filled[j] && sameColour(out->entries[j], image[i])) found = j;
        }
        if (found < 0 && nextFree <= kLastFreeSlot) {
            found = nextFree++;
            out->entries[found] = {image[i].blue, image[i].green, image[i].red, 0};
            filled[found] = true;
        }
        if (found < 0) {
            pending[pendingCount++] = i;
        } else {
            out->translation[i] = static_cast<uint8_t>(found);
        }
    }
    // Every slot is taken by now: the remaining colours go to their nearest neighbour.
    for (int k = 0; k < pendingCount; ++k) {
        const RasterQuad& c = image[pending[k]];
        int best = 0;
        for (int j = 1; j < 256; ++j) {
            if (distance(out->entries[j], c) < distance(out->entries[best], c)) best = j;
        }
        out->translation[pending[k]] = static_cast<uint8_t>(best);
    }
}

// Palette of a record, with the number of entries that really follow the header.
const RasterQuad* paletteOf(const Raster* r, int& count)
{
    count = 0;
    if (r->header == nullptr) return nullptr;
    int room = (r->headerSize - kHeaderBytes) / 4;
    count = r->paletteEntries < room ? r->paletteEntries : room;
    if (count < 0) count = 0;
    return reinterpret_cast<const RasterQuad*>(r->header + 1);
}

void putPalette(uint8_t* out, const RasterQuad* palette, int count, int index)
{
    if (index < count) {
        out[0] = palette[index].blue;
        out[1] = palette[index].green;
        out[2] = palette[index].red;
    } else {
        out[0] = out[1] = out[2] = 0;
    }
}

uint8_t inkless(int ink, int black)
{
    int v = 255 - ink - black;
    return static_cast<uint8_t>(v < 0 ? 0 : v);
}

void convertRow(const Raster* src, const uint8_t* in, uint8_t* out)
{
    int count = 0;
    const RasterQuad* palette = paletteOf(src, count);
    const int width = src->width;
    switch (src->bitsPerPixel) {
    case 1:
        for (int x = 0; x < width; ++x, out += 3) {
            putPalette(out, palette, count, (in[x >> 3] >> (7 - (x & 7))) & 1);
        }
        break;
    case 4:
        for (int x = 0; x < width; ++x, out += 3) {
            int byte = in[x >> 1];
            putPalette(out, palette, count, (x & 1) ? (byte & 0x0F) : (byte >> 4));
        }
        break;
    case 8:
        for (int x = 0; x < width; ++x, out += 3) putPalette(out, palette, count, in[x]);
        break;
    case 16:
        for (int x = 0; x < width; ++x, out += 3, in += 2) {
            int v = in[0] | (in[1] << 8);
            out[0] = static_cast<uint8_t>((v & 0x1F) << 3);
            out[1] = static_cast<uint8_t>(((v >> 5) & 0x1F) << 3);
            out[2] = static_cast<uint8_t>(((v >> 10) & 0x1F) << 3);
        }
        break;
    case 24:
        std::memcpy(out, in, static_cast<size_t>(width) * 3);
        break;
    case 32:
        if (src->colorKind == kRasterColorRgb || src->colorKind == kRasterColorRgba) {
            for (int x = 0; x < width; ++x, out += 3, in += 4) std::memcpy(out, in, 3);
        } else {
            // C, M, Y, K to blue, green, red. Each value stops at 0: a dark pixel whose inks add
            // up past 255 must stay dark, not wrap around to a bright one.
            for (int x = 0; x < width; ++x, out += 3, in += 4) {
                out[0] = inkless(in[2], in[3]);
                out[1] = inkless(in[1], in[3]);
                out[2] = inkless(in[0], in[3]);
            }
        }
        break;
    default:
        break;
    }
}

}  // namespace

int rasterPaletteEntries(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return 2;
    case 2: return 4;
    case 4: return 16;
    case 8: return 256;
    case 16:
    case 24:
    case 32: return 0;
    default: return -1;
    }
}

long long rasterStride(int width, int bitsPerPixel)
{
    if (width <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32) return -1;
    return ((static_cast<long long>(width) * bitsPerPixel + 31) / 32) * 4;
}

void rasterClear(Raster* r, void* deviceContext)
{
    if (r == nullptr) return;
    std::memset(r, 0, sizeof *r);
    std::memcpy(r->tag, kTag, 4);
    r->deviceContext = deviceContext;
}

int rasterSetHeader(Raster* r, int width, int height, int bitsPerPixel, int compression)
{
    if (r == nullptr) return kRasterHeaderNull;
    if (width <= 0 || height <= 0) return kRasterBadSize;
    if (bitsPerPixel == 0) bitsPerPixel = 8;
    if (!isDepth(bitsPerPixel)) return kRasterHeaderDepth;
    if (compression == kRasterRle8 && bitsPerPixel != 8) return kRasterRle8Depth;
    if (compression == kRasterRle4 && bitsPerPixel != 4) return kRasterRle4Depth;
    if (compression < kRasterRgb || compression > kRasterRle4) return kRasterHeaderDepth;
    // The stride fits in 36 bits; checked against INT_MAX, its product with the height cannot
    // overflow 64 bits.
    const long long stride = rasterStride(width, bitsPerPixel);
    if (stride > INT_MAX) return kRasterNoPixelMemory;
    const long long imageSize = stride * height;
    if (imageSize > INT_MAX) return kRasterNoPixelMemory;

    r->width = width;
    r->height = height;
    r->stride = static_cast<int>(stride);
    r->bitsPerPixel = bitsPerPixel;
    r->compression = compression;
    if (compression == kRasterRgb) r->imageSize = static_cast<int>(imageSize);
    r->paletteEntries = rasterPaletteEntries(bitsPerPixel);
    r->paletteBytes = r->paletteEntries * 4;
    return kRasterOk;
}

int rasterCreate(Raster* r, int width, int height, int bitsPerPixel, const uint8_t* rgb,
                 int rgbCount, int pixelMode)
{
    if (r == nullptr) return kRasterCreateNull;
    if (pixelMode < kRasterNoPixels || pixelMode > kRasterSection) return kRasterCreateNull;
    if (bitsPerPixel == 0) bitsPerPixel = 8;
    if (rasterPaletteEntries(bitsPerPixel) < 0) return kRasterCreateDepth;

    void* deviceContext = nullptr;
    if (hasTag(r)) {
        deviceContext = r->deviceContext;
        rasterDestroy(r);
    }
    rasterClear(r, deviceContext);
    if (int rc = rasterSetHeader(r, width, height, bitsPerPixel, kRasterRgb); rc != kRasterOk) {
        return rc == kRasterNoPixelMemory && pixelMode == kRasterSection ? kRasterNoSection : rc;
    }
    // Without a graphics system a bitmap section is plain memory, so pixel mode 2 allocates like
    // mode 1 whether or not a device context was given; -113 is kept in the code list only.

    r->headerSize = kHeaderBytes + r->paletteBytes;
    r->header = static_cast<RasterInfoHeader*>(std::calloc(1, r->headerSize));
    if (r->header == nullptr) {
        r->headerSize = 0;
        return kRasterNoHeaderMemory;
    }
    RasterInfoHeader* h = r->header;
    h->size = kHeaderBytes;
    h->width = r->width;
    h->height = r->height;
    h->planes = 1;
    h->bitCount = static_cast<uint16_t>(r->bitsPerPixel);
    h->compression = static_cast<uint32_t>(r->compression);
    h->sizeImage = static_cast<uint32_t>(r->imageSize);
    RasterQuad* palette = reinterpret_cast<RasterQuad*>(h + 1);
    if (rgb != nullptr) {
        const int n = rgbCount < r->paletteEntries ? rgbCount : r->paletteEntries;
        for (int i = 0; i < n; ++i) palette[i] = {rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0};
    }

    if (pixelMode == kRasterNoPixels) return kRasterOk;
    // No bitmap sections here: a section's pixels are allocated like the record's own.
    r->pixels = static_cast<uint8_t*>(std::calloc(1, static_cast<size_t>(r->imageSize)));
    if (r->pixels == nullptr) {
        rasterDestroy(r);
        rasterClear(r, deviceContext);
        return pixelMode == kRasterSection ? kRasterNoSection : kRasterNoPixelMemory;
    }
    r->pixelOwnership = kRasterPixelsOwned;
    return kRasterOk;
}

int rasterDestroy(Raster* r)
{
    if (r == nullptr) return kRasterFailed;
    if (!hasTag(r)) return kRasterNotTagged;
    if (r->file != nullptr) std::fclose(r->file);
    if (r->pixelOwnership == kRasterPixelsOwned) std::free(r->pixels);
    std::free(r->header);
    delete r->palette;
    rasterClear(r, r->deviceContext);
    return kRasterOk;
}

int rasterMakePalette(Raster* r, void* deviceContext)
{
    if (r == nullptr) return kRasterPaletteNull;
    if (r->header == nullptr) return kRasterPaletteNoHeader;
    if (r->paletteEntries < 0) return kRasterPaletteNegative;
    int count = 0;
    const RasterQuad* image = paletteOf(r, count);
    if (count == 0 || count > 256 || count != r->paletteEntries) return kRasterPaletteFailed;

    auto* logical = new (std::nothrow) RasterLogicalPalette{};
    if (logical == nullptr) return kRasterPaletteNoMemory;
    const bool match = count == 256 && deviceContext != nullptr;
    if (match) {
        matchSystemColours(image, logical);
    } else {
        for (int i = 0; i < count; ++i) {
            logical->entries[i] = {image[i].blue, image[i].green, image[i].red, 0};
            logical->translation[i] = static_cast<uint8_t>(i);
        }
    }
    logical->count = match ? 256 : count;
    delete r->palette;
    r->palette = logical;
    r->paletteMapped = match ? 1 : 0;
    return kRasterOk;
}

int rasterTo24(const Raster* source, Raster* target, int swap)
{
    if (source == nullptr || target == nullptr || !hasTag(source)) return kRasterFailed;
    if (!isDepth(source->bitsPerPixel) || source->compression != kRasterRgb) return kRasterNot24;
    const long long minStride = rasterStride(source->width, source->bitsPerPixel);
    if (source->pixels == nullptr || source->height <= 0 || minStride < 0 ||
        source->stride < minStride ||
        static_cast<long long>(source->stride) * source->height > source->imageSize) {
        return kRasterFailed;
    }
    if (source->bitsPerPixel <= 8 && source->header == nullptr) return kRasterFailed;

    if (source == target) {
        if (source->bitsPerPixel == 24) return swap ? rasterSwapRedBlue(target) : kRasterOk;
        ScopedRaster converted;
        if (int rc = rasterTo24(source, converted.get(), swap); rc != kRasterOk) return rc;
        converted->deviceContext = target->deviceContext;
        return rasterMove(converted.get(), target);
    }

    const bool reusable = hasTag(target) && target->bitsPerPixel == 24 &&
                          target->width == source->width && target->height == source->height &&
                          target->pixels != nullptr && target->compression == kRasterRgb &&
                          target->stride == rasterStride(source->width, 24) &&
                          static_cast<long long>(target->stride) * target->height <=
                              target->imageSize;
    if (!reusable) {
        int rc = rasterCreate(target, source->width, source->height, 24, nullptr, 0,
                              kRasterOwnPixels);
        if (rc != kRasterOk) return rc;
    }
    target->colorKind = kRasterColorRgb;
    for (int y = 0; y < source->height; ++y) {
        convertRow(source, source->pixels + static_cast<size_t>(y) * source->stride,
                   target->pixels + static_cast<size_t>(y) * target->stride);
    }
    return swap ? rasterSwapRedBlue(target) : kRasterOk;
}

int rasterSwapRedBlue(Raster* r)
{
    if (r == nullptr || r->bitsPerPixel != 24 || r->pixels == nullptr) return kRasterFailed;
    for (int y = 0; y < r->height; ++y) {
        uint8_t* p = r->pixels + static_cast<size_t>(y) * r->stride;
        for (int x = 0; x < r->width; ++x, p += 3) {
            uint8_t t = p[0];
            p[0] = p[2];
            p[2] = t;
        }
    }
    return kRasterOk;
}

int rasterMove(Raster* source, Raster* target)
{
    if (source == nullptr || target == nullptr) return kRasterFailed;
    if (source == target) return kRasterOk;
    if (hasTag(target)) rasterDestroy(target);
    std::memcpy(target, source, sizeof *target);
    std::memset(source, 0, sizeof *source);
    return kRasterOk;
}

uint8_t* rasterRowFromTop(const Raster* r, int y)
{
    if (r == nullptr || r->pixels == nullptr || y < 0 || y >= r->height) return nullptr;
    return r->pixels + static_cast<size_t>(r->height - 1 - y) * r->stride;
}

}  // namespace tnw::common
