#include "app/core/frame/placement_rules.h"

#include <algorithm>
#include <cstdint>

namespace tnw::app {
namespace {

std::int64_t overlapArea(const QRect& a, const QRect& b)
{
    const QRect r = a.intersected(b);
    return r.isEmpty() ? 0 : std::int64_t(r.width()) * r.height();
}

// Width and height from the stored edges, without overflow for absurd values.
int span(int from, int to)
{
    const std::int64_t d = std::int64_t(to) - from;
    return static_cast<int>(std::clamp<std::int64_t>(d, 0, 1 << 24));
}

}  // namespace

PlacementPlan planPlacement(const WindowPlacement& stored, const QList<QRect>& screens,
                            int primary)
{
    PlacementPlan plan;
    plan.maximized = stored.nShowMax != 0;
    QRect rect(stored.nLeft, stored.nTop, span(stored.nLeft, stored.nRight),
               span(stored.nTop, stored.nBottom));

    // The screen the rectangle meets most; none met: the primary one, and the rectangle moves.
    int best = -1;
    std::int64_t bestArea = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const std::int64_t area = overlapArea(rect, screens[i]);
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    const bool met = best >= 0;
    if (!met && !screens.isEmpty())
        best = (primary >= 0 && primary < screens.size()) ? primary : 0;

    int width = std::max(rect.width(), kMinWindowWidth);
    int height = std::max(rect.height(), kMinWindowHeight);
    if (best >= 0) {
        const QRect screen = screens[best];
        width = std::min(width, std::max(screen.width(), kMinWindowWidth));
        height = std::min(height, std::max(screen.height(), kMinWindowHeight));
        if (!met) {
            rect.moveTo(screen.x() + (screen.width() - width) / 2,
                        screen.y() + (screen.height() - height) / 2);
        }
    }
    plan.normal = QRect(rect.topLeft(), QSize(width, height));
    plan.treePane = std::clamp(stored.nPaneLeft, kMinTreePane,
                               std::max(kMinTreePane, width - kMinListPane));
    return plan;
}

WindowPlacement placementToSave(const WindowPlacement& loaded, const QRect& normal,
                                bool maximized, int treePane, bool positionsKnown)
{
    WindowPlacement out = loaded;
    out.nShowMax = maximized ? 1 : 0;
    if (treePane >= 0)
        out.nPaneLeft = treePane;
    if (positionsKnown) {
        out.nLeft = normal.x();
        out.nTop = normal.y();
    }
    out.nRight = out.nLeft + normal.width();
    out.nBottom = out.nTop + normal.height();
    return out;
}

}  // namespace tnw::app
