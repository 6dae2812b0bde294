// The data of a page's image stream, made in memory before any object of the page is written:
// strips copied as stored (bit-reversed for fill order 2), the DCT stream of a JPEG page, or the
// samples decoded through the TIFF library, treated where needed and encoded again.
#pragma once

#include "common/tiff_reader.h"
#include "conv/pdf/pdf_messages.h"
#include "conv/pdf/pdf_page_params.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tnw::conv {

struct ImageDataRequest {
    const PageParams* params = nullptr;
    const common::TiffDirectory* directory = nullptr;
    std::string tiffPath;      // the file holding the page (code page 932)
    bool keepJpeg = false;     // a wrapped grayscale JPEG goes in unchanged
    std::string_view tiffMemory;  // or its bytes in memory (a wrapped JPEG); then tiffPath names it
    std::string workFolder;    // temporary files of a JPEG rebuild
    uint64_t maxBytes = 0;     // the largest image buffer allowed (0: no limit)
};

struct ImageDataResult {
    int status = 0;            // 0, or the image step's negative code
    PdfMsg failure = PdfMsg::None;
    int64_t value = 0;         // the number the failure's message shows
    std::string message;       // a failure's message when it comes from the JPEG assembly
    std::string diagnostic;
    bool converted = false;    // decoded and encoded again, or rebuilt
    // A rebuilt JPEG page: the components of the new data (1 gray, 3 RGB), which the image
    // dictionary must describe instead of the source's (describeRebuiltJpeg). 0 otherwise.
    int rebuiltComponents = 0;
    bool bitReversed = false;
};

// Fills `data` with the page's stream data. Returns the status (0 on success).
int makeImageData(const ImageDataRequest& request, std::string& data, ImageDataResult& result);

// Turns signed a* and b* samples (the second and third of each pixel) into unsigned ones by
// flipping their top bit, row by row (rows start on a byte).
void labSignedToUnsigned(std::string& data, uint32_t width, uint32_t length, uint16_t bits,
                         uint16_t samples);

}  // namespace tnw::conv
