#include "app/cli/command_line_objects.h"

#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"

#include <exception>

namespace tnw::app {
namespace {

struct ObjectMessage {
    int code;
    const char* text;  // UTF-8 in the source; shown in code page 932
};

const ObjectMessage kObjectMessages[] = {
    {kObjectBadName, "不正な名前があります。"},
    {kObjectNotFound, "ﾌｧｲﾙ/ﾌｫﾙﾀﾞでないｵﾌﾞｼﾞｪｸﾄがあります。"},
    {kObjectOtherFolder, "同一ﾌｫﾙﾀﾞのｵﾌﾞｼﾞｪｸﾄだけをｻﾎﾟｰﾄします。"},
    {kObjectNone, "ｵﾌﾞｼﾞｪｸﾄがありません。"},
    {kObjectMixed, "ﾌｫﾙﾀﾞとﾌｧｲﾙの混在はｻﾎﾟｰﾄしていません。"},
    {kObjectFailed, "ｵﾌﾞｼﾞｪｸﾄ解析中にｴﾗｰが発生しました。"},
};

// One argument: its full code page 932 path, or a code.
int fullPathOf(const std::string& osArg, std::string& full)
{
    std::string path;
    if (!platform::fromOsPath(osArg, path))
        return kObjectBadName;
    if (path.empty() || path.size() >= common::kMaxPath)
        return kObjectBadName;
    if (!platform::fullPath(path, full) || full.size() >= common::kMaxPath)
        return kObjectBadName;
    return kObjectsOk;
}

int scan(const std::vector<std::string>& osArgs, CommandLineObjects& objects)
{
    bool first = true;
    for (const std::string& arg : osArgs) {
        std::string full;
        if (int rc = fullPathOf(arg, full))
            return rc;
        switch (platform::pathKind(full)) {
        case platform::PathKind::File:
            objects.files.push_back(full);
            break;
        case platform::PathKind::Folder:
            objects.folders.push_back(full);
            break;
        default:
            return kObjectNotFound;
        }
        // The root has no folder above it: it stands as its own.
        const std::string folder =
            platform::isRootPath(full) ? full : common::ModulePaths::folderOf(full);
        if (first)
            objects.commonFolder = folder;
        else if (folder != objects.commonFolder)
            return kObjectOtherFolder;
        first = false;
    }
    if (objects.files.empty() && objects.folders.empty())
        return kObjectNone;
    if (!objects.files.empty() && !objects.folders.empty())
        return kObjectMixed;
    return kObjectsOk;
}

}  // namespace

std::string objectErrorMessage(int code)
{
    for (const ObjectMessage& m : kObjectMessages) {
        if (m.code == code)
            return platform::sjis(m.text);
    }
    return objectErrorMessage(kObjectFailed);
}

int collectObjects(const std::vector<std::string>& osArgs, CommandLineObjects& objects)
{
    objects = CommandLineObjects{};
    try {
        return scan(osArgs, objects);
    } catch (const std::exception&) {
        return kObjectFailed;  // a list that could not grow
    }
}

}  // namespace tnw::app
