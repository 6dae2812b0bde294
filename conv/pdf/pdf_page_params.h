// What the writer knows about one page before writing it: the image parameters taken from a
// TIFF directory, checked (refusals and warnings in a fixed order), the page geometry and the
// choice between copying the compressed data and decoding and encoding it again.
#pragma once

#include "common/tiff_reader.h"
#include "conv/pdf/pdf_messages.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tnw::conv {

// PDF colour space bits.
enum PdfColorSpace : uint32_t {
    kCsBilevel = 0x01,
    kCsGray = 0x02,
    kCsRgb = 0x04,
    kCsCmyk = 0x08,
    kCsLab = 0x10,
    kCsPalette = 0x1000,  // always with kCsRgb
};

// Sample treatments applied to decoded data.
enum PdfSampleTreatment : uint32_t {
    kTreatNone = 0,
    kTreatYCbCrToRgb = 0x08,
    kTreatLabSignedToUnsigned = 0x40,
    kTreatPlanarToContig = 0x100,
};

enum PdfTranscode { kTranscodeRaw = 1, kTranscodeEncode = 2 };

enum PdfCompression { kPdfCompNone = 0, kPdfCompG4 = 1, kPdfCompDct = 2, kPdfCompFlate = 4 };

// A refusal or warning with the number its message shows.
struct PageIssue {
    PdfMsg id = PdfMsg::None;
    int64_t value = 0;
    explicit operator bool() const { return id != PdfMsg::None; }
};

struct PageParams {
    uint32_t width = 0;
    uint32_t length = 0;
    // Bits and samples of the image as written into the PDF. They equal the source's unless
    // the page is converted to RGB (sourceBits and sourceSamples keep the TIFF's values).
    uint16_t bitsPerSample = 0;
    uint16_t samplesPerPixel = 0;
    uint16_t sourceBits = 0;
    uint16_t sourceSamples = 0;
    uint16_t compression = 0;   // TIFF compression
    uint16_t photometric = 0;
    uint16_t fillOrder = 1;
    uint16_t planarConfig = 0;
    uint16_t orientation = 0;
    float xResolution = 0;      // pixels per inch
    float yResolution = 0;
    uint16_t resolutionUnit = 0;

    uint32_t colorSpace = 0;       // PdfColorSpace bits
    uint32_t sampleTreatment = 0;  // PdfSampleTreatment bits
    int decodeInvert = 0;          // 1: the Decode array inverts the samples
    int transcode = 0;             // PdfTranscode
    int pdfCompression = kPdfCompNone;
    // The decoded samples are turned into 8-bit RGB through the TIFF library's RGBA reader
    // (YCbCr data that is not JPEG-compressed).
    bool convertToRgb = false;

    std::string palette;  // 3 bytes per entry (high bytes of the colour map)
    int32_t labRange[4] = {0, 0, 0, 0};
    float whiteX = 0;
    float whiteY = 0;

    float mediaBox[4] = {0, 0, 0, 0};
    float matrix[6] = {0, 0, 0, 0, 0, 0};  // the "cm" values of the content stream

    uint32_t stripCount = 0;

    // Objects the page needs beyond its five: 1 for the palette.
    int extraObjects() const { return (colorSpace & kCsPalette) ? 1 : 0; }
};

// Reads the parameters of one directory in the documented order: zero width and length, bits
// per sample, samples per pixel, sample format, photometric interpretation, planar
// configuration, orientation, resolution; then composes the geometry and decides the
// transcoding. Returns the first refusal (id None when the page is accepted); warnings are
// added to `warnings`.
PageIssue readPageParams(const common::TiffDirectory& dir, PageParams& params,
                         std::vector<PageIssue>& warnings);

// Refusals the writer decides from the directory before the parameters: a tiled page. And
// after them, the strips: none, a byte count below 1, strips that lie beyond the file.
PageIssue checkTiles(const common::TiffDirectory& dir);
PageIssue checkStrips(const common::TiffDirectory& dir, uint64_t fileLength);

// Page geometry from size, resolution and orientation (sets mediaBox and matrix).
void composeGeometry(PageParams& params);

// Raw copy or decode and encode, and the PDF compression.
void decideTranscode(PageParams& params);

// A JPEG page that was decoded and encoded again holds 8-bit samples of `components` (1: the
// page's gray samples as stored, so a min-is-white page keeps its inversion; 3: RGB from the
// TIFF library's RGBA reader, whatever the source's colour space, never inverted). Describes
// the image as that data. Other values leave the parameters as they are.
void describeRebuiltJpeg(PageParams& params, int components);

}  // namespace tnw::conv
