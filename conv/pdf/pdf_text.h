// Texts and numbers as they appear inside a PDF: literal text strings for the document
// information and the "%.4f" numbers of page geometry, always in the C locale.
#pragma once

#include <string>
#include <string_view>

namespace tnw::conv {

// The bytes of a literal string body: "(" ")" and "\" are escaped with a backslash; bytes below
// 0x20, 0x7F and bytes of 0x80 or more become a backslash and three octal digits; the rest is
// copied. No parentheses around the result.
std::string escapePdfBytes(std::string_view bytes);

// A code page 932 text as UTF-16BE with the byte order mark FE FF. Bytes that are not valid
// code page 932 become U+FFFD.
std::string cp932ToUtf16be(std::string_view cp932);

// A document information text as a PDF literal string "(...)". A pure ASCII text is written
// byte for byte (escaped); a text holding any byte of 0x80 or more is written as UTF-16BE with
// the byte order mark, escaped the same way, so that viewers show the Japanese text.
std::string pdfTextString(std::string_view cp932);

// printf "%.4f" in the C locale, whatever locale the program runs in (Qt sets the user's).
std::string fixed4(double value);

}  // namespace tnw::conv
