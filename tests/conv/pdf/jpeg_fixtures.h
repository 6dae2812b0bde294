// JPEG files made by libjpeg for the tests: baseline, progressive, arithmetic-coded, grayscale,
// CMYK with or without the Adobe marker, YCCK, restart intervals and densities.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace tnw::test {

struct JpegShape {
    int width = 16;
    int height = 16;
    J_COLOR_SPACE input = JCS_RGB;        // JCS_GRAYSCALE, JCS_RGB, JCS_CMYK or JCS_UNKNOWN
    int components = 0;                   // for JCS_UNKNOWN input
    J_COLOR_SPACE coded = JCS_UNKNOWN;    // when set, the coded colour space (JCS_YCCK, JCS_RGB)
    int adobe = -1;                       // -1 libjpeg's choice, 0 no Adobe marker, 1 write it
    bool jfif = true;
    bool progressive = false;
    bool arithmetic = false;
    unsigned restartInterval = 0;
    int densityUnit = 0;
    int xDensity = 1;
    int yDensity = 1;
    int quality = 90;
    std::vector<std::uint8_t> fill;       // one sample value per component (default 128 each)
    bool gradient = false;                // add x + y to the first component
    int hSampling = 0;                    // when set, the first component's sampling factors
    int vSampling = 0;
};

inline void failOnJpegError(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    std::fprintf(stderr, "test fixture: libjpeg error: %s\n", text);
    std::abort();
}

// The JPEG file's bytes.
inline std::string makeJpeg(const JpegShape& shape)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    err.error_exit = failOnJpegError;
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&c, &out, &outSize);
    c.image_width = static_cast<JDIMENSION>(shape.width);
    c.image_height = static_cast<JDIMENSION>(shape.height);
    c.in_color_space = shape.input;
    c.input_components = shape.input == JCS_GRAYSCALE ? 1
                         : shape.input == JCS_CMYK    ? 4
                         : shape.input == JCS_RGB     ? 3
                                                     : shape.components;
    jpeg_set_defaults(&c);
    if (shape.input == JCS_UNKNOWN)
        jpeg_set_colorspace(&c, JCS_UNKNOWN);
    if (shape.coded != JCS_UNKNOWN)
        jpeg_set_colorspace(&c, shape.coded);
    jpeg_set_quality(&c, shape.quality, TRUE);
    if (shape.adobe >= 0)
        c.write_Adobe_marker = shape.adobe ? TRUE : FALSE;
    c.write_JFIF_header = shape.jfif ? TRUE : FALSE;
    c.density_unit = static_cast<UINT8>(shape.densityUnit);
    c.X_density = static_cast<UINT16>(shape.xDensity);
    c.Y_density = static_cast<UINT16>(shape.yDensity);
    if (shape.hSampling > 0 && shape.vSampling > 0) {
        c.comp_info[0].h_samp_factor = shape.hSampling;
        c.comp_info[0].v_samp_factor = shape.vSampling;
    }
    c.restart_interval = shape.restartInterval;
    c.arith_code = shape.arithmetic ? TRUE : FALSE;
    if (shape.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    const int n = c.input_components;
    std::vector<JSAMPLE> row(static_cast<size_t>(shape.width) * n);
    for (int y = 0; y < shape.height; ++y) {
        for (int x = 0; x < shape.width; ++x) {
            for (int k = 0; k < n; ++k) {
                int v = k < static_cast<int>(shape.fill.size()) ? shape.fill[k] : 128;
                if (shape.gradient && k == 0)
                    v = (v + x + y) & 0xFF;
                row[static_cast<size_t>(x) * n + k] = static_cast<JSAMPLE>(v);
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    std::string bytes(reinterpret_cast<const char*>(out), outSize);
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

struct DecodedJpeg {
    bool ok = false;
    int width = 0;
    int height = 0;
    int components = 0;
    J_COLOR_SPACE coded = JCS_UNKNOWN;
    bool progressive = false;
    bool arithmetic = false;
    bool adobe = false;
    bool jfif = false;
    int densityUnit = 0;
    int xDensity = 0;
    int yDensity = 0;
    std::vector<std::uint8_t> pixels;  // rows top-down, output_components samples per pixel

    int at(int x, int y, int k) const
    {
        return pixels[(static_cast<size_t>(y) * width + x) * components + k];
    }
};

struct JumpingJpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

inline void jumpOnJpegError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JumpingJpegError*>(cinfo->err)->jump, 1);
}

inline void ignoreJpegMessage(j_common_ptr, int) {}

// The libjpeg calls of decodeJpeg; false when the library refuses the data. Nothing with a
// destructor lives in this frame.
inline bool decodeJpegInto(const std::string& bytes, DecodedJpeg& d)
{
    jpeg_decompress_struct c{};
    JumpingJpegError err{};
    c.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jumpOnJpegError;
    err.pub.emit_message = ignoreJpegMessage;
    jpeg_create_decompress(&c);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&c);
        return false;
    }
    jpeg_mem_src(&c, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&c, TRUE);
    d.coded = c.jpeg_color_space;
    d.progressive = c.progressive_mode;
    d.arithmetic = c.arith_code;
    d.adobe = c.saw_Adobe_marker;
    d.jfif = c.saw_JFIF_marker;
    d.densityUnit = c.density_unit;
    d.xDensity = c.X_density;
    d.yDensity = c.Y_density;
    jpeg_start_decompress(&c);
    d.width = static_cast<int>(c.output_width);
    d.height = static_cast<int>(c.output_height);
    d.components = c.output_components;
    d.pixels.resize(static_cast<size_t>(d.width) * d.height * d.components);
    while (c.output_scanline < c.output_height) {
        JSAMPROW rows[1] = {d.pixels.data() +
                            static_cast<size_t>(c.output_scanline) * d.width * d.components};
        jpeg_read_scanlines(&c, rows, 1);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    return true;
}

// Decodes `bytes` without any colour conversion of CMYK (gray stays gray, YCbCr/RGB become RGB).
// Data the library refuses gives `ok` false, no size and no pixels.
inline DecodedJpeg decodeJpeg(const std::string& bytes)
{
    DecodedJpeg d;
    if (decodeJpegInto(bytes, d)) {
        d.ok = true;
        return d;
    }
    return DecodedJpeg{};
}

}  // namespace tnw::test
