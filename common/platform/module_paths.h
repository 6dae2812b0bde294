// Where the program, its libraries, its settings and its work files live. Every folder is a
// code page 932 string without a trailing '/'; "" means the folder cannot be had (for example
// because its name has no code page 932 form), which the caller reports.
#pragma once

#include <string>

namespace tnw::platform {

// The folder of the running program (from /proc/self/exe).
std::string programFolder();

// The folder of the program or shared library that holds `address`, e.g.
// moduleFolderOf(reinterpret_cast<const void*>(&someFunction)). Falls back to the program's
// folder when the address belongs to no loaded module with a file name.
std::string moduleFolderOf(const void* address);

// The folder of the deliverable this code is linked into (the platform layer is compiled into
// each deliverable, so from a library this is the library's folder).
std::string thisModuleFolder();

// The settings folder (Korvelin.ini, tnwForm.ini, history files): $KORVELIN_CONFIG_DIR when
// set; else the program's folder when it is writable (a portable install); else
// $XDG_CONFIG_HOME/korvelin, by default ~/.config/korvelin. The folder is created when missing.
std::string settingsFolder();

// The work folder (temporary files of the PDF writer, the fallback log): $KORVELIN_WORK_DIR
// when set; else `libraryFolder` when it is writable; else $XDG_CACHE_HOME/korvelin, by default
// ~/.cache/korvelin. The folder is created when missing.
std::string workFolder(const std::string& libraryFolder);
// The same with the folder of the deliverable this code is linked into.
std::string workFolder();

// The rule behind settingsFolder and workFolder, open for tests: the folder named by the
// environment variable `envVar` when set and not empty; else `preferred` when it is a
// writable folder; else $`xdgVar`/korvelin when that variable holds a full path; else
// $HOME/`homeFallback`/korvelin. The chosen folder is created when missing ("" on failure).
std::string chooseFolder(const char* envVar, const std::string& preferred, const char* xdgVar,
                         const char* homeFallback);

}  // namespace tnw::platform
