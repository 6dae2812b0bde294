#include "sheet/dialogs/dialog_host.h"

#include "common/platform/qt_text.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace tnw::sheet {

namespace {

void refuse(const char* what, const char* why)
{
    std::fprintf(stderr, "tnwsheet: %s: %s\n", what, why);
}

}  // namespace

int hostDialog(const char* what, void* parent, const std::function<int(QWidget*)>& body)
{
    std::unique_ptr<QApplication> ownApp;
    QCoreApplication* app = QCoreApplication::instance();
    if (app) {
        if (!qobject_cast<QApplication*>(app)) {
            refuse(what, "the process has no QApplication; the dialog cannot be shown");
            return kDialogNotShown;
        }
        if (QThread::currentThread() != app->thread()) {
            refuse(what, "called off the application's thread; the dialog cannot be shown");
            return kDialogNotShown;
        }
    } else {
        if (!platform::hasDisplay()) {
            refuse(what, "no display; the dialog cannot be shown");
            return kDialogNotShown;
        }
        // QApplication keeps references to its arguments for its whole life.
        static int argc = 1;
        static char name[] = "tnwsheet";
        static char* argv[] = {name, nullptr};
        ownApp = std::make_unique<QApplication>(argc, argv);
    }
    return body(static_cast<QWidget*>(parent));
}

platform::MsgAnswer sheetMessage(const char* title, const QString& text,
                                 platform::MsgButtons buttons, platform::MsgIcon icon)
{
    std::string cp932;
    if (!platform::toCp932(text, cp932)) {
        cp932.clear();
        for (const QChar c : text) {
            std::string one;
            cp932 += platform::toCp932(QString(c), one) ? one : std::string("?");
        }
    }
    std::string cp932Title;
    platform::toCp932(QString::fromUtf8(title), cp932Title);
    return platform::showMessage(cp932Title, cp932, buttons, icon);
}

}  // namespace tnw::sheet
