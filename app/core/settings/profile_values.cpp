#include "app/core/settings/profile_values.h"

#include "common/platform/profile.h"

#include <cstdio>

namespace tnw::app {

bool writeProfileInt(const char* section, const char* key, int value, const char* iniPath)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return platform::WritePrivateProfileString(section, key, text, iniPath);
}

bool writeProfileText(const char* section, const char* key, std::string text,
                      const char* iniPath)
{
    text = text.substr(0, text.find_first_of("\r\n"));
    const size_t n = text.size();
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted = n >= 2 && (text[0] == '"' || text[0] == '\'') && text[n - 1] == text[0];
    if (n > 0 && (blank(text[0]) || blank(text[n - 1]) || quoted))
        text = "\"" + text + "\"";
    return platform::WritePrivateProfileString(section, key, text.c_str(), iniPath);
}

}  // namespace tnw::app
