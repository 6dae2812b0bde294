// The system's own TIFF structure reader: opens a file, checks the byte order, walks the chain
// of image file directories and fills one directory record per page with what the PDF writer,
// the page information and the JPEG page scan need. The same reader writes a dump of every
// entry of a directory, as a text listing or as comma-separated rows (the tag dump dialog).
//
// The reader reads only bytes the file has: every value is bounds-checked against the file
// length before anything is allocated or read, and a directory chain that comes back to the
// bytes of a directory already read ends the walk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tnw::common {

// The reader's codes. 0 is success.
namespace tiffcode {
constexpr int WrongType = -1;        // a known tag with a type its handler does not accept
constexpr int TooManyValues = -3;    // more than kMaxStripValues strip/tile offsets or counts
constexpr int OpenFailed = -300;     // empty path, or the file cannot be opened
constexpr int ReadFailed = -301;     // short header, short read, or bytes beyond the file end
constexpr int SeekFailed = -302;     // an offset beyond the file end, or a failed seek
constexpr int NotTiff = -303;        // the byte-order mark is neither "II" nor "MM"
constexpr int NoBuffer = -304;       // a work buffer cannot be had (reading directories)
constexpr int NoTextBuffer = -305;   // the dump's work buffer cannot be had
constexpr int NoDirectory = -306;    // no directory (or no directory with that index)
constexpr int NoEntries = -307;      // a directory with an entry count below 1
constexpr int NoValueBuffer = -309;  // a tag's value buffer cannot be had
}  // namespace tiffcode

// The most strip or tile offsets (or byte counts) one directory may hold.
constexpr uint32_t kMaxStripValues = 16384;

// TIFF field types.
enum TiffType : uint16_t {
    kTiffByte = 1,
    kTiffAscii = 2,
    kTiffShort = 3,
    kTiffLong = 4,
    kTiffRational = 5,
    kTiffSByte = 6,
    kTiffUndefined = 7,
    kTiffSShort = 8,
    kTiffSLong = 9,
    kTiffSRational = 10,
    kTiffFloat = 11,
    kTiffDouble = 12,
};

// Bytes per value of a type: SHORT, SSHORT 2; LONG, SLONG, FLOAT 4; RATIONAL, SRATIONAL,
// DOUBLE 8; any other type 1.
unsigned tiffTypeSize(uint16_t type);

// One 12-byte directory entry as read (tag, type and count already in host order).
struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    // The value field in host order: for a big-endian SHORT with a count of 0 or 1 the 16-bit
    // value in its first two bytes, otherwise the 32-bit field (an offset when the values
    // need more than four bytes).
    uint32_t value = 0;
    uint8_t raw[4] = {};  // the value field's bytes as stored in the file
};

// One directory as found in the file.
struct TiffDirectoryBlock {
    uint32_t offset = 0;  // where the directory starts
    uint16_t entryCount = 0;
    uint32_t nextOffset = 0;
    std::vector<TiffEntry> entries;  // in file order
};

struct TiffRational {
    uint32_t numerator = 0;
    uint32_t denominator = 0;
    // numerator / denominator; 0 when the denominator is 0.
    double toDouble() const { return denominator ? double(numerator) / denominator : 0.0; }
};

// A tag whose handler failed while the directory was read (the record keeps its default).
struct TiffTagFailure {
    uint16_t tag = 0;
    int code = 0;
};

// The values of one directory (one page). Fields of absent tags keep their defaults; texts hold
// the bytes of an ASCII value up to its first zero byte.
struct TiffDirectory {
    int index = 0;  // 0-based directory index

    uint32_t width = 0;   // 256
    uint32_t length = 0;  // 257
    // 258: the value, or, when there are several, the common value when all agree and 8
    // otherwise; every value is kept in bitsPerSampleValues.
    uint16_t bitsPerSample = 1;
    std::vector<uint16_t> bitsPerSampleValues;
    uint16_t compression = 0;    // 259 (0 when absent)
    uint16_t photometric = 0;    // 262
    uint16_t fillOrder = 1;      // 266
    uint16_t orientation = 0;    // 274 (0 when absent; drawn like 1)
    uint16_t samplesPerPixel = 0;  // 277 (0 when absent, counted as 1)
    uint32_t rowsPerStrip = 0xFFFFFFFFu;  // 278 (all rows when absent)
    uint16_t planarConfig = 0;   // 284
    uint16_t resolutionUnit = 2; // 296
    uint16_t inkSet = 0;         // 332
    uint16_t numberOfInks = 0;   // 334
    uint16_t sampleFormat = 0;   // 339 (first value; 0 when absent)
    uint16_t jpegProc = 0;       // 512

    std::string documentName;     // 269
    std::string imageDescription; // 270
    std::string make;             // 271
    std::string model;            // 272
    std::string pageName;         // 285
    std::string software;         // 305
    std::string dateTime;         // 306
    std::string artist;           // 315
    std::string hostComputer;     // 316
    std::string inkNames;         // 333: every name, each ended by its zero byte
    std::string targetPrinter;    // 337
    std::string copyright;        // 33432

    std::vector<uint32_t> stripOffsets;     // 273
    std::vector<uint32_t> stripByteCounts;  // 279
    uint64_t stripByteCountSum = 0;
    uint32_t largestStrip = 0;

    TiffRational xResolution;  // 282
    TiffRational yResolution;  // 283
    TiffRational xPosition;    // 286
    TiffRational yPosition;    // 287
    uint16_t pageNumber[2] = {0, 0};  // 297: page (0-based) and number of pages
    TiffRational whitePoint[2];       // 318
    TiffRational primaryChromaticities[6];  // 319

    // 320: the red, then the green, then the blue values, 2^bits each (empty when absent).
    std::vector<uint16_t> colorMap;

    uint32_t tileWidth = 0;   // 322
    uint32_t tileLength = 0;  // 323
    std::vector<uint32_t> tileOffsets;     // 324
    std::vector<uint32_t> tileByteCounts;  // 325

    uint32_t jpegTablesOffset = 0;  // 347: where the tables are and their length in bytes
    uint32_t jpegTablesLength = 0;
    uint32_t jpegInterchangeOffset = 0;  // 513
    uint32_t jpegInterchangeLength = 0;  // 514
    uint16_t jpegRestartInterval = 0;    // 515
    uint16_t ycbcrSubsampling[2] = {2, 2};  // 530: horizontal, vertical

    // Bytes of one row padded to a multiple of 4: (width x bits x samples + 31) / 32 x 4.
    uint64_t bytesPerRow = 0;

    std::vector<uint16_t> tags;  // the tags of the directory, in file order
    std::vector<TiffTagFailure> failures;

    bool has(uint16_t tag) const;
};

enum class TiffDumpMode { None, Text, Rows };

struct TiffTagRow;  // a row of the tag table (tiff_reader_tags.h)

class TiffReader {
public:
    TiffReader();
    ~TiffReader();
    TiffReader(const TiffReader&) = delete;
    TiffReader& operator=(const TiffReader&) = delete;

    // Opens a file (code page 932 path) and reads its header. 0, or -300 (empty path, cannot
    // open), -301 (shorter than 8 bytes), -303 (not "II"/"MM"), -304/-305 (no work buffer).
    // After a failure the file is closed.
    int open(const std::string& path);
    // The same for a TIFF file's bytes in memory, which must stay in place until close().
    int openMemory(std::string_view bytes);

    // Walks the directory chain from the first offset. 0, or -302 (a directory offset beyond
    // the file), -301 (a directory running past the file end), -307 (no entries), -304 (no
    // buffer), -306 (no directory at all); the directories read before a failure stay listed.
    // A chain that comes back to the bytes of a directory already read (a cycle, or
    // overlapping directories) ends there with 0; the directories read so far stand.
    int readDirectories();

    // Reads directory n (0-based) into the record and, with a dump mode and stream set,
    // writes its dump. 0, or -306 when there is no such directory. A tag whose handler fails
    // keeps the record's default and is listed in record().failures; the other tags are read.
    int readDirectory(int n);

    // Releases the file and the work buffers; the record and directories are cleared.
    void close();

    // The dump written by readDirectory: mode None (the default) writes nothing. The stream
    // is not owned; the dump is code page 932 bytes.
    void setDump(FILE* stream, TiffDumpMode mode);

    bool isOpen() const { return m_file != nullptr; }
    uint64_t fileLength() const { return m_fileLength; }
    int byteOrder() const { return m_bigEndian ? 1 : 0; }  // 0 "II", 1 "MM"
    uint16_t version() const { return m_version; }
    uint32_t firstOffset() const { return m_firstOffset; }
    int directoryCount() const { return int(m_blocks.size()); }
    const std::vector<TiffDirectoryBlock>& directories() const { return m_blocks; }
    const TiffDirectory& record() const { return m_record; }

private:
    struct FileCloser {
        void operator()(FILE* f) const { std::fclose(f); }
    };

    int readHeader();
    // File access, bounds-checked against the file length.
    int readAt(uint64_t offset, void* out, size_t size);
    int readDirectoryBlock(uint32_t offset, TiffDirectoryBlock& block);
    // The bytes of an entry's values (from the value field or from the file) into m_values.
    int loadValues(const TiffEntry& entry);
    uint32_t valueAt(uint16_t type, size_t i) const;  // one element of m_values, host order
    uint32_t fieldValue(const TiffEntry& entry) const;
    uint16_t u16(const uint8_t* p) const;
    uint32_t u32(const uint8_t* p) const;

    // Handlers: store the entry's values in the record.
    int handle(const TiffEntry& entry, const TiffTagRow& row);
    int handleNumber(const TiffEntry& entry);
    int handleText(const TiffEntry& entry);
    int handleBits(const TiffEntry& entry);
    int handleArray(const TiffEntry& entry);
    int handleRational(const TiffEntry& entry);
    int handlePair(const TiffEntry& entry);
    int handleColorMap(const TiffEntry& entry);
    void finishRecord();

    // Dumps (tiff_reader_dump.cpp).
    void dumpHeader(const TiffDirectoryBlock& block);
    void dumpEntryLine(const TiffEntry& entry, const TiffTagRow* row);
    void dumpDetail(const TiffEntry& entry, const TiffTagRow& row, int code);
    void dumpRow(const TiffEntry& entry, const TiffTagRow* row, int code);
    void dumpLoadFailure(const TiffEntry& entry);
    std::string rowValueText(const TiffEntry& entry) const;
    void put(const std::string& text);
    void putf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    std::unique_ptr<FILE, FileCloser> m_file;
    uint64_t m_fileLength = 0;
    bool m_bigEndian = false;
    char m_order[3] = {0, 0, 0};
    uint16_t m_version = 0;
    uint32_t m_firstOffset = 0;
    std::vector<TiffDirectoryBlock> m_blocks;
    // Work buffers: the values of one entry, the raw bytes of one directory, the text of one
    // dump line.
    std::vector<uint8_t> m_values;
    int m_valuesCode = 0;            // the result of the last loadValues
    const TiffEntry* m_loaded = nullptr;  // the entry whose values m_values holds
    std::vector<uint8_t> m_blockBytes;
    std::string m_text;
    FILE* m_dumpStream = nullptr;
    TiffDumpMode m_dumpMode = TiffDumpMode::None;
    TiffDirectory m_record;
};

}  // namespace tnw::common
