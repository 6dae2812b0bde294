// Bytes → JPEG marker scan. The scan must never read outside the buffer, whatever it holds.
#include "conv/pdf/jpeg_markers.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact-size copy, so that AddressSanitizer sees a read one byte past the end.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(copy.get(), data, size);
    tnw::conv::JpegMarkerScan scan;
    const int rc = tnw::conv::scanJpegMarkers(size ? copy.get() : nullptr, size, scan);
    // Every failure sets the error flag; no marker code outside the table is ever counted.
    if (rc < 0 && !scan.error)
        std::abort();
    if (scan.counts[0] != 0)
        std::abort();
    for (int code = 1; code < 256; ++code) {
        if (scan.counts[code] != 0 && !tnw::conv::isJpegMarkerCode(static_cast<std::uint8_t>(code)))
            std::abort();
    }
    return 0;
}
