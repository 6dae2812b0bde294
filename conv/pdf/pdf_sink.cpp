#include "conv/pdf/pdf_sink.h"

#include <charconv>

namespace tnw::conv {

size_t PdfSink::write(const void* data, size_t size)
{
    if (m_failed || size == 0)
        return 0;
    size_t written = size;
    if (m_file) {
        written = std::fwrite(data, 1, size, m_file);
        if (written != size)
            m_failed = true;
    } else {
        m_memory.append(static_cast<const char*>(data), size);
    }
    m_count += written;
    return written;
}

void PdfSink::putNumber(int64_t value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    write(text, static_cast<size_t>(result.ptr - text));
}

}  // namespace tnw::conv
