#include "app/core/history/history_file.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"

#include <algorithm>

namespace tnw::app {
namespace {

constexpr size_t kMaxPath = 260;
constexpr std::uint64_t kMaxFileBytes = 16u * 1024 * 1024;

bool validCp932(const std::string& text)
{
    std::string utf8;
    return platform::cp932ToUtf8(text, utf8);
}

}  // namespace

bool HistoryFile::recordable(const std::string& path)
{
    return !path.empty() && path.size() < kMaxPath &&
           path.find_first_of("\r\n") == std::string::npos && validCp932(path);
}

std::vector<std::string> HistoryFile::read() const
{
    std::vector<std::string> entries;
    std::string bytes;
    if (!platform::readFileBytes(m_path, bytes, kMaxFileBytes))
        return entries;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!recordable(line))
            continue;
        if (std::find(entries.begin(), entries.end(), line) == entries.end())
            entries.push_back(std::move(line));
    }
    return entries;
}

bool HistoryFile::write(const std::vector<std::string>& entries) const
{
    std::string bytes;
    for (const std::string& entry : entries) {
        if (!recordable(entry))
            continue;
        bytes += entry;
        bytes += "\r\n";
    }
    return platform::writeFileAtomically(m_path, bytes);
}

bool HistoryFile::remove() const
{
    if (platform::pathKind(m_path) == platform::PathKind::Missing)
        return true;
    return platform::deleteFile(m_path);
}

bool HistoryFile::pushFront(std::vector<std::string>& entries, const std::string& path)
{
    if (!recordable(path))
        return false;
    entries.erase(std::remove(entries.begin(), entries.end(), path), entries.end());
    entries.insert(entries.begin(), path);
    return true;
}

}  // namespace tnw::app
