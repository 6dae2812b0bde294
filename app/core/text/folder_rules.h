// Rules for the output folder typed into the settings dialog: what counts as a usable folder
// name, and making a missing folder level by level. Paths are code page 932.
#pragma once

#include <string>

namespace tnw::app {

// The full form of a typed folder (made lexically, a trailing or doubled '/' is harmless).
// False for an empty or relative text, the root itself, or a full path of 260 bytes or more.
bool usableFolderName(const std::string& text, std::string& full);

// What creating a folder came to.
struct FolderCreation {
    bool created = false;
    std::string error;  // the system's text (code page 932) for the level that failed, or ""
};

// Creates every missing level of `full` (a usable full path). Succeeds when the folder exists
// at the end; a level that cannot be made stops with the system's text for its error.
FolderCreation createFolderLevels(const std::string& full);

// Whether the program may create files in the folder.
bool writableFolder(const std::string& folder);

}  // namespace tnw::app
