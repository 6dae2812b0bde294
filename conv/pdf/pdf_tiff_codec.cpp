#include "conv/pdf/pdf_tiff_codec.h"

#include "common/platform/files.h"
#include "conv/pdf/checked_size.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <tiffio.h>

namespace tnw::conv {

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
}

int TiffHandle::onMessage(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    auto* self = static_cast<TiffHandle*>(user);
    char text[512];
    std::vsnprintf(text, sizeof text, fmt, ap);
    if (self->m_errors.size() < 4096) {
        if (module && *module)
            self->m_errors += std::string(module) + ": ";
        self->m_errors += text;
        self->m_errors += '\n';
    }
    return 1;  // handled: the library's global handlers stay silent
}

namespace {

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

std::unique_ptr<TIFFOpenOptions, OptionsDeleter> makeOptions(void* owner, uint64_t maxAlloc,
                                                             TIFFErrorHandlerExtR handler)
{
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options)
        return options;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), handler, owner);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), handler, owner);
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
    auto options = makeOptions(this, maxAlloc, &TiffHandle::onMessage);
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
    auto options = makeOptions(this, maxAlloc, &TiffHandle::onMessage);
    if (!options)
        return false;
    m_tiff.reset(TIFFClientOpenExt("memory", mode, m_memory.get(), &MemoryFile::read,
                                   &MemoryFile::write, &MemoryFile::seek, &MemoryFile::closeFile,
                                   &MemoryFile::size, &MemoryFile::map, &MemoryFile::unmap,
                                   options.get()));
    return m_tiff != nullptr;
}

namespace {

// Opens the page and checks that the library sees the image the writer was told about.
TiffDecodeStatus openPage(const TiffDecodeRequest& r, TiffHandle& handle)
{
    if (!handle.open(r.path, r.maxBytes))
        return TiffDecodeStatus::OpenFailed;
    TIFF* tif = handle.get();
    if (r.directoryIndex < 0 || r.directoryIndex > 65535 ||
        !TIFFSetDirectory(tif, static_cast<tdir_t>(r.directoryIndex)))
        return TiffDecodeStatus::DirectoryFailed;
    uint32_t width = 0;
    uint32_t length = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &length);
    if (width != r.width || length != r.length || TIFFIsTiled(tif))
        return TiffDecodeStatus::Mismatch;
    return TiffDecodeStatus::Ok;
}

// The page through the RGBA reader into `raster` (width x length), rows in the order the file
// stores them: the reader is asked for the file's own orientation, so it flips nothing. The
// page's orientation is drawn by the PDF page.
bool readRgbaAsStored(TIFF* tif, uint32_t width, uint32_t length, uint32_t* raster,
                      std::string& why)
{
    char message[1024] = {};
    TIFFRGBAImage image{};
    if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image, tif, 0, message)) {
        why = message;
        return false;
    }
    image.req_orientation = image.orientation;
    const int ok = TIFFRGBAImageGet(&image, raster, width, length);
    TIFFRGBAImageEnd(&image);
    return ok != 0;
}

}  // namespace

TiffDecodeResult decodeTiffStrips(const TiffDecodeRequest& r, std::string& out)
{
    TiffDecodeResult result;
    TiffHandle handle;
    result.status = openPage(r, handle);
    if (result.status == TiffDecodeStatus::Ok) {
        TIFF* tif = handle.get();
        uint16_t bits = 0;
        uint16_t samples = 0;
        uint16_t planar = PLANARCONFIG_CONTIG;
        uint32_t rowsPerStrip = 0;
        TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        uint64_t perRow = 0;
        const bool sized = checkedRowBytes(r.width, r.bitsPerSample, r.samplesPerPixel, perRow) &&
                           checkedMul(perRow, r.length, result.wanted);
        if (bits != r.bitsPerSample || samples != r.samplesPerPixel ||
            planar != PLANARCONFIG_CONTIG || !sized ||
            uint64_t(TIFFScanlineSize64(tif)) != perRow) {
            result.status = sized ? TiffDecodeStatus::Mismatch : TiffDecodeStatus::TooLarge;
            if (!sized)
                result.wanted = UINT64_MAX;
        } else if ((r.maxBytes > 0 && result.wanted > r.maxBytes) || result.wanted > SIZE_MAX / 2) {
            result.status = TiffDecodeStatus::TooLarge;
        } else {
            if (rowsPerStrip == 0 || rowsPerStrip > r.length)
                rowsPerStrip = r.length;
            // At most the whole image: the product cannot pass result.wanted.
            const uint64_t stripBytes = uint64_t(rowsPerStrip) * perRow;
            out.assign(size_t(result.wanted), '\0');
            const uint32_t strips = TIFFNumberOfStrips(tif);
            uint64_t offset = 0;
            for (uint32_t s = 0; s < strips && offset < result.wanted; ++s) {
                const uint64_t want = std::min<uint64_t>(stripBytes, result.wanted - offset);
                if (TIFFReadEncodedStrip(tif, s, out.data() + offset, tmsize_t(want)) < 0) {
                    result.status = TiffDecodeStatus::StripFailed;
                    result.failedStrip = s;
                    break;
                }
                offset += want;
            }
            if (result.status == TiffDecodeStatus::Ok && offset < result.wanted) {
                result.status = TiffDecodeStatus::StripFailed;  // too few strips for the rows
                result.failedStrip = strips;
            }
        }
    }
    result.errors = handle.errors();
    if (result.status != TiffDecodeStatus::Ok)
        out.clear();
    return result;
}

TiffDecodeResult readTiffRgb(const TiffDecodeRequest& r, std::string& out)
{
    TiffDecodeResult result;
    TiffHandle handle;
    result.status = openPage(r, handle);
    const uint64_t pixels = uint64_t(r.width) * r.length;  // two 32-bit factors
    if (!checkedMul(pixels, 4, result.wanted) || result.wanted > SIZE_MAX / 2)
        result.wanted = UINT64_MAX;
    if (result.status == TiffDecodeStatus::Ok &&
        ((r.maxBytes > 0 && result.wanted > r.maxBytes) || result.wanted == UINT64_MAX))
        result.status = TiffDecodeStatus::TooLarge;
    std::string why;
    if (result.status == TiffDecodeStatus::Ok) {
        std::vector<uint32_t> raster(size_t(pixels), 0);
        if (!readRgbaAsStored(handle.get(), r.width, r.length, raster.data(), why)) {
            result.status = TiffDecodeStatus::StripFailed;
        } else {
            out.resize(size_t(pixels) * 3);
            for (size_t i = 0; i < raster.size(); ++i) {
                out[3 * i] = static_cast<char>(TIFFGetR(raster[i]));
                out[3 * i + 1] = static_cast<char>(TIFFGetG(raster[i]));
                out[3 * i + 2] = static_cast<char>(TIFFGetB(raster[i]));
            }
        }
    }
    result.errors = handle.errors();
    if (!why.empty())
        result.errors += why + '\n';
    if (result.status != TiffDecodeStatus::Ok)
        out.clear();
    return result;
}

bool encodeTiffStrip(uint32_t width, uint32_t length, uint16_t bits, uint16_t samples,
                     int compression, std::string& data, std::string& errors)
{
    std::string file;
    {
        TiffHandle writer;
        if (!writer.openMemory(file, "w", 0)) {
            errors = writer.errors();
            return false;
        }
        TIFF* tif = writer.get();
        uint16_t photometric = PHOTOMETRIC_MINISBLACK;
        if (compression == COMPRESSION_CCITTFAX4)
            photometric = PHOTOMETRIC_MINISWHITE;
        else if (samples == 3)
            photometric = PHOTOMETRIC_RGB;
        else if (samples == 4)
            photometric = PHOTOMETRIC_SEPARATED;
        bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width) &&
                  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, length) &&
                  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits) &&
                  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples) &&
                  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, length) &&
                  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
                  TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) &&
                  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric) &&
                  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
        if (ok && samples == 2) {
            const uint16_t extra[] = {EXTRASAMPLE_UNSPECIFIED};
            ok = TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
        }
        if (ok && compression == COMPRESSION_CCITTFAX4)
            ok = TIFFSetField(tif, TIFFTAG_GROUP4OPTIONS, 0);
        if (ok && compression == COMPRESSION_DEFLATE)
            ok = TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_NONE);
        ok = ok && TIFFWriteEncodedStrip(tif, 0, data.data(), tmsize_t(data.size())) >= 0 &&
             TIFFWriteDirectory(tif);
        errors = writer.errors();
        if (!ok)
            return false;
    }
    TiffHandle reader;
    if (!reader.openMemory(file, "r", 0)) {
        errors += reader.errors();
        return false;
    }
    uint64_t* counts = nullptr;
    if (!TIFFGetField(reader.get(), TIFFTAG_STRIPBYTECOUNTS, &counts) || !counts) {
        errors += reader.errors();
        return false;
    }
    std::string encoded(size_t(counts[0]), '\0');
    const tmsize_t got = encoded.empty() ? 0
                                         : TIFFReadRawStrip(reader.get(), 0, encoded.data(),
                                                            tmsize_t(encoded.size()));
    if (got < 0 || uint64_t(got) != counts[0]) {
        errors += reader.errors();
        return false;
    }
    data.swap(encoded);
    return true;
}

}  // namespace tnw::conv
