// The library's one job state: what the setters of the call interface store between kvlReset
// and the run. There is one instance per loaded library; the interface is used from one thread.
#pragma once

#include "CTnwbuff.h"
#include "ConvSettings.h"

#include <ctime>

namespace tnw::conv {

constexpr int kPathSize = 260;     // buffers for paths
constexpr int kLogPathSize = 400;  // the buffer for the log path

// Document information types of kvlSetDocInfo.
enum DocInfoType { kDocTitle = 1, kDocAuthor = 2, kDocSubject = 3, kDocKeywords = 4 };

class JobState {
public:
    JobState();

    // Clears what a new job must not inherit; the initialised marker, the debug flag and the
    // base folder stay.
    void reset();

    int setMode(int mode);
    int setOption(int option, int value);
    int addInput(const char* path);
    int setOutputPath(const char* path);
    int setTextPath(const char* path);
    int setLogPath(const char* path);
    int setDocInfo(int type, const char* text, int length);
    int setPdfVersion(int major, int minor);
    int takeSettings(const ConvSettings& record);
    int setDebug(int type);

    // The document information of a type 1-4 ("" when not set).
    const char* docInfo(int type) const;

    int initialised = 0;  // 0 until kvlInit (8) or kvl_ForceInit (its argument)
    int debug = 0;        // nonzero: kvlSetOpt and kvlSetMode report each call
    int window = 0;       // nonzero: the progress window is shown during runs
    char outputPath[kPathSize + 1] = {};  // a path of 260 characters and its zero
    char textPath[kPathSize + 1] = {};    // input description file
    ConvSettings settings = {};     // the working settings, copied into each run
    int grouping = 0;               // 0 one PDF per image; 1 joined
    CTnwbuff inputs;                // one block per input path
    char logPath[kLogPathSize] = {};
    char baseFolder[kPathSize + 1] = {};  // the base path of the last kvl_GetPathTo
    int skipExisting = 0;             // > 0: an existing PDF is skipped
    int mirrorSubDirs = 0;            // > 0: runs rebuild the inputs' sub-folders
    std::time_t runStart = 0;

private:
    CTnwbuff m_docStorage;            // copies of the document information texts
    const char* m_docInfo[4] = {};    // into m_docStorage (blocks never move)
};

// The library's job state.
JobState& jobState();

}  // namespace tnw::conv
