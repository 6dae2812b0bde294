// Output folders and names: the output check of a run, the folder rules (fixed or input
// folder, automatic sub-folders), and the name rules of PDFs and logs, all driven by the
// settings record. The messages of the folder and name rules carry the title "Sablon".
#pragma once

#include "ConvSettings.h"
#include "common/module_paths.h"

#include <string>

namespace tnw::conv {

// Codes of kvl_GetPathTo.
constexpr int kFolderRulesFailed = -306;
constexpr int kNoOutputName = -319;
// Codes of the per-image and per-folder PDF paths.
constexpr int kNameEmpty = -8;
constexpr int kPathTooLong = -9;
constexpr int kNoNamingRule = -1;

// The name that stands in when a folder's naming gives nothing.
inline constexpr const char* kFallbackName = "_tnwsablon";

// `folder` + "/" + `name`, without doubling the separator of the root.
std::string joinPath(const std::string& folder, const std::string& name);

class NamingEngine {
public:
    explicit NamingEngine(const ConvSettings& settings,
                          common::Clock clock = common::systemClock());

    // Starts on a source path: takes the naming time (now) and the source and parent names.
    void start(const std::string& source);

    // The folder rules for the current source: the base folder (the fixed output folder or the
    // source itself), then the automatic sub-folder, created when missing. Returns 0 and the
    // folder, or -1; with `messages` each failure is shown.
    int outputFolder(bool messages, std::string& folder) const;

    // Everything kvl_GetPathTo makes for `base` (the folder of the inputs): the output folder,
    // the joined PDF path and, when the record asks for a log, the log path (else "").
    // Returns 0, kFolderRulesFailed or kNoOutputName (after its message).
    int runPaths(const std::string& base, std::string& folder, std::string& pdf,
                 std::string& log);

    // The log path for `base` in `folder` by nNameingLog; kNoOutputName when it would not fit
    // its 400-byte buffer (after the message).
    int logPath(const std::string& base, const std::string& folder, std::string& log) const;

    // The PDF path of one image of a per-file run in `outFolder`, with `runStart` for the time
    // in names. Returns 0, kNameEmpty or kPathTooLong; no message (the run records it).
    int imagePdfPath(const std::string& image, const std::string& outFolder,
                     const common::LocalTime& runStart, std::string& path) const;

    // The PDF path of a folder's joined PDF in `outFolder` (the engine starts on `inputFolder`).
    // Returns 0, kNoNamingRule or kPathTooLong (after its message).
    int folderPdfPath(const std::string& inputFolder, const std::string& outFolder,
                      std::string& path);

    const std::string& source() const { return m_source; }
    const std::string& sourceName() const { return m_names.source; }
    const std::string& parentName() const { return m_names.parent; }
    const common::LocalTime& namingTime() const { return m_time; }

private:
    std::string subFolderName() const;

    ConvSettings m_settings;
    common::ModulePaths m_paths;
    std::string m_source;
    common::SourceNames m_names;
    common::LocalTime m_time;
};

// kvl_GetPathTo on caller buffers (folder and PDF path 260 bytes, log path 400): remembers
// `base` as the job's base folder and fills the buffers, or leaves them empty on failure.
int getPathTo(const char* base, const ConvSettings* record, char* folder, char* pdf, char* log,
              const common::Clock& clock = common::systemClock());

// kvl_GetDirTo: the folder rules for `folder` without messages; `outFolder` (260 bytes)
// receives the result or "". Returns 0 or -1.
int getDirTo(const ConvSettings* record, const char* folder, char* outFolder,
             const common::Clock& clock = common::systemClock());

// sbxGetPathTo: checks the output of a run. Kind 1 wants an existing folder, kind 0 a PDF file
// path whose folder exists; an empty output stands for `base`. `resolved` (260 bytes) receives
// the full path. Returns 0 or the classification code (after its message, title "Dravik").
int checkOutputPath(int kind, const char* base, const char* output, char* resolved);
// sbxGetPathTo2: kind 1 in folder mode or without joined output, else kind 0.
int checkOutputPath2(int mode, int grouping, const char* base, const char* output,
                     char* resolved);

// sbxDoRename: the number in a file's name by the record's nNameInType, written "%05d" into
// `newName` (at least 12 bytes). Returns 0, -1 (no name, no "(") or -2 (no number).
int numberForRename(const char* path, char* newName, const ConvSettings* record);

}  // namespace tnw::conv
