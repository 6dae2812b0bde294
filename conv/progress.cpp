#include "conv/progress.h"

#include "common/platform/cp932.h"
#include "conv/messages.h"

#include <algorithm>

namespace tnw::conv {

using platform::sjis;

RunProgress::RunProgress(int window, RunKind kind, int total) : m_kind(kind), m_total(total)
{
    if (window == 0)
        return;
    // The joined file run prepares its page list first: its window says so.
    m_window = platform::ui().openProgress(
        sjis(kind == RunKind::FilesJoined ? "準備中" : "PDFファイル作成中"));
    m_window->setText(std::string());
    report(kind == RunKind::FoldersJoined ? kPhaseStartJoined : kPhaseStart, -1, total);
}

ProgressProc RunProgress::proc()
{
    return [this](int phase, int index, int total) { return report(phase, index, total); };
}

int RunProgress::nextFolder()
{
    return report(m_kind == RunKind::FoldersJoined ? kPhaseNextJoined : kPhaseNextFolder, -1,
                  m_total);
}

void RunProgress::restart()
{
    m_window->setText(std::string());
    m_count = 0;
    m_window->setPercent(0);
}

void RunProgress::step(const char* label)
{
    m_window->setText(sjis(label) + format("%d / %d ", m_count + 1, m_total));
    ++m_count;
    const int percent = m_total > 0 ? std::min(100, m_count * 100 / m_total) : 100;
    m_window->setPercent(percent);
}

int RunProgress::report(int phase, int index, int total)
{
    if (!m_window)
        return 1;
    if (index < 0) {
        const bool start = (phase == kPhaseStart && m_kind != RunKind::FoldersJoined) ||
                           (phase == kPhaseStartJoined && m_kind == RunKind::FoldersJoined);
        if (start) {
            m_total = total;
            restart();
        } else if (phase == kPhaseExamine && m_kind == RunKind::FilesEach) {
            step("ﾌｧｲﾙ：");
        } else if (phase == kPhaseNextFile && m_kind == RunKind::FilesJoined) {
            step("ﾌｧｲﾙ：");
        } else if (phase == kPhaseNextFolder && m_kind == RunKind::FoldersEach) {
            step("ﾌｫﾙﾀﾞ：");
        } else if (phase == kPhaseNextJoined && m_kind == RunKind::FoldersJoined) {
            step("ﾌｫﾙﾀﾞ：");
        }
    }
    platform::ui().pumpOneEvent();
    return m_window->cancelled() ? 0 : 1;
}

}  // namespace tnw::conv
