// History files of folder paths (ComboAddr.txt for the address box, tnwTo.txt for the output
// folders): one code page 932 path a line, CR LF, most recent first, in the settings folder.
// Read accepting LF or CR LF; written by replacing the whole file atomically, so a crash never
// leaves half a history.
#pragma once

#include <string>
#include <vector>

namespace tnw::app {

class HistoryFile {
public:
    explicit HistoryFile(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    // The entries of the file. Lines that are empty, 260 bytes or longer, or not valid code
    // page 932 are skipped, and so is a later copy of an entry. A missing file gives none.
    std::vector<std::string> read() const;

    // Replaces the file with `entries` (each as one line, CR LF). False when it could not be
    // written; the old file then stays whole.
    bool write(const std::vector<std::string>& entries) const;

    // Deletes the file. True when it is gone (or was never there).
    bool remove() const;

    // Whether `path` can be kept as a line: 1 to 259 bytes of valid code page 932 without a
    // line break. A folder whose name holds a line break is visited but never recorded.
    static bool recordable(const std::string& path);

    // Puts `path` first in `entries`, removing an equal entry (compared byte for byte) first.
    // False (and `entries` unchanged) when the path is not recordable.
    static bool pushFront(std::vector<std::string>& entries, const std::string& path);

private:
    std::string m_path;
};

}  // namespace tnw::app
