// libtiff behind RAII: one handle per use, opened on a file, on bytes in memory or on an image
// source, with its own error and warning handlers and a cap on any single allocation, so that
// worker threads can each hold one and nothing reaches the terminal.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>

struct tiff;
typedef struct tiff TIFF;

namespace tnw::image {

class ImageSource;

class TiffHandle {
public:
    TiffHandle();
    ~TiffHandle();
    TiffHandle(const TiffHandle&) = delete;
    TiffHandle& operator=(const TiffHandle&) = delete;

    // Opens a file (code page 932 path) for reading; false when it cannot be opened. No single
    // allocation of the library may exceed `maxAlloc` bytes (0: the library's default).
    bool open(const std::string& path, uint64_t maxAlloc);
    // Opens bytes in memory, for reading ("r") or writing ("w"; the bytes are replaced).
    bool openMemory(std::string& bytes, const char* mode, uint64_t maxAlloc);
    // Opens a source for reading (a regular file opened through the platform layer, or bytes
    // in memory); the source must outlive the handle.
    bool openSource(ImageSource& source, uint64_t maxAlloc);
    void close();

    TIFF* get() const { return m_tiff.get(); }
    // The library's errors and warnings since the handle was opened, one per line (at most
    // about 4 KB are kept).
    const std::string& errors() const { return m_errors; }
    // The first error's text without its module, "" when there was none.
    const std::string& firstError() const { return m_firstError; }
    int errorCount() const { return m_errorCount; }

private:
    struct Closer {
        void operator()(TIFF* tif) const;
    };
    struct MemoryFile;
    static int onError(TIFF*, void* user, const char* module, const char* fmt, va_list ap);
    static int onWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap);
    void keep(const char* module, const char* fmt, va_list ap, bool error);

    std::unique_ptr<TIFF, Closer> m_tiff;
    std::unique_ptr<MemoryFile> m_memory;
    std::string m_errors;
    std::string m_firstError;
    int m_errorCount = 0;
};

}  // namespace tnw::image
