// libjpeg behind RAII. Each class owns one decompress or compress record. The library's error
// exit stores the formatted message and jumps back into the member function that made the call;
// that function holds no object with a destructor between its setjmp and the library calls and
// returns -1. Warnings are counted, never printed.
#pragma once

#include <cstddef>
#include <cstdio>
#include <csetjmp>
#include <memory>
#include <string>

#include <jpeglib.h>

namespace tnw::image {

// A stdio file closed when it goes out of scope.
struct OwnedFileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using OwnedFile = std::unique_ptr<FILE, OwnedFileCloser>;

// The error manager shared by both records: the library's own manager first, so the record's
// `err` pointer is also a pointer to this.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int messageCode;
    int warnings;
    char firstWarning[JMSG_LENGTH_MAX];  // the text of the first warning, "" when none
    bool prematureEnd;                    // the data ended before the last row (JWRN_JPEG_EOF)
};

// Points `cinfo.err` at `manager` with the returning error exit and silent output.
jpeg_error_mgr* installJpegErrorManager(JpegErrorManager& manager);

class JpegDecompressor {
public:
    JpegDecompressor();
    ~JpegDecompressor();
    JpegDecompressor(const JpegDecompressor&) = delete;
    JpegDecompressor& operator=(const JpegDecompressor&) = delete;

    // Limits the memory the library may take for its buffers (the whole-image coefficient
    // buffer of a progressive file, mostly); 0 leaves it unlimited.
    void setMemoryLimit(long bytes) { m_memoryLimit = bytes; }

    // Reads the header from `file` (open for reading, owned by the caller) up to the first scan.
    int readHeader(FILE* file);
    // The same from bytes in memory, which the caller keeps until the image is decoded. With
    // `tablesOnly`, a stream that holds tables alone (a TIFF page's JPEG tables): the library
    // keeps them for the images read after it.
    int readHeader(const unsigned char* data, size_t size, bool tablesOnly = false);
    // Works out the output size and checks that the colour conversion is possible.
    int calcOutput();
    // Starts decoding to `outSpace` and allocates one output row from the library's pool.
    int start(J_COLOR_SPACE outSpace);
    // Decodes the next row into row(). 0 or -1.
    int readRow();
    int finish();
    // Ends the image before its last row; the tables stay for the next image.
    void abort();

    j_decompress_ptr record() { return &m_cinfo; }
    const jpeg_decompress_struct& info() const { return m_cinfo; }
    JSAMPROW row() const { return m_row; }
    std::string message() const { return m_err.message; }
    int messageCode() const { return m_err.messageCode; }
    int warnings() const { return m_err.warnings; }
    std::string firstWarning() const { return m_err.firstWarning; }
    // True once the decoder met the end of the data before the last row: the rows from there
    // on are the library's filler, not the file's.
    bool prematureEnd() const { return m_err.prematureEnd; }
    bool created() const { return m_created; }

    // Files with more scans than this are refused: a hostile progressive file can otherwise
    // hold the decoder for a very long time.
    static constexpr int kMaxScans = 500;

private:
    int create();
    static void progress(j_common_ptr cinfo);

    jpeg_decompress_struct m_cinfo{};
    JpegErrorManager m_err{};
    jpeg_progress_mgr m_progress{};
    JSAMPROW m_row = nullptr;
    long m_memoryLimit = 0;
    bool m_created = false;
};

class JpegCompressor {
public:
    JpegCompressor();
    ~JpegCompressor();
    JpegCompressor(const JpegCompressor&) = delete;
    JpegCompressor& operator=(const JpegCompressor&) = delete;

    struct Settings {
        JDIMENSION width = 0;
        JDIMENSION height = 0;
        J_COLOR_SPACE inSpace = JCS_RGB;  // JCS_GRAYSCALE, JCS_RGB or JCS_CMYK
        int quality = 75;
        bool writeJfif = true;   // JFIF marker with the density below
        UINT8 densityUnit = 0;
        UINT16 xDensity = 1;
        UINT16 yDensity = 1;
    };

    // Baseline Huffman coding to `file` (open for writing, owned by the caller). Grayscale is
    // written as one component, RGB as YCbCr, CMYK as CMYK with the Adobe marker.
    int start(FILE* file, const Settings& settings);
    // Encodes one row of width × components samples.
    int writeRow(JSAMPROW row);
    int finish();
    // A row of the given length from the library's pool (lives as long as the record).
    int allocateRow(size_t bytes, JSAMPROW& row);

    std::string message() const { return m_err.message; }
    int warnings() const { return m_err.warnings; }
    bool created() const { return m_created; }

private:
    int create();

    jpeg_compress_struct m_cinfo{};
    JpegErrorManager m_err{};
    bool m_created = false;
};

}  // namespace tnw::image
