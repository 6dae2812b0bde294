// The exported report of a run: what the last kvlExec wrote, refused and kept, and a proc that
// hears of each refused or kept input while the run goes on.
#include "tnwconv.h"

#include "conv/api_guard.h"
#include "conv/run_outcome.h"

#include <cstddef>

// The record is filled by callers compiled elsewhere: its layout never changes.
static_assert(sizeof(KvlRunCounts) == 6 * sizeof(int));
static_assert(offsetof(KvlRunCounts, pdfsWritten) == 0);
static_assert(offsetof(KvlRunCounts, pagesWritten) == sizeof(int));
static_assert(offsetof(KvlRunCounts, refused) == 2 * sizeof(int));
static_assert(offsetof(KvlRunCounts, keptExisting) == 3 * sizeof(int));
static_assert(offsetof(KvlRunCounts, logFailed) == 4 * sizeof(int));
static_assert(offsetof(KvlRunCounts, cancelled) == 5 * sizeof(int));

using tnw::conv::guarded;
using tnw::conv::ReportKind;
using tnw::conv::runReport;

TNWCONV_API int kvlGetRunCounts(KvlRunCounts* counts)
{
    return guarded(-1, [=] {
        if (!counts)
            return -1;
        const tnw::conv::RunOutcome& outcome = runReport().outcome();
        counts->pdfsWritten = outcome.pdfsWritten;
        counts->pagesWritten = outcome.pagesWritten;
        counts->refused = outcome.refused;
        counts->keptExisting = outcome.keptExisting;
        counts->logFailed = outcome.logFailed ? 1 : 0;
        counts->cancelled = outcome.cancelled ? 1 : 0;
        return 0;
    });
}

TNWCONV_API int kvlSetReportProc(KvlReportProc proc, void* user)
{
    return guarded(-1, [=] {
        if (!proc) {
            runReport().setSink(nullptr);
            return 0;
        }
        runReport().setSink([proc, user](ReportKind kind, const std::string& source, int page,
                                         const std::string& remark) {
            const int code = kind == ReportKind::KeptExisting ? KVL_REPORT_KEPT_EXISTING
                                                              : KVL_REPORT_REFUSED;
            proc(code, source.c_str(), page, remark.c_str(), user);
        });
        return 0;
    });
}
