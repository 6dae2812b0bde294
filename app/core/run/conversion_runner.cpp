#include "app/core/run/conversion_runner.h"

#include "app/core/lists/list_document.h"
#include "app/core/tree/folder_list_model.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/ui.h"

#include <ctime>

namespace tnw::app {
namespace {

const char kTitle[] = "Korvelin";

void say(const char* utf8, platform::MsgIcon icon = platform::MsgIcon::None)
{
    platform::showMessage(kTitle, platform::sjis(utf8), platform::MsgButtons::Ok, icon);
}

}  // namespace

bool subFolderDisplayDiffers(const AppSettings& before, const AppSettings& after)
{
    if (before.nSubDirShow != after.nSubDirShow)
        return true;
    if (after.nSubDirShow == 0)
        return false;
    if (before.nSubDirProc != after.nSubDirProc || before.nSubDirZeros != after.nSubDirZeros)
        return true;
    return after.nSubDirProc == 1 && before.nSubDirLevel != after.nSubDirLevel;
}

std::string runReportText(const RunResult& run, const ConvSettings& conv,
                          const std::string& logPath)
{
    const KvlRunCounts& c = run.counts;
    // The library's own checks (-299 to -200) have shown their message already.
    const bool refusedByLibrary = run.code <= -200 && run.code >= -299;
    if (!run.executed || c.cancelled || refusedByLibrary)
        return {};
    using platform::sjis;
    std::string text;
    if (c.pdfsWritten == 0 && c.keptExisting == 0)
        text += sjis("PDFファイルは作成されませんでした。\n");
    if (c.refused > 0)
        text += sjis("変換できなかったﾌｧｲﾙ、ﾍﾟｰｼﾞまたはﾌｫﾙﾀﾞが ") + std::to_string(c.refused) +
                sjis(" 件あります。\n");
    if (text.empty() && !c.logFailed)
        return {};
    if (c.logFailed)
        text += sjis("ﾛｸﾞﾌｧｲﾙ ") + logPath + sjis(" に書き込めませんでした。\n");
    else if (conv.nMakeLog > 0 && !logPath.empty())
        text += sjis("詳しくはﾛｸﾞﾌｧｲﾙを参照してください。\n") + logPath + "\n";
    text.pop_back();
    return text;
}

std::vector<std::string> checkedFiles(const ListDocument& document)
{
    std::vector<std::string> files;
    for (int id : document.fileOrder()) {
        const FileEntry& entry = document.entry(id);
        if (entry.checked)
            files.push_back(entry.path);
    }
    return files;
}

std::vector<std::string> checkedFolders(const std::vector<FolderRow>& rows,
                                        const AppSettings& app)
{
    const bool withOwn = app.nSubDirShow > 0 && app.nSubDirZeros > 0;
    std::vector<std::string> folders;
    for (const FolderRow& row : rows) {
        if (row.checked && (row.depth > 0 || withOwn))
            folders.push_back(row.path);
    }
    return folders;
}

ConversionRunner::ConversionRunner(ConvLibrary& library, std::string iniPath,
                                   std::function<void(const std::string&)> openFile)
    : m_library(library), m_iniPath(std::move(iniPath)), m_openFile(std::move(openFile))
{
}

int ConversionRunner::runFiles(const std::string& folderShown,
                               const std::vector<std::string>& files)
{
    m_lastLog.clear();
    m_result = RunResult{};
    if (files.empty()) {
        say("結合するファイルがありません。ファイルリストのチェック、動作の日付条件などを参照してください。");
        return 0;
    }
    return run(RunForm::GuiFiles, folderShown, files);
}

int ConversionRunner::runFolders(const std::string& folderShown,
                                 const std::vector<std::string>& folders)
{
    m_lastLog.clear();
    m_result = RunResult{};
    if (folders.empty()) {
        say("フォルダがありません。");
        return -1;
    }
    return run(RunForm::GuiFolders, folderShown, folders);
}

int ConversionRunner::run(RunForm form, const std::string& folderShown,
                          const std::vector<std::string>& inputs)
{
    ConvSettings conv{};
    m_library.loadIni(m_iniPath.c_str(), &conv);
    AppSettings app;
    LoadAppSettings(app, m_iniPath);

    const std::int64_t started = std::time(nullptr);
    RunRequest request;
    request.form = form;
    request.base = folderShown;
    request.inputs = inputs;
    std::string log;
    m_result = runSequence(m_library, request, conv, app, log);
    if (m_result.stop != RunResult::Stop::None) {
        const std::string text = platform::sjis("入出力吟味中にエラーが発生しました。- ") +
                                 std::to_string(m_result.code);
        platform::showMessage(kTitle, text, platform::MsgButtons::Ok, platform::MsgIcon::None);
        return m_result.code;
    }
    m_lastLog = log;
    openLog(conv, started);
    const std::string report = runReportText(m_result, conv, m_lastLog);
    if (!report.empty())
        platform::showMessage(kTitle, report, platform::MsgButtons::Ok,
                              platform::MsgIcon::Warning);
    return m_result.code;
}

void ConversionRunner::openLog(const ConvSettings& conv, std::int64_t started)
{
    if (conv.nMakeLog <= 0 || conv.nShowLog <= 0 || m_lastLog.empty() || !m_openFile)
        return;
    // Only a log this run wrote: an older file of the same name is not shown as its result.
    platform::FileInfo info;
    if (!platform::fileInfo(m_lastLog, info) || info.kind != platform::PathKind::File ||
        info.modified < started)
        return;
    m_openFile(m_lastLog);
}

}  // namespace tnw::app
