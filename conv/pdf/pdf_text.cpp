#include "conv/pdf/pdf_text.h"

#include "common/platform/cp932.h"

#include <charconv>
#include <cstdint>

namespace tnw::conv {

std::string escapePdfBytes(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x7F) {
            out += '\\';
            out += static_cast<char>('0' + ((c >> 6) & 7));
            out += static_cast<char>('0' + ((c >> 3) & 7));
            out += static_cast<char>('0' + (c & 7));
        } else {
            out += ch;
        }
    }
    return out;
}

namespace {

void putUnit(std::string& out, uint32_t unit)
{
    out += static_cast<char>((unit >> 8) & 0xFF);
    out += static_cast<char>(unit & 0xFF);
}

// Decodes well-formed UTF-8 (the lossy conversion never yields anything else); a malformed
// sequence still gives U+FFFD rather than reading past the end.
void utf8ToUtf16be(std::string_view utf8, std::string& out)
{
    size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = 0xFFFD;
        size_t extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        }
        ++i;
        bool ok = c < 0x80 || extra > 0;
        for (size_t k = 0; ok && k < extra; ++k, ++i) {
            if (i >= utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        }
        if (!ok || cp > 0x10FFFF)
            cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            putUnit(out, 0xD800 + (cp >> 10));
            putUnit(out, 0xDC00 + (cp & 0x3FF));
        } else {
            putUnit(out, cp);
        }
    }
}

}  // namespace

std::string cp932ToUtf16be(std::string_view cp932)
{
    std::string utf8;
    if (!platform::cp932ToUtf8(cp932, utf8))
        utf8 = platform::cp932ToUtf8Lossy(cp932);
    std::string out = "\xFE\xFF";
    utf8ToUtf16be(utf8, out);
    return out;
}

std::string pdfTextString(std::string_view cp932)
{
    bool ascii = true;
    for (const char ch : cp932)
        ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    return "(" + escapePdfBytes(ascii ? std::string(cp932) : cp932ToUtf16be(cp932)) + ")";
}

std::string fixed4(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
    if (result.ec != std::errc())
        return "0.0000";
    return std::string(text, result.ptr);
}

}  // namespace tnw::conv
