#include "common/platform/files.h"

#include "common/platform/cp932.h"

namespace tnw::platform {

bool toOsPath(const std::string& path, std::string& osPath)
{
    return cp932ToUtf8(path, osPath);
}

bool fromOsPath(const std::string& osPath, std::string& path)
{
    return utf8ToCp932(osPath, path);
}

FILE* openFile(const std::string& path, const char* mode)
{
    std::string os;
    if (!toOsPath(path, os))
        return nullptr;
    return std::fopen(os.c_str(), mode);
}

}  // namespace tnw::platform
