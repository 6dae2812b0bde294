#include "common/image/image_source.h"

#include "common/platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>

namespace tnw::image {

ImageSource::~ImageSource()
{
    if (m_file)
        std::fclose(m_file);
}

ImageSource::ImageSource(ImageSource&& other) noexcept
    : m_file(std::exchange(other.m_file, nullptr)),
      m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_pos(std::exchange(other.m_pos, 0))
{
}

ImageSource& ImageSource::operator=(ImageSource&& other) noexcept
{
    if (this != &other) {
        if (m_file)
            std::fclose(m_file);
        m_file = std::exchange(other.m_file, nullptr);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_pos = std::exchange(other.m_pos, 0);
    }
    return *this;
}

ImageSource ImageSource::fromFile(const std::string& path)
{
    ImageSource source;
    const int fd = platform::openRegularFile(path);
    if (fd < 0)
        return source;
    source.m_file = ::fdopen(fd, "rb");
    if (!source.m_file) {
        ::close(fd);
        return source;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0)
        source.m_size = static_cast<std::size_t>(st.st_size);
    return source;
}

ImageSource ImageSource::fromBytes(const std::uint8_t* data, std::size_t size)
{
    ImageSource source;
    static const std::uint8_t empty = 0;
    source.m_data = data ? data : &empty;
    source.m_size = data ? size : 0;
    return source;
}

std::size_t ImageSource::read(void* out, std::size_t bytes)
{
    if (m_file)
        return std::fread(out, 1, bytes, m_file);
    if (!m_data || m_pos >= m_size)
        return 0;
    const std::size_t n = std::min(bytes, m_size - m_pos);
    std::memcpy(out, m_data + m_pos, n);
    m_pos += n;
    return n;
}

std::int64_t ImageSource::seek(std::int64_t offset, int whence)
{
    if (m_file) {
        if (::fseeko(m_file, offset, whence) != 0)
            return -1;
        return ::ftello(m_file);
    }
    std::int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<std::int64_t>(m_pos);
    else if (whence == SEEK_END)
        base = static_cast<std::int64_t>(m_size);
    const std::int64_t to = base + offset;
    if (to < 0)
        return -1;
    m_pos = static_cast<std::size_t>(to);
    return to;
}

std::int64_t ImageSource::length()
{
    if (m_file) {
        struct stat st;
        if (::fstat(::fileno(m_file), &st) == 0)
            return st.st_size;
        return 0;
    }
    return static_cast<std::int64_t>(m_size);
}

void ImageSource::rewind()
{
    if (m_file)
        ::fseeko(m_file, 0, SEEK_SET);
    m_pos = 0;
}

}  // namespace tnw::image
