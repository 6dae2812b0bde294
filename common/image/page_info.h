// What the display knows of one page of an image file without decoding it: its format, pixel
// size, depth, compression and resolution, read from the file's header (JPEG) or directory
// (TIFF). The lists' cells, the status bar and the thumbnail decoder all start from it.
#pragma once

#include <cstdint>
#include <string>

namespace tnw::image {

// Format codes of the file-kind table: 11 JPEG, 12 TIFF; 0 a format that is not decoded;
// -1 a file whose header could not be read.
constexpr int kFormatNone = -1;
constexpr int kFormatOther = 0;
constexpr int kFormatJpeg = 11;
constexpr int kFormatTiff = 12;

// Failure codes handed to the thumbnail views (the page is drawn failed and not retried).
namespace decode {
constexpr int Ok = 0;
constexpr int Failed = -1;          // decoder error, refused header, allocation failure
constexpr int WholeReadFailed = -2; // a TIFF layout that cannot be read
constexpr int CannotOpen = -9;      // the file cannot be opened (JPEG)
constexpr int RowReadFailed = -312; // a TIFF row read failed
constexpr int TiffCannotOpen = -970;
constexpr int NotDecodable = -998;  // a format without a decoder
}  // namespace decode

// Limits of every probe and decode: a header claiming more pixels is refused before anything
// is allocated (an A1 page at 600 dpi still passes), libjpeg may use this much memory, and a
// TIFF file is read for at most this many pages.
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 29;
constexpr long kJpegMemoryLimit = 256L * 1024 * 1024;
constexpr std::int64_t kTiffAllocationLimit = 256LL * 1024 * 1024;
constexpr int kMaxTiffPages = 10000;

struct PageInfo {
    int format = kFormatNone;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;   // bits per sample x samples per pixel
    int compression = 0;    // TIFF compression as kept for display; 0 for a JPEG
    int unit = 0;           // 0 unknown, 1 none, 2 inch, 3 cm, 4 mm, 5 metre
    double xRes = 0;
    double yRes = 0;
    int colorSpace = 0;     // TIFF photometric, or the JPEG colour space
    int orientation = 1;    // TIFF Orientation tag (1 when absent)
    int pageIndex = 0;
    int pageCount = 1;
    bool progressive = false;  // a progressive JPEG (large coefficient buffers when decoded)
    std::string failure;       // why the probe failed or the page is not decodable
};

// The compression code kept for display: the codes the lists name as read, JBIG (34661) as
// 32661, anything else 0.
int displayCompression(int tiffCompression);

}  // namespace tnw::image
