// File kinds: what a path holds, judged by its extension. One table serves the converter (which
// treats kind 11 as JPEG and 12 as TIFF) and the program's lists (which show the display names).
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tnw::common {

constexpr int kFileKindNone = -1;
constexpr int kFileKindJpeg = 11;  // ".jpg" only: ".jpeg" is not listed
constexpr int kFileKindTiff = 12;  // ".tif", ".tiff"
constexpr int kFileKindNsk = 14;   // ".nsk", read as TIFF

struct FileKindEntry {
    const char* extension;  // with the dot, lower case
    int kind;
    const char* name;  // display name, UTF-8 source text (code page 932 form: fileKindName)
};

// The table in look-up order; the first entry whose extension matches wins.
std::span<const FileKindEntry> fileKindTable();

// The extension of a path's last component, with its dot ("" when the name has no dot).
std::string_view pathExtension(std::string_view path);

// The kind of an extension (with the dot, compared ignoring ASCII case), -1 when not listed.
int fileKindOfExtension(std::string_view extension);

// The kind of a path (code page 932) by its extension; -1 when not listed.
int fileKindOf(std::string_view path);

// The code page 932 display name of a kind ("" for a kind not in the table).
const std::string& fileKindName(int kind);

}  // namespace tnw::common
