// Writing numbers and texts of the program's settings sections so that they read back as
// written.
#pragma once

#include <string>

namespace tnw::app {

// Writes `value` as "%d".
bool writeProfileInt(const char* section, const char* key, int value, const char* iniPath);

// Writes a text. A line break would end the value and turn the rest into lines of the file, so
// the text ends at the first one. The reader trims values and removes one pair of surrounding
// quotes, so a text that starts or ends with a blank, or is itself quoted, is written inside
// quotes to come back unchanged.
bool writeProfileText(const char* section, const char* key, std::string text,
                      const char* iniPath);

}  // namespace tnw::app
