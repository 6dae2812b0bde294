#include "common/platform/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace tnw::platform {
namespace {

// Runs iconv over the whole input. With `lossy`, an invalid sequence becomes `replacement`
// and the input advances by one byte.
bool convert(const char* to, const char* from, std::string_view in, std::string& out, bool lossy,
             std::string_view replacement = {})
{
    out.clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buf[1024];
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buf;
        size_t outLeft = sizeof buf;
        size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buf, static_cast<size_t>(outPtr - buf));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            if (!lossy) {
                ok = false;
                break;
            }
            out.append(replacement);
            ++inPtr;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    if (ok) {
        char* outPtr = buf;
        size_t outLeft = sizeof buf;
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buf, static_cast<size_t>(outPtr - buf));
    }
    iconv_close(cd);
    if (!ok)
        out.clear();
    return ok;
}

}  // namespace

bool utf8ToCp932(std::string_view utf8, std::string& out)
{
    return convert("CP932", "UTF-8", utf8, out, false);
}

bool cp932ToUtf8(std::string_view cp932, std::string& out)
{
    return convert("UTF-8", "CP932", cp932, out, false);
}

std::string cp932ToUtf8Lossy(std::string_view cp932)
{
    std::string out;
    convert("UTF-8", "CP932", cp932, out, true, "\xEF\xBF\xBD");
    return out;
}

std::string sjis(std::string_view utf8)
{
    // Source texts are few and fixed; converting each once keeps repeated messages cheap.
    static std::mutex mutex;
    static std::unordered_map<std::string, std::string> cache;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.find(std::string(utf8));
    if (it != cache.end())
        return it->second;
    std::string out;
    if (!utf8ToCp932(utf8, out)) {
        std::fprintf(stderr, "internal error: text without a code page 932 form: %.*s\n",
                     static_cast<int>(utf8.size()), utf8.data());
        std::abort();
    }
    cache.emplace(std::string(utf8), out);
    return out;
}

size_t cp932CutLength(std::string_view text, size_t limit)
{
    size_t i = 0;
    const size_t n = text.size() < limit ? text.size() : limit;
    while (i < n) {
        size_t step = isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > n)
            break;
        i += step;
    }
    return i;
}

}  // namespace tnw::platform
