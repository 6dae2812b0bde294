#include "conv/inputs.h"

#include "common/file_kind.h"
#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/locale_compare.h"
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

int compareIgnoringCase(std::string_view a, std::string_view b)
{
    const int r = foldCase(a).compare(foldCase(b));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// --- Natural order ---------------------------------------------------------------------

// The digit at `i` ("0"-"9", or a full-width "０"-"９" = 0x82 0x4F-0x58): its value and
// length in bytes; length 0 when there is none.
size_t digitAt(std::string_view s, size_t i, int& value)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= '0' && c <= '9') {
        value = c - '0';
        return 1;
    }
    if (c == 0x82 && i + 1 < s.size()) {
        const auto t = static_cast<unsigned char>(s[i + 1]);
        if (t >= 0x4F && t <= 0x58) {
            value = t - 0x4F;
            return 2;
        }
    }
    return 0;
}

size_t charLength(std::string_view s, size_t i)
{
    return isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// End of the run without digits that starts at `i`.
size_t textRunEnd(std::string_view s, size_t i)
{
    int value;
    while (i < s.size() && digitAt(s, i, value) == 0)
        i += charLength(s, i);
    return i;
}

// End of the digit run that starts at `i`; its digit values go to `digits`.
size_t digitRunEnd(std::string_view s, size_t i, std::string& digits)
{
    int value;
    while (i < s.size()) {
        const size_t n = digitAt(s, i, value);
        if (n == 0)
            break;
        digits += char('0' + value);
        i += n;
    }
    return i;
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Two digit runs: as numbers first, then as written (so "007" comes before "7").
int compareNumbers(std::string_view digitsA, std::string_view rawA, std::string_view digitsB,
                   std::string_view rawB)
{
    auto significant = [](std::string_view d) {
        const size_t first = d.find_first_not_of('0');
        return first == std::string_view::npos ? d.substr(d.size() - 1) : d.substr(first);
    };
    const std::string_view a = significant(digitsA);
    const std::string_view b = significant(digitsB);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (int r = a.compare(b))
        return sign(r);
    return sign(rawA.compare(rawB));  // bytes compared as unsigned
}

// The segment rule: runs without digits by the locale, digit runs as numbers.
int compareSegments(std::string_view a, std::string_view b)
{
    size_t i = 0;
    size_t j = 0;
    for (;;) {
        if (i >= a.size())
            return j >= b.size() ? 0 : -1;
        if (j >= b.size())
            return 1;
        const size_t textEndA = textRunEnd(a, i);
        const size_t textEndB = textRunEnd(b, j);
        if (int r = platform::localeCompare(a.substr(i, textEndA - i), b.substr(j, textEndB - j)))
            return sign(r);
        i = textEndA;
        j = textEndB;
        if (i >= a.size() || j >= b.size())
            return i >= a.size() && j >= b.size() ? 0 : (i >= a.size() ? -1 : 1);
        std::string digitsA, digitsB;
        const size_t digitEndA = digitRunEnd(a, i, digitsA);
        const size_t digitEndB = digitRunEnd(b, j, digitsB);
        if (int r = compareNumbers(digitsA, a.substr(i, digitEndA - i), digitsB,
                                   b.substr(j, digitEndB - j)))
            return r;
        i = digitEndA;
        j = digitEndB;
    }
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

int naturalCompare(std::string_view a, std::string_view b)
{
    if (int r = compareSegments(ModulePaths::folderOf(a), ModulePaths::folderOf(b)))
        return r;
    if (int r = compareSegments(ModulePaths::nameOf(a), ModulePaths::nameOf(b)))
        return r;
    return compareIgnoringCase(ModulePaths::extensionOf(a), ModulePaths::extensionOf(b));
}

void sortNatural(std::vector<std::string>& paths)
{
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return naturalCompare(a, b) < 0;
    });
}

}  // namespace tnw::conv
