// Code page 932 (Shift_JIS with the Windows extensions): the encoding of every text inside the
// system. The boundary converts: paths from disk and the command line come in as UTF-8 and are
// converted here; texts handed to the operating system, Qt or standard error go back to UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tnw::platform {

// A lead byte of a double-byte character: 0x81-0x9F or 0xE0-0xFC.
inline bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Converts UTF-8 to code page 932. Returns false (and leaves `out` empty) when the text has a
// character without a code page 932 form or is not valid UTF-8.
bool utf8ToCp932(std::string_view utf8, std::string& out);

// Converts code page 932 to UTF-8. Returns false when the bytes are not valid code page 932.
bool cp932ToUtf8(std::string_view cp932, std::string& out);

// Lenient conversion for display (messages, standard error): bytes that cannot be converted
// become U+FFFD instead of failing.
std::string cp932ToUtf8Lossy(std::string_view cp932);

// A system text written in the source (UTF-8) in its code page 932 form. The source texts are
// fixed, so a text without a code page 932 form is a programming error: it aborts.
std::string sjis(std::string_view utf8);

// Length of the longest prefix of `text` (at most `limit` bytes) that does not end in the middle
// of a double-byte character.
size_t cp932CutLength(std::string_view text, size_t limit);

}  // namespace tnw::platform
