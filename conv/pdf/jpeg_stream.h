// The DCT stream of a JPEG-compressed TIFF page (TIFF compression 6 or 7): the bytes that go
// into the PDF's image stream, always ending in FF D9. The PDF writer calls this for every such
// page, including the temporary TIFF that wraps a JPEG file.
//
// Compression 6 (old-style JPEG, every wrapped colour JPEG): the strips as stored, after the
// interchange bytes when they are not already the start of the first strip; several strips
// after a complete interchange stream get a DRI segment and a restart marker before each strip
// after the first. A wrapped colour JPEG comes out as the file unchanged, then FF D9.
//
// Compression 7 (every wrapped grayscale JPEG): a page with one sample per pixel is decoded and
// encoded again as an 8-bit grayscale JPEG; a colour page with several strips, or whose strips
// hold markers that cannot be joined (DQT after the first strip, DRI anywhere), is decoded and
// encoded again as an RGB JPEG, whatever the page's colour space was; any other page is its
// JPEG tables (without their EOI) and its one strip (without its SOI when the tables come
// first). A rebuilt JPEG is encoded in memory.
//
// Every offset and length comes from the file and is checked against the file's size before
// anything is allocated or read.
#pragma once

#include "common/tiff_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tnw::conv {

// The name a rebuilt JPEG's temporary file had in the work folder; a rebuild no longer makes one.
inline constexpr const char* kJpegRebuildName = "tnw7.jpg";

struct JpegPageSource {
    std::string path;                                 // the TIFF file (code page 932)
    // When not empty: the TIFF file's bytes in memory, read instead of `path` (which then only
    // names the page in messages).
    std::string_view memory;
    // A one-strip compression 7 page without JPEG tables (a wrapped grayscale JPEG file) is
    // its strip unchanged instead of a re-encoding.
    bool keepWhole = false;
    const common::TiffDirectory* directory = nullptr; // the page's directory record
    std::string workFolder;                           // the work folder (a rebuild needs none)
    // The largest decoded image a rebuild may allocate (as 32-bit pixels for a colour page, one
    // byte per pixel for gray); a larger page fails with the rebuild's allocation code. 0: no
    // limit.
    std::uint64_t maxDecodeBytes = std::uint64_t(1) << 30;
};

struct JpegStreamReport {
    std::string message;     // Japanese message (code page 932) of a failure
    std::string diagnostic;  // English diagnostic of a failure (without "tiff2pdf: ")
    bool rebuilt = false;    // the data was decoded and encoded again
    // What a rebuilt JPEG holds: 1 (8-bit gray) or 3 (8-bit RGB) components; 0 when the data
    // is the page's own.
    int rebuiltComponents = 0;
    int status = 0;          // what writeJpegPageStream returned
    // Compression 7: the marker scan asked for a rebuild (DQT after the first strip or DRI).
    bool markersNeedRebuild = false;
    // Compression 6: several strips were joined with a DRI segment and restart markers.
    bool restartsInserted = false;
};

// Codes besides those of the strip copy (-301 read/write, -302 seek, -317 copy buffer).
enum JpegStreamCode {
    kJpegStreamInterchange = -320,       // the interchange bytes cannot be had
    kJpegStreamRestartWrite = -321,      // the DRI segment cannot be written
    kJpegStreamInterchangeWrite = -322,  // the interchange bytes cannot be written
    kJpegStreamSubsampling = -323,       // YCbCrSubSampling with a 0
    kJpegStreamOutputMemory = -6,        // the output cannot grow (compression 7)
    // Colour rebuild: pixel buffer, bitmap, decoding, encoding.
    kJpegRebuildColourAllocate = -21,
    kJpegRebuildColourBitmap = -22,
    kJpegRebuildColourDecode = -23,
    kJpegRebuildColourSave = -24,
    // Grayscale rebuild: the same steps.
    kJpegRebuildGrayAllocate = -31,
    kJpegRebuildGrayBitmap = -32,
    kJpegRebuildGrayDecode = -33,
    kJpegRebuildGraySave = -34,
    // Reading the rebuilt file back (either rebuild).
    kJpegRebuildOpen = -51,
    kJpegRebuildRead = -53,
};

// Appends the page's stream data to `out`. Returns the number of bytes appended, or a negative
// code with `report` describing the failure (then `out` is left as it was).
int writeJpegPageStream(const JpegPageSource& page, std::string& out, JpegStreamReport& report);

}  // namespace tnw::conv
