#include "app/view/messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace tnw::app {
namespace {

const char kTitle[] = "Korvelin";

void showOk(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, QString::fromUtf8(kTitle), text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

}  // namespace

void showInfo(QWidget* parent, const QString& text)
{
    showOk(parent, QMessageBox::Information, text);
}

void showWarning(QWidget* parent, const QString& text)
{
    showOk(parent, QMessageBox::Warning, text);
}

void showError(QWidget* parent, const QString& text)
{
    showOk(parent, QMessageBox::Critical, text);
}

bool askYesNo(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kTitle), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QString::fromUtf8("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QString::fromUtf8("いいえ(&N)"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace tnw::app
