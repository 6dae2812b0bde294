// Opening a file with the application the desktop associates with it (the shell's "open").
#pragma once

#include <QString>

#include <string>

namespace tnw::app {

// Starts `xdg-open` on the file (code page 932 path), detached: the program does not wait for
// it and it outlives the program. False when the path has no operating-system form or the
// opener could not be started.
bool openWithDesktop(const std::string& path);
// The same for a path as the operating system has it (a file of the program's own, such as its
// manual, whose folder need not have a code page 932 form).
bool openWithDesktop(const QString& osPath);

}  // namespace tnw::app
