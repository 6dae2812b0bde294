#include "conv/pdf/jpeg_stream.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/checked_size.h"
#include "common/image/jpeg_codec.h"
#include "conv/pdf/jpeg_markers.h"
#include "conv/pdf/jpeg_reencoder.h"
#include "conv/pdf/pdf_messages.h"
#include "conv/pdf/pdf_tiff_codec.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include <tiffio.h>

namespace tnw::conv {

namespace {

constexpr size_t kCopyChunk = 32760;
constexpr char kEoi[] = "\xFF\xD9";

// Every failure of the assembly: its code, its message and its English diagnostic ("%s" is
// the page's file).
enum class Fail {
    InterchangeBuffer,
    InterchangeRead,
    RestartWrite,
    InterchangeWrite,
    Subsampling,
    CopyBuffer,
    StripSeek,
    StripRead,        // copying as stored
    StripWrite,
    RestartStripRead,  // copying with restart markers, and reading strips for the marker scan
    RestartStripWrite,
    TablesRead,
    GrayAllocate,
    GrayBitmap,
    GrayDecode,
    GraySave,
    GrayOpen,
    GrayRead,
    ColourAllocate,
    ColourBitmap,
    ColourDecode,
    ColourSave,
    ColourOpen,
    ColourRead,
};

struct FailRow {
    Fail id;
    int code;
    const char* japanese;  // UTF-8 in the source
    const char* english;
};

constexpr char kGrayFailed[] = "グレースケールJpeg7の作成が失敗しました";
constexpr char kColourFailed[] = "Jpeg7の再作成が失敗しました";

const FailRow kFailRows[] = {
    {Fail::InterchangeBuffer, kJpegStreamInterchange, "JpegIF のﾊﾞｯﾌｧ取得失敗",
     "Can't allocate memory for the JPEG interchange format of %s"},
    {Fail::InterchangeRead, kJpegStreamInterchange, "JpegIF の読み込み失敗",
     "Can't read the JPEG interchange format of %s"},
    {Fail::RestartWrite, kJpegStreamRestartWrite, "ﾘｽﾀｰﾄﾏｰｶｰの書きだし失敗",
     "Can't write the restart interval of %s"},
    {Fail::InterchangeWrite, kJpegStreamInterchangeWrite, "TIFF交換ﾊﾞｲﾄの書きだし失敗",
     "Can't write the JPEG interchange format of %s"},
    {Fail::Subsampling, kJpegStreamSubsampling, "YCbCrSubSampling が不正です",
     "Invalid YCbCr subsampling in %s"},
    {Fail::CopyBuffer, -317, "作業域の取得失敗", "Can't allocate the strip buffer for %s"},
    {Fail::StripSeek, -302, "ｽﾄﾘｯﾌﾟへの位置づけ失敗", "Can't seek to a strip of %s"},
    {Fail::StripRead, -301, "TIFFの読み込み失敗", "Can't read a strip of %s"},
    {Fail::StripWrite, -301, "PDFの書き込み失敗", "Can't write a strip of %s"},
    {Fail::RestartStripRead, -301, "ｽﾄﾘｯﾌﾟの入出力ｴﾗｰ発生", "Can't read a strip of %s"},
    {Fail::RestartStripWrite, -301, "ｽﾄﾘｯﾌﾟの入出力ｴﾗｰ発生", "Can't write a strip of %s"},
    {Fail::TablesRead, -301, "TIFFの読み込み失敗", "Can't read the JPEG tables of %s"},
    {Fail::GrayAllocate, kJpegRebuildGrayAllocate, kGrayFailed,
     "Can't allocate the grayscale pixels of %s"},
    {Fail::GrayBitmap, kJpegRebuildGrayBitmap, kGrayFailed,
     "Can't make a grayscale bitmap of %s"},
    {Fail::GrayDecode, kJpegRebuildGrayDecode, kGrayFailed, "Can't decode the JPEG data of %s"},
    {Fail::GraySave, kJpegRebuildGraySave, kGrayFailed, "Can't encode the grayscale JPEG of %s"},
    {Fail::GrayOpen, kJpegRebuildOpen, kGrayFailed, "Can't open the rebuilt JPEG of %s"},
    {Fail::GrayRead, kJpegRebuildRead, kGrayFailed, "Can't read the rebuilt JPEG of %s"},
    {Fail::ColourAllocate, kJpegRebuildColourAllocate, kColourFailed,
     "Can't allocate the colour pixels of %s"},
    {Fail::ColourBitmap, kJpegRebuildColourBitmap, kColourFailed,
     "Can't make a colour bitmap of %s"},
    {Fail::ColourDecode, kJpegRebuildColourDecode, kColourFailed,
     "Can't decode the JPEG data of %s"},
    {Fail::ColourSave, kJpegRebuildColourSave, kColourFailed, "Can't encode the colour JPEG of %s"},
    {Fail::ColourOpen, kJpegRebuildOpen, kColourFailed, "Can't open the rebuilt JPEG of %s"},
    {Fail::ColourRead, kJpegRebuildRead, kColourFailed, "Can't read the rebuilt JPEG of %s"},
};

const FailRow& failRow(Fail id)
{
    for (const FailRow& row : kFailRows) {
        if (row.id == id)
            return row;
    }
    return kFailRows[0];  // every id has a row
}

std::string fillPath(const char* text, const std::string& path)
{
    std::string out = text;
    const size_t at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, path);
    return out;
}

// Reads a page's file by offset; every read is checked against the file's size.
class PageFile {
public:
    enum Result { Ok, Seek, Short };

    bool open(const std::string& path, std::string_view memory = {})
    {
        if (!memory.empty())
            m_file.reset(fmemopen(const_cast<char*>(memory.data()), memory.size(), "rb"));
        else
            m_file.reset(platform::openFile(path, "rb"));
        if (!m_file || fseeko(m_file.get(), 0, SEEK_END) != 0)
            return false;
        const off_t end = ftello(m_file.get());
        if (end < 0)
            return false;
        m_size = uint64_t(end);
        return true;
    }
    uint64_t size() const { return m_size; }
    bool has(uint64_t offset, uint64_t count) const
    {
        return offset <= m_size && count <= m_size - offset;
    }
    // `count` bytes at `offset`: Seek when the offset is past the end, Short when the file
    // ends before the last byte.
    Result read(uint64_t offset, char* out, size_t count)
    {
        if (offset > m_size || fseeko(m_file.get(), off_t(offset), SEEK_SET) != 0)
            return Seek;
        if (count > m_size - offset)
            return Short;
        return std::fread(out, 1, count, m_file.get()) == count ? Ok : Short;
    }
    // Positions for sequential reads of `count` bytes from `offset`.
    Result seek(uint64_t offset)
    {
        if (offset > m_size || fseeko(m_file.get(), off_t(offset), SEEK_SET) != 0)
            return Seek;
        return Ok;
    }
    size_t next(char* out, size_t count) { return std::fread(out, 1, count, m_file.get()); }

private:
    struct Closer {
        void operator()(FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<FILE, Closer> m_file;
    uint64_t m_size = 0;
};

// The output (or a buffer for it) cannot be had.
int reportMemory(JpegStreamReport& report, const std::string& path, uint64_t bytes)
{
    const int64_t value = int64_t(std::min<uint64_t>(bytes, INT_MAX));
    report.message = pdfMessageText(PdfMsg::ImageMemory, value, path);
    report.diagnostic = pdfDiagnosticText(PdfMsg::ImageMemory, path, value);
    return kJpegStreamOutputMemory;
}

// Appends without letting an allocation failure escape.
bool put(std::string& out, const char* data, size_t size)
{
    try {
        out.append(data, size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool put(std::string& out, const std::string& data)
{
    return put(out, data.data(), data.size());
}

// The strips' failures for one way of copying.
struct CopyFailures {
    Fail seek;
    Fail read;
    Fail write;
};
constexpr CopyFailures kPlainCopy{Fail::StripSeek, Fail::StripRead, Fail::StripWrite};
constexpr CopyFailures kRestartCopy{Fail::StripSeek, Fail::RestartStripRead,
                                    Fail::RestartStripWrite};

class Assembly {
public:
    Assembly(const JpegPageSource& page, std::string& out, JpegStreamReport& report)
        : m_page(page), m_dir(*page.directory), m_out(out), m_report(report)
    {
        m_strips = std::min(m_dir.stripOffsets.size(), m_dir.stripByteCounts.size());
    }

    int run();

private:
    int fail(Fail id, const std::string& detail = {});
    int failMemory(uint64_t bytes) { return reportMemory(m_report, m_page.path, bytes); }

    // Compression 6.
    int oldStyle();
    int readInterchange(std::string& bytes);
    int copyStrips(const CopyFailures& failures, bool restarts);
    int copyStrip(size_t s, int restartCode, const CopyFailures& failures);
    bool startsWith(uint32_t offset, const std::string& bytes);
    int oldStyleWithRestarts(const std::string& interchange);

    // Compression 7.
    int newStyle();
    int readStrip(size_t s, std::string& bytes);
    int rebuild(bool gray);
    int decodeGray(std::string& pixels, std::string& errors);
    int decodeRgb(std::string& pixels, std::string& errors);

    const JpegPageSource& m_page;
    const common::TiffDirectory& m_dir;
    std::string& m_out;
    JpegStreamReport& m_report;
    PageFile m_file;
    size_t m_strips = 0;
    std::unique_ptr<char[]> m_chunk;
};

int Assembly::fail(Fail id, const std::string& detail)
{
    const FailRow& row = failRow(id);
    m_report.message = platform::sjis(row.japanese);
    m_report.diagnostic = fillPath(row.english, m_page.path);
    if (!detail.empty())
        m_report.diagnostic += ": " + detail;
    return row.code;
}

int Assembly::run()
{
    if (!m_file.open(m_page.path, m_page.memory))
        return fail(Fail::StripSeek, "the file cannot be opened");
    return m_dir.compression == COMPRESSION_OJPEG ? oldStyle() : newStyle();
}

// ---- Compression 6 ----

int Assembly::readInterchange(std::string& bytes)
{
    const uint64_t offset = m_dir.jpegInterchangeOffset;
    const uint64_t length = m_dir.jpegInterchangeLength;
    if (!m_file.has(offset, length))
        return fail(Fail::InterchangeRead, "beyond the end of the file");
    try {
        bytes.assign(size_t(length), '\0');
    } catch (const std::bad_alloc&) {
        return fail(Fail::InterchangeBuffer);
    }
    if (m_file.read(offset, bytes.data(), bytes.size()) != PageFile::Ok)
        return fail(Fail::InterchangeRead);
    return 0;
}

int Assembly::copyStrip(size_t s, int restartCode, const CopyFailures& failures)
{
    if (!m_chunk) {
        m_chunk.reset(new (std::nothrow) char[kCopyChunk]);
        if (!m_chunk)
            return fail(Fail::CopyBuffer);
    }
    const uint64_t offset = m_dir.stripOffsets[s];
    uint64_t left = m_dir.stripByteCounts[s];
    if (m_file.seek(offset) != PageFile::Ok)
        return fail(failures.seek);
    if (!m_file.has(offset, left))
        return fail(failures.read, "strip " + std::to_string(s) + " runs past the end");
    bool first = true;
    while (left > 0 || (first && restartCode >= 0)) {
        const size_t want = size_t(std::min<uint64_t>(left, kCopyChunk));
        if (m_file.next(m_chunk.get(), want) != want)
            return fail(failures.read);
        left -= want;
        size_t skip = 0;
        if (first && restartCode >= 0) {
            // The strip begins with the restart marker: an FF already there keeps its place
            // and only the code after it is replaced.
            const char marker[2] = {'\xFF', char(restartCode)};
            if (!put(m_out, marker, 2))
                return fail(failures.write);
            if (want > 0 && uint8_t(m_chunk[0]) == 0xFF)
                skip = std::min<size_t>(2, want);
        }
        first = false;
        if (!put(m_out, m_chunk.get() + skip, want - skip))
            return fail(failures.write);
    }
    return 0;
}

int Assembly::copyStrips(const CopyFailures& failures, bool restarts)
{
    // Room for every strip that lies in the file, so the copy never moves what it appended.
    uint64_t total = m_out.size() + 2 + 2 * uint64_t(m_strips);
    for (size_t s = 0; s < m_strips; ++s) {
        if (!m_file.has(m_dir.stripOffsets[s], m_dir.stripByteCounts[s]))
            break;
        total += m_dir.stripByteCounts[s];
    }
    try {
        if (total <= m_out.max_size())
            m_out.reserve(size_t(total));
    } catch (const std::bad_alloc&) {
        // The copy grows the output as it goes and reports a failure to do so.
    }
    for (size_t s = 0; s < m_strips; ++s) {
        const int restartCode = restarts && s > 0 ? 0xD0 + int((s - 1) % 8) : -1;
        if (const int rc = copyStrip(s, restartCode, failures); rc < 0)
            return rc;
    }
    return 0;
}

bool Assembly::startsWith(uint32_t offset, const std::string& bytes)
{
    std::string start;
    try {
        start.assign(bytes.size(), '\0');
    } catch (const std::bad_alloc&) {
        return false;
    }
    return m_file.read(offset, start.data(), start.size()) == PageFile::Ok && start == bytes;
}

// Where the SOS segment of `bytes` ends (the offset after its last byte), walking marker
// segments from the start: SOI is two bytes, every other marker is followed by its length.
// 0 when the walk meets the end of the bytes before a whole SOS segment.
size_t sosSegmentEnd(const std::string& bytes)
{
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t size = bytes.size();
    size_t pos = 0;
    while (size - pos >= 2) {
        const uint8_t code = b[pos + 1];
        if (code == kMarkerSoi) {
            pos += 2;
            continue;
        }
        if (size - pos < 4)
            return 0;
        const size_t end = pos + 2 + ((size_t(b[pos + 2]) << 8) | b[pos + 3]);
        if (code == kMarkerSos)
            return end <= size ? end : 0;
        pos = end;
        if (pos > size)
            return 0;
    }
    return 0;
}

int Assembly::oldStyle()
{
    if (!m_dir.has(TIFFTAG_JPEGIFOFFSET) || m_dir.jpegInterchangeLength == 0) {
        if (const int rc = copyStrips(kPlainCopy, false); rc < 0)
            return rc;
        return put(m_out, kEoi, 2) ? 0 : fail(Fail::StripWrite);
    }
    std::string interchange;
    if (const int rc = readInterchange(interchange); rc < 0)
        return rc;

    // A wrapped JPEG file: the strip is the whole file.
    if (m_strips == 1 && m_dir.stripByteCounts[0] == interchange.size()) {
        if (const int rc = copyStrip(0, -1, kPlainCopy); rc < 0)
            return rc;
        return put(m_out, kEoi, 2) ? 0 : fail(Fail::StripWrite);
    }

    // A header: the strips carry the scan. It is written unless the first strip starts with
    // it already.
    if (m_strips <= 1 || sosSegmentEnd(interchange) == interchange.size()) {
        const bool inStrip =
            m_strips == 1 ? m_dir.stripByteCounts[0] >= interchange.size() &&
                                startsWith(m_dir.stripOffsets[0], interchange)
                          : m_strips > 1 && startsWith(m_dir.stripOffsets[0], interchange);
        if (!inStrip && !put(m_out, interchange))
            return fail(Fail::InterchangeWrite);
        if (const int rc = copyStrips(kPlainCopy, false); rc < 0)
            return rc;
        return put(m_out, kEoi, 2) ? 0 : fail(Fail::StripWrite);
    }
    return oldStyleWithRestarts(interchange);
}

// Several strips after a complete interchange stream: each strip is one restart interval.
int Assembly::oldStyleWithRestarts(const std::string& interchange)
{
    const uint64_t h = m_dir.ycbcrSubsampling[0];
    const uint64_t v = m_dir.ycbcrSubsampling[1];
    if (h == 0 || v == 0)
        return fail(Fail::Subsampling);
    const uint64_t rows = std::min<uint64_t>(m_dir.rowsPerStrip, m_dir.length);
    const uint64_t mcus = ((m_dir.width + 8 * h - 1) / (8 * h)) * ((rows + 8 * v - 1) / (8 * v));
    // DRI holds 16 bits: a strip of more MCUs cannot be one restart interval.
    if (mcus > 0xFFFF)
        return fail(Fail::RestartWrite, "more MCUs per strip than a restart interval holds");
    if (!put(m_out, interchange))
        return fail(Fail::InterchangeWrite);
    const char dri[6] = {'\xFF', '\xDD', 0, 4, char((mcus >> 8) & 0xFF), char(mcus & 0xFF)};
    if (!put(m_out, dri, sizeof dri))
        return fail(Fail::RestartWrite);
    m_report.restartsInserted = true;
    if (const int rc = copyStrips(kRestartCopy, true); rc < 0)
        return rc;
    return put(m_out, kEoi, 2) ? 0 : fail(Fail::RestartStripWrite);
}

// ---- Compression 7 ----

int Assembly::readStrip(size_t s, std::string& bytes)
{
    const uint64_t offset = m_dir.stripOffsets[s];
    const uint64_t count = m_dir.stripByteCounts[s];
    if (offset > m_file.size())
        return fail(Fail::StripSeek);
    if (!m_file.has(offset, count))
        return fail(Fail::RestartStripRead, "strip " + std::to_string(s) + " runs past the end");
    bytes.assign(size_t(count), '\0');
    switch (m_file.read(offset, bytes.data(), bytes.size())) {
    case PageFile::Ok:
        return 0;
    case PageFile::Seek:
        return fail(Fail::StripSeek);
    case PageFile::Short:
        break;
    }
    return fail(Fail::RestartStripRead);
}

int Assembly::newStyle()
{
    if (m_page.keepWhole && m_strips == 1 && !m_dir.has(TIFFTAG_JPEGTABLES)) {
        std::string whole;
        if (const int rc = readStrip(0, whole); rc < 0)
            return rc;
        return put(m_out, whole) ? 0 : failMemory(whole.size());
    }
    // Strips that cannot simply follow one another: quantisation tables that change after the
    // first strip, or restart intervals. A strip whose markers cannot be read ends the scan.
    std::string first;
    for (size_t s = 0; s < m_strips; ++s) {
        std::string bytes;
        if (const int rc = readStrip(s, bytes); rc < 0)
            return rc;
        JpegMarkerScan scan;
        scanJpegMarkers(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), scan);
        if ((s > 0 && scan.counts[kMarkerDqt] > 0) || scan.counts[kMarkerDri] > 0)
            m_report.markersNeedRebuild = true;
        if (s == 0)
            first = std::move(bytes);
        if (scan.error || m_report.markersNeedRebuild)
            break;
    }

    if (m_dir.samplesPerPixel <= 1)
        return rebuild(true);
    if (m_report.markersNeedRebuild || m_strips > 1)
        return rebuild(false);

    // One strip: the tables without their EOI, then the strip. The tables begin with the SOI,
    // so the strip's own SOI is dropped: a second SOI is refused by JPEG decoders.
    std::string tables;
    if (m_dir.has(TIFFTAG_JPEGTABLES) && m_dir.jpegTablesLength > 4) {
        if (!m_file.has(m_dir.jpegTablesOffset, m_dir.jpegTablesLength))
            return fail(Fail::TablesRead, "beyond the end of the file");
        tables.assign(m_dir.jpegTablesLength, '\0');
        if (m_file.read(m_dir.jpegTablesOffset, tables.data(), tables.size()) != PageFile::Ok)
            return fail(Fail::TablesRead);
        tables.resize(tables.size() - 2);
    }
    size_t skip = 0;
    if (!tables.empty() && first.size() >= 2 && uint8_t(first[0]) == 0xFF &&
        uint8_t(first[1]) == kMarkerSoi)
        skip = 2;
    const uint64_t total = uint64_t(tables.size()) + first.size() - skip + 2;
    if (!put(m_out, tables) || !put(m_out, first.data() + skip, first.size() - skip) ||
        !put(m_out, kEoi, 2))
        return failMemory(total);
    return 0;
}

// The page's samples, decoded strip by strip with the JPEG library: each strip of a
// compression 7 page is a JPEG stream of its own, read after the page's tables when it has
// them. The one component is decoded whatever sampling factors its frame names: with a single
// component they change nothing in the image (scanners write 2x2 and the like), though the TIFF
// library's decoder refuses any but 1x1 there.
int Assembly::decodeGray(std::string& pixels, std::string& errors)
{
    const uint64_t width = m_dir.width;
    const uint64_t length = m_dir.length;
    uint64_t wanted = 0;
    if (!checkedMul(width, length, wanted) ||
        (m_page.maxDecodeBytes > 0 && wanted > m_page.maxDecodeBytes))
        return fail(Fail::GrayAllocate, "more than the decoding limit");
    if (width == 0 || length == 0 || m_strips == 0)
        return fail(Fail::GrayDecode, "no rows");
    uint64_t rowsPerStrip = m_dir.rowsPerStrip;
    if (rowsPerStrip == 0 || rowsPerStrip > length)
        rowsPerStrip = length;

    image::JpegDecompressor decoder;
    decoder.setMemoryLimit(long(std::min<uint64_t>(m_page.maxDecodeBytes, LONG_MAX)));
    std::string tables;
    if (m_dir.has(TIFFTAG_JPEGTABLES) && m_dir.jpegTablesLength > 4) {
        if (!m_file.has(m_dir.jpegTablesOffset, m_dir.jpegTablesLength))
            return fail(Fail::GrayDecode, "the JPEG tables lie beyond the end of the file");
        tables.assign(m_dir.jpegTablesLength, '\0');
        if (m_file.read(m_dir.jpegTablesOffset, tables.data(), tables.size()) != PageFile::Ok)
            return fail(Fail::GrayDecode, "the JPEG tables cannot be read");
        if (decoder.readHeader(reinterpret_cast<const unsigned char*>(tables.data()),
                               tables.size(), true) != 0)
            return fail(Fail::GrayDecode, "JPEG tables: " + decoder.message());
    }

    pixels.assign(size_t(wanted), '\0');
    uint64_t row = 0;
    std::string strip;
    for (size_t s = 0; s < m_strips && row < length; ++s) {
        const uint64_t rows = std::min(rowsPerStrip, length - row);
        const std::string where = "strip " + std::to_string(s);
        const uint64_t offset = m_dir.stripOffsets[s];
        const uint64_t count = m_dir.stripByteCounts[s];
        if (count == 0 || !m_file.has(offset, count))
            return fail(Fail::GrayDecode, where + " runs past the end");
        strip.assign(size_t(count), '\0');
        if (m_file.read(offset, strip.data(), strip.size()) != PageFile::Ok)
            return fail(Fail::GrayDecode, where + " cannot be read");
        const auto* bytes = reinterpret_cast<const unsigned char*>(strip.data());
        if (decoder.readHeader(bytes, strip.size()) != 0)
            return fail(Fail::GrayDecode, where + ": " + decoder.message());
        const jpeg_decompress_struct& info = decoder.info();
        if (info.num_components != 1 || info.image_width != width || info.image_height < rows)
            return fail(Fail::GrayDecode, where + " is not a " + std::to_string(width) + " x " +
                                              std::to_string(rows) + " one-component image");
        if (decoder.start(JCS_GRAYSCALE) != 0)
            return fail(Fail::GrayDecode, where + ": " + decoder.message());
        for (uint64_t y = 0; y < rows; ++y, ++row) {
            if (decoder.readRow() != 0)
                return fail(Fail::GrayDecode, where + ": " + decoder.message());
            std::copy_n(decoder.row(), size_t(width), pixels.data() + row * width);
        }
        if (info.output_scanline < info.output_height)
            decoder.abort();  // rows past the page's end
        else if (decoder.finish() != 0)
            return fail(Fail::GrayDecode, where + ": " + decoder.message());
    }
    if (row < length)
        return fail(Fail::GrayDecode, "too few strips for the rows");
    errors.clear();
    return 0;
}

// The page's pixels as 8-bit RGB, rows in the order stored (the page's orientation is drawn
// by the PDF page, so it is not applied here).
int Assembly::decodeRgb(std::string& pixels, std::string& errors)
{
    uint64_t bytes = 0;
    if (!checkedProduct({m_dir.width, m_dir.length, 4}, bytes) ||
        (m_page.maxDecodeBytes > 0 && bytes > m_page.maxDecodeBytes))
        return fail(Fail::ColourAllocate, "more than the decoding limit");
    if (!m_page.memory.empty())
        return fail(Fail::ColourDecode, "a page in memory is not decoded as RGB");
    TiffDecodeRequest request;
    request.path = m_page.path;
    request.directoryIndex = m_dir.index;
    request.width = m_dir.width;
    request.length = m_dir.length;
    request.maxBytes = m_page.maxDecodeBytes;
    const TiffDecodeResult result = readTiffRgb(request, pixels);
    errors = result.errors;
    if (result.status == TiffDecodeStatus::TooLarge)
        return fail(Fail::ColourAllocate, "more than the decoding limit");
    if (result.status != TiffDecodeStatus::Ok)
        return fail(Fail::ColourDecode, errors);
    return 0;
}

// The JPEG density of the page's resolution (per inch or per centimetre), none otherwise.
void setDensity(const common::TiffDirectory& dir, BitmapView& view)
{
    if (dir.resolutionUnit != RESUNIT_INCH && dir.resolutionUnit != RESUNIT_CENTIMETER)
        return;
    const auto density = [](const common::TiffRational& r) {
        const double v = std::round(r.toDouble());
        return v < 1 ? 1 : v > 65535 ? 65535 : int(v);
    };
    view.densityUnit = dir.resolutionUnit == RESUNIT_INCH ? 1 : 2;
    view.xDensity = density(dir.xResolution);
    view.yDensity = density(dir.yResolution);
}

// Decodes the page and encodes it again in memory; those bytes become the stream data, however
// large they are.
int Assembly::rebuild(bool gray)
{
    m_report.rebuilt = true;
    m_report.rebuiltComponents = gray ? 1 : 3;
    const Fail allocate = gray ? Fail::GrayAllocate : Fail::ColourAllocate;
    std::string pixels;
    std::string errors;
    try {
        if (const int rc = gray ? decodeGray(pixels, errors) : decodeRgb(pixels, errors); rc < 0)
            return rc;
    } catch (const std::bad_alloc&) {
        return fail(allocate);
    }

    if (m_dir.width > uint32_t(JpegReencoder::kMaxDimension) ||
        m_dir.length > uint32_t(JpegReencoder::kMaxDimension))
        return fail(gray ? Fail::GrayBitmap : Fail::ColourBitmap, "too large for JPEG");
    BitmapView view;
    view.width = int(m_dir.width);
    view.height = int(m_dir.length);
    view.bitCount = gray ? 8 : 24;
    view.pixels = reinterpret_cast<const uint8_t*>(pixels.data());
    view.size = pixels.size();
    view.stride = size_t(m_dir.width) * (gray ? 1 : 3);
    setDensity(m_dir, view);
    JpegReencoder encoder;
    std::string data;
    const int rc = encoder.encodeBitmapToMemory(view, data);
    if (rc == JpegReencoder::kUnsupported)
        return fail(gray ? Fail::GrayBitmap : Fail::ColourBitmap, encoder.message());
    if (rc != JpegReencoder::kOk)
        return fail(gray ? Fail::GraySave : Fail::ColourSave, encoder.message());
    pixels.clear();
    pixels.shrink_to_fit();
    if (!put(m_out, data) || !put(m_out, kEoi, 2))
        return failMemory(data.size() + 2);
    return 0;
}

}  // namespace

int writeJpegPageStream(const JpegPageSource& page, std::string& out, JpegStreamReport& report)
{
    report = JpegStreamReport{};
    if (!page.directory) {
        report.status = -1;
        return -1;
    }
    const size_t start = out.size();
    int rc = 0;
    try {
        Assembly assembly(page, out, report);
        rc = assembly.run();
    } catch (const std::bad_alloc&) {
        rc = reportMemory(report, page.path, 0);
    }
    if (rc < 0) {
        out.resize(start);
        report.status = rc;
        return rc;
    }
    const size_t appended = out.size() - start;
    report.status = appended > size_t(INT_MAX) ? INT_MAX : int(appended);
    return report.status;
}

}  // namespace tnw::conv
