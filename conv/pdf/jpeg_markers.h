// The table of JPEG (and JPEG 2000 codestream) markers, and the scan that counts the markers of a
// buffer of JPEG data: it decides whether a JPEG-compressed TIFF page must be rebuilt.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tnw::conv {

struct JpegMarker {
    std::string brief;   // short description (code page 932)
    std::string name;    // "SOF0", "DQT", ...
    std::uint16_t code;  // 0xFFxx
    std::string detail;  // long description (code page 932)
};

// The 86 markers in ascending code order. Only the codes take part in any decision.
const std::vector<JpegMarker>& jpegMarkers();
// True when 0xFF followed by `code` is in the table.
bool isJpegMarkerCode(std::uint8_t code);

// Second bytes of the markers the scan treats specially.
inline constexpr std::uint8_t kMarkerSoi = 0xD8;
inline constexpr std::uint8_t kMarkerEoi = 0xD9;
inline constexpr std::uint8_t kMarkerSos = 0xDA;
inline constexpr std::uint8_t kMarkerDqt = 0xDB;
inline constexpr std::uint8_t kMarkerDri = 0xDD;

struct JpegMarkerScan {
    std::array<int, 256> counts{};  // by the marker's second byte; 0x00 never counted
    bool error = false;
};

// Scan results besides 0 and the buffer's length.
enum JpegMarkerScanCode {
    kScanBadMarker = -1,       // a code not in the table before the first SOS, or a cut marker
    kScanSecondSoi = -2,       // SOI met a second time
    kScanBadLength = -9,       // a segment length of 2 or less
    kScanCutLength = -11,      // fewer than 2 bytes for a segment length
    kScanCutSegment = -113,    // fewer than 2 bytes left after a segment
};

// Counts the markers of `data`. Before the first SOS the buffer is walked segment by segment
// (bytes between segments are passed until the next 0xFF); from the first SOS on, every
// 0xFF followed by a table code is counted. Returns 0 (EOI before SOS, or the end of a buffer
// that had markers), a negative JpegMarkerScanCode with the error flag set, or `size` with the
// error flag set when the buffer holds no marker at all. Never reads outside the buffer.
int scanJpegMarkers(const std::uint8_t* data, std::size_t size, JpegMarkerScan& scan);

}  // namespace tnw::conv
