#include "app/core/run/desktop_open.h"

#include "common/platform/files.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace tnw::app {

bool openWithDesktop(const std::string& path)
{
    std::string osPath;
    if (path.empty() || !platform::toOsPath(path, osPath))
        return false;
    return openWithDesktop(QString::fromUtf8(osPath));
}

bool openWithDesktop(const QString& osPath)
{
    if (osPath.isEmpty())
        return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{osPath});
}

}  // namespace tnw::app
