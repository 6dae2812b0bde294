// The conversion of the objects named on the command line (or dropped on the program's icon):
// no main window; the stored settings, the folder or file mode forced from the objects, and the
// fixed sequence of library calls. The library shows its own messages and progress window.
#pragma once

#include "app/core/settings/app_settings.h"
#include "app/cli/command_line_objects.h"
#include "app/core/run/conv_library.h"
#include "app/core/run/run_sequence.h"

#include "ConvSettings.h"

#include <functional>
#include <string>
#include <vector>

namespace tnw::app {

// Exit status of the program.
enum ExitStatus : int {
    kExitConverted = 0,  // every listed image became a page of a written PDF, or was kept
                         // because its PDF exists
    kExitFailed = 1,     // nothing was written, or the start was turned away
    kExitRefused = 2,    // the arguments were refused
    kExitPartial = 3,    // PDFs were written, but some images or pages were refused
};

// The title of the argument messages.
inline constexpr char kCommandLineTitle[] = "Dravik";

// The window handle given to the library: the desktop, so the progress window has no owner.
inline constexpr int kDesktopWindow = 1;

struct CommandLineContext {
    explicit CommandLineContext(ConvLibrary& lib) : library(lib) {}

    ConvLibrary& library;
    std::string iniPath;  // the settings file (code page 932)
    bool display = false; // a graphical display is in use
    // Opens a file (code page 932 path) with the desktop's application, without waiting.
    std::function<void(const std::string&)> openFile;
    // Writes a note of the program (UTF-8) to standard error.
    std::function<void(const std::string&)> note;
    // Shows the operation settings dialog in its command-line form for the objects' common
    // folder (code page 932) and mode; true for OK, which has saved the settings. Asked only
    // when nShowDlg is set and a display is in use.
    std::function<bool(const std::string& folder, bool folders)> showSettings;
};

// The whole command-line conversion for the arguments (UTF-8, without the program name and
// options). Each refused or kept input gets a line through `note`. With nShowDlg set and a
// display the settings dialog comes first: Cancel converts nothing (kExitFailed), OK converts
// with the settings it saved. Returns the exit status.
int runCommandLine(const std::vector<std::string>& osArgs, CommandLineContext& context);

// The exit status of a conversion.
int exitStatusOf(const RunResult& run);

// The line of standard error (UTF-8, with its line end) for an input the library reported:
// "[Korvelin] NAME: remark", NAME the file or folder name, "NAME (page N)" for a page of a
// multi-page file. `source` and `remark` are code page 932.
std::string reportLine(const char* source, int page, const char* remark);

// The run for file objects / folder objects: settings as loaded and forced, the call sequence,
// `logPath` receives the log path the library gave. The code is the library's result (the
// failure code of kvl_GetPathTo when the file run stops there, without executing).
RunResult convertFiles(ConvLibrary& library, const CommandLineObjects& objects,
                       ConvSettings& conv, const AppSettings& app, std::string& logPath);
RunResult convertFolders(ConvLibrary& library, const CommandLineObjects& objects,
                         ConvSettings& conv, const AppSettings& app, std::string& logPath);

}  // namespace tnw::app
