#include "common/image/jpeg_codec.h"

#include <cstdio>
#include <cstring>

#include <jerror.h>

namespace tnw::image {

namespace {

JpegErrorManager& managerOf(j_common_ptr cinfo)
{
    // `pub` is the first member, so the record's err pointer is the manager's address.
    return *reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

void errorExit(j_common_ptr cinfo)
{
    JpegErrorManager& manager = managerOf(cinfo);
    (*cinfo->err->format_message)(cinfo, manager.message);
    manager.messageCode = cinfo->err->msg_code;
    std::longjmp(manager.jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level)
{
    // Level -1 is a warning (corrupt data and the like); higher levels are trace output.
    if (level < 0) {
        JpegErrorManager& manager = managerOf(cinfo);
        if (manager.warnings++ == 0)
            (*cinfo->err->format_message)(cinfo, manager.firstWarning);
        if (cinfo->err->msg_code == JWRN_JPEG_EOF)
            manager.prematureEnd = true;
        ++cinfo->err->num_warnings;
    }
}

void outputMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* installJpegErrorManager(JpegErrorManager& manager)
{
    jpeg_error_mgr* err = jpeg_std_error(&manager.pub);
    err->error_exit = errorExit;
    err->emit_message = emitMessage;
    err->output_message = outputMessage;
    manager.message[0] = '\0';
    manager.messageCode = 0;
    manager.warnings = 0;
    manager.firstWarning[0] = '\0';
    manager.prematureEnd = false;
    return err;
}

// ---------------------------------------------------------------------------------------------

JpegDecompressor::JpegDecompressor()
{
    m_cinfo.err = installJpegErrorManager(m_err);
    m_created = create() == 0;
}

JpegDecompressor::~JpegDecompressor()
{
    if (m_created)
        jpeg_destroy_decompress(&m_cinfo);
}

int JpegDecompressor::create()
{
    if (setjmp(m_err.jump))
        return -1;
    jpeg_create_decompress(&m_cinfo);
    m_progress.progress_monitor = progress;
    m_cinfo.progress = &m_progress;
    return 0;
}

void JpegDecompressor::progress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > kMaxScans) {
        JpegErrorManager& manager = managerOf(cinfo);
        std::snprintf(manager.message, sizeof manager.message,
                      "Too many scans in the JPEG file (more than %d)", kMaxScans);
        manager.messageCode = -1;
        std::longjmp(manager.jump, 1);
    }
}

int JpegDecompressor::readHeader(FILE* file)
{
    if (!m_created)
        return -1;
    if (setjmp(m_err.jump))
        return -1;
    if (m_memoryLimit > 0)
        m_cinfo.mem->max_memory_to_use = m_memoryLimit;
    jpeg_stdio_src(&m_cinfo, file);
    jpeg_read_header(&m_cinfo, TRUE);
    return 0;
}

int JpegDecompressor::readHeader(const unsigned char* data, size_t size, bool tablesOnly)
{
    if (!m_created || size == 0 || size > static_cast<unsigned long>(-1))
        return -1;
    if (setjmp(m_err.jump))
        return -1;
    if (m_memoryLimit > 0)
        m_cinfo.mem->max_memory_to_use = m_memoryLimit;
    jpeg_mem_src(&m_cinfo, data, static_cast<unsigned long>(size));
    const int rc = jpeg_read_header(&m_cinfo, tablesOnly ? FALSE : TRUE);
    return tablesOnly && rc != JPEG_HEADER_TABLES_ONLY ? -1 : 0;
}

int JpegDecompressor::calcOutput()
{
    if (setjmp(m_err.jump))
        return -1;
    jpeg_calc_output_dimensions(&m_cinfo);
    return 0;
}

int JpegDecompressor::start(J_COLOR_SPACE outSpace)
{
    if (setjmp(m_err.jump))
        return -1;
    m_cinfo.out_color_space = outSpace;
    m_cinfo.quantize_colors = FALSE;
    jpeg_start_decompress(&m_cinfo);
    m_row = (*m_cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&m_cinfo), JPOOL_IMAGE,
                                         m_cinfo.output_width * m_cinfo.output_components, 1)[0];
    return 0;
}

int JpegDecompressor::readRow()
{
    if (setjmp(m_err.jump))
        return -1;
    JSAMPROW rows[1] = {m_row};
    while (jpeg_read_scanlines(&m_cinfo, rows, 1) != 1) {
        // The stdio source never suspends; a zero count means the decoder is past the end.
        if (m_cinfo.output_scanline >= m_cinfo.output_height)
            return -1;
    }
    return 0;
}

int JpegDecompressor::finish()
{
    if (setjmp(m_err.jump))
        return -1;
    jpeg_finish_decompress(&m_cinfo);
    return 0;
}

void JpegDecompressor::abort()
{
    if (m_created)
        jpeg_abort_decompress(&m_cinfo);
}

// ---------------------------------------------------------------------------------------------

JpegCompressor::JpegCompressor()
{
    m_cinfo.err = installJpegErrorManager(m_err);
    m_created = create() == 0;
}

JpegCompressor::~JpegCompressor()
{
    if (m_created)
        jpeg_destroy_compress(&m_cinfo);
}

int JpegCompressor::create()
{
    if (setjmp(m_err.jump))
        return -1;
    jpeg_create_compress(&m_cinfo);
    return 0;
}

int JpegCompressor::start(FILE* file, const Settings& settings)
{
    if (!m_created)
        return -1;
    if (setjmp(m_err.jump))
        return -1;
    jpeg_stdio_dest(&m_cinfo, file);
    m_cinfo.image_width = settings.width;
    m_cinfo.image_height = settings.height;
    m_cinfo.in_color_space = settings.inSpace;
    m_cinfo.input_components = settings.inSpace == JCS_GRAYSCALE ? 1
                               : settings.inSpace == JCS_CMYK    ? 4
                                                                 : 3;
    jpeg_set_defaults(&m_cinfo);  // YCbCr for RGB input, CMYK + Adobe marker for CMYK input
    jpeg_set_quality(&m_cinfo, settings.quality, TRUE);
    m_cinfo.arith_code = FALSE;
    m_cinfo.optimize_coding = FALSE;
    m_cinfo.write_JFIF_header = settings.writeJfif ? TRUE : FALSE;
    m_cinfo.density_unit = settings.densityUnit;
    m_cinfo.X_density = settings.xDensity;
    m_cinfo.Y_density = settings.yDensity;
    jpeg_start_compress(&m_cinfo, TRUE);
    return 0;
}

int JpegCompressor::writeRow(JSAMPROW row)
{
    if (setjmp(m_err.jump))
        return -1;
    JSAMPROW rows[1] = {row};
    if (jpeg_write_scanlines(&m_cinfo, rows, 1) != 1)
        return -1;
    return 0;
}

int JpegCompressor::finish()
{
    if (setjmp(m_err.jump))
        return -1;
    jpeg_finish_compress(&m_cinfo);
    return 0;
}

int JpegCompressor::allocateRow(size_t bytes, JSAMPROW& row)
{
    if (!m_created || bytes == 0 || bytes > static_cast<size_t>(static_cast<JDIMENSION>(-1)))
        return -1;
    if (setjmp(m_err.jump))
        return -1;
    row = (*m_cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&m_cinfo), JPOOL_PERMANENT,
                                       static_cast<JDIMENSION>(bytes), 1)[0];
    return 0;
}

}  // namespace tnw::image
