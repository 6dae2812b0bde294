// The interactive start: the application's identity, the Japanese texts of Qt's own dialogs,
// the main window placed and shown, the single-instance hook, the event loop.
#pragma once

#include <QString>

#include <functional>

class QApplication;

namespace tnw::platform {
class SingleInstance;
}

namespace tnw::app {

struct MainWindowStart {
    // --folder DIR: the folder chosen at start (as given on the command line); empty: $HOME.
    QString folder;
    // The lock this start holds: the window listens on it right after its first show, so a
    // later start brings it forward. Null: no single-instance protection.
    platform::SingleInstance* instance = nullptr;
};

// Sets the application's name, desktop file name and icon, loads Qt's Japanese translation
// when installed, creates the main window, shows it, listens for later starts and runs the
// event loop. Returns the loop's exit code.
int runMainWindow(QApplication& application, const MainWindowStart& start);

}  // namespace tnw::app
