// The DCT stream of a JPEG-compressed TIFF page (TIFF compression 6 or 7): the bytes that go
// into the PDF's image stream, always ending in FF D9. The PDF writer calls this for every such
// page, including the temporary TIFF that wraps a JPEG file.
#pragma once

#include "common/tiff_reader.h"

#include <string>

namespace tnw::conv {

struct JpegPageSource {
    std::string path;                                 // the TIFF file (code page 932)
    const common::TiffDirectory* directory = nullptr; // the page's directory record
    std::string workFolder;                           // for the temporary files of a rebuild
};

struct JpegStreamReport {
    std::string message;     // Japanese message (code page 932) of a failure
    std::string diagnostic;  // English diagnostic of a failure (without "tiff2pdf: ")
    bool rebuilt = false;    // the data was decoded and encoded again
};

// Appends the page's stream data to `out`. Returns the number of bytes appended, or a negative
// code with `report` describing the failure (then `out` is left as it was).
int writeJpegPageStream(const JpegPageSource& page, std::string& out, JpegStreamReport& report);

}  // namespace tnw::conv
