// ModulePaths: one class for the program and the conversion library. It knows where the running
// module and its settings files are, splits and classifies paths, and expands the "&"/"%"
// meta-character templates that name output folders, PDFs and logs.
//
// Every path is a code page 932 byte string; every scan treats a lead byte and the byte after
// it as one character. The separator is '/'; the file-system root "/" stands for a drive root.
#pragma once

#include "common/template_expand.h"

#include <string>
#include <string_view>

namespace tnw::common {

// Paths live in buffers of 260 bytes: a usable path is at most 259 bytes long.
constexpr size_t kMaxPath = 260;

// What a classification asks for.
enum ClassifyKind {
    kClassifyOutputFolder = -1,  // an existing folder (output folders)
    kClassifyOutputFile = 0,     // a new or existing file name whose folder exists (output files)
    kClassifyFile = 1,           // an existing file
    kClassifyFolder = 2,         // an existing folder
    kClassifyWhat = 3,           // what is it: answers kIsFile or kIsFolder
};

// Classification answers besides 0 (the path is what was asked for).
constexpr int kIsFile = 1;          // kind 3
constexpr int kIsFolder = 2;        // kind 3
constexpr int kWrongKind = -1;      // kinds 1, -1, 0: a folder for a file, or the reverse
constexpr int kFileNotFolder = -2;  // kind 2: a file where a folder is wanted
constexpr int kNotFound = -3;       // kinds 3, 1, 2: nothing at the path
constexpr int kBadPath = -4;        // no full path could be made, or it is 260 bytes or longer
constexpr int kNoParent = -9;       // kinds -1, 0: neither the path nor its folder exists

// The source name and parent name of a path, as the naming rules use them.
struct SourceNames {
    std::string source;  // last component (a file's name without extension)
    std::string parent;  // last component of the folder that holds it
};

class ModulePaths {
public:
    explicit ModulePaths(Clock clock = systemClock());

    // --- Where things are -------------------------------------------------------------
    // The folder of the deliverable this code is linked into (no trailing '/').
    static std::string moduleFolder();
    // The program's settings file and the paper form file, in the settings folder.
    static std::string settingsFile();
    static std::string paperFormFile();

    // --- Splitting --------------------------------------------------------------------
    // The folder part without a trailing '/' ("/" for a name directly in the root, "" when
    // the path has no '/').
    static std::string folderOf(std::string_view path);
    // The last component with its extension ("" when the path ends in '/').
    static std::string lastComponent(std::string_view path);
    // The last component without its extension.
    static std::string nameOf(std::string_view path);
    // The extension of the last component with its dot ("" when it has none).
    static std::string extensionOf(std::string_view path);
    // Position of `what` in `text`, found only at character boundaries; npos when absent.
    static size_t find(std::string_view text, std::string_view what);
    // An input entry holding "[.]" stands for the folder before it: the entry is cut before the
    // character that precedes "[.]" ("/scan/[.]" gives "/scan"). Other entries are unchanged.
    static std::string cutFolderMark(std::string_view entry);

    // Source and parent names of `path` (a file or a folder on disk). For the root, an empty
    // path or an empty name, the source name is `namingTime` as "%04d%02d%02d_%02d%02d%02d"
    // and the parent name is empty.
    static SourceNames sourceNames(const std::string& path, const LocalTime& namingTime);

    // --- Classification ---------------------------------------------------------------
    // Makes the full path of `path` (a path starting with '/' is taken as it is, any other is
    // completed against the current folder) and checks it for `kind`; returns 0, a positive
    // answer of kind 3, or a negative code above. `full` receives the full path whenever one
    // could be made.
    static int classify(const std::string& path, int kind, std::string& full);

    // --- Templates --------------------------------------------------------------------
    // The template expanded for `source` (a file or a folder); "" when the source is missing.
    std::string expand(std::string_view templ, const std::string& source) const;
    // The template with sample values, as the settings dialogs show it.
    std::string preview(std::string_view templ, PreviewKind kind) const;

    const Clock& clock() const { return m_clock; }

private:
    Clock m_clock;
};

}  // namespace tnw::common
