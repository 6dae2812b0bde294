// TIFF pages for display through libtiff: the directory probe and the streamed decode.
// Plain layouts (contiguous, 1/2/4/8 bits, grey, RGB, palette or CMYK) are read a scanline
// (or a row of tiles) at a time; every other layout goes through libtiff's RGBA reader a strip
// (or a row of tiles) at a time. Either way rows arrive in the file's order and the page's
// orientation is applied once, afterwards. Each handle has its own error handlers and
// allocation cap.
#include "common/image/display_decoder.h"

#include "common/image/tiff_handle.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tnw::image {
namespace {

// A handle on the source with the display's allocation cap.
bool openTiff(TiffHandle& handle, ImageSource& source)
{
    return handle.openSource(source, std::uint64_t(kTiffAllocationLimit));
}

void describe(TIFF* tif, int index, PageInfo& page)
{
    uint32_t w = 0, h = 0;
    uint16_t bps = 1, spp = 1, compression = 1, photometric = 0, unit = 2, orientation = 1;
    float xr = 0, yr = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xr))
        xr = 0;
    if (!TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yr))
        yr = 0;
    page.format = kFormatTiff;
    page.width = int(std::min<uint32_t>(w, 0x7FFFFFFF));
    page.height = int(std::min<uint32_t>(h, 0x7FFFFFFF));
    page.bitsPerPixel = int(bps) * int(spp ? spp : 1);
    page.compression = displayCompression(compression);
    page.colorSpace = photometric;
    page.unit = unit >= 1 && unit <= 3 ? unit : 0;
    page.xRes = std::isfinite(xr) ? xr : 0;
    page.yRes = std::isfinite(yr) ? yr : 0;
    page.orientation = orientation >= 1 && orientation <= 8 ? orientation : 1;
    page.pageIndex = index;
}

// --- Scanline layouts -----------------------------------------------------------------------

struct Layout {
    int bps = 0, spp = 0, photometric = 0, compression = 0;
    bool whiteIsZero = false;  // grey and bilevel: sample 0 is white
    std::vector<std::uint8_t> palette;  // 3 x 2^bps for palette pages
};

bool plainLayout(TIFF* tif, Layout& layout)
{
    uint16_t bps = 1, spp = 1, planar = 1, photometric = 0, compression = 1, inkset = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inkset);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        return false;
    if (planar != PLANARCONFIG_CONTIG)
        return false;
    if (bps != 1 && bps != 2 && bps != 4 && bps != 8)
        return false;
    if (compression == COMPRESSION_OJPEG || compression == COMPRESSION_JPEG)
        return false;  // colour conversions are libtiff's (RGBA reader)
    layout.bps = bps;
    layout.spp = spp;
    layout.photometric = photometric;
    layout.compression = compression;
    switch (photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
        if (spp != 1)
            return false;
        // A CCITT modified-Huffman page is drawn as the PDF shows it: 0 is white.
        layout.whiteIsZero = photometric == PHOTOMETRIC_MINISWHITE ||
                             (bps == 1 && compression == COMPRESSION_CCITTRLE);
        return true;
    case PHOTOMETRIC_RGB:
        return spp == 3 && bps == 8;
    case PHOTOMETRIC_PALETTE: {
        if (spp != 1)
            return false;
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b))
            return false;
        const int n = 1 << bps;
        bool wide = false;
        for (int i = 0; i < n; ++i)
            wide = wide || r[i] > 255 || g[i] > 255 || b[i] > 255;
        layout.palette.resize(size_t(n) * 3);
        for (int i = 0; i < n; ++i) {
            const uint16_t v[3] = {r[i], g[i], b[i]};
            for (int c = 0; c < 3; ++c)
                layout.palette[size_t(i) * 3 + size_t(c)] =
                    std::uint8_t(wide ? (unsigned(v[c]) * 255u + 32767u) / 65535u : v[c]);
        }
        return true;
    }
    case PHOTOMETRIC_SEPARATED:
        return spp == 4 && bps == 8 && inkset == INKSET_CMYK;
    default:
        return false;
    }
}

// One stored row into 8-bit grey (channels 1) or RGB (channels 3).
void expandRow(const Layout& l, const std::uint8_t* in, int width, std::uint8_t* out)
{
    if (l.photometric == PHOTOMETRIC_RGB) {
        std::memcpy(out, in, size_t(width) * 3);
        return;
    }
    if (l.photometric == PHOTOMETRIC_SEPARATED) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = in + 4 * x;
            for (int c = 0; c < 3; ++c)
                out[3 * x + c] = std::uint8_t(std::max(0, 255 - p[c] - p[3]));
        }
        return;
    }
    const int perByte = 8 / l.bps;
    const int mask = (1 << l.bps) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = (perByte - 1 - x % perByte) * l.bps;
        const int v = (in[x / perByte] >> shift) & mask;
        if (l.photometric == PHOTOMETRIC_PALETTE) {
            std::memcpy(out + 3 * x, &l.palette[size_t(v) * 3], 3);
        } else {
            int grey = v * 255 / mask;  // entry i = i x 255 / (2^b - 1)
            out[x] = std::uint8_t(l.whiteIsZero ? 255 - grey : grey);
        }
    }
}

int readScanlines(TIFF* tif, const Layout& layout, int w, int h, Reducer& reducer)
{
    const tmsize_t size = TIFFScanlineSize(tif);
    if (size <= 0)
        return decode::RowReadFailed;
    std::vector<std::uint8_t> in(static_cast<size_t>(size));
    const int channels = (layout.photometric == PHOTOMETRIC_MINISWHITE ||
                          layout.photometric == PHOTOMETRIC_MINISBLACK) ? 1 : 3;
    std::vector<std::uint8_t> out(size_t(w) * size_t(channels));
    for (int y = 0; y < h; ++y) {
        if (TIFFReadScanline(tif, in.data(), uint32_t(y), 0) < 0)
            return y == 0 ? decode::RowReadFailed : decode::Ok;  // the rest drawn grey
        expandRow(layout, in.data(), w, out.data());
        reducer.addRow(out.data());
    }
    return decode::Ok;
}

// Tiles of a plain layout: a row of tiles is read into a band of whole rows, then each row is
// expanded as a scanline would be. (libtiff's RGBA reader also refuses uncompressed tiles of
// a file that is not memory-mapped, and the display never maps files.)
int readTiles(TIFF* tif, const Layout& layout, int w, int h, Reducer& reducer)
{
    uint32_t tw = 0, th = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
    const tmsize_t tileSize = TIFFTileSize(tif);
    const tmsize_t tileRow = TIFFTileRowSize(tif);
    const tmsize_t line = TIFFScanlineSize(tif);
    if (tw == 0 || th == 0 || tileSize <= 0 || tileRow <= 0 || line <= 0 ||
        std::uint64_t(tileRow) * th > std::uint64_t(tileSize))
        return decode::WholeReadFailed;
    const std::uint64_t bits = std::uint64_t(layout.bps) * std::uint64_t(layout.spp);
    if ((std::uint64_t(tw) * bits) % 8 != 0 ||
        std::uint64_t(line) * th > std::uint64_t(kTiffAllocationLimit))
        return decode::WholeReadFailed;  // tiles that do not start on a byte
    th = std::min<uint32_t>(th, uint32_t(h));
    std::vector<std::uint8_t> tile(static_cast<size_t>(tileSize));
    std::vector<std::uint8_t> band(static_cast<size_t>(line) * th, 0);
    const int channels = (layout.photometric == PHOTOMETRIC_MINISWHITE ||
                          layout.photometric == PHOTOMETRIC_MINISBLACK) ? 1 : 3;
    std::vector<std::uint8_t> out(size_t(w) * size_t(channels));
    for (uint32_t y0 = 0; y0 < uint32_t(h); y0 += th) {
        const uint32_t rows = std::min<uint32_t>(th, uint32_t(h) - y0);
        for (uint32_t x0 = 0; x0 < uint32_t(w); x0 += tw) {
            if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x0, y0, 0, 0), tile.data(),
                                    tileSize) < 0)
                return y0 == 0 ? decode::RowReadFailed : decode::Ok;  // the rest drawn grey
            const size_t at = static_cast<size_t>(std::uint64_t(x0) * bits / 8);
            const size_t bytes = std::min(static_cast<size_t>(tileRow), size_t(line) - at);
            for (uint32_t r = 0; r < rows; ++r)
                std::memcpy(&band[size_t(r) * size_t(line) + at], &tile[size_t(r) * size_t(tileRow)],
                            bytes);
        }
        for (uint32_t r = 0; r < rows; ++r) {
            expandRow(layout, &band[size_t(r) * size_t(line)], w, out.data());
            reducer.addRow(out.data());
        }
    }
    return decode::Ok;
}

// --- RGBA layouts ---------------------------------------------------------------------------

void rgbaRow(const uint32_t* in, int w, std::uint8_t* out)
{
    for (int x = 0; x < w; ++x) {
        out[3 * x] = std::uint8_t(TIFFGetR(in[x]));
        out[3 * x + 1] = std::uint8_t(TIFFGetG(in[x]));
        out[3 * x + 2] = std::uint8_t(TIFFGetB(in[x]));
    }
}

// libtiff's RGBA reader a band of rows at a time (a strip, or a row of tiles), in the file's
// own row order: the requested orientation is the page's, so the reader neither flips nor
// mirrors, and the orientation is applied once, to the reduced picture.
int readRgba(TIFF* tif, int w, int h, Reducer& reducer)
{
    char why[1024] = "";
    if (!TIFFRGBAImageOK(tif, why))
        return decode::WholeReadFailed;
    uint32_t band = uint32_t(h);
    if (TIFFIsTiled(tif)) {
        if (!TIFFGetField(tif, TIFFTAG_TILELENGTH, &band) || band == 0)
            return decode::WholeReadFailed;
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &band);
    }
    band = std::clamp<uint32_t>(band, 1, uint32_t(h));
    if (std::uint64_t(w) * band * 4 > std::uint64_t(kTiffAllocationLimit))
        return decode::WholeReadFailed;
    TIFFRGBAImage img;
    std::memset(&img, 0, sizeof img);
    if (!TIFFRGBAImageBegin(&img, tif, 0, why))
        return decode::WholeReadFailed;
    img.req_orientation = img.orientation;
    std::vector<uint32_t> raster(size_t(w) * band);
    std::vector<std::uint8_t> out(size_t(w) * 3);
    int code = decode::Ok;
    for (uint32_t y0 = 0; y0 < uint32_t(h); y0 += band) {
        const uint32_t rows = std::min<uint32_t>(band, uint32_t(h) - y0);
        img.row_offset = int(y0);
        img.col_offset = 0;
        if (!TIFFRGBAImageGet(&img, raster.data(), uint32_t(w), rows)) {
            code = y0 == 0 ? decode::WholeReadFailed : decode::Ok;  // the rest drawn grey
            break;
        }
        for (uint32_t r = 0; r < rows; ++r) {
            rgbaRow(&raster[size_t(r) * size_t(w)], w, out.data());
            reducer.addRow(out.data());
        }
    }
    TIFFRGBAImageEnd(&img);
    return code;
}

}  // namespace

int probeTiff(ImageSource& source, std::vector<PageInfo>& pages)
{
    pages.clear();
    TiffHandle handle;
    if (!openTiff(handle, source)) {
        PageInfo failed;
        failed.failure = handle.firstError().empty() ? "not a TIFF file" : handle.firstError();
        pages.push_back(failed);
        return decode::Failed;
    }
    int index = 0;
    do {
        PageInfo page;
        describe(handle.get(), index, page);
        pages.push_back(page);
        ++index;
    } while (index < kMaxTiffPages && TIFFReadDirectory(handle.get()));
    for (PageInfo& page : pages)
        page.pageCount = int(pages.size());
    return decode::Ok;
}

DecodeResult decodeTiff(ImageSource& source, const PageInfo& page, int outW, int outH)
{
    DecodeResult result;
    TiffHandle handle;
    if (!openTiff(handle, source)) {
        result.code = decode::TiffCannotOpen;
        result.message = handle.firstError();
        return result;
    }
    if (page.pageIndex < 0 || page.pageIndex >= kMaxTiffPages ||
        !TIFFSetDirectory(handle.get(), tdir_t(page.pageIndex))) {
        result.message = handle.firstError();
        return result;
    }
    uint32_t w = 0, h = 0;
    TIFFGetField(handle.get(), TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(handle.get(), TIFFTAG_IMAGELENGTH, &h);
    if (w == 0 || h == 0 || std::uint64_t(w) * h > kMaxPixels) {
        result.message = "image too large";
        return result;
    }
    Layout layout;
    const bool plain = plainLayout(handle.get(), layout);
    const int channels = plain && (layout.photometric == PHOTOMETRIC_MINISWHITE ||
                                   layout.photometric == PHOTOMETRIC_MINISBLACK) ? 1 : 3;
    Reducer reducer(int(w), int(h), channels, outW, outH);
    if (!reducer.valid()) {
        result.message = "no memory for the picture";
        return result;
    }
    if (!plain)
        result.code = readRgba(handle.get(), int(w), int(h), reducer);
    else if (TIFFIsTiled(handle.get()))
        result.code = readTiles(handle.get(), layout, int(w), int(h), reducer);
    else
        result.code = readScanlines(handle.get(), layout, int(w), int(h), reducer);
    result.message = handle.firstError();
    if (result.code == decode::Ok)
        result.image = reducer.finish();
    return result;
}

}  // namespace tnw::image
