// The main window's conversion: which entries it takes, the run through run_sequence, its
// messages, and the log opened afterwards. Plain logic: the library, the file opener and the
// message boxes (platform::ui) are seams a test fills.
#pragma once

#include "app/core/settings/app_settings.h"
#include "app/core/run/conv_library.h"
#include "app/core/run/run_sequence.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tnw::app {

class ListDocument;
struct FolderRow;

// Whether the sub-folder display differs between two loads of AppSettings: nSubDirShow, and
// with it on, nSubDirProc, nSubDirLevel (for the level method) and nSubDirZeros.
bool subFolderDisplayDiffers(const AppSettings& before, const AppSettings& after);

// The full paths of the file list's checked entries, in the order shown.
std::vector<std::string> checkedFiles(const ListDocument& document);
// The folders of the folder list a folder run takes, in the order shown: every checked row
// below the folder shown, and the folder shown itself (depth 0) only when sub-folders are
// shown and their parent's own files are included.
std::vector<std::string> checkedFolders(const std::vector<FolderRow>& rows,
                                        const AppSettings& app);

// The message shown when a run that reached kvlExec did not convert everything (code page
// 932, "" when there is nothing to say): inputs refused or failed, no PDF written at all, a
// log that could not be written. A complete run and a cancelled one say nothing; nor does a
// run the library refused before converting, which reported that itself. `logPath` is the
// run's log ("" for none).
std::string runReportText(const RunResult& run, const ConvSettings& conv,
                          const std::string& logPath);

class ConversionRunner {
public:
    ConversionRunner(ConvLibrary& library, std::string iniPath,
                     std::function<void(const std::string&)> openFile);

    // The file-mode run of the given files (shown order) for the folder shown. Loads both
    // records afresh. Returns the library's result, 0 when nothing was checked.
    int runFiles(const std::string& folderShown, const std::vector<std::string>& files);
    // The folder-mode run; -1 when no folder was given.
    int runFolders(const std::string& folderShown, const std::vector<std::string>& folders);

    // The log of the last run ("" before a run, or when the run gave none).
    const std::string& lastLog() const { return m_lastLog; }
    const RunResult& lastResult() const { return m_result; }

private:
    int run(RunForm form, const std::string& folderShown,
            const std::vector<std::string>& inputs);
    void openLog(const ConvSettings& conv, std::int64_t started);

    ConvLibrary& m_library;
    std::string m_iniPath;
    std::function<void(const std::string&)> m_openFile;
    std::string m_lastLog;
    RunResult m_result;
};

}  // namespace tnw::app
