// Pictures made by code for the display and list tests: JPEGs of one colour (grey, RGB, CMYK
// with or without the Adobe marker) and multi-page TIFFs of chosen layouts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <tiffio.h>

namespace tnw::test {

enum class JpegKind { Grey, Rgb, Cmyk, AdobeCmyk };

struct TiffPage {
    int width = 16;
    int height = 16;
    int bitsPerSample = 8;
    int samplesPerPixel = 1;
    int photometric = 1;
    int compression = 1;
    int orientation = 1;
    float xRes = 100, yRes = 100;
    std::vector<std::uint8_t> row;  // one stored row repeated on every line
};

// A w x h JPEG whose every pixel holds `samples` (1, 3 or 4 values), density in dpi.
// writeTiff: the pages written through libtiff to `path` (palette pages: entry 1 red, 2 blue).


inline std::string makeJpeg(int w, int h, JpegKind kind, std::vector<int> samples,
                            int dpiX = 72, int dpiY = 72,
                            bool progressive = false)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    const bool cmyk = kind == JpegKind::Cmyk || kind == JpegKind::AdobeCmyk;
    c.input_components = kind == JpegKind::Grey ? 1 : cmyk ? 4 : 3;
    c.in_color_space = kind == JpegKind::Grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    if (cmyk)
        jpeg_set_colorspace(&c, JCS_CMYK);
    c.write_Adobe_marker = kind == JpegKind::AdobeCmyk;
    c.density_unit = 1;
    c.X_density = UINT16(dpiX);
    c.Y_density = UINT16(dpiY);
    jpeg_set_quality(&c, 100, TRUE);
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(size_t(w) * size_t(c.input_components));
    for (int x = 0; x < w; ++x)
        for (int k = 0; k < c.input_components; ++k)
            row[size_t(x * c.input_components + k)] = JSAMPLE(samples[size_t(k)]);
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string bytes(reinterpret_cast<char*>(out), size);
    free(out);
    return bytes;
}

inline bool writeTiff(const std::string& path, const std::vector<TiffPage>& pages)
{
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t)
        return false;
    for (const TiffPage& p : pages) {
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, p.height);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, p.bitsPerSample);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, p.samplesPerPixel);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, p.photometric);
        TIFFSetField(t, TIFFTAG_COMPRESSION, p.compression);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_ORIENTATION, p.orientation);
        TIFFSetField(t, TIFFTAG_XRESOLUTION, p.xRes);
        TIFFSetField(t, TIFFTAG_YRESOLUTION, p.yRes);
        TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        if (p.photometric == PHOTOMETRIC_PALETTE) {
            const int n = 1 << p.bitsPerSample;
            std::vector<uint16_t> r(size_t(n), 0), g(size_t(n), 0), b(size_t(n), 0);
            r[1] = 65535;  // entry 1 red
            b[2] = 65535;  // entry 2 blue
            TIFFSetField(t, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
        }
        std::vector<uint8_t> row = p.row;
        for (int y = 0; y < p.height; ++y) {
            std::vector<uint8_t> copy = row;
            if (TIFFWriteScanline(t, copy.data(), uint32_t(y), 0) < 0) {
                TIFFClose(t);
                return false;
            }
        }
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
    return true;
}

inline bool writeFile(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace tnw::test
