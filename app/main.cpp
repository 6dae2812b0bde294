// Korvelin: the program. With paths it converts them at once, without a main window; without
// paths (or with --folder DIR) it opens the main window.
#include "app/cli/command_line_run.h"
#include "app/core/run/conv_library.h"
#include "app/core/run/operation_settings.h"
#include "app/core/run/desktop_open.h"
#include "app/dialogs/settings_dialog.h"
#include "app/view/run_main_window.h"
#include "common/module_paths.h"
#include "common/platform/qt_text.h"
#include "common/platform/single_instance.h"
#include "common/platform/ui.h"

#include <QApplication>
#include <QDialog>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using tnw::app::kExitConverted;
using tnw::app::kExitFailed;
using tnw::app::kExitRefused;

const char kUsage[] =
    "Usage: Korvelin [--help] [--version] [--folder [DIR]] [--] [PATH...]\n"
    "Converts the JPEG files PATH... (file mode) or the folders PATH... (folder mode), all in\n"
    "one folder, to PDF with the stored settings, without opening the main window.\n"
    "Without PATH, opens the main window (a display is needed); --folder DIR opens it with DIR\n"
    "chosen in the folder tree (without DIR: the home folder).\n"
    "When the stored settings ask for it (nShowDlg) and a display is in use, the operation\n"
    "settings dialog shows first: OK converts with the settings it saved, キャンセル converts\n"
    "nothing and ends with status 1.\n"
    "Every image or page that is refused, and every PDF kept because it exists, gets a line\n"
    "\"[Korvelin] NAME: remark\" on standard error.\n"
    "Without a display, several conversions may run at the same time; with one, a later start\n"
    "brings the running program forward and converts nothing.\n"
    "\n"
    "Exit status:\n"
    "  0  every listed image became a page of a written PDF (or was skipped because its PDF\n"
    "     exists and replacing is off)\n"
    "  1  nothing was written (the conversion failed, or the settings dialog was cancelled),\n"
    "     or the start was turned away\n"
    "  2  the arguments were refused\n"
    "  3  PDFs were written, but some images or pages were refused (standard error and the\n"
    "     log say which), or the log could not be written\n";

void note(const std::string& text)
{
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

enum class Options { Run, Help, Version, Unknown };

// What the arguments ask for besides the paths.
struct Start {
    bool folderOption = false;  // --folder was given
    std::string folder;         // its DIR (empty: the home folder)
};

// Splits the options from the paths. "--" ends the options; any other argument starting with
// "--" is an option. "--folder" takes the next argument as its DIR unless that is an option
// (a desktop entry's "--folder %f" started from the menu passes no DIR at all).
Options parseOptions(int argc, char** argv, std::vector<std::string>& paths, Start& start,
                     std::string& bad)
{
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (options && std::strcmp(arg, "--") == 0) {
            options = false;
        } else if (options && std::strcmp(arg, "--help") == 0) {
            return Options::Help;
        } else if (options && std::strcmp(arg, "--version") == 0) {
            return Options::Version;
        } else if (options && std::strncmp(arg, "--folder=", 9) == 0) {
            start.folderOption = true;
            start.folder = arg + 9;
        } else if (options && std::strcmp(arg, "--folder") == 0) {
            start.folderOption = true;
            if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0)
                start.folder = argv[++i];
        } else if (options && std::strncmp(arg, "--", 2) == 0) {
            bad = arg;
            return Options::Unknown;
        } else {
            paths.emplace_back(arg);
        }
    }
    return Options::Run;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> paths;
    Start start;
    std::string bad;
    switch (parseOptions(argc, argv, paths, start, bad)) {
    case Options::Help:
        std::fputs(kUsage, stdout);
        return kExitConverted;
    case Options::Version:
        std::printf("Korvelin %s\n", KORVELIN_VERSION);
        return kExitConverted;
    case Options::Unknown:
        note("Korvelin: unknown option " + bad + "\n" + kUsage);
        return kExitRefused;
    case Options::Run:
        break;
    }
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

    std::unique_ptr<tnw::app::ConvLibrary> library = tnw::app::makeConvLibrary();
    tnw::app::CommandLineContext context(*library);
    context.iniPath = tnw::common::ModulePaths::settingsFile();
    context.display = display;
    context.openFile = [](const std::string& path) { tnw::app::openWithDesktop(path); };
    context.note = note;
    context.showSettings = [&context](const std::string& folder, bool folders) {
        tnw::app::OperationSettingsFiles files;
        files.iniPath = context.iniPath;
        files.historyPath = tnw::app::outputHistoryPath();
        files.io = tnw::app::settingsIoOf(context.library);
        tnw::app::OperationSettings form(files);
        form.open(folders);  // the objects' mode chooses the live name list
        tnw::app::SettingsDialog dialog(form, tnw::app::SettingsForm::CommandLine,
                                        tnw::platform::fromCp932(folder));
        return dialog.exec() == QDialog::Accepted;
    };
    return tnw::app::runCommandLine(paths, context);
}
