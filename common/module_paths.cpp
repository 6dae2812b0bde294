#include "common/module_paths.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/module_paths.h"

namespace tnw::common {
namespace {

using platform::isLeadByte;
using platform::PathKind;

// Length of the character starting at `i`: 2 for a lead byte followed by another byte.
size_t charLength(std::string_view s, size_t i)
{
    return isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// Position of the last separator, or npos.
size_t lastSeparator(std::string_view path)
{
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < path.size(); i += charLength(path, i)) {
        if (path[i] == '/')
            found = i;
    }
    return found;
}

// Position of the dot that starts the extension of a name, or npos.
size_t extensionDot(std::string_view name)
{
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < name.size(); i += charLength(name, i)) {
        if (name[i] == '.')
            found = i;
    }
    return found;
}

// The path without trailing separators (the root stays "/").
std::string_view withoutTrailingSeparators(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

}  // namespace

ModulePaths::ModulePaths(Clock clock) : m_clock(std::move(clock)) {}

std::string ModulePaths::moduleFolder()
{
    return platform::thisModuleFolder();
}

std::string ModulePaths::settingsFile()
{
    const std::string folder = platform::settingsFolder();
    return folder.empty() ? std::string() : folder + "/Korvelin.ini";
}

std::string ModulePaths::paperFormFile()
{
    const std::string folder = platform::settingsFolder();
    return folder.empty() ? std::string() : folder + "/tnwForm.ini";
}

std::string ModulePaths::folderOf(std::string_view path)
{
    const size_t sep = lastSeparator(path);
    if (sep == std::string_view::npos)
        return {};
    if (sep == 0)
        return "/";
    return std::string(path.substr(0, sep));
}

std::string ModulePaths::lastComponent(std::string_view path)
{
    const size_t sep = lastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string ModulePaths::nameOf(std::string_view path)
{
    std::string name = lastComponent(path);
    const size_t dot = extensionDot(name);
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

std::string ModulePaths::extensionOf(std::string_view path)
{
    const std::string name = lastComponent(path);
    const size_t dot = extensionDot(name);
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

size_t ModulePaths::find(std::string_view text, std::string_view what)
{
    if (what.empty())
        return 0;
    for (size_t i = 0; i < text.size(); i += charLength(text, i)) {
        if (text.substr(i, what.size()) == what)
            return i;
    }
    return std::string_view::npos;
}

std::string ModulePaths::cutFolderMark(std::string_view entry)
{
    const size_t mark = find(entry, "[.]");
    if (mark == std::string_view::npos)
        return std::string(entry);
    // Cut before the character that precedes the mark (normally the separator).
    size_t previous = 0;
    for (size_t i = 0; i < mark; i += charLength(entry, i))
        previous = i;
    return std::string(entry.substr(0, previous));
}

SourceNames ModulePaths::sourceNames(const std::string& path, const LocalTime& namingTime)
{
    SourceNames names;
    const std::string_view trimmed = withoutTrailingSeparators(path);
    if (!trimmed.empty() && !platform::isRootPath(std::string(trimmed))) {
        const std::string p(trimmed);
        names.source = platform::pathKind(p) == PathKind::Folder ? lastComponent(p) : nameOf(p);
        names.parent = lastComponent(folderOf(p));
    }
    if (names.source.empty()) {
        names.source = timeStamp(namingTime);
        names.parent.clear();
    }
    return names;
}

int ModulePaths::classify(const std::string& path, int kind, std::string& full)
{
    full.clear();
    if (!path.empty() && path[0] == '/')
        full = path;
    else if (!platform::fullPath(path, full))
        return kBadPath;
    if (full.size() >= kMaxPath)
        return kBadPath;

    const PathKind found = platform::pathKind(full);
    switch (kind) {
    case kClassifyWhat:
        if (found == PathKind::Missing)
            return kNotFound;
        return found == PathKind::Folder ? kIsFolder : kIsFile;
    case kClassifyFile:
        if (found == PathKind::Missing)
            return kNotFound;
        return found == PathKind::File ? 0 : kWrongKind;
    case kClassifyFolder:
        if (found == PathKind::Missing)
            return kNotFound;
        return found == PathKind::Folder ? 0 : kFileNotFolder;
    case kClassifyOutputFolder:
        if (found == PathKind::Folder)
            return 0;
        if (found == PathKind::File)
            return kWrongKind;
        return platform::isRootPath(full) ? 0 : kNoParent;
    case kClassifyOutputFile: {
        if (found == PathKind::File)
            return 0;
        if (found == PathKind::Folder)
            return kWrongKind;
        const std::string folder = folderOf(withoutTrailingSeparators(full));
        return platform::pathKind(folder) == PathKind::Folder ? 0 : kNoParent;
    }
    default:
        return kBadPath;
    }
}

std::string ModulePaths::expand(std::string_view templ, const std::string& source) const
{
    const LocalTime folderTime = m_clock();
    std::string full;
    const int what = classify(source, kClassifyWhat, full);
    TemplateValues values;
    std::string folder;
    if (what == kIsFile) {
        values.file = nameOf(full);
        folder = folderOf(full);
    } else if (what == kIsFolder) {
        folder = std::string(withoutTrailingSeparators(full));
    } else {
        return {};
    }
    // A file directly in the root, or the root itself, has no folder name: the time stands in.
    values.folder = platform::isRootPath(folder) ? timeStamp(folderTime) : lastComponent(folder);
    const LocalTime ampTime = m_clock();
    const LocalTime pctTime = m_clock();
    return expandTemplate(templ, values, ampTime, pctTime);
}

std::string ModulePaths::preview(std::string_view templ, PreviewKind kind) const
{
    TemplateValues values;
    values.preview = true;
    values.folder = platform::sjis("ﾌｫﾙﾀﾞ名");
    if (kind == PreviewKind::File)
        values.file = platform::sjis("ﾌｧｲﾙ名");
    const LocalTime ampTime = m_clock();
    const LocalTime pctTime = m_clock();
    return expandTemplate(templ, values, ampTime, pctTime);
}

}  // namespace tnw::common
