// The document-level structures of a PDF: header, object framing, catalog, information
// dictionary, page tree, cross-reference table and trailer. Each function writes its byte
// template in order through the sink.
#pragma once

#include "common/tiff_reader.h"
#include "conv/pdf/pdf_sink.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tnw::conv {

// The document information handed to the writer. The texts are code page 932, owned by the
// caller; null means not set.
struct PdfDocInfo {
    int enabled = 0;  // > 0: the user's document information is in force
    const char* title = nullptr;
    const char* author = nullptr;
    const char* subject = nullptr;
    const char* keywords = nullptr;
    const char* creator = nullptr;
};

// The writer's own copy of PdfDocInfo (empty text = not set).
struct PdfDocTexts {
    bool enabled = false;
    std::string title;
    std::string author;
    std::string subject;
    std::string keywords;
    std::string creator;

    static PdfDocTexts from(const PdfDocInfo& info);
};

// The fixed producer string, also the default Creator.
extern const char* const kPdfProducer;

// The objects written so far and what the trailer needs.
struct PdfWriterContext {
    static constexpr int kCatalog = 1;
    static constexpr int kInfo = 2;
    static constexpr int kPages = 3;
    static constexpr int kFirstPage = 4;

    int major = 1;
    int minor = 4;
    std::string date;        // "D:YYYYMMDDHHMMSS"
    std::string identifier;  // 32 hexadecimal digits
    // Byte offset of object n at index n - 1; its size is the number of objects written.
    std::vector<uint64_t> offsets;
    uint64_t xrefOffset = 0;

    int objectCount() const { return static_cast<int>(offsets.size()); }
};

// The entries of the information dictionary, in order.
struct PdfInfoEntry {
    const char* key;  // "/Author " ...
    std::string text;
};
struct PdfInfoTexts {
    std::string date;
    std::string producer;
    std::string creator;
    std::vector<PdfInfoEntry> entries;  // Author, Title, Subject, Keywords as found
};

// The texts of the information dictionary from the document information and, where the
// information leaves a text unset, the tags of `dir` (the last directory read; null when none
// was). A tag text longer than 511 bytes is cut to 512 bytes at a character boundary.
PdfInfoTexts makeInfoTexts(const PdfDocTexts& doc, const common::TiffDirectory* dir,
                           const std::string& date);

void writeHeader(PdfSink& sink, int major, int minor);
// Records the object's offset and writes "n 0 obj\r"; returns n.
int beginObject(PdfSink& sink, PdfWriterContext& context);
void endObject(PdfSink& sink);

// A stream object's body. `lengthObject` > 0: "/Length n 0 R" (the length is written later in
// its own object); otherwise the length is direct. `entries` are the further dictionary
// entries. Returns the offset of the first data byte.
uint64_t writeStream(PdfSink& sink, std::string_view data, int lengthObject,
                     std::string_view entries);
// A separate length object: "n 0 obj\r<length>\rendobj\r".
void writeLengthObject(PdfSink& sink, PdfWriterContext& context, uint64_t length);

void writeCatalog(PdfSink& sink, PdfWriterContext& context);
void writeInfo(PdfSink& sink, PdfWriterContext& context, const PdfInfoTexts& texts);
// The page tree listing `pageObjects` ("\r" after every eighth reference).
void writePageTree(PdfSink& sink, PdfWriterContext& context, const std::vector<int>& pageObjects);
// The cross-reference table of every object written, then the trailer.
void writeXrefAndTrailer(PdfSink& sink, PdfWriterContext& context);

}  // namespace tnw::conv
