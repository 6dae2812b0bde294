#include "app/core/text/folder_rules.h"

#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tnw::app {

bool usableFolderName(const std::string& text, std::string& full)
{
    full.clear();
    if (text.empty() || text[0] != '/')
        return false;
    std::string made;
    if (!platform::fullPath(text, made) || platform::isRootPath(made) ||
        made.size() >= common::kMaxPath)
        return false;
    full = made;
    return true;
}

FolderCreation createFolderLevels(const std::string& full)
{
    FolderCreation result;
    // Each prefix ending before a '/' (after the root), then the whole path.
    for (size_t pos = 1; pos <= full.size(); ++pos) {
        if (pos < full.size() && full[pos] != '/')
            continue;
        const std::string level = full.substr(0, pos);
        if (platform::pathKind(level) == platform::PathKind::Folder)
            continue;
        errno = 0;
        if (!platform::createFolder(level)) {
            const int error = errno;
            if (platform::pathKind(level) == platform::PathKind::Folder)
                continue;  // made meanwhile by someone else
            result.error = platform::sjis(std::strerror(error ? error : EEXIST));
            return result;
        }
    }
    result.created = platform::pathKind(full) == platform::PathKind::Folder;
    return result;
}

bool writableFolder(const std::string& folder)
{
    std::string os;
    return platform::toOsPath(folder, os) && ::access(os.c_str(), W_OK | X_OK) == 0;
}

}  // namespace tnw::app
