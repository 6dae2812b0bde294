// Fuzz target of the display decoder: the first byte picks the format ('T' TIFF, anything else
// JPEG) and a display turn; the rest are the file's bytes, probed and then decoded page by
// page (at most four) into a small box, as the thumbnail views do.
#include "common/image/display_decoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int format = data[0] == 'T' ? 12 : 11;
    const int rotation = (data[0] & 3) * 90;
    tnw::image::ImageSource source = tnw::image::ImageSource::fromBytes(data + 1, size - 1);
    std::vector<tnw::image::PageInfo> pages;
    if (tnw::image::probePages(source, format, pages) != 0)
        return 0;
    for (std::size_t i = 0; i < pages.size() && i < 4; ++i) {
        tnw::image::DecodeRequest request;
        request.pageIndex = pages[i].pageIndex;
        request.boxWidth = 64;
        request.boxHeight = 48;
        request.rotation = rotation;
        const tnw::image::DecodeResult result = tnw::image::decodePage(source, pages[i], request);
        if (result.code == 0 && (result.image.width() > 64 || result.image.height() > 64))
            __builtin_trap();  // a picture larger than its box
    }
    return 0;
}
