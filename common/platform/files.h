// Files and folders. Every path here is a code page 932 byte string, as everywhere inside the
// system; the conversion to the operating system's UTF-8 names happens only in this module.
// A path that has no UTF-8 form (bytes that are not code page 932) makes every call fail as a
// missing file would. The separator is '/'; a full path starts with '/'.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tnw::platform {

// The operating system's (UTF-8) form of a code page 932 path. False when the bytes are not
// valid code page 932.
bool toOsPath(const std::string& path, std::string& osPath);
// The system's (code page 932) form of an operating-system path. False (and `path` empty)
// when the name has no code page 932 form, including a name that would not convert back to
// itself ("¥" becomes "\" in code page 932): such a name is refused by the caller, never
// mangled.
bool fromOsPath(const std::string& osPath, std::string& path);

// fopen on a code page 932 path; null when the path cannot be converted or opened. A mode
// that reads an existing file ("r", "rb", "r+b") opens a regular file only, through
// openRegularFile, so a FIFO or a device named like an image never blocks the caller.
FILE* openFile(const std::string& path, const char* mode);

// Opens an existing regular file (symbolic links followed) for reading, or for reading and
// writing with `writable`. Anything else (a folder, a FIFO, a socket, a device) is refused
// without waiting for it: the file is opened non-blocking and its type checked before the
// descriptor is made blocking again. Returns a close-on-exec descriptor, or -1 (errno tells
// why; EINVAL for a file that is not regular).
int openRegularFile(const std::string& path, bool writable = false);
// True when `path` names a regular file (symbolic links followed).
bool isRegularFile(const std::string& path);

enum class PathKind { Missing, File, Folder };
// What a path names (symbolic links followed). Anything that is not a folder (a device, a
// socket) counts as a file; a dangling link or an unconvertible path is Missing.
PathKind pathKind(const std::string& path);

// --- Paths -------------------------------------------------------------------------------

// The current folder (code page 932, no trailing '/'). False when it has no code page 932
// form or cannot be read.
bool currentFolder(std::string& folder);

// The full form of `path`, made lexically (the disk is not consulted, links are not resolved):
// a path not starting with '/' is taken against the current folder; "." parts, empty parts and
// repeated '/' go, ".." removes the part before it (never past the root); no trailing '/'
// except for the root itself. "a/./b/../c" in "/cwd" gives "/cwd/a/c". False only when the
// current folder is needed and cannot be had.
bool fullPath(const std::string& path, std::string& full);

// True when `path` names the file-system root ("/", "//", "/.", "/..": lexically the root).
// This stands in for the question whether a path is a drive root.
bool isRootPath(const std::string& path);

// --- Information and listing -------------------------------------------------------------

struct FileInfo {
    PathKind kind = PathKind::Missing;
    std::uint64_t size = 0;     // bytes (0 for a folder)
    std::int64_t modified = 0;  // seconds since 1970-01-01 UTC
    std::int64_t accessed = 0;  // seconds since 1970-01-01 UTC
};

// Kind, size and times of a path (symbolic links followed). False (kind Missing) when the path
// does not exist or cannot be converted.
bool fileInfo(const std::string& path, FileInfo& info);
// Size of a file in bytes; false when it is missing or a folder.
bool fileSize(const std::string& path, std::uint64_t& size);

// One entry of a folder listing.
struct FolderEntry {
    std::string name;    // code page 932 name; empty when `badName` is set
    std::string osName;  // the name as the operating system has it (UTF-8 or raw bytes)
    bool badName = false;  // the name has no code page 932 form: report it, never use it
    bool isFolder = false;
    bool isLink = false;   // the entry itself is a symbolic link (whatever it points to)
    bool isOther = false;  // neither a folder nor a regular file: a FIFO, device or socket
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // seconds since 1970-01-01 UTC
};

// The entries of a folder, without "." and "..", sorted by their operating-system names (byte
// order) so that a listing is the same every time. An entry whose name has no code page 932
// form is listed with `badName` set and an empty `name`, so the caller can report it. A
// symbolic link is listed as what it points to, with `isLink` set; a dangling one as a file of
// size 0. FIFOs, devices and sockets are listed with `isOther` set, so that a caller can report
// them by name instead of dropping them silently; they must never be opened for reading
// except through openRegularFile. False when the folder cannot be opened.
bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// --- Changes -----------------------------------------------------------------------------

// Creates one folder; its parent must exist. False when it cannot be made or already exists.
bool createFolder(const std::string& path);
// Creates a folder and every missing folder above it. True when the folder exists at the end.
bool createFolders(const std::string& path);
// Deletes a file (not a folder). False when it is missing or cannot be deleted.
bool deleteFile(const std::string& path);
// Deletes an empty folder.
bool deleteFolder(const std::string& path);
// Renames (moves, on the same file system) a file or folder. Without `replace`, fails when
// `to` exists; with it, an existing file `to` is replaced atomically.
bool renamePath(const std::string& from, const std::string& to, bool replace = false);
// Copies a file's bytes. Without `replace`, fails when `to` exists. The copy is written to a
// temporary file next to `to` and renamed into place, so `to` is never left half written.
bool copyFile(const std::string& from, const std::string& to, bool replace = false);

// The whole content of a file. False when it is missing, unreadable, not a regular file, or
// larger than `maxBytes`.
bool readFileBytes(const std::string& path, std::string& bytes,
                   std::uint64_t maxBytes = 256u * 1024 * 1024);
// Replaces (or creates) a file with `bytes` atomically: the bytes go to a temporary file in the
// same folder, are flushed to disk and the temporary file is renamed over `path`. An existing
// file keeps its permissions; when `path` is a symbolic link, the file it points to is
// replaced. A crash leaves either the old or the new file, never a mix.
bool writeFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace tnw::platform
