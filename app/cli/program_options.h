// The program's options: what the arguments ask for besides the paths, and the usage text.
#pragma once

#include <string>
#include <vector>

namespace tnw::app {

extern const char kUsage[];

enum class ProgramOptions { Run, Help, Version, Unknown };

struct ProgramStart {
    std::vector<std::string> paths;  // the files or folders to convert, as given
    bool folderOption = false;       // --folder was given
    std::string folder;              // its DIR (empty: the home folder)
    std::string bad;                 // the option that was refused (Unknown)
};

// Splits the options from the paths. "--" ends the options; any other argument starting with
// "--" is an option. "--folder" takes the next argument as its DIR unless that is an option
// (a desktop entry's "--folder %f" started from the menu passes no DIR at all).
ProgramOptions parseProgramOptions(int argc, char** argv, ProgramStart& start);

}  // namespace tnw::app
