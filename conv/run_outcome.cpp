#include "conv/run_outcome.h"

namespace tnw::conv {

void RunReport::documentWritten(int pages)
{
    ++m_outcome.pdfsWritten;
    m_outcome.pagesWritten += pages;
}

void RunReport::refused(const std::string& source, int page, const std::string& remark)
{
    ++m_outcome.refused;
    tell(ReportKind::Refused, source, page, remark);
}

void RunReport::keptExisting(const std::string& source, const std::string& remark)
{
    ++m_outcome.keptExisting;
    tell(ReportKind::KeptExisting, source, -1, remark);
}

void RunReport::tell(ReportKind kind, const std::string& source, int page,
                     const std::string& remark)
{
    // The sink is the caller's code: whatever it throws must not end the run.
    if (!m_sink)
        return;
    try {
        m_sink(kind, source, page, remark);
    } catch (...) {
    }
}

RunReport& runReport()
{
    static RunReport report;
    return report;
}

}  // namespace tnw::conv
