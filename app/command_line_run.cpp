#include "app/command_line_run.h"

#include "app/run_fields.h"
#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/ui.h"

#include <cstring>

namespace tnw::app {
namespace {

constexpr int kSlotSize = 388;
constexpr size_t kLogPathSize = 400;

// Output buffers of kvl_GetPathTo.
struct PathBuffers {
    char folder[common::kMaxPath] = {};
    char pdfPath[common::kMaxPath] = {};
    char logPath[kLogPathSize] = {};
};

void startJob(ConvLibrary& library, const ConvSettings& conv, const AppSettings& app,
              bool folders)
{
    library.forceInit(1);
    library.init();
    library.reset();
    library.sayIni(&conv);
    library.setHWnd(kDesktopWindow);
    if (folders)
        library.setMode(1);
    library.setOpt(1, app.nTif2Pdf);
    library.setOpt(2, conv.nMakeLog);
}

void setDocInfo(ConvLibrary& library, const AppSettings& app)
{
    // The settings dialog stores its author box under szPdfSubject and its subtitle box under
    // szPdfAuthor; the keys stay as they are, and each box goes to the PDF entry it names.
    const char* const texts[] = {app.szPdfTitle, app.szPdfSubject, app.szPdfAuthor,
                                 app.szPdfKeyword};
    for (int type = 1; type <= 4; ++type) {
        const char* text = texts[type - 1];
        library.setDocInfo(type, text, static_cast<int>(strnlen(text, kAppTextSize)));
    }
}

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

RunResult execute(ConvLibrary& library)
{
    RunResult run;
    run.code = library.exec();
    run.executed = true;
    if (library.getRunCounts(&run.counts) != 0)
        run.counts = KvlRunCounts{};
    return run;
}

}  // namespace

RunResult convertFiles(ConvLibrary& library, const CommandLineObjects& objects,
                       ConvSettings& conv, const AppSettings& app, std::string& logPath)
{
    writeRunFields(conv, app, RunForm::CommandLineFiles);
    startJob(library, conv, app, false);
    CTnwbuff slots;  // no slot entries in this run
    PathBuffers out;
    const int rc = library.getPathTo(app.nTif2Pdf, objects.commonFolder.c_str(), &slots, &conv,
                                     out.folder, out.pdfPath, out.logPath);
    logPath = out.logPath;
    if (rc != 0) {
        RunResult stopped;  // the library has said why
        stopped.code = rc;
        return stopped;
    }
    library.setPathTo(app.nTif2Pdf == 1 ? out.pdfPath : out.folder);
    library.setPathLog(out.logPath);
    for (const std::string& file : objects.files)
        library.setPathFrom(file.c_str());
    setDocInfo(library, app);
    library.setPdfVersion(app.nPDFVersMajor, app.nPDFVersMinor);
    return execute(library);
}

RunResult convertFolders(ConvLibrary& library, const CommandLineObjects& objects,
                         ConvSettings& conv, const AppSettings& app, std::string& logPath)
{
    CTnwbuff slots;
    for (size_t i = 0; i < objects.folders.size(); ++i) {
        if (int rc = slots.Add(kSlotSize, nullptr); rc < 0) {
            RunResult stopped;
            stopped.code = rc;
            return stopped;
        }
    }
    writeRunFields(conv, app, RunForm::CommandLineFolders);
    startJob(library, conv, app, true);
    PathBuffers out;
    // A failure here leaves the output folder empty, which kvlExec reports.
    library.getPathTo(app.nTif2Pdf, objects.commonFolder.c_str(), &slots, &conv, out.folder,
                      out.pdfPath, out.logPath);
    logPath = out.logPath;
    library.setPathTo(out.folder);
    library.setPathLog(out.logPath);
    for (const std::string& folder : objects.folders)
        library.setPathFrom(folder.c_str());
    library.setPdfVersion(app.nPDFVersMajor, app.nPDFVersMinor);
    return execute(library);
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

    if (conv.nShowDlg && context.note) {
        std::string note = context.display
            ? "Korvelin: the operation settings dialog is not available yet; "
              "the stored settings are used."
            : "Korvelin: no display: the operation settings dialog is skipped; "
              "the stored settings are used.";
        endLine(note);
        context.note(note);
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
