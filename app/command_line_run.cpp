#include "app/command_line_run.h"

#include "app/run_fields.h"
#include "common/module_paths.h"
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
    // The author box is stored under szPdfSubject and the subtitle box under szPdfAuthor; each
    // key goes to the type that bears its name.
    const char* const texts[] = {app.szPdfTitle, app.szPdfAuthor, app.szPdfSubject,
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

}  // namespace

int convertFiles(ConvLibrary& library, const CommandLineObjects& objects, ConvSettings& conv,
                 const AppSettings& app, std::string& logPath)
{
    writeRunFields(conv, app, RunForm::CommandLineFiles);
    startJob(library, conv, app, false);
    CTnwbuff slots;  // no slot entries in this run
    PathBuffers out;
    const int rc = library.getPathTo(app.nTif2Pdf, objects.commonFolder.c_str(), &slots, &conv,
                                     out.folder, out.pdfPath, out.logPath);
    logPath = out.logPath;
    if (rc != 0)
        return rc;  // the library has said why
    library.setPathTo(app.nTif2Pdf == 1 ? out.pdfPath : out.folder);
    library.setPathLog(out.logPath);
    for (const std::string& file : objects.files)
        library.setPathFrom(file.c_str());
    setDocInfo(library, app);
    library.setPdfVersion(app.nPDFVersMajor, app.nPDFVersMinor);
    return library.exec();
}

int convertFolders(ConvLibrary& library, const CommandLineObjects& objects, ConvSettings& conv,
                   const AppSettings& app, std::string& logPath)
{
    CTnwbuff slots;
    for (size_t i = 0; i < objects.folders.size(); ++i) {
        if (int rc = slots.Add(kSlotSize, nullptr); rc < 0)
            return rc;
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
    return library.exec();
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
    const int result = objects.isFolders() ? convertFolders(context.library, objects, conv, app,
                                                            logPath)
                                           : convertFiles(context.library, objects, conv, app,
                                                          logPath);

    // A log that was never made (the run stopped early) is not handed to the desktop.
    if (!logPath.empty() && conv.nMakeLog > 0 && conv.nShowLog > 0 && context.display &&
        context.openFile && platform::pathKind(logPath) == platform::PathKind::File)
        context.openFile(logPath);
    return result == 0 ? kExitConverted : kExitFailed;
}

}  // namespace tnw::app
