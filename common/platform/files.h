// Files and folders. Every path here is a code page 932 byte string, as everywhere inside the
// system; the conversion to the operating system's UTF-8 names happens only in this module.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tnw::platform {

// The operating system's (UTF-8) form of a code page 932 path. False when the bytes are not
// valid code page 932.
bool toOsPath(const std::string& path, std::string& osPath);
// The system's (code page 932) form of an operating-system path. False when the name has no
// code page 932 form: such a name is refused by the caller, never mangled.
bool fromOsPath(const std::string& osPath, std::string& path);

// fopen on a code page 932 path; null when the path cannot be converted or opened.
FILE* openFile(const std::string& path, const char* mode);

enum class PathKind { Missing, File, Folder };
PathKind pathKind(const std::string& path);

}  // namespace tnw::platform
