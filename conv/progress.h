// The progress window of a batch run, through the user-interface seam, and the progress
// procedure the run hands to the PDF writer. Each report lets the window process one pending
// event, so that Cancel can be read while the run holds the thread. Without a window (window
// handle 0) the procedure always goes on.
#pragma once

#include "common/platform/ui.h"
#include "conv/pdf/pdf_writer.h"

#include <memory>
#include <string>

namespace tnw::conv {

enum class RunKind { FilesEach = 1, FilesJoined = 2, FoldersEach = 3, FoldersJoined = 4 };

// Phase codes of the reports: the writer's, then the drivers' own.
enum ProgressPhase {
    kPhaseExamine = 0,        // writer: before each image or list
    kPhaseWrite = 1,          // writer: before its writing pass
    kPhaseStart = 8,          // driver: start of a run
    kPhaseNextFolder = 9,     // runFoldersEach: next folder
    kPhaseNextFile = 10,      // writer, list jobs: next source file
    kPhaseStartJoined = 58,   // runFoldersJoined: start
    kPhaseNextJoined = 59,    // runFoldersJoined: next folder
};

class RunProgress {
public:
    // With a nonzero window handle, opens the window of the run kind and sends its start report
    // with `total` (the number of inputs). The window closes when the object goes.
    RunProgress(int window, RunKind kind, int total);
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    // A report: index < 0 is a phase report that may change the window, index >= 0 only lets
    // it process one event. Returns 0 once the user has pressed Cancel, otherwise 1.
    int report(int phase, int index, int total);
    // The driver's report of the next folder (phase 9 or 59 by run kind).
    int nextFolder();
    // The procedure for the writer; it refers to this object.
    ProgressProc proc();

    bool hasWindow() const { return m_window != nullptr; }
    bool cancelRequested() const { return m_window && m_window->cancelled(); }

private:
    void restart();
    void step(const char* label);

    std::unique_ptr<platform::ProgressWindow> m_window;
    RunKind m_kind;
    int m_total = 0;
    int m_count = 0;
};

}  // namespace tnw::conv
