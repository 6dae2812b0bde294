// The TIFF reader: header, directory chain, value reading and the tag handlers that fill the
// directory record. The dumps are in tiff_reader_dump.cpp, the tag table in tiff_reader_tags.cpp.
#include "common/tiff_reader.h"

#include "common/platform/files.h"
#include "common/tiff_reader_tags.h"

#include <algorithm>
#include <new>
#include <iterator>
#include <map>

#include <sys/stat.h>

namespace tnw::common {

namespace {

// Tags the handlers store.
enum Tag : uint16_t {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kFillOrder = 266,
    kDocumentName = 269,
    kImageDescription = 270,
    kMake = 271,
    kModel = 272,
    kStripOffsets = 273,
    kOrientation = 274,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kXResolution = 282,
    kYResolution = 283,
    kPlanarConfig = 284,
    kPageName = 285,
    kXPosition = 286,
    kYPosition = 287,
    kResolutionUnit = 296,
    kPageNumber = 297,
    kSoftware = 305,
    kDateTime = 306,
    kArtist = 315,
    kHostComputer = 316,
    kWhitePoint = 318,
    kPrimaryChromaticities = 319,
    kColorMap = 320,
    kTileWidth = 322,
    kTileLength = 323,
    kTileOffsets = 324,
    kTileByteCounts = 325,
    kInkSet = 332,
    kInkNames = 333,
    kNumberOfInks = 334,
    kTargetPrinter = 337,
    kSampleFormat = 339,
    kJpegTables = 347,
    kJpegProc = 512,
    kJpegInterchange = 513,
    kJpegInterchangeLength = 514,
    kJpegRestartInterval = 515,
    kYCbCrSubsampling = 530,
    kCopyright = 33432,
};

// Initial sizes of the work buffers; they grow as entries need.
constexpr size_t kValueBufferStart = 4096;
constexpr size_t kBlockBufferStart = 12 * 64 + 4;
constexpr size_t kTextBufferStart = 256;

}  // namespace

unsigned tiffTypeSize(uint16_t type)
{
    switch (type) {
    case kTiffShort:
    case kTiffSShort: return 2;
    case kTiffLong:
    case kTiffSLong:
    case kTiffFloat: return 4;
    case kTiffRational:
    case kTiffSRational:
    case kTiffDouble: return 8;
    default: return 1;
    }
}

bool TiffDirectory::has(uint16_t tag) const
{
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

TiffReader::TiffReader() = default;

TiffReader::~TiffReader() = default;

uint16_t TiffReader::u16(const uint8_t* p) const
{
    return m_bigEndian ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
}

uint32_t TiffReader::u32(const uint8_t* p) const
{
    if (m_bigEndian)
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

int TiffReader::open(const std::string& path)
{
    close();
    if (path.empty())
        return tiffcode::OpenFailed;
    m_file.reset(platform::openFile(path, "rb"));
    struct stat st {};
    if (!m_file || fstat(fileno(m_file.get()), &st) != 0 || !S_ISREG(st.st_mode)) {
        close();
        return tiffcode::OpenFailed;
    }
    m_fileLength = uint64_t(st.st_size);
    return readHeader();
}

int TiffReader::openMemory(std::string_view bytes)
{
    close();
    // A read-only stream over the caller's bytes: the reads below work on it as on a file.
    if (bytes.empty())
        return tiffcode::OpenFailed;
    m_file.reset(fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb"));
    if (!m_file)
        return tiffcode::OpenFailed;
    m_fileLength = bytes.size();
    return readHeader();
}

int TiffReader::readHeader()
{
    try {
        m_values.reserve(kValueBufferStart);
        m_blockBytes.reserve(kBlockBufferStart);
    } catch (const std::bad_alloc&) {
        close();
        return tiffcode::NoBuffer;
    }
    try {
        m_text.resize(kTextBufferStart);
    } catch (const std::bad_alloc&) {
        close();
        return tiffcode::NoTextBuffer;
    }
    uint8_t header[8];
    if (readAt(0, header, sizeof header) != 0) {
        close();
        return tiffcode::ReadFailed;
    }
    if (header[0] == 'I' && header[1] == 'I') {
        m_bigEndian = false;
    } else if (header[0] == 'M' && header[1] == 'M') {
        m_bigEndian = true;
    } else {
        close();
        return tiffcode::NotTiff;
    }
    m_order[0] = char(header[0]);
    m_order[1] = char(header[1]);
    m_version = u16(header + 2);
    m_firstOffset = u32(header + 4);
    return 0;
}

void TiffReader::close()
{
    m_file.reset();
    m_fileLength = 0;
    m_bigEndian = false;
    m_order[0] = m_order[1] = 0;
    m_version = 0;
    m_firstOffset = 0;
    std::vector<TiffDirectoryBlock>().swap(m_blocks);
    std::vector<uint8_t>().swap(m_values);
    std::vector<uint8_t>().swap(m_blockBytes);
    std::string().swap(m_text);
    m_loaded = nullptr;
    m_valuesCode = 0;
    m_record = TiffDirectory{};
}

void TiffReader::setDump(FILE* stream, TiffDumpMode mode)
{
    m_dumpStream = stream;
    m_dumpMode = stream ? mode : TiffDumpMode::None;
}

int TiffReader::readAt(uint64_t offset, void* out, size_t size)
{
    if (!m_file || offset > m_fileLength)
        return tiffcode::SeekFailed;
    if (size > m_fileLength - offset)
        return tiffcode::ReadFailed;
    if (fseeko(m_file.get(), off_t(offset), SEEK_SET) != 0)
        return tiffcode::SeekFailed;
    if (size != 0 && std::fread(out, 1, size, m_file.get()) != size)
        return tiffcode::ReadFailed;
    return 0;
}

int TiffReader::readDirectories()
{
    if (!m_file)
        return tiffcode::OpenFailed;
    m_blocks.clear();
    m_loaded = nullptr;
    if (m_firstOffset == 0)
        return tiffcode::NoDirectory;
    try {
        // Directories never share bytes in a sound file. A directory that comes back to the
        // bytes of one already read (a cycle, or a chain of overlapping directories that
        // could list far more entries than the file holds) ends the walk; the directories
        // read so far stand.
        std::map<uint64_t, uint64_t> taken;  // start -> end of each directory read
        for (uint32_t offset = m_firstOffset; offset != 0;) {
            TiffDirectoryBlock block;
            if (int rc = readDirectoryBlock(offset, block); rc != 0)
                return rc;
            const uint64_t end = uint64_t(offset) + 2 + 12 * uint64_t(block.entryCount) + 4;
            const auto after = taken.lower_bound(offset);
            if (after != taken.end() && after->first < end)
                break;
            if (after != taken.begin() && std::prev(after)->second > offset)
                break;
            taken.emplace(offset, end);
            offset = block.nextOffset;
            m_blocks.push_back(std::move(block));
        }
    } catch (const std::bad_alloc&) {
        return tiffcode::NoBuffer;
    }
    return 0;
}

int TiffReader::readDirectoryBlock(uint32_t offset, TiffDirectoryBlock& block)
{
    uint8_t countBytes[2];
    if (int rc = readAt(offset, countBytes, 2); rc != 0)
        return rc;
    block.offset = offset;
    block.entryCount = u16(countBytes);
    if (block.entryCount < 1)
        return tiffcode::NoEntries;
    // The entries and the next offset must lie inside the file before anything is allocated.
    const uint64_t size = uint64_t(block.entryCount) * 12 + 4;
    if (size > m_fileLength - (uint64_t(offset) + 2))
        return tiffcode::ReadFailed;
    try {
        m_blockBytes.resize(size);
        block.entries.resize(block.entryCount);
    } catch (const std::bad_alloc&) {
        return tiffcode::NoBuffer;
    }
    if (int rc = readAt(uint64_t(offset) + 2, m_blockBytes.data(), size); rc != 0)
        return rc;
    const uint8_t* p = m_blockBytes.data();
    for (TiffEntry& e : block.entries) {
        e.tag = u16(p);
        e.type = u16(p + 2);
        e.count = u32(p + 4);
        std::copy(p + 8, p + 12, e.raw);
        e.value = (m_bigEndian && e.type == kTiffShort && e.count <= 1) ? u16(e.raw) : u32(e.raw);
        p += 12;
    }
    block.nextOffset = u32(p);
    return 0;
}

int TiffReader::loadValues(const TiffEntry& entry)
{
    if (m_loaded == &entry)
        return m_valuesCode;
    m_loaded = &entry;
    m_values.clear();
    // 64-bit: a 32-bit count times an 8-byte type cannot overflow.
    const uint64_t size = uint64_t(entry.count) * tiffTypeSize(entry.type);
    if (size <= 4) {
        m_values.assign(entry.raw, entry.raw + size);
        return m_valuesCode = 0;
    }
    // Compared with the file length first, so a huge count never allocates.
    if (entry.value > m_fileLength)
        return m_valuesCode = tiffcode::SeekFailed;
    if (size > m_fileLength - entry.value)
        return m_valuesCode = tiffcode::ReadFailed;
    try {
        m_values.resize(size);
    } catch (const std::bad_alloc&) {
        return m_valuesCode = tiffcode::NoValueBuffer;
    }
    m_valuesCode = readAt(entry.value, m_values.data(), size);
    if (m_valuesCode != 0)
        m_values.clear();
    return m_valuesCode;
}

uint32_t TiffReader::valueAt(uint16_t type, size_t i) const
{
    const unsigned size = std::min(tiffTypeSize(type), 4u);
    if ((i + 1) * size > m_values.size())
        return 0;
    const uint8_t* p = m_values.data() + i * size;
    switch (size) {
    case 2: return u16(p);
    case 4: return u32(p);
    default: return *p;
    }
}

uint32_t TiffReader::fieldValue(const TiffEntry& entry) const
{
    // A SHORT held in the value field is its first two bytes.
    if (entry.type == kTiffShort || entry.type == kTiffSShort)
        return u16(entry.raw);
    return entry.value;
}

int TiffReader::readDirectory(int n)
{
    if (n < 0 || n >= int(m_blocks.size()))
        return tiffcode::NoDirectory;
    try {
        m_record = TiffDirectory{};
        m_record.index = n;
        const TiffDirectoryBlock& block = m_blocks[size_t(n)];
        m_record.tags.reserve(block.entries.size());
        if (m_dumpMode == TiffDumpMode::Text)
            dumpHeader(block);
        for (const TiffEntry& entry : block.entries) {
            m_loaded = nullptr;
            const TiffTagRow* row = findTiffTag(entry.tag);
            m_record.tags.push_back(entry.tag);
            if (m_dumpMode == TiffDumpMode::Text)
                dumpEntryLine(entry, row);
            const int code = row ? handle(entry, *row) : 0;
            if (code != 0)
                m_record.failures.push_back({entry.tag, code});
            if (m_dumpMode == TiffDumpMode::Text && row)
                dumpDetail(entry, *row, code);
            else if (m_dumpMode == TiffDumpMode::Rows)
                dumpRow(entry, row, code);
        }
        m_loaded = nullptr;
        finishRecord();
    } catch (const std::bad_alloc&) {
        m_loaded = nullptr;
        return tiffcode::NoValueBuffer;
    }
    return 0;
}

void TiffReader::finishRecord()
{
    TiffDirectory& r = m_record;
    const uint64_t samples = r.samplesPerPixel ? r.samplesPerPixel : 1;
    // At most 2^32 x 2^16 x 2^16 bits: computed in 128 bits and saturated.
    const unsigned __int128 bits = (unsigned __int128)r.width * r.bitsPerSample * samples;
    const unsigned __int128 bytes = (bits + 31) / 32 * 4;
    r.bytesPerRow = bytes > UINT64_MAX ? UINT64_MAX : uint64_t(bytes);
}

int TiffReader::handle(const TiffEntry& entry, const TiffTagRow& row)
{
    if (row.kind == TiffTagKind::Plain || row.kind == TiffTagKind::OffsetList)
        return 0;
    if (entry.type >= 16 || !(row.types & typeBit(entry.type)))
        return tiffcode::WrongType;
    try {
        switch (row.kind) {
        case TiffTagKind::Number: return handleNumber(entry);
        case TiffTagKind::Text: return handleText(entry);
        case TiffTagKind::Bits: return handleBits(entry);
        case TiffTagKind::Offsets:
        case TiffTagKind::Counts: return handleArray(entry);
        case TiffTagKind::Rational: return handleRational(entry);
        case TiffTagKind::Pair: return handlePair(entry);
        case TiffTagKind::ColorMap: return handleColorMap(entry);
        case TiffTagKind::Tables:
            if (entry.count > 4) {
                if (entry.value > m_fileLength)
                    return tiffcode::SeekFailed;
                if (entry.count > m_fileLength - entry.value)
                    return tiffcode::ReadFailed;
                m_record.jpegTablesOffset = entry.value;
            }
            m_record.jpegTablesLength = entry.count;
            return 0;
        default: return 0;
        }
    } catch (const std::bad_alloc&) {
        return tiffcode::NoValueBuffer;
    }
}

int TiffReader::handleNumber(const TiffEntry& entry)
{
    uint32_t v = 0;
    if (entry.count <= 1) {
        v = fieldValue(entry);
    } else {
        if (int rc = loadValues(entry); rc != 0)
            return rc;
        v = valueAt(entry.type, 0);
    }
    TiffDirectory& r = m_record;
    const auto s = uint16_t(v);
    switch (entry.tag) {
    case kImageWidth: r.width = v; break;
    case kImageLength: r.length = v; break;
    case kCompression: r.compression = s; break;
    case kPhotometric: r.photometric = s; break;
    case kFillOrder: r.fillOrder = s; break;
    case kOrientation: r.orientation = s; break;
    case kSamplesPerPixel: r.samplesPerPixel = s; break;
    case kRowsPerStrip: r.rowsPerStrip = v; break;
    case kPlanarConfig: r.planarConfig = s; break;
    case kResolutionUnit: r.resolutionUnit = s; break;
    case kTileWidth: r.tileWidth = v; break;
    case kTileLength: r.tileLength = v; break;
    case kInkSet: r.inkSet = s; break;
    case kNumberOfInks: r.numberOfInks = s; break;
    case kSampleFormat: r.sampleFormat = s; break;
    case kJpegProc: r.jpegProc = s; break;
    case kJpegInterchange: r.jpegInterchangeOffset = v; break;
    case kJpegInterchangeLength: r.jpegInterchangeLength = v; break;
    case kJpegRestartInterval: r.jpegRestartInterval = s; break;
    default: break;
    }
    return 0;
}

int TiffReader::handleText(const TiffEntry& entry)
{
    if (int rc = loadValues(entry); rc != 0)
        return rc;
    const auto* begin = reinterpret_cast<const char*>(m_values.data());
    const auto* end = begin + m_values.size();
    std::string text;
    if (entry.tag == kInkNames) {
        // Several names, each ended by a zero byte: all are kept, the trailing zeros dropped.
        while (end != begin && end[-1] == '\0')
            --end;
        text.assign(begin, end);
        text.push_back('\0');
    } else {
        text.assign(begin, std::find(begin, end, '\0'));
    }
    TiffDirectory& r = m_record;
    switch (entry.tag) {
    case kDocumentName: r.documentName = std::move(text); break;
    case kImageDescription: r.imageDescription = std::move(text); break;
    case kMake: r.make = std::move(text); break;
    case kModel: r.model = std::move(text); break;
    case kPageName: r.pageName = std::move(text); break;
    case kSoftware: r.software = std::move(text); break;
    case kDateTime: r.dateTime = std::move(text); break;
    case kArtist: r.artist = std::move(text); break;
    case kHostComputer: r.hostComputer = std::move(text); break;
    case kInkNames: r.inkNames = text.size() > 1 ? std::move(text) : std::string(); break;
    case kTargetPrinter: r.targetPrinter = std::move(text); break;
    case kCopyright: r.copyright = std::move(text); break;
    default: break;
    }
    return 0;
}

int TiffReader::handleBits(const TiffEntry& entry)
{
    std::vector<uint16_t> values;
    if (entry.count == 0) {
        values.push_back(uint16_t(fieldValue(entry)));
    } else {
        if (int rc = loadValues(entry); rc != 0)
            return rc;
        values.resize(entry.count);
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = uint16_t(valueAt(entry.type, i));
    }
    // Several values that agree (8, 8, 8 or 16, 16, 16) give that value, so a deeper image is
    // not taken for 8 bits; values that differ give 8.
    const bool agree = std::all_of(values.begin(), values.end(),
                                   [&](uint16_t b) { return b == values.front(); });
    m_record.bitsPerSample = agree ? values.front() : 8;
    m_record.bitsPerSampleValues = std::move(values);
    return 0;
}

int TiffReader::handleArray(const TiffEntry& entry)
{
    if (entry.count > kMaxStripValues)
        return tiffcode::TooManyValues;
    if (int rc = loadValues(entry); rc != 0)
        return rc;
    std::vector<uint32_t> values(entry.count);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = valueAt(entry.type, i);
    TiffDirectory& r = m_record;
    switch (entry.tag) {
    case kStripOffsets: r.stripOffsets = std::move(values); break;
    case kStripByteCounts:
        r.stripByteCountSum = 0;
        r.largestStrip = 0;
        for (uint32_t c : values) {
            r.stripByteCountSum += c;
            r.largestStrip = std::max(r.largestStrip, c);
        }
        r.stripByteCounts = std::move(values);
        break;
    case kTileOffsets: r.tileOffsets = std::move(values); break;
    case kTileByteCounts: r.tileByteCounts = std::move(values); break;
    default: break;
    }
    return 0;
}

int TiffReader::handleRational(const TiffEntry& entry)
{
    if (entry.count == 0)
        return tiffcode::WrongType;
    if (int rc = loadValues(entry); rc != 0)
        return rc;
    auto rational = [&](size_t i) {
        return TiffRational{valueAt(kTiffLong, 2 * i), valueAt(kTiffLong, 2 * i + 1)};
    };
    TiffDirectory& r = m_record;
    switch (entry.tag) {
    case kXResolution: r.xResolution = rational(0); break;
    case kYResolution: r.yResolution = rational(0); break;
    case kXPosition: r.xPosition = rational(0); break;
    case kYPosition: r.yPosition = rational(0); break;
    case kWhitePoint:
        for (size_t i = 0; i < std::min<size_t>(entry.count, 2); ++i)
            r.whitePoint[i] = rational(i);
        break;
    case kPrimaryChromaticities:
        for (size_t i = 0; i < std::min<size_t>(entry.count, 6); ++i)
            r.primaryChromaticities[i] = rational(i);
        break;
    default: break;
    }
    return 0;
}

int TiffReader::handlePair(const TiffEntry& entry)
{
    if (entry.count == 0)
        return tiffcode::WrongType;
    if (int rc = loadValues(entry); rc != 0)
        return rc;
    uint16_t* pair = entry.tag == kPageNumber ? m_record.pageNumber : m_record.ycbcrSubsampling;
    for (size_t i = 0; i < std::min<size_t>(entry.count, 2); ++i)
        pair[i] = uint16_t(valueAt(entry.type, i));
    return 0;
}

int TiffReader::handleColorMap(const TiffEntry& entry)
{
    // The map holds 2^bits red, green and blue values; anything else is not a colour map.
    const unsigned bits = m_record.bitsPerSample;
    if (bits < 1 || bits > 16 || entry.count != (uint32_t(3) << bits))
        return tiffcode::WrongType;
    if (int rc = loadValues(entry); rc != 0)
        return rc;
    m_record.colorMap.resize(entry.count);
    for (size_t i = 0; i < entry.count; ++i)
        m_record.colorMap[i] = uint16_t(valueAt(entry.type, i));
    return 0;
}

}  // namespace tnw::common
