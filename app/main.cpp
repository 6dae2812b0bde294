// Korvelin: the program. With paths it converts them at once, without a main window; without
// paths (or with --folder DIR) it opens the main window.
#include "app/cli/command_line_run.h"
#include "app/cli/program_options.h"
#include "app/view/command_line_window.h"
#include "app/view/run_main_window.h"
#include "common/platform/single_instance.h"
#include "common/platform/ui.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using tnw::app::kExitConverted;
using tnw::app::kExitFailed;
using tnw::app::kExitRefused;
using tnw::app::kUsage;
using tnw::app::ProgramOptions;

void note(const std::string& text)
{
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv)
{
    tnw::app::ProgramStart start;
    switch (tnw::app::parseProgramOptions(argc, argv, start)) {
    case ProgramOptions::Help:
        std::fputs(kUsage, stdout);
        return kExitConverted;
    case ProgramOptions::Version:
        std::printf("Korvelin %s\n", KORVELIN_VERSION);
        return kExitConverted;
    case ProgramOptions::Unknown:
        note("Korvelin: unknown option " + start.bad + "\n" + kUsage);
        return kExitRefused;
    case ProgramOptions::Run:
        break;
    }
    const std::vector<std::string>& paths = start.paths;
    if (start.folderOption && !paths.empty()) {
        note(std::string("Korvelin: --folder opens the main window and takes no PATH to "
                         "convert.\n") + kUsage);
        return kExitRefused;
    }

    // With a display, one instance at a time: a later start only brings the running one
    // forward (a command-line conversion does not listen) and ends, having converted nothing.
    // Without a display there is no window to bring forward: conversions run side by side,
    // each with temporary files of its own.
    const bool display = tnw::platform::hasDisplay();
    if (paths.empty() && !display) {
        note("Korvelin: the main window needs a display (DISPLAY or WAYLAND_DISPLAY); to "
             "convert without one, name the files or folders: Korvelin PATH...\n");
        return kExitRefused;
    }
    // The lock has one fixed name, so renamed copies of the program still share it (they share
    // the settings and work files too).
    std::unique_ptr<tnw::platform::SingleInstance> instance;
    if (display)
        instance = std::make_unique<tnw::platform::SingleInstance>("Korvelin");
    using State = tnw::platform::SingleInstance::State;
    const State state = instance ? instance->acquire() : State::Unavailable;
    if (state == State::AlreadyRunning) {
        const bool forward = instance->requestBringForward();
        note(forward ? "Korvelin: already running; the running window was brought forward, "
                       "nothing was converted.\n"
                     : "Korvelin: already running; nothing was converted.\n");
        return kExitFailed;
    }
    if (display && state == State::Unavailable) {
        note("Korvelin: no runtime folder for the single-instance lock; a second start will "
             "not be turned away.\n");
        instance.reset();
    }

    // With a display the library's messages and progress window are Qt widgets; without one
    // they go to standard error. Qt sees no argument of ours, so none is taken as its option.
    std::unique_ptr<QApplication> application;
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    if (display)
        application = std::make_unique<QApplication>(qtArgc, qtArgv);

    if (paths.empty()) {
        tnw::app::MainWindowStart window;
        window.folder = QFile::decodeName(QByteArray::fromStdString(start.folder));
        window.instance = instance.get();
        return tnw::app::runMainWindow(*application, window);
    }

    return tnw::app::convertNamedPaths(paths, display, note);
}
