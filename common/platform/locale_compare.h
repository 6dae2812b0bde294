// The locale-aware comparison of texts that the natural name order uses for its non-digit
// runs (the stand-in for the platform's CompareString with the user's default locale and no
// flags: case-sensitive).
#pragma once

#include <string_view>

namespace tnw::platform {

enum class LocaleCompareMode {
    User,  // the user's locale (Qt's collation for the default QLocale)
    C      // byte order of the code page 932 texts, the same on every machine (tests)
};

// Chooses the comparison for this process; User is the default. Tests set C so that the order
// does not depend on the machine's locale.
void setLocaleCompareMode(LocaleCompareMode mode);
LocaleCompareMode localeCompareMode();

// Compares two code page 932 texts: < 0 when `a` sorts first, 0 when the locale holds them
// equal (which may happen for different bytes in the User mode), > 0 when `b` sorts first.
// Bytes that are not valid code page 932 compare as U+FFFD in the User mode.
int localeCompare(std::string_view a, std::string_view b);

}  // namespace tnw::platform
