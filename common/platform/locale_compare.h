// The comparison of texts that the natural name order uses for its non-digit runs: the Japanese
// collation (case-sensitive), the same whatever locale the process or the user has, so a
// folder's pages come in the same order from a Japanese desktop and from a job run with LANG=C.
#pragma once

#include <string_view>

namespace tnw::platform {

enum class LocaleCompareMode {
    Japanese,  // the Japanese collation (code page 932 byte order where Qt has none)
    C          // byte order of the code page 932 texts, the same on every machine (tests)
};

// Chooses the comparison for this process; Japanese is the default. Tests set C so that the
// order does not depend on the collation tables of the machine.
void setLocaleCompareMode(LocaleCompareMode mode);
LocaleCompareMode localeCompareMode();

// True when Qt offers a real Japanese collation (it does when it is built with ICU). Without
// one, Qt would compare by the C library's locale, which follows LANG: the Japanese mode then
// compares code page 932 bytes instead.
bool japaneseCollationAvailable();

// Compares two code page 932 texts: < 0 when `a` sorts first, 0 when the collation holds them
// equal (which may happen for different bytes in the Japanese mode), > 0 when `b` sorts first.
// Bytes that are not valid code page 932 compare as U+FFFD in the Japanese mode.
int localeCompare(std::string_view a, std::string_view b);

}  // namespace tnw::platform
