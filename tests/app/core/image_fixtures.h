// Pictures made by code for the display and list tests: JPEGs of one colour (grey, RGB, CMYK
// with or without the Adobe marker) and multi-page TIFFs of chosen layouts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
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

// A baseline JPEG of w x h with `components` samples a pixel in `space`; `fill(y, row)` writes
// each row and `setup` may change the record (density, quality, progression) before the start.
inline std::string encodeJpeg(int w, int h, int components, J_COLOR_SPACE space,
                              const std::function<void(int y, JSAMPLE* row)>& fill,
                              const std::function<void(jpeg_compress_struct&)>& setup = {})
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
    c.input_components = components;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    if (setup)
        setup(c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(size_t(w) * size_t(components));
    while (c.next_scanline < c.image_height) {
        fill(int(c.next_scanline), row.data());
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string bytes(reinterpret_cast<char*>(out), size);
    free(out);
    return bytes;
}

// A w x h JPEG whose every pixel holds `samples` (1, 3 or 4 values), density in dpi.
inline std::string makeJpeg(int w, int h, JpegKind kind, std::vector<int> samples,
                            int dpiX = 72, int dpiY = 72,
                            bool progressive = false)
{
    const bool cmyk = kind == JpegKind::Cmyk || kind == JpegKind::AdobeCmyk;
    const int components = kind == JpegKind::Grey ? 1 : cmyk ? 4 : 3;
    const J_COLOR_SPACE space = kind == JpegKind::Grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    return encodeJpeg(
        w, h, components, space,
        [&](int, JSAMPLE* row) {
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < components; ++k)
                    row[size_t(x * components + k)] = JSAMPLE(samples[size_t(k)]);
        },
        [&](jpeg_compress_struct& c) {
            if (cmyk)
                jpeg_set_colorspace(&c, JCS_CMYK);
            c.write_Adobe_marker = kind == JpegKind::AdobeCmyk;
            c.density_unit = 1;
            c.X_density = UINT16(dpiX);
            c.Y_density = UINT16(dpiY);
            if (progressive)
                jpeg_simple_progression(&c);
        });
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
