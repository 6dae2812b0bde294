#include "conv/pdf/pdf_document.h"

#include "common/platform/cp932.h"
#include "conv/pdf/pdf_text.h"

#include <cstdio>

namespace tnw::conv {

const char* const kPdfProducer = "Korvelin PDF Writer";

PdfDocTexts PdfDocTexts::from(const PdfDocInfo& info)
{
    PdfDocTexts texts;
    texts.enabled = info.enabled > 0;
    auto copy = [](const char* text) { return text ? std::string(text) : std::string(); };
    texts.title = copy(info.title);
    texts.author = copy(info.author);
    texts.subject = copy(info.subject);
    texts.keywords = copy(info.keywords);
    texts.creator = copy(info.creator);
    return texts;
}

namespace {

std::string tagText(const std::string& text)
{
    if (text.size() <= 511)
        return text;
    return text.substr(0, platform::cp932CutLength(text, 512));
}

// The record's text, else the first tag text that is set.
std::string firstOf(const std::string& own, const common::TiffDirectory* dir,
                    std::initializer_list<const std::string common::TiffDirectory::*> tags)
{
    if (!own.empty())
        return own;
    if (dir) {
        for (auto tag : tags) {
            if (!(dir->*tag).empty())
                return tagText(dir->*tag);
        }
    }
    return std::string();
}

}  // namespace

PdfInfoTexts makeInfoTexts(const PdfDocTexts& doc, const common::TiffDirectory* dir,
                           const std::string& date)
{
    using D = common::TiffDirectory;
    PdfInfoTexts texts;
    texts.date = date;
    texts.producer = kPdfProducer;
    texts.creator = kPdfProducer;
    if (!doc.enabled)
        return texts;
    const std::string creator = firstOf(doc.creator, dir, {&D::software});
    if (!creator.empty())
        texts.creator = creator;
    const struct {
        const char* key;
        std::string text;
    } found[] = {
        {"/Author ", firstOf(doc.author, dir, {&D::artist, &D::copyright})},
        {"/Title ", firstOf(doc.title, dir, {&D::documentName})},
        {"/Subject ", firstOf(doc.subject, dir, {&D::imageDescription})},
        {"/Keywords ", doc.keywords},
    };
    for (const auto& entry : found) {
        if (!entry.text.empty())
            texts.entries.push_back({entry.key, entry.text});
    }
    return texts;
}

void writeHeader(PdfSink& sink, int major, int minor)
{
    sink.put("%PDF-");
    sink.putNumber(major);
    sink.put(".");
    sink.putNumber(minor);
    sink.put(" ");
    sink.put(std::string_view("\r%\342\343\317\323\r\n", 8));
}

int beginObject(PdfSink& sink, PdfWriterContext& context)
{
    context.offsets.push_back(sink.count());
    const int number = context.objectCount();
    sink.putNumber(number);
    sink.put(" 0 obj\r");
    return number;
}

void endObject(PdfSink& sink)
{
    sink.put("endobj\r");
}

uint64_t writeStream(PdfSink& sink, std::string_view data, int lengthObject,
                     std::string_view entries)
{
    sink.put("<< \r/Length ");
    if (lengthObject > 0) {
        sink.putNumber(lengthObject);
        sink.put(" 0 R \r");
    } else {
        sink.putNumber(static_cast<int64_t>(data.size()));
        sink.put("\r");
    }
    sink.put(entries);
    sink.put(" >>\rstream\r\n");
    const uint64_t start = sink.count();
    sink.put(data);
    sink.put("\rendstream\r");
    return start;
}

void writeLengthObject(PdfSink& sink, PdfWriterContext& context, uint64_t length)
{
    beginObject(sink, context);
    sink.putNumber(static_cast<int64_t>(length));
    sink.put("\r");
    endObject(sink);
}

void writeCatalog(PdfSink& sink, PdfWriterContext& context)
{
    beginObject(sink, context);
    sink.put("<< \r/Type /Catalog \r/Pages ");
    sink.putNumber(PdfWriterContext::kPages);
    sink.put(" 0 R \r");
    sink.put(">>\r");
    endObject(sink);
}

void writeInfo(PdfSink& sink, PdfWriterContext& context, const PdfInfoTexts& texts)
{
    beginObject(sink, context);
    sink.put("<< \r/CreationDate ");
    sink.put(pdfTextString(texts.date));
    sink.put("\r/ModDate ");
    sink.put(pdfTextString(texts.date));
    sink.put("\r/Producer ");
    sink.put(pdfTextString(texts.producer));
    sink.put("\r");
    sink.put("/Creator ");
    sink.put(pdfTextString(texts.creator));
    sink.put("\r");
    for (const PdfInfoEntry& entry : texts.entries) {
        sink.put(entry.key);
        sink.put(pdfTextString(entry.text));
        sink.put("\r");
    }
    sink.put(">> \r");
    endObject(sink);
}

void writePageTree(PdfSink& sink, PdfWriterContext& context, const std::vector<int>& pageObjects)
{
    beginObject(sink, context);
    sink.put("<< \r/Type /Pages \r/Kids [ ");
    for (size_t k = 0; k < pageObjects.size(); ++k) {
        sink.putNumber(pageObjects[k]);
        sink.put(" 0 R ");
        if (k % 8 == 7)
            sink.put("\r");
    }
    sink.put("] \r/Count ");
    sink.putNumber(static_cast<int64_t>(pageObjects.size()));
    sink.put(" \r>> \r");
    endObject(sink);
}

void writeXrefAndTrailer(PdfSink& sink, PdfWriterContext& context)
{
    context.xrefOffset = sink.count();
    sink.put("xref\r0 ");
    sink.putNumber(context.objectCount() + 1);
    sink.put(" \r0000000000 65535 f\r\n");
    for (const uint64_t offset : context.offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%.10llu 00000 n\r\n",
                      static_cast<unsigned long long>(offset));
        sink.put(entry);
    }
    sink.put("trailer\r<<\r/Size ");
    sink.putNumber(context.objectCount() + 1);
    sink.put("\r/Root ");
    sink.putNumber(PdfWriterContext::kCatalog);
    sink.put(" 0 R \r/Info ");
    sink.putNumber(PdfWriterContext::kInfo);
    sink.put(" 0 R \r/ID[<");
    sink.put(context.identifier);
    sink.put("><");
    sink.put(context.identifier);
    sink.put(">]\r>>\rstartxref\r");
    sink.putNumber(static_cast<int64_t>(context.xrefOffset));
    sink.put("\r%%EOF\r");
}

}  // namespace tnw::conv
