#include "conv/inputs.h"

#include "common/file_kind.h"
#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "conv/messages.h"

#include <algorithm>
#include <cstring>

namespace tnw::conv {
namespace {

using common::ModulePaths;
using platform::isLeadByte;
using platform::sjis;

// The messages of the input check, by code.
struct InputMessage {
    int code;
    const char* text;  // UTF-8 source text; "%s" stands for the entry
};
constexpr InputMessage kInputMessages[] = {
    {kInputEmpty, "入力がない"},
    {kInputMissing, "%s が存在しません。"},
    {kInputBadDescription, "入力記述テキストが不正です。"},
    {kInputNoFiles, "ファイルが指定されていません。"},
    {kInputNoFolders, "フォルダが指定されていません。"},
};

// Shows the message of `code` (with `entry` in place of "%s") and returns the code.
int fail(int code, const std::string& entry = {})
{
    for (const InputMessage& m : kInputMessages) {
        if (m.code != code)
            continue;
        std::string text = sjis(m.text);
        const size_t at = text.find("%s");
        if (at != std::string::npos)
            text.replace(at, 2, entry);
        putMessage(text);
    }
    return code;
}

void copyPath(char* buffer, const std::string& path)
{
    // Full paths are shorter than 260 bytes (the classification refuses longer ones).
    if (buffer && path.size() < common::kMaxPath)
        std::memcpy(buffer, path.c_str(), path.size() + 1);
}

std::string trimmedFolder(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// ASCII letters in lower case; the second byte of a double-byte character is never folded.
std::string foldCase(std::string_view s)
{
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(out[i])))
            ++i;
        else
            out[i] = lowerAscii(out[i]);
    }
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return foldCase(a) == foldCase(b);
}

}  // namespace

int makeInputText(int mode, int fromDescription, CTnwbuff* inputs, CTnwbuff* checked,
                  char* firstFolder, char* singlePath)
{
    if (firstFolder)
        firstFolder[0] = '\0';
    if (!inputs || inputs->Count() <= 0)
        return fail(kInputEmpty);
    if (!checked)
        return kTnwBuffNotInit;

    int files = 0;
    int folders = 0;
    std::string firstFile;
    inputs->Rewind();
    while (inputs->Next() == 0) {
        // An entry with the folder mark stands for its folder, also in the message.
        const std::string entry =
            ModulePaths::cutFolderMark(inputs->Text() ? inputs->Text() : "");
        std::string full;
        const int what = ModulePaths::classify(entry, common::kClassifyWhat, full);
        if (what == common::kIsFile) {
            if (++files == 1)
                firstFile = full;
        } else if (what == common::kIsFolder) {
            ++folders;
            full = trimmedFolder(full);
        } else {
            return fail(kInputMissing, entry);
        }
        if (int rc = checked->AddString(full.c_str()); rc < 0)
            return rc;
        // The first entry's folder is kept even when a later entry fails the check.
        if (firstFolder && firstFolder[0] == '\0')
            copyPath(firstFolder, ModulePaths::folderOf(full));
    }

    if (fromDescription) {
        if (files != 1 || folders != 0)
            return fail(kInputBadDescription);
        copyPath(singlePath, firstFile);
        return 0;
    }
    if (mode > 0)
        return files == 0 && folders > 0 ? 0 : fail(kInputNoFolders);
    return files > 0 && folders == 0 ? 0 : fail(kInputNoFiles);
}

std::vector<InputItem> makeInputItems(CTnwbuff& checked)
{
    std::vector<InputItem> items;
    checked.Rewind();
    while (checked.Next() == 0) {
        InputItem item;
        item.path = checked.Text();
        item.kind = common::fileKindOf(item.path ? item.path : "");
        items.push_back(item);
    }
    for (InputItem& jpeg : items) {
        if (jpeg.kind != common::kFileKindJpeg || !jpeg.path)
            continue;
        const std::string name = ModulePaths::nameOf(jpeg.path);
        for (const InputItem& tiff : items) {
            if (tiff.kind == common::kFileKindTiff && tiff.path &&
                equalsIgnoringCase(name, ModulePaths::nameOf(tiff.path))) {
                jpeg.sameName = 1;
                break;
            }
        }
    }
    return items;
}

std::vector<std::string> listJpegFiles(const std::string& folder, int* skippedNames)
{
    if (skippedNames)
        *skippedNames = 0;
    std::vector<std::string> files;
    std::vector<platform::FolderEntry> entries;
    if (!platform::listFolder(folder, entries))
        return files;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const platform::FolderEntry& e : entries) {
        if (e.isFolder)
            continue;
        if (e.badName) {
            if (skippedNames)
                ++*skippedNames;
            continue;
        }
        if (common::fileKindOf(e.name) == common::kFileKindJpeg)
            files.push_back(prefix + e.name);
    }
    return files;
}

int listJpegFiles(const std::string& folder, CTnwbuff& list, int* skippedNames)
{
    for (const std::string& file : listJpegFiles(folder, skippedNames)) {
        if (int rc = list.AddString(file.c_str()); rc < 0)
            return rc;
    }
    return 0;
}

}  // namespace tnw::conv
