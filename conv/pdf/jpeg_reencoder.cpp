#include "conv/pdf/jpeg_reencoder.h"

#include "common/platform/files.h"
#include "common/image/jpeg_codec.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <utility>

namespace tnw::conv {

namespace {

// The output file: deleted again unless the encoding went through to its end.
class OutputFile {
public:
    explicit OutputFile(const std::string& path)
        : m_path(path), m_file(platform::openFile(path, "wb"))
    {
    }
    ~OutputFile()
    {
        if (m_file) {
            m_file.reset();
            platform::deleteFile(m_path);
        }
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    FILE* get() const { return m_file.get(); }
    // Closes the file; true when every byte reached it.
    bool commit()
    {
        FILE* f = m_file.release();
        const bool ok = std::fflush(f) == 0 && !std::ferror(f);
        if (std::fclose(f) != 0 || !ok) {
            platform::deleteFile(m_path);
            return false;
        }
        return true;
    }

private:
    std::string m_path;
    image::OwnedFile m_file;
};

// A growing buffer in memory behind a FILE: what the encoder writes, without a file.
class MemoryOutput {
public:
    MemoryOutput() = default;
    ~MemoryOutput()
    {
        if (m_file)
            std::fclose(m_file);
        std::free(m_buffer);
    }
    MemoryOutput(const MemoryOutput&) = delete;
    MemoryOutput& operator=(const MemoryOutput&) = delete;

    FILE* open()
    {
        m_file = open_memstream(&m_buffer, &m_size);
        return m_file;
    }
    // Closes the stream and moves its bytes into `bytes`; false when a write failed.
    bool take(std::string& bytes)
    {
        FILE* f = std::exchange(m_file, nullptr);
        const bool ok = std::fflush(f) == 0 && !std::ferror(f);
        if (std::fclose(f) != 0 || !ok || !m_buffer)
            return false;
        try {
            bytes.assign(m_buffer, m_size);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

private:
    FILE* m_file = nullptr;
    char* m_buffer = nullptr;
    size_t m_size = 0;
};

bool isGrayPalette(const PaletteEntry* palette)
{
    if (!palette)
        return true;
    for (int i = 0; i < 256; ++i) {
        if (palette[i].red != palette[i].green || palette[i].red != palette[i].blue)
            return false;
    }
    return true;
}

}  // namespace

int JpegReencoder::fail(int code, std::string message)
{
    m_message = std::move(message);
    return code;
}

int JpegReencoder::reencodeFile(const std::string& in, const std::string& out)
{
    m_message.clear();
    m_warnings = 0;
    image::OwnedFile input(platform::openFile(in, "rb"));
    if (!input)
        return fail(kOpenInput, "cannot open the JPEG file");

    image::JpegDecompressor decoder;
    decoder.setMemoryLimit(m_memoryLimit);
    if (decoder.readHeader(input.get()) != 0)
        return fail(kDecode, decoder.message());
    const jpeg_decompress_struct& d = decoder.info();
    J_COLOR_SPACE space = JCS_UNKNOWN;
    switch (d.jpeg_color_space) {
    case JCS_GRAYSCALE:
        space = JCS_GRAYSCALE;
        break;
    case JCS_RGB:
    case JCS_YCbCr:
        space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        space = JCS_CMYK;
        break;
    default:
        return fail(kUnsupported, "the JPEG colour space cannot be re-encoded");
    }
    if (decoder.start(space) != 0)
        return fail(kDecode, decoder.message());

    OutputFile output(out);
    if (!output.get())
        return fail(kCreateOutput, "cannot create the output file");
    image::JpegCompressor encoder;
    image::JpegCompressor::Settings settings;
    settings.width = d.output_width;
    settings.height = d.output_height;
    settings.inSpace = space;
    settings.quality = kQuality;
    settings.writeJfif = space != JCS_CMYK || d.saw_JFIF_marker;
    settings.densityUnit = d.density_unit;
    settings.xDensity = d.X_density;
    settings.yDensity = d.Y_density;
    if (encoder.start(output.get(), settings) != 0)
        return fail(kEncode, encoder.message());

    // Samples of a CMYK input without the Adobe marker are plain; the output carries the
    // marker, whose convention is inverted samples.
    const bool invert = space == JCS_CMYK && !d.saw_Adobe_marker;
    const size_t rowBytes = static_cast<size_t>(d.output_width) * d.output_components;
    while (d.output_scanline < d.output_height) {
        if (decoder.readRow() != 0) {
            m_warnings = decoder.warnings();
            return fail(kDecode, decoder.message());
        }
        JSAMPROW row = decoder.row();
        if (invert) {
            for (size_t i = 0; i < rowBytes; ++i)
                row[i] = static_cast<JSAMPLE>(255 - row[i]);
        }
        if (encoder.writeRow(row) != 0)
            return fail(kEncode, encoder.message());
    }
    m_warnings = decoder.warnings();
    if (decoder.finish() != 0)
        return fail(kDecode, decoder.message());
    if (encoder.finish() != 0)
        return fail(kEncode, encoder.message());
    if (!output.commit())
        return fail(kEncode, "cannot write the output file");
    return kOk;
}

int JpegReencoder::encodeBitmap(const BitmapView& bitmap, const std::string& out)
{
    return encodeBitmapTo(bitmap, &out, nullptr);
}

int JpegReencoder::encodeBitmapToMemory(const BitmapView& bitmap, std::string& bytes)
{
    return encodeBitmapTo(bitmap, nullptr, &bytes);
}

int JpegReencoder::encodeBitmapTo(const BitmapView& bitmap, const std::string* path,
                                  std::string* bytes)
{
    m_message.clear();
    m_warnings = 0;
    if (bitmap.width < 1 || bitmap.height < 1 || bitmap.width > kMaxDimension ||
        bitmap.height > kMaxDimension)
        return fail(kUnsupported, "bitmap size out of range");
    if (bitmap.bitCount != 8 && bitmap.bitCount != 24)
        return fail(kUnsupported, "bitmap bit count not 8 or 24");
    if (!bitmap.pixels)
        return fail(kUnsupported, "bitmap without pixels");

    const size_t width = static_cast<size_t>(bitmap.width);
    const size_t height = static_cast<size_t>(bitmap.height);
    const size_t bytesPerPixel = static_cast<size_t>(bitmap.bitCount / 8);
    const size_t rowBytes = width * bytesPerPixel;
    const size_t stride = bitmap.stride != 0 ? bitmap.stride : (rowBytes + 3) / 4 * 4;
    // Sides are at most 65500, so these products fit in 64 bits.
    if (stride < rowBytes || bitmap.size < stride * (height - 1) + rowBytes)
        return fail(kUnsupported, "bitmap buffer smaller than its rows");

    const bool gray = bitmap.bitCount == 8 && isGrayPalette(bitmap.palette);
    const J_COLOR_SPACE space = gray ? JCS_GRAYSCALE : JCS_RGB;
    const size_t components = gray ? 1 : 3;

    MemoryOutput memory;
    std::optional<OutputFile> output;
    FILE* sink = nullptr;
    if (path) {
        output.emplace(*path);
        sink = output->get();
    } else {
        sink = memory.open();
    }
    if (!sink)
        return fail(kCreateOutput, "cannot create the output file");
    image::JpegCompressor encoder;
    JSAMPROW row = nullptr;
    if (encoder.allocateRow(width * components, row) != 0)
        return fail(kEncode, encoder.message());
    image::JpegCompressor::Settings settings;
    settings.width = static_cast<JDIMENSION>(width);
    settings.height = static_cast<JDIMENSION>(height);
    settings.inSpace = space;
    settings.quality = kQuality;
    settings.densityUnit = static_cast<UINT8>(bitmap.densityUnit);
    settings.xDensity = static_cast<UINT16>(bitmap.xDensity);
    settings.yDensity = static_cast<UINT16>(bitmap.yDensity);
    if (encoder.start(sink, settings) != 0)
        return fail(kEncode, encoder.message());

    for (size_t y = 0; y < height; ++y) {
        const size_t memoryRow = bitmap.order == BitmapView::RowOrder::TopDown ? y : height - 1 - y;
        const std::uint8_t* src = bitmap.pixels + memoryRow * stride;
        if (bitmap.bitCount == 24) {
            for (size_t x = 0; x < width; ++x) {
                const std::uint8_t* p = src + 3 * x;
                row[3 * x] = bitmap.bgr ? p[2] : p[0];
                row[3 * x + 1] = p[1];
                row[3 * x + 2] = bitmap.bgr ? p[0] : p[2];
            }
        } else if (!bitmap.palette) {
            for (size_t x = 0; x < width; ++x)
                row[x] = src[x];
        } else if (gray) {
            for (size_t x = 0; x < width; ++x)
                row[x] = bitmap.palette[src[x]].red;
        } else {
            for (size_t x = 0; x < width; ++x) {
                const PaletteEntry& e = bitmap.palette[src[x]];
                row[3 * x] = e.red;
                row[3 * x + 1] = e.green;
                row[3 * x + 2] = e.blue;
            }
        }
        if (encoder.writeRow(row) != 0)
            return fail(kEncode, encoder.message());
    }
    if (encoder.finish() != 0)
        return fail(kEncode, encoder.message());
    if (output ? !output->commit() : !memory.take(*bytes))
        return fail(kEncode, "cannot write the output file");
    return kOk;
}

}  // namespace tnw::conv
