// The objects of one page: page object, content stream and its length, palette, image XObject
// and its length, in that order. The page object is object n, its extra objects (the palette)
// follow the content length, then the image.
#pragma once

#include "conv/pdf/pdf_document.h"
#include "conv/pdf/pdf_page_params.h"

#include <string>
#include <string_view>

namespace tnw::conv {

// The text of the content stream: "q  a b c d e f cm /Imk Do Q\r".
std::string contentStreamData(const PageParams& params, int k);

// The image dictionary's entries between its /Length and " >>": type, name, size, bits, colour
// space, Decode array and filter. `paletteObject` is the palette's object number (palette
// images only).
std::string imageDictionaryEntries(const PageParams& params, int k, int paletteObject);

// Writes the page object (it must become object `n` = the next object number), its content
// stream and length. `k` is the page's 1-based position in the page tree.
void writePageAndContent(PdfSink& sink, PdfWriterContext& context, const PageParams& params,
                         int k);
// The palette stream (palette images only).
void writePaletteObject(PdfSink& sink, PdfWriterContext& context, const PageParams& params);
// The image XObject with `data` and its length object; returns the offset of the first data
// byte.
uint64_t writeImageObject(PdfSink& sink, PdfWriterContext& context, const PageParams& params,
                          int k, std::string_view data);

}  // namespace tnw::conv
