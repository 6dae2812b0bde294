#include "app/view/run_main_window.h"

#include "app/view/main_window.h"
#include "common/platform/single_instance.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace tnw::app {

int runMainWindow(QApplication& application, const MainWindowStart& start)
{
    QApplication::setApplicationName(QStringLiteral("Korvelin"));
    QApplication::setApplicationDisplayName(QString::fromUtf8("JPEG → PDF 変換"));
    QGuiApplication::setDesktopFileName(QStringLiteral("korvelin"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvelin.svg")));
    QApplication::setQuitOnLastWindowClosed(true);

    // The standard dialogs speak Japanese whatever the user's locale, when the translation is
    // installed.
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    MainWindow window(programFiles());
    window.showPlaced();
    if (start.instance) {
        QPointer<MainWindow> target(&window);
        if (!start.instance->listen([target] {
                if (target)
                    target->bringForward();
            }))
            std::fputs("Korvelin: a later start cannot bring this window forward "
                       "(no local socket).\n",
                       stderr);
    }
    // The first folder is chosen once the window is on the screen.
    const QString folder = start.folder;
    QTimer::singleShot(0, &window, [&window, folder] { window.openStartFolder(folder); });
    return application.exec();
}

}  // namespace tnw::app
