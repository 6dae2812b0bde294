// How the stored window placement is applied to the screens there are now, and what is
// written back at exit. Pure functions over rectangles, so a test gives the screens.
#pragma once

#include "app/core/settings/window_placement.h"

#include <QList>
#include <QRect>

namespace tnw::app {

constexpr int kMinWindowWidth = 300;
constexpr int kMinWindowHeight = 200;
constexpr int kMinTreePane = 20;
constexpr int kMinListPane = 60;  // room the list keeps beside the tree

struct PlacementPlan {
    QRect normal;         // the restored rectangle (frame excluded), always applied
    bool maximized = false;
    int treePane = 160;   // width of the tree pane
};

// The stored placement made fit for `screens` (their available geometries; `primary` indexes
// the primary one). The size is kept within 300 x 200 and the available size of the screen the
// rectangle meets most; a rectangle that meets no screen is moved onto the primary one; the
// tree pane is kept within [20, width - 60]. The stored values are not changed.
PlacementPlan planPlacement(const WindowPlacement& stored, const QList<QRect>& screens,
                            int primary);

// What is saved at exit. `normal` is the window's normal (restored) rectangle; without
// `positionsKnown` (a Wayland session: positions can be neither set nor read) the stored left
// and top stay as loaded and only the size is taken from `normal`. A negative `treePane`
// keeps the loaded pane width.
WindowPlacement placementToSave(const WindowPlacement& loaded, const QRect& normal,
                                bool maximized, int treePane, bool positionsKnown);

}  // namespace tnw::app
