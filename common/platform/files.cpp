#include "common/platform/files.h"

#include "common/platform/cp932.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tnw::platform {
namespace {

// A file descriptor that closes itself.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Gives the descriptor up without closing it.
    int release()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes now and reports whether the close succeeded (it can report a failed write).
    bool close()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string osFolderOf(const std::string& osPath)
{
    size_t slash = osPath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : osPath.substr(0, slash);
}

// The name to write to when `osPath` is a symbolic link: the file it points to.
std::string resolveLink(const std::string& osPath)
{
    struct stat st;
    if (::lstat(osPath.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return osPath;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(osPath.c_str(), nullptr),
                                                     &std::free);
    return real ? std::string(real.get()) : osPath;
}

// Writes `bytes` to a new temporary file in `osFolder`, flushed to disk, with `mode`.
// Returns its name, or "" on failure (nothing is left behind).
std::string writeTemporary(const std::string& osFolder, const std::string& bytes, mode_t mode)
{
    std::string name = osFolder + "/.kvl-tmp-XXXXXX";
    Fd fd(::mkstemp(name.data()));
    if (!fd.valid())
        return {};
    bool ok = writeAll(fd.get(), bytes.data(), bytes.size()) && ::fchmod(fd.get(), mode) == 0 &&
              ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    if (!ok) {
        ::unlink(name.c_str());
        return {};
    }
    return name;
}

void syncFolder(const std::string& osFolder)
{
    Fd dir(::open(osFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

bool statPath(const std::string& path, struct stat& st)
{
    std::string os;
    return toOsPath(path, os) && ::stat(os.c_str(), &st) == 0;
}

}  // namespace

bool toOsPath(const std::string& path, std::string& osPath)
{
    return cp932ToUtf8(path, osPath);
}

bool fromOsPath(const std::string& osPath, std::string& path)
{
    // Some characters share one code page 932 form ("¥" and "\", "‾" and "~", "−" and
    // "－"): such a name would come back as another file's name, so it has no form here.
    std::string back;
    if (utf8ToCp932(osPath, path) && cp932ToUtf8(path, back) && back == osPath)
        return true;
    path.clear();
    return false;
}

FILE* openFile(const std::string& path, const char* mode)
{
    if (mode[0] == 'r') {
        Fd fd(openRegularFile(path, std::strchr(mode, '+') != nullptr));
        if (!fd.valid())
            return nullptr;
        FILE* file = ::fdopen(fd.get(), mode);
        if (file)
            fd.release();
        return file;
    }
    std::string os;
    if (!toOsPath(path, os))
        return nullptr;
    return std::fopen(os.c_str(), mode);
}

int openRegularFile(const std::string& path, bool writable)
{
    std::string os;
    if (!toOsPath(path, os)) {
        errno = ENOENT;
        return -1;
    }
    // Looking first keeps devices from being opened at all; the check after the open holds
    // against a file swapped in between. Opening a FIFO without O_NONBLOCK would wait for a
    // writer, and reading a device may never end.
    struct stat st;
    if (::stat(os.c_str(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    const int access = writable ? O_RDWR : O_RDONLY;
    Fd fd(::open(os.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return -1;
    return fd.release();
}

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return statPath(path, st) && S_ISREG(st.st_mode);
}

PathKind pathKind(const std::string& path)
{
    struct stat st;
    if (!statPath(path, st))
        return PathKind::Missing;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::File;
}

bool currentFolder(std::string& folder)
{
    std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    return cwd && fromOsPath(cwd.get(), folder);
}

bool fullPath(const std::string& path, std::string& full)
{
    // '/' and '.' are below 0x40, so they are never the second byte of a double-byte
    // character: splitting the bytes at '/' is safe in code page 932.
    std::string start;
    if (path.empty() || path[0] != '/') {
        if (!currentFolder(start))
            return false;
    }
    std::vector<std::string_view> parts;
    auto addParts = [&parts](std::string_view text) {
        size_t i = 0;
        while (i <= text.size()) {
            size_t slash = text.find('/', i);
            if (slash == std::string_view::npos)
                slash = text.size();
            std::string_view part = text.substr(i, slash - i);
            if (part == "..") {
                if (!parts.empty())
                    parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            i = slash + 1;
        }
    };
    addParts(start);
    addParts(path);
    full.clear();
    for (std::string_view part : parts) {
        full += '/';
        full += part;
    }
    if (full.empty())
        full = "/";
    return true;
}

bool isRootPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return false;
    std::string full;
    return fullPath(path, full) && full == "/";
}

bool fileInfo(const std::string& path, FileInfo& info)
{
    info = FileInfo();
    struct stat st;
    if (!statPath(path, st))
        return false;
    info.kind = S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::File;
    info.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    info.modified = st.st_mtim.tv_sec;
    info.accessed = st.st_atim.tv_sec;
    return true;
}

bool fileSize(const std::string& path, std::uint64_t& size)
{
    FileInfo info;
    if (!fileInfo(path, info) || info.kind != PathKind::File)
        return false;
    size = info.size;
    return true;
}

bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    std::string os;
    if (!toOsPath(folder, os))
        return false;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(os.c_str()));
    if (!dir)
        return false;
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* d = ::readdir(dir.get())) {
        std::string_view osName = d->d_name;
        if (osName == "." || osName == "..")
            continue;
        FolderEntry e;
        e.osName = osName;
        e.badName = !fromOsPath(e.osName, e.name);
        if (e.badName)
            e.name.clear();
        struct stat st;
        if (d->d_type == DT_LNK)
            e.isLink = true;
        else if (d->d_type == DT_UNKNOWN)
            e.isLink = ::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISLNK(st.st_mode);
        if (::fstatat(dirFd, d->d_name, &st, 0) == 0) {
            e.isFolder = S_ISDIR(st.st_mode);
            e.isOther = !e.isFolder && !S_ISREG(st.st_mode);
            e.size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
            e.modified = st.st_mtim.tv_sec;
        } else if (::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            e.modified = st.st_mtim.tv_sec;  // a dangling link: a file of size 0
        }
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.osName < b.osName; });
    return true;
}

bool createFolder(const std::string& path)
{
    std::string os;
    return toOsPath(path, os) && ::mkdir(os.c_str(), 0777) == 0;
}

bool createFolders(const std::string& path)
{
    std::string full;
    if (!fullPath(path, full))
        return false;
    // Walk down from the root, making each missing level.
    for (size_t i = 1; i <= full.size(); ++i) {
        if (i < full.size() && full[i] != '/')
            continue;
        std::string level = full.substr(0, i);
        PathKind kind = pathKind(level);
        if (kind == PathKind::File)
            return false;
        if (kind == PathKind::Missing && !createFolder(level) &&
            pathKind(level) != PathKind::Folder)
            return false;
    }
    return pathKind(full) == PathKind::Folder;
}

bool deleteFile(const std::string& path)
{
    std::string os;
    if (!toOsPath(path, os))
        return false;
    struct stat st;
    if (::lstat(os.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return ::unlink(os.c_str()) == 0;
}

bool deleteFolder(const std::string& path)
{
    std::string os;
    return toOsPath(path, os) && ::rmdir(os.c_str()) == 0;
}

bool renamePath(const std::string& from, const std::string& to, bool replace)
{
    std::string osFrom, osTo;
    if (!toOsPath(from, osFrom) || !toOsPath(to, osTo))
        return false;
    if (replace)
        return ::rename(osFrom.c_str(), osTo.c_str()) == 0;
    if (::renameat2(AT_FDCWD, osFrom.c_str(), AT_FDCWD, osTo.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system cannot refuse to replace by itself: check, then rename.
    struct stat st;
    if (::lstat(osTo.c_str(), &st) == 0)
        return false;
    return ::rename(osFrom.c_str(), osTo.c_str()) == 0;
}

bool copyFile(const std::string& from, const std::string& to, bool replace)
{
    std::string bytes;
    if (!readFileBytes(from, bytes))
        return false;
    if (!replace && pathKind(to) != PathKind::Missing)
        return false;
    return writeFileAtomically(to, bytes);
}

bool readFileBytes(const std::string& path, std::string& bytes, std::uint64_t maxBytes)
{
    bytes.clear();
    Fd fd(openRegularFile(path));
    if (!fd.valid())
        return false;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (bytes.size() + static_cast<size_t>(n) > maxBytes) {
            bytes.clear();
            return false;
        }
        bytes.append(buf, static_cast<size_t>(n));
    }
}

bool writeFileAtomically(const std::string& path, const std::string& bytes)
{
    std::string os;
    if (!toOsPath(path, os) || os.empty())
        return false;
    os = resolveLink(os);
    struct stat st;
    mode_t mode = 0644;
    if (::stat(os.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return false;
        mode = st.st_mode & 07777;
    }
    const std::string folder = osFolderOf(os);
    const std::string temp = writeTemporary(folder, bytes, mode);
    if (temp.empty())
        return false;
    if (::rename(temp.c_str(), os.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace tnw::platform
