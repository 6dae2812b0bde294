// Where a display probe or decode reads its bytes: a regular file opened through the platform
// layer (a FIFO or device named like an image is refused, never waited on), or bytes in memory
// (the fuzz targets and tests). Owns the open file; moving it hands the file over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace tnw::image {

class ImageSource {
public:
    ImageSource() = default;
    ~ImageSource();
    ImageSource(ImageSource&& other) noexcept;
    ImageSource& operator=(ImageSource&& other) noexcept;
    ImageSource(const ImageSource&) = delete;
    ImageSource& operator=(const ImageSource&) = delete;

    // A regular file (code page 932 path); not ok() when it cannot be opened.
    static ImageSource fromFile(const std::string& path);
    // Bytes that stay owned by the caller and must outlive the source.
    static ImageSource fromBytes(const std::uint8_t* data, std::size_t size);

    bool ok() const { return m_file != nullptr || m_data != nullptr; }
    bool isFile() const { return m_file != nullptr; }
    FILE* file() const { return m_file; }
    const std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }

    // Reading for libtiff's client procedures: positioned reads over either kind.
    std::size_t read(void* out, std::size_t bytes);
    std::int64_t seek(std::int64_t offset, int whence);  // -1 on failure
    std::int64_t length();
    // Back to the first byte.
    void rewind();

private:
    FILE* m_file = nullptr;
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_pos = 0;
};

}  // namespace tnw::image
