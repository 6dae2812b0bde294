#include "app/core/lists/rename_number.h"

#include "tnwconv.h"

#include <cstdlib>

namespace tnw::app {

long long renameNumber(const ConvSettings& conv, const std::string& path)
{
    char number[16] = {};
    if (sbxDoRename(path.c_str(), number, &conv) != 0)
        return 0;
    return std::strtoll(number, nullptr, 10);
}

}  // namespace tnw::app
