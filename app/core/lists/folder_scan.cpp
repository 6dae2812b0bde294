#include "app/core/lists/folder_scan.h"

#include "common/natural_order.h"
#include "common/file_kind.h"
#include "common/platform/files.h"
#include "common/platform/folder_probe.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <set>
#include <utility>

namespace tnw::app {
namespace {

constexpr size_t kMaxPath = 259;  // paths of 260 bytes or more are not listed

bool isJpegName(const std::string& name)
{
    return common::fileKindOf(name) == common::kFileKindJpeg;
}

bool endsWithJpg(const std::string& osName)
{
    if (osName.size() < 4)
        return false;
    std::string ext = osName.substr(osName.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) {
        return char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return ext == ".jpg";
}

class Scanner {
public:
    Scanner(const ScanRule& rule, const ScanProgress& progress, ScanResult& result)
        : m_rule(rule), m_progress(progress), m_result(result)
    {
        m_maxDepth = rule.proc == 1 ? std::max(0, rule.level) : INT_MAX;
    }

    bool takesFiles(int depth, bool leaf) const
    {
        if (depth == 0 && m_rule.zeros > 0)
            return true;
        switch (m_rule.proc) {
        case 0: return depth >= 1;
        case 1: return depth == m_rule.level;
        default: return leaf;
        }
    }

    // False when the folder could not be listed.
    bool visit(const std::string& folder, int depth)
    {
        if (m_result.cancelled)
            return true;
        if (m_progress && !m_progress(folder, int(m_result.files.size()))) {
            m_result.cancelled = true;
            return true;
        }
        if (!enter(folder))
            return true;  // entered already (a bind mount or a loop)
        std::vector<platform::FolderEntry> entries;
        if (!platform::listFolder(folder, entries))
            return false;
        ++m_result.folders;

        std::vector<std::string> subFolders;
        std::vector<const platform::FolderEntry*> files;
        for (const platform::FolderEntry& e : entries) {
            if (!e.osName.empty() && e.osName[0] == '.')
                continue;
            if (e.badName) {
                if (e.isFolder ? depth < m_maxDepth : endsWithJpg(e.osName))
                    ++m_result.excluded;
                continue;
            }
            const std::string path = folder == "/" ? "/" + e.name : folder + "/" + e.name;
            if (e.isFolder) {
                if (e.isLink)
                    continue;  // never followed, not a sub-folder
                if (path.size() > kMaxPath) {
                    if (depth < m_maxDepth)
                        ++m_result.excluded;
                    continue;
                }
                subFolders.push_back(path);
            } else if (isJpegName(e.name)) {
                if (path.size() > kMaxPath) {
                    ++m_result.excluded;
                    continue;
                }
                files.push_back(&e);
            }
        }
        if (takesFiles(depth, subFolders.empty())) {
            for (const platform::FolderEntry* e : files)
                m_result.files.push_back({folder, e->name, e->size, e->modified, depth});
        }
        if (depth >= m_maxDepth)
            return true;
        for (const std::string& sub : subFolders) {
            if (m_result.cancelled)
                break;
            if (!visit(sub, depth + 1))
                ++m_result.excluded;  // an unreadable sub-folder
        }
        return true;
    }

private:
    bool enter(const std::string& folder)
    {
        std::string os;
        struct stat st;
        if (!platform::toOsPath(folder, os) || ::stat(os.c_str(), &st) != 0)
            return true;  // listing will tell
        return m_seen.insert({std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)}).second;
    }

    ScanRule m_rule;
    const ScanProgress& m_progress;
    ScanResult& m_result;
    int m_maxDepth;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_seen;
};

}  // namespace

ScanRule scanRuleOf(int subDirShow, int subDirProc, int subDirLevel, int subDirZeros)
{
    if (subDirShow <= 0)
        return ScanRule{1, 0, 1};
    ScanRule rule;
    rule.proc = subDirProc >= 0 && subDirProc <= 2 ? subDirProc : 0;
    rule.level = std::max(1, subDirLevel);
    rule.zeros = subDirZeros;
    return rule;
}

ScanResult scanFolder(const std::string& chosen, const ScanRule& rule,
                      const ScanProgress& progress)
{
    ScanResult result;
    Scanner scanner(rule, progress, result);
    result.listable = scanner.visit(chosen, 0);
    return result;
}

void sortScanned(std::vector<ScannedFile>& files)
{
    std::stable_sort(files.begin(), files.end(), [](const ScannedFile& a, const ScannedFile& b) {
        if (a.folder != b.folder) {
            const int c = common::naturalCompare(a.folder, b.folder);
            if (c != 0)
                return c < 0;
        }
        return common::naturalCompare(a.name, b.name) < 0;
    });
}

}  // namespace tnw::app
