#include "common/natural_order.h"

#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/locale_compare.h"

#include <algorithm>

namespace tnw::common {
namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// ASCII letters in lower case; the second byte of a double-byte character is never folded.
std::string foldCase(std::string_view s)
{
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        if (platform::isLeadByte(static_cast<unsigned char>(out[i])))
            ++i;
        else
            out[i] = lowerAscii(out[i]);
    }
    return out;
}

int compareIgnoringCase(std::string_view a, std::string_view b)
{
    const int r = foldCase(a).compare(foldCase(b));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// --- Natural order ---------------------------------------------------------------------

// The digit at `i` ("0"-"9", or a full-width "０"-"９" = 0x82 0x4F-0x58): its value and
// length in bytes; length 0 when there is none.
size_t digitAt(std::string_view s, size_t i, int& value)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= '0' && c <= '9') {
        value = c - '0';
        return 1;
    }
    if (c == 0x82 && i + 1 < s.size()) {
        const auto t = static_cast<unsigned char>(s[i + 1]);
        if (t >= 0x4F && t <= 0x58) {
            value = t - 0x4F;
            return 2;
        }
    }
    return 0;
}

size_t charLength(std::string_view s, size_t i)
{
    return platform::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// End of the run without digits that starts at `i`.
size_t textRunEnd(std::string_view s, size_t i)
{
    int value;
    while (i < s.size() && digitAt(s, i, value) == 0)
        i += charLength(s, i);
    return i;
}

// End of the digit run that starts at `i`; its digit values go to `digits`.
size_t digitRunEnd(std::string_view s, size_t i, std::string& digits)
{
    int value;
    while (i < s.size()) {
        const size_t n = digitAt(s, i, value);
        if (n == 0)
            break;
        digits += char('0' + value);
        i += n;
    }
    return i;
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Two digit runs: as numbers first, then as written (so "007" comes before "7").
int compareNumbers(std::string_view digitsA, std::string_view rawA, std::string_view digitsB,
                   std::string_view rawB)
{
    auto significant = [](std::string_view d) {
        const size_t first = d.find_first_not_of('0');
        return first == std::string_view::npos ? d.substr(d.size() - 1) : d.substr(first);
    };
    const std::string_view a = significant(digitsA);
    const std::string_view b = significant(digitsB);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (int r = a.compare(b))
        return sign(r);
    return sign(rawA.compare(rawB));  // bytes compared as unsigned
}

// The segment rule: runs without digits by the locale, digit runs as numbers.
int compareSegments(std::string_view a, std::string_view b)
{
    size_t i = 0;
    size_t j = 0;
    for (;;) {
        if (i >= a.size())
            return j >= b.size() ? 0 : -1;
        if (j >= b.size())
            return 1;
        const size_t textEndA = textRunEnd(a, i);
        const size_t textEndB = textRunEnd(b, j);
        if (int r = platform::localeCompare(a.substr(i, textEndA - i), b.substr(j, textEndB - j)))
            return sign(r);
        i = textEndA;
        j = textEndB;
        if (i >= a.size() || j >= b.size())
            return i >= a.size() && j >= b.size() ? 0 : (i >= a.size() ? -1 : 1);
        std::string digitsA, digitsB;
        const size_t digitEndA = digitRunEnd(a, i, digitsA);
        const size_t digitEndB = digitRunEnd(b, j, digitsB);
        if (int r = compareNumbers(digitsA, a.substr(i, digitEndA - i), digitsB,
                                   b.substr(j, digitEndB - j)))
            return r;
        i = digitEndA;
        j = digitEndB;
    }
}

}  // namespace

int naturalCompare(std::string_view a, std::string_view b)
{
    if (int r = compareSegments(ModulePaths::folderOf(a), ModulePaths::folderOf(b)))
        return r;
    if (int r = compareSegments(ModulePaths::nameOf(a), ModulePaths::nameOf(b)))
        return r;
    return compareIgnoringCase(ModulePaths::extensionOf(a), ModulePaths::extensionOf(b));
}

void sortNatural(std::vector<std::string>& paths)
{
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return naturalCompare(a, b) < 0;
    });
}

}  // namespace tnw::common
