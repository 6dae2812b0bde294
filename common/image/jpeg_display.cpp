// JPEG pages for display: the header probe and the scaled, streamed decode.
#include "common/image/display_decoder.h"

#include <cstdio>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace tnw::image {
namespace {

struct ErrorManager {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;
    bool prematureEnd;
};

void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level >= 0)
        return;  // trace messages
    ++err->warnings;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        err->prematureEnd = true;
    if (err->warnings == 1)
        (*cinfo->err->format_message)(cinfo, err->message);
}

// Owns one decompressor; every libjpeg call that may fail runs inside one of the small
// functions below, each with its own setjmp and no object with a destructor in its frame.
class Decompressor {
public:
    Decompressor()
    {
        std::memset(&m_err, 0, sizeof m_err);
        std::memset(&m_cinfo, 0, sizeof m_cinfo);
        m_cinfo.err = jpeg_std_error(&m_err.mgr);
        m_err.mgr.error_exit = errorExit;
        m_err.mgr.emit_message = emitMessage;
    }
    ~Decompressor()
    {
        if (m_created)
            jpeg_destroy_decompress(&m_cinfo);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    int readHeader(ImageSource& source);
    int start();
    // Reads every row (or up to a premature end) into `sink`, a row at a time.
    int readRows(void (*sink)(void* context, const JSAMPLE* row), void* context);

    jpeg_decompress_struct& cinfo() { return m_cinfo; }
    const ErrorManager& errors() const { return m_err; }

private:
    jpeg_decompress_struct m_cinfo;
    ErrorManager m_err;
    bool m_created = false;
};

int Decompressor::readHeader(ImageSource& source)
{
    if (setjmp(m_err.jump))
        return decode::Failed;
    jpeg_create_decompress(&m_cinfo);
    m_created = true;
    m_cinfo.mem->max_memory_to_use = kJpegMemoryLimit;
    if (source.isFile())
        jpeg_stdio_src(&m_cinfo, source.file());
    else
        jpeg_mem_src(&m_cinfo, source.data(), static_cast<unsigned long>(source.size()));
    jpeg_read_header(&m_cinfo, TRUE);
    return decode::Ok;
}

int Decompressor::start()
{
    if (setjmp(m_err.jump))
        return decode::Failed;
    jpeg_start_decompress(&m_cinfo);
    return decode::Ok;
}

int Decompressor::readRows(void (*sink)(void* context, const JSAMPLE* row), void* context)
{
    if (setjmp(m_err.jump))
        return decode::Failed;
    const JDIMENSION stride = m_cinfo.output_width * JDIMENSION(m_cinfo.output_components);
    JSAMPARRAY rows = (*m_cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&m_cinfo),
                                                   JPOOL_IMAGE, stride, 1);
    while (m_cinfo.output_scanline < m_cinfo.output_height && !m_err.prematureEnd) {
        if (jpeg_read_scanlines(&m_cinfo, rows, 1) != 1)
            break;
        if (m_err.prematureEnd)
            break;  // this row and the rest were never in the file
        sink(context, rows[0]);
    }
    if (!m_err.prematureEnd)
        jpeg_finish_decompress(&m_cinfo);
    return decode::Ok;
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
    Decompressor d;
    if (d.readHeader(source) != decode::Ok) {
        page = PageInfo{};
        page.failure = d.errors().message;
        return decode::Failed;
    }
    describe(d.cinfo(), page);
    return decode::Ok;
}

DecodeResult decodeJpeg(ImageSource& source, const PageInfo& page, int outW, int outH)
{
    DecodeResult result;
    Decompressor d;
    jpeg_decompress_struct& cinfo = d.cinfo();
    if (d.readHeader(source) != decode::Ok) {
        result.message = d.errors().message;
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
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
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
    if (d.start() != decode::Ok) {
        result.message = d.errors().message;
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
    if (d.readRows(sinkRow, &sink) != decode::Ok) {
        result.message = d.errors().message;
        return result;
    }
    result.warnings = d.errors().warnings;
    if (result.warnings > 0)
        result.message = d.errors().message;
    result.image = reducer.finish();
    result.code = decode::Ok;
    return result;
}

}  // namespace tnw::image
