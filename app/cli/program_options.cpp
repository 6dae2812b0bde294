#include "app/cli/program_options.h"

#include <cstring>

namespace tnw::app {

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

ProgramOptions parseProgramOptions(int argc, char** argv, ProgramStart& start)
{
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (options && std::strcmp(arg, "--") == 0) {
            options = false;
        } else if (options && std::strcmp(arg, "--help") == 0) {
            return ProgramOptions::Help;
        } else if (options && std::strcmp(arg, "--version") == 0) {
            return ProgramOptions::Version;
        } else if (options && std::strncmp(arg, "--folder=", 9) == 0) {
            start.folderOption = true;
            start.folder = arg + 9;
        } else if (options && std::strcmp(arg, "--folder") == 0) {
            start.folderOption = true;
            if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0)
                start.folder = argv[++i];
        } else if (options && std::strncmp(arg, "--", 2) == 0) {
            start.bad = arg;
            return ProgramOptions::Unknown;
        } else {
            start.paths.emplace_back(arg);
        }
    }
    return ProgramOptions::Run;
}

}  // namespace tnw::app
