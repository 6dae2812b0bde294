// A conversion of paths named on the command line, in a program that may show windows: the
// library's Qt messages and progress window with a display, and the operation settings
// dialog first when the stored settings ask for it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tnw::app {

// Runs the conversion of `paths` with the stored settings and returns the exit status.
// `note` writes the program's notes (UTF-8) to standard error.
int convertNamedPaths(const std::vector<std::string>& paths, bool display,
                      const std::function<void(const std::string&)>& note);

}  // namespace tnw::app
