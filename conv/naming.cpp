#include "conv/naming.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/ui.h"
#include "conv/job_state.h"
#include "conv/messages.h"

#include <cstring>

namespace tnw::conv {
namespace {

using common::kMaxPath;
using common::ModulePaths;
using common::templateField;
using common::timeStamp;
using platform::sjis;

// The messages of output naming. "%s" stands for the path concerned.
enum class Msg {
    BadBaseFolder,
    MissingBaseFolder,
    NoSubFolder,
    NoOutputFolder,
    NoOutputPath,
    OutputMissing,
    OutputNotFolder,
    OutputParentMissing,
    OutputNotFile,
    OutputBad,
};

struct NamingMessage {
    Msg id;
    bool sablon;       // title "Sablon" (naming engine); otherwise the library's "Dravik"
    const char* text;  // UTF-8 source text
};

constexpr NamingMessage kMessages[] = {
    {Msg::BadBaseFolder, true, "出力ﾌｫﾙﾀﾞ名が不正です。"},
    {Msg::MissingBaseFolder, true, "作成ﾌｫﾙﾀﾞ:%s が存在しません。"},
    {Msg::NoSubFolder, true, "ｻﾌﾞﾌｫﾙﾀﾞが作成できません。"},
    {Msg::NoOutputFolder, false, "出力ﾌｫﾙﾀﾞ( %s )が作成できません。"},
    {Msg::NoOutputPath, true, "出力ﾊﾟｽ名が作成できません。"},
    {Msg::OutputMissing, false, "出力：%s が存在しません。"},
    {Msg::OutputNotFolder, false, "出力：%s はフォルダでありません。"},
    {Msg::OutputParentMissing, false, "出力：%s の親が存在しません。"},
    {Msg::OutputNotFile, false, "出力：%s はファイル名でありません。"},
    {Msg::OutputBad, false, "出力：%s は不正です。"},
};

void show(Msg id, const std::string& path = {})
{
    for (const NamingMessage& m : kMessages) {
        if (m.id != id)
            continue;
        std::string text = sjis(m.text);
        const size_t at = text.find("%s");
        if (at != std::string::npos)
            text.replace(at, 2, path);
        if (m.sablon)
            platform::showMessage("Sablon", text, platform::MsgButtons::Ok);
        else
            putMessage(text);
    }
}

// Copies `text` with its zero into a caller buffer of `size` bytes; false when it does not fit.
bool copyOut(char* buffer, size_t size, const std::string& text)
{
    if (!buffer || text.size() >= size)
        return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

void clear(char* buffer)
{
    if (buffer)
        buffer[0] = '\0';
}

std::string withoutTrailingSeparator(std::string path)
{
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

NamingEngine::NamingEngine(const ConvSettings& settings, common::Clock clock)
    : m_settings(settings), m_paths(std::move(clock))
{
}

void NamingEngine::start(const std::string& source)
{
    m_source = source;
    m_time = m_paths.clock()();
    m_names = ModulePaths::sourceNames(source, m_time);
}

std::string NamingEngine::subFolderName() const
{
    const std::string time = timeStamp(m_time, false);
    if (m_settings.nFolding == 0) {
        switch (m_settings.nFoldSub1) {
        case 1:
            return time;
        case 2:
            return m_paths.expand(templateField(m_settings.szMetaSub1), m_source);
        default:
            return {};
        }
    }
    switch (m_settings.nFoldSub2) {
    case 1:
        return time;
    case 2:
        return m_names.source;
    case 3:
        return m_paths.expand(templateField(m_settings.szMetaSub2), m_source);
    default:
        return {};
    }
}

int NamingEngine::outputFolder(bool messages, std::string& folder) const
{
    folder.clear();
    std::string base =
        m_settings.nFolding != 0 ? std::string(common::fieldText(m_settings.szFold2)) : m_source;
    if (base.empty() || base.size() >= kMaxPath) {
        if (messages)
            show(Msg::BadBaseFolder);
        return -1;
    }
    base = withoutTrailingSeparator(base);
    if (platform::pathKind(base) != platform::PathKind::Folder) {
        if (messages)
            show(Msg::MissingBaseFolder, base);
        return -1;
    }

    std::string result = base;
    const bool wantsSub = m_settings.nFolding == 0
                              ? (m_settings.nFoldSub1 == 1 || m_settings.nFoldSub1 == 2)
                              : (m_settings.nFoldSub2 >= 1 && m_settings.nFoldSub2 <= 3);
    if (wantsSub) {
        const std::string name = subFolderName();
        result = joinPath(base, name);
        if (name.empty() || result.size() >= kMaxPath) {
            if (messages)
                show(Msg::NoSubFolder);
            return -1;
        }
        // An existing folder is used as it is; a failure shows in the check below.
        if (platform::pathKind(result) == platform::PathKind::Missing)
            platform::createFolder(result);
    }
    if (platform::pathKind(result) != platform::PathKind::Folder) {
        if (messages)
            show(Msg::NoOutputFolder, result);
        return -1;
    }
    folder = result;
    return 0;
}

int NamingEngine::runPaths(const std::string& base, std::string& folder, std::string& pdf,
                           std::string& log)
{
    folder.clear();
    pdf.clear();
    log.clear();
    start(base);
    std::string outFolder;
    if (outputFolder(true, outFolder) != 0)
        return kFolderRulesFailed;

    std::string name;
    switch (m_settings.nNameingFile) {
    case 0:
        name = m_names.source;
        break;
    case 1:
        name = m_names.source + "_" + timeStamp(m_time, false);
        break;
    case 2:
        name = m_paths.expand(templateField(m_settings.szMetaFile), base);
        break;
    default:
        return kNoOutputName;
    }
    // The result path with the record's extension, and the PDF path handed to the run: both
    // must fit a path buffer. An empty name would make a hidden ".pdf": refused as well.
    const std::string result =
        joinPath(outFolder, name) + "." + std::string(templateField(m_settings.szExt));
    const std::string pdfPath = joinPath(outFolder, name) + ".pdf";
    if (name.empty() || result.size() >= kMaxPath || pdfPath.size() >= kMaxPath) {
        show(Msg::NoOutputPath);
        return kNoOutputName;
    }
    std::string logFile;
    if (m_settings.nMakeLog != 0) {
        if (int rc = logPath(base, outFolder, logFile); rc != 0)
            return rc;
    }
    folder = outFolder;
    pdf = pdfPath;
    log = logFile;
    return 0;
}

int NamingEngine::logPath(const std::string& base, const std::string& folder,
                          std::string& log) const
{
    log.clear();
    const common::LocalTime now = m_paths.clock()();
    std::string name = ModulePaths::lastComponent(withoutTrailingSeparator(base));
    if (name.empty())
        name = timeStamp(now);
    std::string path;
    switch (m_settings.nNameingLog) {
    case 1:
        path = joinPath(folder, name + ".csv");
        break;
    case 2: {
        std::string expanded = m_paths.expand(templateField(m_settings.szMetaLog), base);
        if (expanded.empty())
            expanded = timeStamp(now);
        path = joinPath(folder, expanded + ".csv");
        break;
    }
    default:
        path = joinPath(folder, name + "_" + timeStamp(now, false) + ".csv");
        break;
    }
    if (path.size() >= static_cast<size_t>(kLogPathSize)) {
        show(Msg::NoOutputPath);
        return kNoOutputName;
    }
    log = path;
    return 0;
}

int NamingEngine::imagePdfPath(const std::string& image, const std::string& outFolder,
                               const common::LocalTime& runStart, std::string& path) const
{
    path.clear();
    const std::string file = ModulePaths::nameOf(image);
    const std::string folder = ModulePaths::lastComponent(ModulePaths::folderOf(image));
    const std::string time = timeStamp(runStart, false);
    std::string name;
    if (m_settings.nMode <= 0) {
        switch (m_settings.nNameingFile) {
        case 1:
            name = file + "_" + time;
            break;
        case 2:
            name = m_paths.expand(templateField(m_settings.szMetaFile), image);
            break;
        default:
            name = file;
            break;
        }
    } else {
        switch (m_settings.nNameingDir) {
        case 0:
            name = file;
            break;
        case 1:
            name = file + "_" + time;
            break;
        case 2:
            name = folder + "_" + file;
            break;
        case 3:
            name = folder + "_" + file + "_" + time;
            break;
        case 4:
            // The file template names each image. The settings dialog only insists on the folder
            // template in folder mode, so an empty file template falls back to that one rather
            // than failing every image of the run.
            name = m_paths.expand(templateField(m_settings.szMetaFile[0] != '\0'
                                                    ? m_settings.szMetaFile
                                                    : m_settings.szMetaDir),
                                  image);
            break;
        default:
            name = folder;
            break;
        }
    }
    if (name.empty())
        return kNameEmpty;
    const std::string result = joinPath(outFolder, name + ".pdf");
    if (result.size() >= kMaxPath)
        return kPathTooLong;
    path = result;
    return 0;
}

int NamingEngine::folderPdfPath(const std::string& inputFolder, const std::string& outFolder,
                                std::string& path)
{
    path.clear();
    start(inputFolder);
    const std::string time = timeStamp(m_time, false);
    std::string name;
    switch (m_settings.nNameingDir) {
    case 0:
        name = m_names.source;
        break;
    case 1:
        name = m_names.source + "_" + time;
        break;
    case 2:
        name = m_names.parent + "_" + m_names.source;
        break;
    case 3:
        name = m_names.parent + "_" + m_names.source + "_" + time;
        break;
    case 4:
        name = m_paths.expand(templateField(m_settings.szMetaDir), inputFolder);
        break;
    default:
        return kNoNamingRule;
    }
    if (name.empty())
        name = kFallbackName;
    const std::string result = joinPath(outFolder, name + ".pdf");
    if (result.size() >= kMaxPath) {
        show(Msg::NoOutputPath);
        return kPathTooLong;
    }
    path = result;
    return 0;
}

int getPathTo(const char* base, const ConvSettings* record, char* folder, char* pdf, char* log,
              const common::Clock& clock)
{
    clear(folder);
    clear(pdf);
    clear(log);
    if (!record || !folder || !pdf || !log)
        return -1;
    const char* given = base ? base : "";
    if (strnlen(given, kPathSize + 1) > static_cast<size_t>(kPathSize)) {
        // Too long to be remembered whole, and too long for any folder rule.
        show(Msg::BadBaseFolder);
        return kFolderRulesFailed;
    }
    std::strcpy(jobState().baseFolder, given);

    NamingEngine engine(*record, clock);
    std::string outFolder, pdfPath, logFile;
    if (int rc = engine.runPaths(given, outFolder, pdfPath, logFile); rc != 0)
        return rc;
    copyOut(folder, kPathSize, outFolder);
    copyOut(pdf, kPathSize, pdfPath);
    copyOut(log, kLogPathSize, logFile);
    return 0;
}

int getDirTo(const ConvSettings* record, const char* folder, char* outFolder,
             const common::Clock& clock)
{
    clear(outFolder);
    if (!record || !folder || !outFolder)
        return -1;
    NamingEngine engine(*record, clock);
    engine.start(folder);
    std::string result;
    if (engine.outputFolder(false, result) != 0)
        return -1;
    return copyOut(outFolder, kPathSize, result) ? 0 : -1;
}

int checkOutputPath(int kind, const char* base, const char* output, char* resolved)
{
    clear(resolved);
    const std::string given = output ? output : "";
    const std::string basePath = base ? base : "";
    if (kind != 0 && kind != 1) {
        show(Msg::OutputBad, given);
        return common::kBadPath;
    }
    if (given.empty()) {
        // No output: next to the inputs.
        const std::string folder = withoutTrailingSeparator(basePath);
        const std::string path =
            kind == 1 ? basePath
                      : joinPath(folder, ModulePaths::lastComponent(folder) + ".tif");
        if (!copyOut(resolved, kPathSize, path)) {
            show(Msg::OutputBad, path);
            return common::kBadPath;
        }
        return 0;
    }
    std::string full;
    const int rc = ModulePaths::classify(
        given, kind == 1 ? common::kClassifyOutputFolder : common::kClassifyOutputFile, full);
    if (rc == 0) {
        copyOut(resolved, kPathSize, full);  // classification keeps full paths below 260 bytes
        return 0;
    }
    if (rc == common::kNoParent)
        show(kind == 1 ? Msg::OutputMissing : Msg::OutputParentMissing, given);
    else if (rc == common::kWrongKind)
        show(kind == 1 ? Msg::OutputNotFolder : Msg::OutputNotFile, given);
    else
        show(Msg::OutputBad, given);
    return rc;
}

int checkOutputPath2(int mode, int grouping, const char* base, const char* output,
                     char* resolved)
{
    return checkOutputPath(mode > 0 || grouping < 1 ? 1 : 0, base, output, resolved);
}

}  // namespace tnw::conv
