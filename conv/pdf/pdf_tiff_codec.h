// The TIFF library behind RAII for the PDF writer: decoding a page's strips, reading a page as
// RGB, and encoding a buffer as one CCITT Group 4 or Deflate strip. Every handle is closed by
// its owner; the library's errors and warnings go into the owning object, never to the terminal.
#pragma once

#include <cstdint>
#include <string>

namespace tnw::conv {

// What a decode asks for: the page and the sizes the writer expects of it.
struct TiffDecodeRequest {
    std::string path;         // code page 932
    int directoryIndex = 0;
    uint32_t width = 0;
    uint32_t length = 0;
    uint16_t bitsPerSample = 0;
    uint16_t samplesPerPixel = 0;
    uint64_t maxBytes = 0;    // the largest buffer allowed
};

enum class TiffDecodeStatus { Ok, OpenFailed, DirectoryFailed, Mismatch, TooLarge, StripFailed };

struct TiffDecodeResult {
    TiffDecodeStatus status = TiffDecodeStatus::Ok;
    uint32_t failedStrip = 0;
    uint64_t wanted = 0;   // bytes the buffer needed (TooLarge)
    std::string errors;    // the library's messages
};

// Decodes every strip of the page in order into `out` (length x bytes per row, rows unpadded).
TiffDecodeResult decodeTiffStrips(const TiffDecodeRequest& request, std::string& out);

// Reads the page through the library's RGBA reader and keeps the red, green and blue samples:
// 3 bytes per pixel, rows in the order the file stores them. The Orientation tag is not applied
// (the PDF page's matrix draws it).
TiffDecodeResult readTiffRgb(const TiffDecodeRequest& request, std::string& out);

// Encodes `data` as one strip with the page's width, length, bits and samples, contiguous
// planes, fill order 1, and TIFF compression 4 (Group 4, no options) or 32946 (Deflate at the
// library's default level, no predictor). Replaces `data` with the encoded bytes; false (with
// `errors`) when the library fails.
bool encodeTiffStrip(uint32_t width, uint32_t length, uint16_t bits, uint16_t samples,
                     int compression, std::string& data, std::string& errors);

}  // namespace tnw::conv
