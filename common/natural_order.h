// The natural order of names and paths shared by the conversion runs and the program's lists:
// folders first, then names with digit runs compared as numbers (full-width digits count as
// theirs; "007" before "7"), then extensions ignoring case. Runs without digits use the
// platform's locale comparison (the Japanese collation).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tnw::common {

// -1, 0 or 1.
int naturalCompare(std::string_view a, std::string_view b);
// Sorts paths by naturalCompare (stable, and safe even if the locale is not a strict order).
void sortNatural(std::vector<std::string>& paths);

}  // namespace tnw::common
