// The PDF writer's messages: one table of every failure and warning with its English
// diagnostic and its Japanese message. The English text goes to standard error in debug mode as
// "tiff2pdf: TEXT.\n"; the Japanese text is the job message the caller reads.
#pragma once

#include <cstdint>
#include <string>

namespace tnw::conv {

enum class PdfMsg {
    None = 0,
    // Page parameters.
    ZeroWidth,
    ZeroLength,
    ZeroBits,         // warning
    BitsPerSample,
    ZeroSamples,      // warning
    SamplesPerPixel,
    SampleFormat,
    RgbAsCmyk,        // warning
    RgbSamples,
    PaletteSamples,
    PaletteNoColorMap,
    PaletteMemory,
    InkSet,
    SeparatedSamples,
    LogLuv,
    Photometric,
    Planar8Bits,
    PlanarBits,
    PlanarOther,
    Orientation,      // warning
    Tiled,
    // Image data.
    NoStrips,
    BadStripByteCount,
    StripSeek,
    StripRead,
    IfdOpen,
    IfdRead,
    DecodeStrip,
    EncodeWrite,
    ImageMemory,
    PageFailed,       // anything else that went wrong while a page was made
    // Sources and the job.
    OpenError,
    DirectoryError,
    InitDirectory,
    UnsupportedFile,      // page list code -316
    UnsupportedOther,     // any other page list code
    JpegWrap,
    NoFiles,
    NoPages,
    Cancelled,
    OutputOpen,
    OutputWrite,
    PageArrayMemory,
    OffsetMemory,
    SizeLimit,            // the first size-limit row, code 1688
    SizeLimitError,       // the first size-limit row, any other code
    SizeLimitLater,       // every later size-limit row
};

// True for the messages that only warn: they print their diagnostic and change nothing else.
bool isPdfWarning(PdfMsg id);

// The Japanese message (code page 932) with `value` in its number field, if it has one. A
// message without a Japanese form is its English text, with `path` filled in.
std::string pdfMessageText(PdfMsg id, int64_t value = 0, const std::string& path = {});

// The English diagnostic with the image path and `value` filled in (without "tiff2pdf: ").
std::string pdfDiagnosticText(PdfMsg id, const std::string& path, int64_t value = 0);

// Number of rows of the table; every id from ZeroWidth to SizeLimitLater has exactly one.
int pdfMessageRowCount();

}  // namespace tnw::conv
