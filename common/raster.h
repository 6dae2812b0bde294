// Raster record "tRPL": a device-independent bitmap (40-byte information header, palette, pixel
// rows) and the conversion of its rows to 24 bits per pixel. Rows are stored bottom-up, each
// padded to a multiple of 4 bytes.
//
// There is no graphics system behind the record on Linux: the device context is an opaque
// pointer that callers may pass along, no bitmap section or palette object of a display exists,
// pixel mode 2 allocates the pixels like mode 1 (with or without a device context), and "make
// palette" builds the logical palette data (entries and index translation table) only.
#pragma once

#include <cstdint>
#include <cstdio>

namespace tnw::common {

enum RasterCode {
    kRasterOk = 0,
    kRasterFailed = -1,  // destroy: null record; swap and move: nothing to work on
    kRasterNotTagged = 1,  // destroy: the record has no tag (nothing was freed)
    kRasterCreateNull = -110,
    kRasterCreateDepth = -111,
    kRasterNoHeaderMemory = -112,
    kRasterNoDeviceContext = -113,  // kept for the code list: mode 2 needs no device context here
    kRasterHeaderNull = -120,
    kRasterBadSize = -121,           // width or height <= 0
    kRasterHeaderDepth = -122,
    kRasterRle8Depth = -123,         // compression 1 needs 8 bits per pixel
    kRasterRle4Depth = -124,         // compression 2 needs 4 bits per pixel
    kRasterNoSection = -162,         // pixel mode 2: the pixels could not be had
    kRasterNoPixelMemory = -163,     // pixel mode 0/1: the image is too large or memory ran out
    kRasterPaletteNull = -201,
    kRasterPaletteNoHeader = -202,
    kRasterPaletteNegative = -203,
    kRasterPaletteNoMemory = -204,
    kRasterPaletteFailed = -205,     // no palette to build (no entries, or more than 256)
    kRasterNot24 = -91,              // depth or compression not convertible to 24 bits
};

enum RasterPixelMode { kRasterNoPixels = 0, kRasterOwnPixels = 1, kRasterSection = 2 };
enum RasterCompression { kRasterRgb = 0, kRasterRle8 = 1, kRasterRle4 = 2 };

inline constexpr int kRasterPixelsOwned = -2;

// 32-bit pixels of colour kind 1 or 2 are blue, green, red and a fourth byte; of any other kind
// they are cyan, magenta, yellow, black.
inline constexpr int kRasterColorRgb = 1;
inline constexpr int kRasterColorRgba = 2;

// The bitmap information header as the file formats and the platform lay it out.
struct RasterInfoHeader {
    uint32_t size;  // 40
    int32_t width;
    int32_t height;  // positive: rows bottom-up
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};
static_assert(sizeof(RasterInfoHeader) == 40);

struct RasterQuad {  // one palette entry as stored after the header
    uint8_t blue, green, red, reserved;
};
static_assert(sizeof(RasterQuad) == 4);

// The logical palette that "make palette" builds: the colours to realise and, for each of the
// image's palette indices, the index of its colour in `entries`.
struct RasterLogicalPalette {
    int count;
    RasterQuad entries[256];
    uint8_t translation[256];
};

struct Raster {
    char tag[4];               // "tRPL"
    void* deviceContext;       // opaque; required for pixel mode 2
    FILE* file;                // closed on destroy
    int width;                 // > 0
    int height;                // > 0
    int stride;                // ((width * bitsPerPixel + 31) / 32) * 4
    int bitsPerPixel;          // 1, 4, 8, 16, 24, 32
    int compression;           // RasterCompression
    int colorKind;             // see kRasterColorRgb; decides how 32-bit pixels are read
    int imageSize;             // stride * height (compressed size for compression 1 and 2)
    int paletteEntries;        // 2, 16, 256 or 0
    int paletteBytes;          // entries * 4
    int pixelOwnership;        // kRasterPixelsOwned when destroy frees the pixels
    uint8_t* pixels;           // first (bottom) row
    int paletteMapped;         // 1 once the palette was matched to the system colours
    int headerSize;            // 40 + palette bytes
    RasterInfoHeader* header;  // header followed by the palette, one allocation
    void* bitmap;              // no bitmap sections on Linux: always null
    RasterLogicalPalette* palette;  // built by rasterMakePalette, freed on destroy
};

// Palette entries of a depth: 2, 4, 16, 256 or 0; -1 for a depth without a rule.
int rasterPaletteEntries(int bitsPerPixel);
// Bytes per row, or -1 when width or depth are out of range.
long long rasterStride(int width, int bitsPerPixel);

// Zeroes the whole record, sets the tag and the device context. Frees nothing.
void rasterClear(Raster* r, void* deviceContext);
// Sets the format fields (width, height, stride, depth, compression, image size, palette size)
// of a record; does not allocate. A depth of 0 is taken as 8.
int rasterSetHeader(Raster* r, int width, int height, int bitsPerPixel, int compression);
// Builds a record: the information header with its palette (`rgb` holds `rgbCount` red, green,
// blue triples; missing entries are black, extra ones ignored) and, by `pixelMode`, no pixels,
// own zeroed pixels, or (mode 2) pixels for a bitmap section, which here are the same.
// A record that already carries the tag is destroyed first, keeping its device context; pass a
// cleared, destroyed, moved-from or zeroed record.
int rasterCreate(Raster* r, int width, int height, int bitsPerPixel, const uint8_t* rgb,
                 int rgbCount, int pixelMode);
// Closes the file, frees owned pixels, the header and the palette; 0, 1 without the tag, -1 for
// a null record. The record keeps its tag and device context, so destroying twice is harmless.
int rasterDestroy(Raster* r);
// Builds the logical palette from the record's palette. With 256 entries and a device context
// (standing for a 256-colour palette display) the colours are first matched against the 20
// reserved system colours, placed in the free slots, and the rest mapped to the nearest colour.
int rasterMakePalette(Raster* r, void* deviceContext);
// Converts a 1, 4, 8, 16, 24 or 32-bit record to 24 bits per pixel into `target`, then exchanges
// red and blue when `swap` is nonzero. `target` is reused when it already is a 24-bit record of
// the same size with pixels, otherwise it is (destroyed and) created with its own pixels; it
// may be the source itself.
int rasterTo24(const Raster* source, Raster* target, int swap);
// Exchanges the first and third byte of every pixel of a 24-bit record; -1 otherwise.
int rasterSwapRedBlue(Raster* r);
// Moves the whole record (with its ownership) into `target` and zeroes `source`. A tagged
// target is destroyed first.
int rasterMove(Raster* source, Raster* target);

// The row `y` counted from the top of the picture, or null when out of range.
uint8_t* rasterRowFromTop(const Raster* r, int y);

// Owns a record for the length of a scope.
class ScopedRaster {
public:
    ScopedRaster() { rasterClear(&m_raster, nullptr); }
    ~ScopedRaster() { rasterDestroy(&m_raster); }
    ScopedRaster(const ScopedRaster&) = delete;
    ScopedRaster& operator=(const ScopedRaster&) = delete;
    Raster* get() { return &m_raster; }
    Raster* operator->() { return &m_raster; }
    Raster& operator*() { return m_raster; }

private:
    Raster m_raster;
};

}  // namespace tnw::common
