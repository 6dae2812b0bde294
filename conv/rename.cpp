// The number in a file's name that the program's renaming asks for.
#include "conv/naming.h"

#include "common/platform/cp932.h"

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace tnw::conv {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The usual decimal reading: leading blanks, an optional sign, then the leading digits. A value
// beyond the range of int is held at its limit.
int readDecimal(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

// Start and end of each character, so that a scan never looks at a second byte.
std::vector<size_t> characterStarts(const std::string& s)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < s.size();) {
        starts.push_back(i);
        i += platform::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    }
    return starts;
}

// The text the number is read from, by the rule; false with the code when there is none.
bool numberText(const std::string& name, int rule, std::string& text, int& code)
{
    const std::vector<size_t> starts = characterStarts(name);
    auto digitAt = [&](size_t k) { return isDigit(name[starts[k]]); };
    switch (rule) {
    case 0: {  // leading digits; none reads as 0
        size_t end = 0;
        while (end < starts.size() && digitAt(end))
            ++end;
        text = name.substr(0, end);
        return true;
    }
    case 1: {  // trailing digits
        size_t begin = starts.size();
        while (begin > 0 && digitAt(begin - 1))
            --begin;
        if (begin == starts.size()) {
            code = -2;
            return false;
        }
        text = name.substr(starts[begin]);
        return true;
    }
    case 2: {  // the first run of digits
        size_t begin = 0;
        while (begin < starts.size() && !digitAt(begin))
            ++begin;
        size_t end = begin;
        while (end < starts.size() && digitAt(end))
            ++end;
        if (begin == end) {
            code = -2;
            return false;
        }
        text = name.substr(starts[begin], (end < starts.size() ? starts[end] : name.size()) -
                                              starts[begin]);
        return true;
    }
    case 3: {  // after the first "(" up to and including the first ")"
        size_t open = std::string::npos;
        size_t close = std::string::npos;
        for (size_t k : starts) {
            if (name[k] == '(' && open == std::string::npos)
                open = k;
            if (name[k] == ')' && close == std::string::npos)
                close = k;
        }
        if (open == std::string::npos) {
            code = -1;
            return false;
        }
        if (close == std::string::npos || close < open) {
            code = -2;
            return false;
        }
        text = name.substr(open + 1, close - open);
        return true;
    }
    default:
        code = -2;
        return false;
    }
}

}  // namespace

int numberForRename(const char* path, char* newName, const ConvSettings* record)
{
    if (!path || !newName || !record)
        return -1;
    const std::string name = common::ModulePaths::nameOf(path);
    if (name.empty())
        return -1;
    std::string text;
    int code = 0;
    if (!numberText(name, record->nNameInType, text, code))
        return code;
    std::snprintf(newName, 12, "%05d", readDecimal(text));
    return 0;
}

}  // namespace tnw::conv
