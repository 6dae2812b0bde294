// The main window's placement in the section "WINDOW" of the settings file: read when the main
// frame is built, written when it is destroyed (the only setting written at exit).
#pragma once

#include <string>

namespace tnw::app {

struct WindowPlacement {
    int nShowMax = 0;     // 1: the window was maximised
    int nPaneLeft = 160;  // width of the folder tree pane; below 20 is taken as 160
    // The restored (normal) rectangle, kept while the window is maximised.
    int nLeft = 132;
    int nTop = 132;
    int nRight = 900;
    int nBottom = 660;
};

// Reads the section with its defaults. Always returns 0.
int LoadWindowPlacement(WindowPlacement& placement, const std::string& iniPath);

// Writes nShowMax, nPaneLeft (only when `withPane`: the splitter's left pane exists), nLeft,
// nTop, nRight and nBottom. False when the file could not be written.
bool SaveWindowPlacement(const WindowPlacement& placement, bool withPane,
                         const std::string& iniPath);

}  // namespace tnw::app
