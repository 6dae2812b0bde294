#include "app/core/run/run_sequence.h"

#include "app/core/text/version_rule.h"
#include "common/module_paths.h"

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

bool isGui(RunForm form)
{
    return form == RunForm::GuiFiles || form == RunForm::GuiFolders;
}

bool isFolders(RunForm form)
{
    return form == RunForm::GuiFolders || form == RunForm::CommandLineFolders;
}

void startJob(ConvLibrary& library, RunForm form, const ConvSettings& conv,
              const AppSettings& app)
{
    library.forceInit(1);
    library.init();
    library.reset();
    if (form == RunForm::GuiFiles) {
        // The window's file run hands over the settings last.
        library.setHWnd(kLibraryWindow);
        library.setOpt(1, app.nTif2Pdf);
        library.setOpt(2, conv.nMakeLog);
        library.sayIni(&conv);
        return;
    }
    library.sayIni(&conv);
    library.setHWnd(kLibraryWindow);
    if (isFolders(form))
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

}  // namespace

RunResult runSequence(ConvLibrary& library, const RunRequest& request, ConvSettings& conv,
                      const AppSettings& stored, std::string& logPath)
{
    const RunForm form = request.form;
    AppSettings app = stored;
    const PdfVersion version = usableVersion(app.nPDFVersMajor, app.nPDFVersMinor);
    app.nPDFVersMajor = version.major;
    app.nPDFVersMinor = version.minor;

    RunResult result;
    // The command line's file run passes no slot entries; every other run one per input.
    CTnwbuff slots;
    if (form != RunForm::CommandLineFiles) {
        for (size_t i = 0; i < request.inputs.size(); ++i) {
            if (int rc = slots.Add(kSlotSize, nullptr); rc < 0) {
                result.code = rc;
                result.stop = RunResult::Stop::Slots;
                return result;
            }
        }
    }
    writeRunFields(conv, app, form);
    startJob(library, form, conv, app);

    PathBuffers out;
    const int rc = library.getPathTo(app.nTif2Pdf, request.base.c_str(), &slots, &conv,
                                     out.folder, out.pdfPath, out.logPath);
    logPath = out.logPath;
    // Only the command line's folder run goes on without output paths.
    if (rc != 0 && form != RunForm::CommandLineFolders) {
        result.code = rc;
        result.stop = RunResult::Stop::Paths;
        return result;
    }
    const bool joined = !isFolders(form) && app.nTif2Pdf == 1;
    library.setPathTo(joined ? out.pdfPath : out.folder);
    library.setPathLog(out.logPath);
    for (const std::string& input : request.inputs) {
        const int added = library.setPathFrom(input.c_str());
        if (added < 0 && isGui(form)) {
            result.code = added;
            result.stop = RunResult::Stop::Inputs;
            return result;
        }
    }
    if (form != RunForm::CommandLineFolders)
        setDocInfo(library, app);
    library.setPdfVersion(app.nPDFVersMajor, app.nPDFVersMinor);
    result.code = library.exec();
    result.executed = true;
    if (library.getRunCounts(&result.counts) != 0)
        result.counts = KvlRunCounts{};
    return result;
}

}  // namespace tnw::app
