#include "app/view/command_line_window.h"

#include "app/cli/command_line_run.h"
#include "app/core/run/conv_library.h"
#include "app/core/run/desktop_open.h"
#include "app/core/run/operation_settings.h"
#include "app/dialogs/settings_dialog.h"
#include "common/module_paths.h"
#include "common/platform/qt_text.h"

#include <QDialog>

#include <memory>

namespace tnw::app {

int convertNamedPaths(const std::vector<std::string>& paths, bool display,
                      const std::function<void(const std::string&)>& note)
{
    std::unique_ptr<ConvLibrary> library = makeConvLibrary();
    CommandLineContext context(*library);
    context.iniPath = common::ModulePaths::settingsFile();
    context.display = display;
    context.openFile = [](const std::string& path) { openWithDesktop(path); };
    context.note = note;
    context.showSettings = [&context](const std::string& folder, bool folders) {
        OperationSettingsFiles files;
        files.iniPath = context.iniPath;
        files.historyPath = outputHistoryPath();
        files.io = settingsIoOf(context.library);
        OperationSettings form(files);
        form.open(folders);  // the objects' mode chooses the live name list
        SettingsDialog dialog(form, SettingsForm::CommandLine, platform::fromCp932(folder));
        return dialog.exec() == QDialog::Accepted;
    };
    return runCommandLine(paths, context);
}

}  // namespace tnw::app
