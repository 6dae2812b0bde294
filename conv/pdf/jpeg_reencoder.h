// Our baseline JPEG encoder at quality 75: re-encodes JPEG files that cannot go into a PDF as
// they are (progressive, arithmetic-coded, grayscale pages to be rebuilt) and encodes decoded
// page pixels. Every output is baseline: sequential, Huffman-coded, 8-bit.
//
// Colour handling:
//  - grayscale in, one-component grayscale out;
//  - RGB or YCbCr in, three-component YCbCr out;
//  - CMYK or YCCK in, four-component CMYK out with the Adobe marker. The Adobe convention stores
//    inverted samples, so the samples of a CMYK input without that marker are inverted on the way
//    (a reader that honours the marker sees the same colours as before).
// The input's density (unit and X/Y) is kept: in the JFIF marker for grayscale and colour, and for
// CMYK only when the input carried a JFIF marker itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tnw::conv {

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// Pixels in memory, not owned.
struct BitmapView {
    enum class RowOrder { TopDown, BottomUp };

    int width = 0;
    int height = 0;
    int bitCount = 24;                    // 8: palette indices; 24: three samples per pixel
    const std::uint8_t* pixels = nullptr;
    std::size_t size = 0;                 // bytes at `pixels`
    std::size_t stride = 0;               // bytes from a row to the next; 0: padded to 4 (DIB)
    RowOrder order = RowOrder::TopDown;   // BottomUp: the first row in memory is the image's last
    bool bgr = false;                     // 24-bit samples in blue, green, red order (DIB)
    const PaletteEntry* palette = nullptr;  // 256 entries for 8 bits; null: the gray ramp
    int densityUnit = 0;                  // as in JPEG: 0 none, 1 per inch, 2 per centimetre
    int xDensity = 1;
    int yDensity = 1;
};

class JpegReencoder {
public:
    enum Code {
        kOk = 0,
        kOpenInput = -1,     // the input file cannot be opened
        kDecode = -2,        // the input cannot be decoded
        kUnsupported = -3,   // colour space or bitmap layout we do not encode
        kCreateOutput = -4,  // the output file cannot be created
        kEncode = -5,        // encoding or writing the output failed
    };
    static constexpr int kQuality = 75;
    // Largest side libjpeg accepts.
    static constexpr int kMaxDimension = 65500;

    // Limits the decoder's memory (the coefficient buffer of a progressive input); 0: none.
    void setMemoryLimit(long bytes) { m_memoryLimit = bytes; }

    // Decodes the JPEG file `in` and writes it as a baseline JPEG file `out` (code page 932
    // paths; `out` is replaced). A failed run leaves no output file.
    int reencodeFile(const std::string& in, const std::string& out);
    // Encodes `bitmap` as a baseline JPEG file `out`. An 8-bit bitmap whose palette is all
    // gray (or that has none) gives a grayscale JPEG, otherwise a colour one.
    int encodeBitmap(const BitmapView& bitmap, const std::string& out);
    // The same, into `bytes` in memory instead of a file (replaced on success).
    int encodeBitmapToMemory(const BitmapView& bitmap, std::string& bytes);

    // What went wrong in the last call, for diagnostics ("" after success).
    const std::string& message() const { return m_message; }
    // Warnings of the decoder in the last call (corrupt data it got past).
    int warnings() const { return m_warnings; }

private:
    int encodeBitmapTo(const BitmapView& bitmap, const std::string* path, std::string* bytes);
    int fail(int code, std::string message);

    std::string m_message;
    int m_warnings = 0;
    long m_memoryLimit = 1L << 30;
};

}  // namespace tnw::conv
