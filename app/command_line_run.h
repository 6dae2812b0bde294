// The conversion of the objects named on the command line (or dropped on the program's icon):
// no main window; the stored settings, the folder or file mode forced from the objects, and the
// fixed sequence of library calls. The library shows its own messages and progress window.
#pragma once

#include "app/app_settings.h"
#include "app/command_line_objects.h"
#include "app/conv_library.h"

#include "ConvSettings.h"

#include <functional>
#include <string>
#include <vector>

namespace tnw::app {

// Exit status of the program.
enum ExitStatus : int {
    kExitConverted = 0,  // the conversion returned 0
    kExitFailed = 1,     // the conversion returned a failure
    kExitRefused = 2,    // the arguments were refused
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
};

// The whole command-line conversion for the arguments (UTF-8, without the program name and
// options). Returns the exit status.
int runCommandLine(const std::vector<std::string>& osArgs, CommandLineContext& context);

// The run for file objects / folder objects: settings as loaded and forced, the call sequence,
// `logPath` receives the log path the library gave. Return the library's result (the failure
// code of kvl_GetPathTo when the file run stops there).
int convertFiles(ConvLibrary& library, const CommandLineObjects& objects, ConvSettings& conv,
                 const AppSettings& app, std::string& logPath);
int convertFolders(ConvLibrary& library, const CommandLineObjects& objects, ConvSettings& conv,
                   const AppSettings& app, std::string& logPath);

}  // namespace tnw::app
