#include "common/platform/module_paths.h"

#include "common/platform/files.h"

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

namespace tnw::platform {
namespace {

// The folder part of an operating-system path, in code page 932 ("" when it has no such form).
std::string folderOf(const std::string& osFile)
{
    size_t slash = osFile.rfind('/');
    if (slash == std::string::npos)
        return {};
    std::string osFolder = slash == 0 ? "/" : osFile.substr(0, slash);
    std::string folder;
    return fromOsPath(osFolder, folder) ? folder : std::string();
}

std::string realOsPath(const char* osPath)
{
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(osPath, nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

// A code page 932 folder from an environment value, without trailing '/'.
std::string folderFromEnv(const char* value)
{
    std::string folder;
    if (!value || !*value || !fromOsPath(value, folder))
        return {};
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

bool isWritableFolder(const std::string& folder)
{
    std::string os;
    return !folder.empty() && pathKind(folder) == PathKind::Folder && toOsPath(folder, os) &&
           ::access(os.c_str(), W_OK | X_OK) == 0;
}

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home == '/')
        return folderFromEnv(home);
    const passwd* pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? folderFromEnv(pw->pw_dir) : std::string();
}

std::string ensured(const std::string& folder)
{
    return !folder.empty() && createFolders(folder) ? folder : std::string();
}

}  // namespace

std::string programFolder()
{
    char buf[PATH_MAX + 1];
    ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0)
        return {};
    return folderOf(std::string(buf, static_cast<size_t>(n)));
}

std::string moduleFolderOf(const void* address)
{
    Dl_info info{};
    if (address && ::dladdr(address, &info) != 0 && info.dli_fname && info.dli_fname[0]) {
        // The program itself may be reported by the name it was started with: resolve it.
        std::string real = realOsPath(info.dli_fname);
        if (!real.empty())
            return folderOf(real);
    }
    return programFolder();
}

std::string thisModuleFolder()
{
    return moduleFolderOf(reinterpret_cast<const void*>(&thisModuleFolder));
}

std::string chooseFolder(const char* envVar, const std::string& preferred, const char* xdgVar,
                         const char* homeFallback)
{
    std::string folder = folderFromEnv(envVar ? std::getenv(envVar) : nullptr);
    if (!folder.empty())
        return ensured(folder);
    if (isWritableFolder(preferred))
        return preferred;
    const char* xdg = xdgVar ? std::getenv(xdgVar) : nullptr;
    if (xdg && *xdg == '/')
        folder = folderFromEnv(xdg);  // a relative value is invalid and ignored
    else if (std::string home = homeFolder(); !home.empty())
        folder = (home == "/" ? "" : home) + "/" + homeFallback;
    if (folder.empty())
        return {};
    return ensured((folder == "/" ? "" : folder) + "/korvelin");
}

std::string settingsFolder()
{
    return chooseFolder("KORVELIN_CONFIG_DIR", programFolder(), "XDG_CONFIG_HOME", ".config");
}

std::string workFolder(const std::string& libraryFolder)
{
    return chooseFolder("KORVELIN_WORK_DIR", libraryFolder, "XDG_CACHE_HOME", ".cache");
}

std::string workFolder()
{
    return workFolder(thisModuleFolder());
}

}  // namespace tnw::platform
