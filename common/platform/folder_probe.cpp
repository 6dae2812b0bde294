#include "common/platform/folder_probe.h"

#include "common/platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace tnw::platform {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

bool hasSubFolder(const std::string& folder)
{
    std::string os;
    if (!toOsPath(folder, os))
        return false;
    const int fd = ::open(os.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return false;
    }
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_DIR)
            return true;
        if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
            continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode))
            return true;
    }
    return false;
}

}  // namespace tnw::platform
