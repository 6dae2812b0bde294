#include "common/image/tiff_handle.h"

#include "common/checked_size.h"
#include "common/image/image_source.h"
#include "common/platform/files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <tiffio.h>

namespace tnw::image {

// Bytes in memory as a file for the library.
struct TiffHandle::MemoryFile {
    std::string* bytes = nullptr;
    uint64_t position = 0;

    static tmsize_t read(thandle_t h, void* buf, tmsize_t size)
    {
        auto* m = static_cast<MemoryFile*>(h);
        if (size <= 0 || m->position >= m->bytes->size())
            return 0;
        const uint64_t n = std::min<uint64_t>(uint64_t(size), m->bytes->size() - m->position);
        std::memcpy(buf, m->bytes->data() + m->position, n);
        m->position += n;
        return tmsize_t(n);
    }
    static tmsize_t write(thandle_t h, void* buf, tmsize_t size)
    {
        auto* m = static_cast<MemoryFile*>(h);
        if (size <= 0)
            return 0;
        uint64_t end = 0;
        if (!checkedAdd(m->position, uint64_t(size), end) || end > SIZE_MAX / 2)
            return 0;
        if (end > m->bytes->size())
            m->bytes->resize(end);
        std::memcpy(m->bytes->data() + m->position, buf, size_t(size));
        m->position = end;
        return size;
    }
    static toff_t seek(thandle_t h, toff_t offset, int whence)
    {
        auto* m = static_cast<MemoryFile*>(h);
        uint64_t base = 0;
        if (whence == SEEK_CUR)
            base = m->position;
        else if (whence == SEEK_END)
            base = m->bytes->size();
        m->position = base + offset;
        return m->position;
    }
    static int closeFile(thandle_t) { return 0; }
    static toff_t size(thandle_t h) { return static_cast<MemoryFile*>(h)->bytes->size(); }
    static int map(thandle_t, void**, toff_t*) { return 0; }
    static void unmap(thandle_t, void*, toff_t) {}
};

void TiffHandle::Closer::operator()(TIFF* tif) const
{
    TIFFClose(tif);
}

TiffHandle::TiffHandle() = default;

TiffHandle::~TiffHandle()
{
    close();
}

void TiffHandle::close()
{
    m_tiff.reset();  // before the memory it may still write into
    m_memory.reset();
    m_errors.clear();
    m_firstError.clear();
    m_errorCount = 0;
}

void TiffHandle::keep(const char* module, const char* fmt, va_list ap, bool error)
{
    char text[512];
    std::vsnprintf(text, sizeof text, fmt, ap);
    if (error && m_errorCount++ == 0)
        m_firstError = text;
    if (m_errors.size() < 4096) {
        if (module && *module)
            m_errors += std::string(module) + ": ";
        m_errors += text;
        m_errors += '\n';
    }
}

// Both return "handled", so the library's global handlers stay silent.
int TiffHandle::onError(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    static_cast<TiffHandle*>(user)->keep(module, fmt, ap, true);
    return 1;
}

int TiffHandle::onWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    static_cast<TiffHandle*>(user)->keep(module, fmt, ap, false);
    return 1;
}

namespace {

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

std::unique_ptr<TIFFOpenOptions, OptionsDeleter> makeOptions(void* owner, uint64_t maxAlloc,
                                                             TIFFErrorHandlerExtR onError,
                                                             TIFFErrorHandlerExtR onWarning)
{
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options)
        return options;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), onError, owner);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), onWarning, owner);
    if (maxAlloc > 0)
        TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(maxAlloc));
    return options;
}

}  // namespace

bool TiffHandle::open(const std::string& path, uint64_t maxAlloc)
{
    close();
    std::string osPath;
    if (!platform::toOsPath(path, osPath))
        return false;
    auto options = makeOptions(this, maxAlloc, &TiffHandle::onError, &TiffHandle::onWarning);
    if (!options)
        return false;
    m_tiff.reset(platform::isRegularFile(path) ? TIFFOpenExt(osPath.c_str(), "r", options.get())
                                               : nullptr);
    return m_tiff != nullptr;
}

bool TiffHandle::openMemory(std::string& bytes, const char* mode, uint64_t maxAlloc)
{
    close();
    if (mode[0] == 'w')
        bytes.clear();
    m_memory = std::make_unique<MemoryFile>();
    m_memory->bytes = &bytes;
    auto options = makeOptions(this, maxAlloc, &TiffHandle::onError, &TiffHandle::onWarning);
    if (!options)
        return false;
    m_tiff.reset(TIFFClientOpenExt("memory", mode, m_memory.get(), &MemoryFile::read,
                                   &MemoryFile::write, &MemoryFile::seek, &MemoryFile::closeFile,
                                   &MemoryFile::size, &MemoryFile::map, &MemoryFile::unmap,
                                   options.get()));
    return m_tiff != nullptr;
}

namespace {

tmsize_t sourceRead(thandle_t h, void* buf, tmsize_t size)
{
    return size <= 0 ? 0 : tmsize_t(static_cast<ImageSource*>(h)->read(buf, size_t(size)));
}
tmsize_t sourceWrite(thandle_t, void*, tmsize_t)
{
    return 0;
}
toff_t sourceSeek(thandle_t h, toff_t off, int whence)
{
    const std::int64_t r = static_cast<ImageSource*>(h)->seek(std::int64_t(off), whence);
    return r < 0 ? toff_t(-1) : toff_t(r);
}
int sourceClose(thandle_t)
{
    return 0;
}
toff_t sourceSize(thandle_t h)
{
    return toff_t(static_cast<ImageSource*>(h)->length());
}
int sourceMap(thandle_t, void**, toff_t*)
{
    return 0;
}
void sourceUnmap(thandle_t, void*, toff_t) {}

}  // namespace

bool TiffHandle::openSource(ImageSource& source, uint64_t maxAlloc)
{
    close();
    source.rewind();
    auto options = makeOptions(this, maxAlloc, &TiffHandle::onError, &TiffHandle::onWarning);
    if (!options)
        return false;
    m_tiff.reset(TIFFClientOpenExt("source", "rm", &source, sourceRead, sourceWrite, sourceSeek,
                                   sourceClose, sourceSize, sourceMap, sourceUnmap,
                                   options.get()));
    return m_tiff != nullptr;
}

}  // namespace tnw::image
