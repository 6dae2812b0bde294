// The scan behind the file list: one pass over the tree under the chosen folder, taking the
// ".jpg" files of the folders the sub-folder rule selects. Symbolic links to folders are never
// followed (nor counted as sub-folders), a (device, inode) pair is entered once, names starting
// with '.' are skipped, and the scan never descends below the deepest depth that can give
// files. Names without a code page 932 form, paths of 260 bytes or more and unreadable
// sub-folders are counted, not listed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tnw::app {

struct ScanRule {
    int proc = 1;    // 0 every level, 1 the level `level`, 2 the deepest folders
    int level = 0;
    int zeros = 1;   // > 0: the chosen folder's own files too
};
// The rule of the sub-folder settings: with sub-folders not shown, the chosen folder's own
// files only.
ScanRule scanRuleOf(int subDirShow, int subDirProc, int subDirLevel, int subDirZeros);

struct ScannedFile {
    std::string folder;  // code page 932 full path of its folder
    std::string name;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    int depth = 0;
};

struct ScanResult {
    std::vector<ScannedFile> files;
    int excluded = 0;       // bad names, long paths, unreadable sub-folders
    bool listable = true;   // false when the chosen folder itself could not be listed
    bool cancelled = false;
    int folders = 0;        // folders listed
};

// Asked before each folder with its path and the files found so far; false stops the scan,
// which keeps what it found.
using ScanProgress = std::function<bool(const std::string& folder, int files)>;

ScanResult scanFolder(const std::string& chosen, const ScanRule& rule,
                      const ScanProgress& progress = {});

// Found files in the list's order: by folder path, then by file name, both natural.
void sortScanned(std::vector<ScannedFile>& files);

}  // namespace tnw::app
