#include "common/platform/ui.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace tnw::platform {
namespace {

std::mutex g_mutex;
std::shared_ptr<UiBackend> g_installed;

bool isSet(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v;
}

}  // namespace

bool hasDisplay()
{
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
        return false;
    const char* qpa = std::getenv("QT_QPA_PLATFORM");
    if (!qpa)
        return true;
    // The value may carry options after ':' ("offscreen:size=800x600").
    std::string_view platform(qpa);
    platform = platform.substr(0, platform.find(':'));
    return platform != "offscreen" && platform != "minimal";
}

UiBackend& ui()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_installed)
        return *g_installed;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) && hasDisplay()) {
        static const std::unique_ptr<UiBackend> qt = makeQtUi();
        return *qt;
    }
    static const std::unique_ptr<UiBackend> console = makeConsoleUi();
    return *console;
}

void setUiBackend(std::shared_ptr<UiBackend> backend)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_installed = std::move(backend);
}

MsgAnswer showMessage(const std::string& title, const std::string& text, MsgButtons buttons,
                      MsgIcon icon)
{
    return ui().message(title, text, buttons, icon);
}

}  // namespace tnw::platform
