// Quick questions about folders that the folder tree asks for many entries at once.
// Paths are code page 932, like everywhere inside the system.
#pragma once

#include <string>

namespace tnw::platform {

// True when `folder` holds at least one visible sub-folder (a name not starting with '.'),
// links to folders included. Stops at the first one; the entry type from the listing is used
// first and the entry is examined only when the type is unknown or a link. Any error answers
// false.
bool hasSubFolder(const std::string& folder);

}  // namespace tnw::platform
