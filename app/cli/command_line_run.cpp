#include "app/cli/command_line_run.h"

#include "app/core/settings/run_fields.h"
#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/ui.h"

#include <cstring>

namespace tnw::app {
namespace {

void endLine(std::string& utf8)
{
    if (utf8.empty() || utf8.back() != '\n')
        utf8 += '\n';
}

// The library's report proc: one note per refused or kept input, as the run goes on.
void noteReported(int /*kind*/, const char* source, int page, const char* remark, void* user)
{
    const auto& note = *static_cast<const std::function<void(const std::string&)>*>(user);
    try {
        if (note)
            note(reportLine(source, page, remark));
    } catch (...) {
        // A note that cannot be written must not end the run.
    }
}

}  // namespace

RunResult convertFiles(ConvLibrary& library, const CommandLineObjects& objects,
                       ConvSettings& conv, const AppSettings& app, std::string& logPath)
{
    RunRequest request;
    request.form = RunForm::CommandLineFiles;
    request.base = objects.commonFolder;
    request.inputs = objects.files;
    return runSequence(library, request, conv, app, logPath);
}

RunResult convertFolders(ConvLibrary& library, const CommandLineObjects& objects,
                         ConvSettings& conv, const AppSettings& app, std::string& logPath)
{
    RunRequest request;
    request.form = RunForm::CommandLineFolders;
    request.base = objects.commonFolder;
    request.inputs = objects.folders;
    return runSequence(library, request, conv, app, logPath);
}

int exitStatusOf(const RunResult& run)
{
    const KvlRunCounts& c = run.counts;
    if (!run.executed)
        return kExitFailed;
    const bool whole = run.code == 0 && c.refused == 0 && c.cancelled == 0 && c.logFailed == 0;
    if (c.pdfsWritten > 0)
        return whole ? kExitConverted : kExitPartial;
    // Nothing written: still a success when every input was kept because its PDF exists.
    return whole && c.keptExisting > 0 ? kExitConverted : kExitFailed;
}

std::string reportLine(const char* source, int page, const char* remark)
{
    std::string line = "[Korvelin] ";
    const std::string path = source ? source : "";
    std::string name = common::ModulePaths::lastComponent(path);
    if (name.empty())
        name = path;
    line += platform::cp932ToUtf8Lossy(name);
    if (page >= 0)
        line += " (page " + std::to_string(page + 1) + ")";
    line += ": ";
    line += platform::cp932ToUtf8Lossy(remark ? remark : "");
    endLine(line);
    return line;
}

int runCommandLine(const std::vector<std::string>& osArgs, CommandLineContext& context)
{
    ConvSettings conv{};
    context.library.loadIni(context.iniPath.c_str(), &conv);
    AppSettings app;
    LoadAppSettings(app, context.iniPath);

    CommandLineObjects objects;
    if (int rc = collectObjects(osArgs, objects)) {
        platform::showMessage(kCommandLineTitle, objectErrorMessage(rc), platform::MsgButtons::Ok,
                              platform::MsgIcon::Warning);
        return kExitRefused;
    }

    if (conv.nShowDlg) {
        if (context.display && context.showSettings) {
            if (!context.showSettings(objects.commonFolder, objects.isFolders()))
                return kExitFailed;  // cancelled: nothing is converted
            conv = ConvSettings{};
            context.library.loadIni(context.iniPath.c_str(), &conv);
            LoadAppSettings(app, context.iniPath);
        } else if (context.note) {
            std::string note = "Korvelin: no display: the operation settings dialog is "
                               "skipped; the stored settings are used.";
            endLine(note);
            context.note(note);
        }
    }

    // The objects decide the mode, whatever the settings file says.
    conv.nMode = objects.isFolders() ? 1 : 0;
    std::string logPath;
    context.library.setReportProc(&noteReported, &context.note);
    const RunResult run = objects.isFolders()
                              ? convertFolders(context.library, objects, conv, app, logPath)
                              : convertFiles(context.library, objects, conv, app, logPath);
    context.library.setReportProc(nullptr, nullptr);
    if (run.counts.logFailed && !logPath.empty() && context.note)
        context.note("[Korvelin] the log could not be written: " +
                     platform::cp932ToUtf8Lossy(logPath) + "\n");

    // A log that was never made (the run stopped early) is not handed to the desktop.
    if (!logPath.empty() && conv.nMakeLog > 0 && conv.nShowLog > 0 && context.display &&
        context.openFile && platform::pathKind(logPath) == platform::PathKind::File)
        context.openFile(logPath);
    return exitStatusOf(run);
}

}  // namespace tnw::app
