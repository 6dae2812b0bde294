#include "conv/exec.h"

#include "common/platform/cp932.h"
#include "conv/api_guard.h"
#include "conv/inputs.h"
#include "conv/job_state.h"
#include "conv/messages.h"
#include "conv/naming.h"
#include "conv/run_log.h"
#include "conv/run_outcome.h"
#include "conv/runs.h"
#include "tnwconv.h"

namespace tnw::conv {
namespace {

struct ExecMessage {
    int code;
    const char* text;  // UTF-8 source text
};
constexpr ExecMessage kExecMessages[] = {
    {kExecNotInitialised, "kvlInit が発行されていないため、処理を実行できません。"},
    {kExecBothInputs, "kvlSetPathFrom と kvlSetPathText が共に発行されています。"},
    {kExecNoInputs, "kvlSetPathFrom が発行されていません。"},
    {kExecDescriptionFailed, "入力パス名記述テキストの処理でエラーが発生しました。"},
    {kExecNoOutput, "出力パスがありません。"},
    {kExecOutputCheckFailed, "出力パス名の作成の処理でエラーでした。"},
};

RunClock& runClock()
{
    static RunClock clock;
    return clock;
}

std::time_t now()
{
    const RunClock& clock = runClock();
    return clock ? clock() : std::time(nullptr);
}

int fail(int code)
{
    putMessage(execMessage(code));
    return code;
}

std::vector<std::string> listOf(CTnwbuff& list)
{
    std::vector<std::string> paths;
    list.Rewind();
    while (list.Next() == 0)
        paths.emplace_back(list.Text() ? list.Text() : "");
    return paths;
}

// The checks before the run. Returns 0 with the checked inputs and the resolved output, or the
// code to return at once (the log is then not finished).
int checkJob(JobState& state, bool& fromDescription, std::vector<std::string>& inputs,
             std::string& resolvedOutput)
{
    // The job state's own list stays as the caller filled it, so the same job can run again.
    CTnwbuff sources;
    if (int rc = state.inputs.CopyTo(&sources, 0); rc != 0)
        return rc;
    fromDescription = false;
    if (sources.Count() == 0) {
        if (state.textPath[0] == '\0')
            return fail(kExecNoInputs);
        if (sources.AddString(state.textPath) != 0)
            return fail(kExecDescriptionFailed);
        fromDescription = true;
    } else if (state.textPath[0] != '\0') {
        return fail(kExecBothInputs);
    }

    const int mode = state.settings.nMode;
    CTnwbuff checked;
    char firstFolder[kPathSize + 1] = {};
    char singlePath[kPathSize + 1] = {};
    if (makeInputText(mode, fromDescription ? 1 : 0, &sources, &checked, firstFolder,
                      singlePath) != 0)
        return kExecInputCheckFailed;
    inputs = listOf(checked);

    if (state.outputPath[0] == '\0')
        return fail(kExecNoOutput);
    char resolved[kPathSize + 1] = {};
    if (checkOutputPath2(mode, state.grouping, state.baseFolder, state.outputPath, resolved) != 0)
        return fail(kExecOutputCheckFailed);
    resolvedOutput = resolved;
    return 0;
}

RunDocInfo docInfoOf(const JobState& state)
{
    RunDocInfo info;
    info.title = state.docInfo(kDocTitle);
    info.author = state.docInfo(kDocAuthor);
    info.subject = state.docInfo(kDocSubject);
    info.keywords = state.docInfo(kDocKeywords);
    return info;
}

}  // namespace

std::string execMessage(int code)
{
    for (const ExecMessage& m : kExecMessages) {
        if (m.code == code)
            return platform::sjis(m.text);
    }
    return std::string();
}

void setRunClock(RunClock clock)
{
    runClock() = std::move(clock);
}

int executeJob()
{
    JobState& state = jobState();
    runReport().begin();  // the counts of this run only, whatever happens below
    state.runStart = now();
    RunRequest request;
    request.settings = state.settings;
    const int mode = request.settings.nMode;

    RunLog& log = runLog();
    log.start(mode, state.grouping, state.runStart);

    if (state.initialised < 1)
        return fail(kExecNotInitialised);

    bool fromDescription = false;
    if (int rc = checkJob(state, fromDescription, request.inputs, request.output); rc != 0)
        return rc;
    // Only a job that passed its checks replaces an earlier log.
    if (request.settings.nMakeLog > 0 && state.logPath[0] != '\0')
        log.open(state.logPath);

    int result = kExecFromDescription;
    if (!fromDescription) {
        request.window = state.window;
        request.baseFolder = state.baseFolder;
        request.logPath = state.logPath;
        request.skipExisting = state.skipExisting;
        request.mirrorSubDirs = state.mirrorSubDirs;
        request.runStart = state.runStart;
        request.docInfo = docInfoOf(state);
        if (runClock()) {
            const RunClock clock = runClock();
            request.clock = [clock] { return common::localTimeOf(clock()); };
        }
        const bool folders = mode > 0;
        if (state.grouping == 0)
            result = folders ? runFoldersEach(request) : runFilesEach(request);
        else if (state.grouping == 1)
            result = folders ? runFoldersJoined(request) : runFilesJoined(request);
        else
            result = kExecBadGrouping;
    }

    // Rows the writers could not append leave the log incomplete: the user hears of it once.
    if (runReport().outcome().logFailed)
        log.reportFailure(RunLog::LogFailure::RowsLost, state.logPath);
    log.close(state.baseFolder, request.output, state.skipExisting, state.logPath);
    if (log.failed())
        runReport().logFailed();
    return result;
}

}  // namespace tnw::conv

TNWCONV_API int kvlExec(void)
{
    return tnw::conv::guarded(-1, [] { return tnw::conv::executeJob(); });
}
