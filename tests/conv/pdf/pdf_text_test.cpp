#include "conv/pdf/pdf_ids.h"
#include "conv/pdf/pdf_text.h"

#include "common/platform/cp932.h"

#include <gtest/gtest.h>

#include <thread>

using namespace tnw::conv;
using tnw::platform::sjis;

TEST(PdfText, AsciiTextIsWrittenByteForByteWithEscapes)
{
    EXPECT_EQ(pdfTextString("Scan (1) a\\b"), "(Scan \\(1\\) a\\\\b)");
    EXPECT_EQ(pdfTextString(std::string("a\tb\x7F", 4)), "(a\\011b\\177)");
    EXPECT_EQ(pdfTextString(""), "()");
}

TEST(PdfText, JapaneseTextBecomesUtf16WithByteOrderMark)
{
    // 日 U+65E5, 本 U+672C; every byte escaped by the same rules.
    EXPECT_EQ(pdfTextString(sjis("日本")), "(\\376\\377e\\345g,)");
    // A parenthesis in a Japanese text is escaped inside its UTF-16 form.
    EXPECT_EQ(pdfTextString(sjis("ｱ(")), "(\\376\\377\\377q\\000\\()");
}

TEST(PdfText, InvalidCodePage932BytesDoNotBreakTheString)
{
    const std::string text = pdfTextString(std::string("\x81", 1));  // a lone lead byte
    EXPECT_EQ(text.substr(0, 9), "(\\376\\377");
    EXPECT_EQ(text.back(), ')');
}

TEST(PdfText, NumbersUseFourDecimalsWhateverTheLocale)
{
    EXPECT_EQ(fixed4(595.2f), "595.2000");
    EXPECT_EQ(fixed4(841.92f), "841.9200");
    EXPECT_EQ(fixed4(-12.5), "-12.5000");
    EXPECT_EQ(fixed4(0.0), "0.0000");
}

TEST(PdfIds, GeneratorIsTheClassicSequenceStartingAtOne)
{
    PdfRandom random;
    EXPECT_EQ(random.next(), 16838);
    EXPECT_EQ(random.next(), 5758);
    EXPECT_EQ(random.next(), 10113);
    EXPECT_EQ(random.next(), 17515);
    PdfRandom again;
    EXPECT_EQ(makeFileIdentifier(again), "C64100007E160000812700006B440000");
}

TEST(PdfIds, EveryThreadStartsItsOwnSequence)
{
    std::string first;
    std::thread([&] { first = makeFileIdentifier(threadPdfRandom()); }).join();
    std::string second;
    std::thread([&] { second = makeFileIdentifier(threadPdfRandom()); }).join();
    EXPECT_EQ(first, "C64100007E160000812700006B440000");
    EXPECT_EQ(second, first);
}

TEST(PdfIds, DateComesFromTiffDateTimeByPosition)
{
    EXPECT_EQ(pdfDateFromTiff("2023:04:05 06:07:08"), "D:20230405060708");
    EXPECT_EQ(pdfDateFromTiff("2023/04/05-06.07.08xyz"), "D:20230405060708");
    EXPECT_EQ(pdfDateFromTiff("2023:04:05 06:07"), "");
    std::tm t{};
    t.tm_year = 99;
    t.tm_mon = 11;
    t.tm_mday = 31;
    t.tm_hour = 23;
    t.tm_min = 5;
    t.tm_sec = 9;
    EXPECT_EQ(pdfDateFromTime(t), "D:19991231230509");
}
