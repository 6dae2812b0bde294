// TIFF pages of known paper sizes for the sheet tests, written with libtiff: each page has its
// pixel size, resolution unit and resolutions; the samples are white.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <tiffio.h>

namespace tnw::test {

struct SheetPageShape {
    uint32_t width = 0;
    uint32_t height = 0;
    float xRes = 300;
    float yRes = 300;
    uint16_t unit = RESUNIT_INCH;
    uint16_t bits = 1;
    uint16_t samples = 1;
    uint16_t compression = COMPRESSION_CCITTFAX4;  // 1-bit pages; others are written raw
};

// Common pages: A4, A3 and Letter portrait at 300 dpi and 200 dpi, and turned.
inline SheetPageShape a4Page() { return {2480, 3508}; }
inline SheetPageShape a4Landscape() { return {3508, 2480}; }
inline SheetPageShape a3Page() { return {3508, 4961}; }
inline SheetPageShape letterPage() { return {1700, 2200, 200, 200}; }

inline bool writeSheetTiff(const std::string& path, const std::vector<SheetPageShape>& pages)
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    bool ok = true;
    for (const SheetPageShape& p : pages) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samples);
        const bool bilevel = p.bits == 1 && p.samples == 1;
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                     bilevel ? PHOTOMETRIC_MINISWHITE
                             : p.samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, bilevel ? p.compression : COMPRESSION_NONE);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, p.height);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, p.xRes);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, p.yRes);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, p.unit);
        const size_t rowBytes = (size_t(p.width) * p.bits * p.samples + 7) / 8;
        std::string samples(rowBytes * p.height, bilevel ? '\0' : '\xFF');
        ok = ok && TIFFWriteEncodedStrip(tif, 0, samples.data(), tmsize_t(samples.size())) >= 0;
        ok = ok && TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

}  // namespace tnw::test
