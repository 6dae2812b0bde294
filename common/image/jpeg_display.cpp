// JPEG pages for display: the header probe and the scaled, streamed decode.
#include "common/image/display_decoder.h"

#include "common/image/jpeg_codec.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <jpeglib.h>

namespace tnw::image {
namespace {

// Reads the header through the shared decompressor, with the display's memory limit.
int readHeader(JpegDecompressor& d, ImageSource& source)
{
    d.setMemoryLimit(kJpegMemoryLimit);
    const int rc = source.isFile() ? d.readHeader(source.file())
                                   : d.readHeader(source.data(), source.size());
    return rc == 0 ? decode::Ok : decode::Failed;
}

void describe(const jpeg_decompress_struct& cinfo, PageInfo& page)
{
    page.format = kFormatJpeg;
    page.width = int(cinfo.image_width);
    page.height = int(cinfo.image_height);
    page.bitsPerPixel = cinfo.num_components * 8;
    page.compression = 0;
    page.unit = cinfo.density_unit == 1 ? 2 : cinfo.density_unit == 2 ? 3 : 0;
    page.xRes = cinfo.X_density;
    page.yRes = cinfo.Y_density;
    page.colorSpace = int(cinfo.jpeg_color_space);
    page.progressive = cinfo.progressive_mode != 0;
    page.pageIndex = 0;
    page.pageCount = 1;
}

struct RowSink {
    Reducer* reducer;
    std::vector<std::uint8_t>* rgb;  // CMYK rows converted here
    int width;
    bool cmyk;
    bool inverted;  // Adobe CMYK: samples stored inverted
};

void sinkRow(void* context, const JSAMPLE* row)
{
    auto* sink = static_cast<RowSink*>(context);
    if (!sink->cmyk) {
        sink->reducer->addRow(row);
        return;
    }
    std::uint8_t* out = sink->rgb->data();
    for (int x = 0; x < sink->width; ++x) {
        const JSAMPLE* p = row + 4 * x;
        const int k = sink->inverted ? 255 - p[3] : p[3];
        for (int c = 0; c < 3; ++c) {
            const int ink = sink->inverted ? 255 - p[c] : p[c];
            out[3 * x + c] = std::uint8_t(std::max(0, 255 - ink - k));
        }
    }
    sink->reducer->addRow(out);
}

}  // namespace

int probeJpeg(ImageSource& source, PageInfo& page)
{
    JpegDecompressor d;
    if (readHeader(d, source) != decode::Ok) {
        page = PageInfo{};
        page.failure = d.message();
        return decode::Failed;
    }
    describe(d.info(), page);
    return decode::Ok;
}

DecodeResult decodeJpeg(ImageSource& source, const PageInfo& page, int outW, int outH)
{
    DecodeResult result;
    JpegDecompressor d;
    jpeg_decompress_struct& cinfo = *d.record();
    if (readHeader(d, source) != decode::Ok) {
        result.message = d.message();
        return result;
    }
    const std::uint64_t pixels = std::uint64_t(cinfo.image_width) * cinfo.image_height;
    if (pixels == 0 || pixels > kMaxPixels) {
        result.message = "image too large";
        return result;
    }
    (void)page;
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const J_COLOR_SPACE outSpace = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    const bool inverted = cmyk && cinfo.saw_Adobe_marker;
    // The coarsest DCT scaling that still gives at least the output size on both sides.
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    for (unsigned denom : {8u, 4u, 2u}) {
        const std::uint64_t w = (cinfo.image_width + denom - 1) / denom;
        const std::uint64_t h = (cinfo.image_height + denom - 1) / denom;
        if (w >= std::uint64_t(outW) && h >= std::uint64_t(outH)) {
            cinfo.scale_denom = denom;
            break;
        }
    }
    cinfo.dct_method = JDCT_IFAST;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.do_block_smoothing = FALSE;
    if (d.start(outSpace) != 0) {
        result.message = d.message();
        return result;
    }
    const int w = int(cinfo.output_width), h = int(cinfo.output_height);
    Reducer reducer(w, h, grey ? 1 : 3, std::min(outW, w), std::min(outH, h));
    if (!reducer.valid()) {
        result.message = "no memory for the picture";
        return result;
    }
    std::vector<std::uint8_t> rgb(cmyk ? size_t(w) * 3 : 0);
    RowSink sink{&reducer, &rgb, w, cmyk, inverted};
    // Rows up to a premature end are the file's; the library's filler after it is not drawn.
    while (cinfo.output_scanline < cinfo.output_height && !d.prematureEnd()) {
        if (d.readRow() != 0) {
            result.message = d.message();
            return result;
        }
        if (d.prematureEnd())
            break;
        sinkRow(&sink, d.row());
    }
    if (!d.prematureEnd() && d.finish() != 0) {
        result.message = d.message();
        return result;
    }
    result.warnings = d.warnings();
    if (result.warnings > 0)
        result.message = d.firstWarning();
    result.image = reducer.finish();
    result.code = decode::Ok;
    return result;
}

}  // namespace tnw::image
