// The number an entry's name carries for the number-in-name order (nPageOrder 3): the
// library's rename rule (sbxDoRename) under the record's nNameInType.
#pragma once

#include "ConvSettings.h"

#include <string>

namespace tnw::app {

// The number in the name of `path` (code page 932) by `conv.nNameInType`; 0 when the name has
// none under that rule, so such entries sort first, in their present order.
long long renameNumber(const ConvSettings& conv, const std::string& path);

}  // namespace tnw::app
