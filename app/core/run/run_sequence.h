// The fixed sequence of library calls of one conversion, shared by the main window and the
// command line: the run fields, the job's start in the order of its form, the output paths,
// the inputs, the document information, the PDF version and the execution.
#pragma once

#include "app/core/settings/app_settings.h"
#include "app/core/run/conv_library.h"
#include "app/core/settings/run_fields.h"

#include "ConvSettings.h"

#include <string>
#include <vector>

namespace tnw::app {

// The window handle given to the library. The library only tests it for 0: any other value
// gives its progress window, without an owner.
inline constexpr int kLibraryWindow = 1;

// What a conversion came to: the library's result and, once kvlExec ran, its counts.
struct RunResult {
    enum class Stop {
        None,    // the sequence ran to kvlExec
        Slots,   // the slot list could not be made (code)
        Paths,   // kvl_GetPathTo failed (code)
        Inputs,  // kvlSetPathFrom refused an input (code)
    };
    int code = 0;
    bool executed = false;
    Stop stop = Stop::None;
    KvlRunCounts counts = {};
};

struct RunRequest {
    RunForm form = RunForm::GuiFiles;
    std::string base;                 // the folder shown, or the objects' common folder
    std::vector<std::string> inputs;  // files or folders, in the order to convert
};

// Runs the sequence of `request.form` with the records as loaded: writes the run fields into
// `conv`; `logPath` receives the log path the library gave (even when the run stops). The PDF
// version passed is the stored pair when it is 1.1 to 1.7, otherwise 1.1.
//
// The window's forms stop before kvlExec when kvl_GetPathTo fails or an input is refused (a
// subset is never converted); the command line keeps its own rules: its file run stops when
// kvl_GetPathTo fails, its folder run goes on (kvlExec reports the empty output folder).
RunResult runSequence(ConvLibrary& library, const RunRequest& request, ConvSettings& conv,
                      const AppSettings& app, std::string& logPath);

}  // namespace tnw::app
