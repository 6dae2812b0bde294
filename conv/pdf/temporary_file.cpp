#include "conv/pdf/temporary_file.h"

#include "common/platform/files.h"

#include <cerrno>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace tnw::conv {

namespace {

constexpr int kAttempts = 100;

std::string randomPart()
{
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string part(6, '0');
    for (char& c : part)
        c = kLetters[pick(generator)];
    return part;
}

}  // namespace

TemporaryFile::~TemporaryFile()
{
    remove();
}

void TemporaryFile::remove()
{
    if (!m_path.empty())
        platform::deleteFile(m_path);
    m_path.clear();
}

int TemporaryFile::createFd(const std::string& folder, const std::string& baseName)
{
    remove();
    const size_t dot = baseName.rfind('.');
    const std::string stem = dot == std::string::npos ? baseName : baseName.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : baseName.substr(dot);
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // The random part is ASCII, so the code page 932 and the system's forms agree on it.
        const std::string path = prefix + stem + "." + randomPart() + extension;
        std::string osPath;
        if (!platform::toOsPath(path, osPath))
            return -1;
        const int fd = ::open(osPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_path = path;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool TemporaryFile::create(const std::string& folder, const std::string& baseName)
{
    const int fd = createFd(folder, baseName);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

FILE* TemporaryFile::createOpen(const std::string& folder, const std::string& baseName)
{
    const int fd = createFd(folder, baseName);
    if (fd < 0)
        return nullptr;
    FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        remove();
    }
    return file;
}

}  // namespace tnw::conv
