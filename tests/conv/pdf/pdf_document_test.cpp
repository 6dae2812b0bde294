#include "conv/pdf/pdf_document.h"

#include "common/platform/cp932.h"

#include <gtest/gtest.h>

using namespace tnw::conv;
using tnw::common::TiffDirectory;

TEST(PdfDocument, HeaderIsVersionBlankAndEightBinaryBytes)
{
    PdfSink sink;
    writeHeader(sink, 1, 4);
    EXPECT_EQ(sink.bytes(), std::string("%PDF-1.4 \r%\xE2\xE3\xCF\xD3\r\n", 17));
}

TEST(PdfDocument, PageTreeBreaksTheLineAfterEveryEighthReference)
{
    PdfSink sink;
    PdfWriterContext context;
    context.offsets = {0, 0};  // catalog and information written
    std::vector<int> pages;
    for (int k = 0; k < 9; ++k)
        pages.push_back(4 + 5 * k);
    writePageTree(sink, context, pages);
    EXPECT_EQ(sink.bytes(), "3 0 obj\r<< \r/Type /Pages \r/Kids [ 4 0 R 9 0 R 14 0 R 19 0 R 24 0 R "
                            "29 0 R 34 0 R 39 0 R \r44 0 R ] \r/Count 9 \r>> \rendobj\r");
}

TEST(PdfDocument, XrefHasTwentyByteEntriesAndTrailerEndsInEofAndCr)
{
    PdfSink sink;
    PdfWriterContext context;
    context.identifier = "00112233445566778899AABBCCDDEEFF";
    sink.put("0123456789");
    writeCatalog(sink, context);
    writeXrefAndTrailer(sink, context);
    EXPECT_EQ(sink.bytes(),
              "0123456789"
              "1 0 obj\r<< \r/Type /Catalog \r/Pages 3 0 R \r>>\rendobj\r"
              "xref\r0 2 \r0000000000 65535 f\r\n0000000010 00000 n\r\n"
              "trailer\r<<\r/Size 2\r/Root 1 0 R \r/Info 2 0 R \r"
              "/ID[<00112233445566778899AABBCCDDEEFF><00112233445566778899AABBCCDDEEFF>]\r>>\r"
              "startxref\r62\r%%EOF\r");
}

TEST(PdfDocument, StreamWithSeparateOrDirectLength)
{
    PdfSink sink;
    const uint64_t start = writeStream(sink, "abc", 6, "/X 1 ");
    EXPECT_EQ(sink.bytes(), "<< \r/Length 6 0 R \r/X 1  >>\rstream\r\nabc\rendstream\r");
    EXPECT_EQ(sink.bytes().substr(start, 3), "abc");
    PdfSink direct;
    writeStream(direct, "abcd", 0, "");
    EXPECT_EQ(direct.bytes(), "<< \r/Length 4\r >>\rstream\r\nabcd\rendstream\r");
}

TEST(PdfDocument, InformationWithoutDocumentInfoNamesOnlyDatesProducerAndCreator)
{
    TiffDirectory dir;
    dir.software = "ScanSoft";
    dir.artist = "Someone";
    PdfDocTexts doc;
    doc.title = "ignored";
    PdfSink sink;
    PdfWriterContext context;
    context.offsets = {0};
    writeInfo(sink, context, makeInfoTexts(doc, &dir, "D:20240102030405"));
    EXPECT_EQ(sink.bytes(), "2 0 obj\r<< \r/CreationDate (D:20240102030405)\r"
                            "/ModDate (D:20240102030405)\r/Producer (Korvelin PDF Writer)\r"
                            "/Creator (Korvelin PDF Writer)\r>> \rendobj\r");
}

TEST(PdfDocument, InformationFallsBackToTagTextsInOrder)
{
    TiffDirectory dir;
    dir.software = "ScanSoft";
    dir.copyright = "(c) Office";
    dir.documentName = std::string(600, 'D');
    dir.imageDescription = "desc";
    PdfDocTexts doc;
    doc.enabled = true;
    doc.keywords = "k1";
    const PdfInfoTexts texts = makeInfoTexts(doc, &dir, "D:x");
    EXPECT_EQ(texts.creator, "ScanSoft");
    ASSERT_EQ(texts.entries.size(), 4u);
    EXPECT_STREQ(texts.entries[0].key, "/Author ");
    EXPECT_EQ(texts.entries[0].text, "(c) Office");  // no Artist: the copyright tag
    EXPECT_STREQ(texts.entries[1].key, "/Title ");
    EXPECT_EQ(texts.entries[1].text.size(), 512u);   // a long tag text is cut to 512 bytes
    EXPECT_EQ(texts.entries[2].text, "desc");
    EXPECT_EQ(texts.entries[3].text, "k1");

    doc.title = tnw::platform::sjis("表題");
    doc.creator = "Me";
    const PdfInfoTexts own = makeInfoTexts(doc, &dir, "D:x");
    EXPECT_EQ(own.creator, "Me");
    EXPECT_EQ(own.entries[1].text, tnw::platform::sjis("表題"));
    EXPECT_EQ(makeInfoTexts(doc, nullptr, "D:x").entries.size(), 2u);  // no tags: Title, Keywords
}
