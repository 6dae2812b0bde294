// The program's natural order of names and paths (digit runs by value, the rest by the
// Japanese collation), taken from the conversion core so the lists sort as a run orders.
#pragma once

#include <string_view>

namespace tnw::app {

// -1, 0 or 1.
int naturalCompare(std::string_view a, std::string_view b);

}  // namespace tnw::app
