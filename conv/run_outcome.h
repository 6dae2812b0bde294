// What the last kvlExec achieved: the PDFs and pages it wrote, every input that did not become a
// page (with its source and the log's remark), the PDFs kept because they exist, and whether a
// log row could not be written. A caller that installs a report sink hears of each refused or
// kept input as the run goes on, so a long run reports as it goes, not only at its end.
#pragma once

#include <functional>
#include <string>

namespace tnw::conv {

// Why an input did not become a page.
enum class ReportKind {
    Refused = 1,       // refused or failed: a skip or refusal row, or nothing could be done
    KeptExisting = 2,  // its PDF exists and replacing is off
};

// One reported input: the file (or folder) in code page 932, the 0-based page of a multi-page
// source or -1 for the whole input, and the remark (code page 932).
using ReportSink = std::function<void(ReportKind kind, const std::string& source, int page,
                                      const std::string& remark)>;

struct RunOutcome {
    int pdfsWritten = 0;
    int pagesWritten = 0;
    int refused = 0;       // files, pages or folders refused
    int keptExisting = 0;  // inputs skipped because their PDF exists
    bool logFailed = false;
    bool cancelled = false;
};

class RunReport {
public:
    // Starts the counts afresh; the sink stays.
    void begin() { m_outcome = RunOutcome{}; }
    void setSink(ReportSink sink) { m_sink = std::move(sink); }

    void documentWritten(int pages);
    void refused(const std::string& source, int page, const std::string& remark);
    void keptExisting(const std::string& source, const std::string& remark);
    void logFailed() { m_outcome.logFailed = true; }
    void cancelled() { m_outcome.cancelled = true; }

    const RunOutcome& outcome() const { return m_outcome; }

private:
    void tell(ReportKind kind, const std::string& source, int page, const std::string& remark);

    RunOutcome m_outcome;
    ReportSink m_sink;
};

// The library's report, begun afresh by each kvlExec.
RunReport& runReport();

}  // namespace tnw::conv
