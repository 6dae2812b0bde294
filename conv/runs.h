// The four batch drivers of kvlExec, by mode and grouping: one PDF per file, one PDF of all
// files, one sub-folder of PDFs per folder, one PDF per folder. Each shows the progress window,
// builds the output paths, skips what must not be written (recording why in the log), lets a
// ConversionJob drive the writer and honours Cancel.
#pragma once

#include "ConvSettings.h"
#include "common/template_expand.h"
#include "conv/conversion_job.h"

#include <ctime>
#include <string>
#include <vector>

namespace tnw::conv {

// Results of the drivers besides 0 and the writer's codes.
constexpr int kRunCancelled = -109;         // cancelled in a per-file or per-folder run
constexpr int kRunCancelledJoined = 9;      // cancelled while a joined PDF was written
constexpr int kRunFolderFailed = -1;        // an output sub-folder could not be made

// One checked job, as kvlExec hands it to a driver.
struct RunRequest {
    int window = 0;                   // nonzero: the progress window is shown
    ConvSettings settings = {};       // the run's own copy
    std::string baseFolder;           // the folder of the inputs (kvl_GetPathTo's base)
    std::vector<std::string> inputs;  // checked full paths, in the caller's order
    std::string output;               // the output folder, or the PDF of runFilesJoined
    std::string logPath;              // "" : the fallback log in the work folder
    int skipExisting = 0;             // > 0: an existing PDF is kept and the item skipped
    int mirrorSubDirs = 0;            // > 0: the inputs' sub-folders are rebuilt under output
    std::time_t runStart = 0;         // the time in per-image names
    RunDocInfo docInfo;
    common::Clock clock = common::systemClock();  // "now" of the per-folder names
};

int runFilesEach(const RunRequest& request);
int runFilesJoined(const RunRequest& request);
int runFoldersEach(const RunRequest& request);
int runFoldersJoined(const RunRequest& request);

// The mirrored folder of `sourceFolder`: `outputFolder` + "/" + the part of the source that
// follows `baseFolder`. A source that is not inside the base (compared by whole path
// components) mirrors to the output folder itself. False when the path would not fit a path
// buffer.
bool mirroredFolder(const std::string& outputFolder, const std::string& baseFolder,
                    const std::string& sourceFolder, std::string& mirrored);

// Creates the missing folders of `path` from the top down, one level at a time; stops at the
// first that cannot be made. True when the whole path is a folder at the end.
bool makeFolderLevels(const std::string& path);

}  // namespace tnw::conv
