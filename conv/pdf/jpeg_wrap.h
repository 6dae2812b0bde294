// Wrapping a JPEG file into the temporary TIFF that the PDF writer reads: the JPEG is analysed,
// re-encoded as baseline when it cannot go into a PDF as it is (progressive or arithmetic-coded),
// and its bytes become the one strip of the TIFF.
#pragma once

#include "common/image/jpeg_analysis.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tnw::conv {

// The temporary files in the work folder are named after these, each with a unique part of
// its own ("tnwjpg_1.k3Xq9Z.jpg").
inline constexpr const char* kWrapCopyName = "tnwjpg_1.jpg";      // copy of the input
inline constexpr const char* kWrapBaselineName = "tnwjpg_2.jpg";  // its baseline re-encoding

struct JpegWrapResult {
    image::JpegInfo info;              // the JPEG that was wrapped (the re-encoding when there was one)
    bool reencoded = false;     // progressive or arithmetic input, re-encoded: the log row gets
                                // the note "ﾌﾟﾛｸﾞﾚｼﾌﾞDCT."
    bool keptProgressive = false;  // a progressive input kept as it is (keepProgressive)
    bool invertedCmyk = false;  // CMYK or YCCK with the Adobe marker: inverted samples
    std::uint64_t dataSize = 0; // bytes of the wrapped JPEG (the strip)
    std::string diagnostic;     // what failed, for the debug output; never shown to the user
    // The TIFF in memory (wrapJpegInMemory): its bytes are buffer[tiffStart..], the JPEG's bytes
    // the last dataSize of them.
    std::string buffer;
    std::size_t tiffStart = 0;
    std::string_view tiff() const { return std::string_view(buffer).substr(tiffStart); }
};

// Wraps the JPEG file `jpegPath` into the TIFF file `tiffPath` (replaced), using `workFolder` for
// the temporary JPEG files, which are deleted before returning. All paths are code page 932.
// 0, or:
//   -1   the analysis failed, or the file cannot be opened
//   -2   the file came up short or changed size while it was read
//   -10  the height is not 1 to 16384 rows, or the file is gone
//   -11  no memory for the file's bytes, or the file does not fit a TIFF
//   -300 the copy for the re-encoding cannot be created
//   -301 the copy came up short or the re-encoding failed; the TIFF came up short
//   -304 the TIFF cannot be laid out
// The TIFF writer's -300 for a TIFF that cannot be created is passed on as well.
int wrapJpegFile(const std::string& jpegPath, const std::string& tiffPath,
                 const std::string& workFolder, JpegWrapResult& result);

// The same TIFF, kept in memory in `result` (tiff()) instead of a file: the JPEG file is opened
// and read once, and its bytes are not copied again. The codes are those above.
// With `keepProgressive` a progressive Huffman-coded file is kept as it is instead of being
// re-encoded (PDF 1.3 and later read it).
int wrapJpegInMemory(const std::string& jpegPath, const std::string& workFolder,
                     JpegWrapResult& result, bool keepProgressive = false);

}  // namespace tnw::conv
