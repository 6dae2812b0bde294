// The inputs of a job: the check that turns the caller's paths into full paths and decides
// between files and folders, the ".jpg" listing of a folder, the same-name rule of the file
// runs and the natural order of a folder's pages.
#pragma once

#include "CTnwbuff.h"
#include "common/natural_order.h"

#include <string>
#include <string_view>
#include <vector>

namespace tnw::conv {

// Codes of the input check (its messages are in inputs.cpp).
enum InputCode {
    kInputEmpty = -8,            // "入力がない"
    kInputMissing = -9,          // "%s が存在しません。"
    kInputBadDescription = -91,  // "入力記述テキストが不正です。"
    kInputNoFiles = -92,         // "ファイルが指定されていません。"
    kInputNoFolders = -93,       // "フォルダが指定されていません。"
};

// Checks the input list and fills `checked` with the full path of each entry, in order.
// `firstFolder` receives the folder of the first entry; with `fromDescription`, `singlePath`
// receives the one description file. Both are caller buffers of 260 bytes (may be null).
// Folder mode (mode > 0) wants folders only, file mode files only, a description exactly one
// file. Returns 0, a code above (after its message, title "Dravik"), or a list code <= -1000.
int makeInputText(int mode, int fromDescription, CTnwbuff* inputs, CTnwbuff* checked,
                  char* firstFolder, char* singlePath);

// One checked path of a file run.
struct InputItem {
    int kind = -1;         // file kind by extension: 11 JPEG, 12 TIFF, ...
    int sameName = 0;      // 1: a TIFF of the same base name is in the list; not converted
    const char* path = nullptr;  // into the checked list, whose blocks never move
};

// One item per entry of `checked`, in order, with the same-name rule applied: a JPEG whose base
// name (ignoring ASCII case) is also that of a TIFF of the list is flagged.
std::vector<InputItem> makeInputItems(CTnwbuff& checked);

// The ".jpg" files (any case) of a folder, as "folder/name", in the listing's order; folders
// and sub-folders are not entered. A folder that cannot be read gives an empty list. Entries
// whose names have no code page 932 form cannot be named inside the system: they are left out
// and counted in `skippedNames` when given.
std::vector<std::string> listJpegFiles(const std::string& folder, int* skippedNames = nullptr);
// The same, appended to a block list; returns 0 or a list code <= -1000.
int listJpegFiles(const std::string& folder, CTnwbuff& list, int* skippedNames = nullptr);

// The natural order of paths (common/natural_order), as the runs use it.
using common::naturalCompare;
using common::sortNatural;

}  // namespace tnw::conv
