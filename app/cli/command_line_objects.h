// The objects named on the command line (or dropped on the program's icon): each argument is
// made a full path, looked up on disk and sorted into files or folders; all must lie in one
// folder, and files and folders are not mixed.
#pragma once

#include <string>
#include <vector>

namespace tnw::app {

// Codes of the argument scan.
enum ObjectError : int {
    kObjectsOk = 0,
    kObjectBadName = -1,     // empty or too long, no code page 932 form, no full path
    kObjectNotFound = -2,    // missing, or neither a file nor a folder
    kObjectOtherFolder = -4, // not in the folder of the first object
    kObjectNone = -5,        // no argument at all
    kObjectMixed = -6,       // files and folders together
    kObjectFailed = -9,      // any other failure
};

// The message shown for a code (code page 932); any code without its own message shows the one
// of kObjectFailed.
std::string objectErrorMessage(int code);

struct CommandLineObjects {
    std::vector<std::string> files;    // full code page 932 paths, in argument order
    std::vector<std::string> folders;  // likewise
    // The folder holding the objects, without a trailing '/' ("/" for objects in the root).
    std::string commonFolder;

    bool isFolders() const { return !folders.empty(); }
};

// Scans the arguments (operating-system form, UTF-8) in order; the first error ends the scan.
// Each is converted to code page 932 (no such form: -1), must be 1 to 259 bytes long (-1), is
// made a full path against the current folder, which must also fit in 259 bytes (-1), and
// must name a file or a folder (-2). Its folder must equal the first object's folder (-4): the
// comparison is exact, as names on a Linux file system are. After the last: none at all -5,
// files and folders together -6. Returns 0 or the code.
int collectObjects(const std::vector<std::string>& osArgs, CommandLineObjects& objects);

}  // namespace tnw::app
