// The Qt widgets backend: message boxes and an application-modal progress dialog.
#include "common/platform/qt_text.h"
#include "common/platform/ui.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tnw::platform {
namespace {

QString toQt(const std::string& cp932)
{
    return fromCp932(cp932);
}

QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

class QtProgress : public ProgressWindow {
public:
    explicit QtProgress(const std::string& title) : m_dialog(new QDialog)
    {
        m_dialog->setWindowTitle(toQt(title));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        auto* layout = new QVBoxLayout(m_dialog.get());
        m_label = new QLabel(m_dialog.get());
        m_label->setMinimumWidth(360);
        m_second = new QLabel(m_dialog.get());
        m_second->setObjectName("second");
        m_bar = new QProgressBar(m_dialog.get());
        m_bar->setRange(0, 100);
        m_bar->setValue(0);
        m_button = new QPushButton(QString::fromUtf8("キャンセル"), m_dialog.get());
        m_button->setObjectName("cancel");
        layout->addWidget(m_label);
        layout->addWidget(m_second);
        layout->addWidget(m_bar);
        layout->addWidget(m_button, 0, Qt::AlignHCenter);
        // Cancel, Escape and closing the window all ask to stop.
        QObject::connect(m_button, &QPushButton::clicked, [this] { m_cancelled = true; });
        QObject::connect(m_dialog.get(), &QDialog::rejected, [this] { m_cancelled = true; });
        m_dialog->show();
    }
    void setText(const std::string& text) override { m_label->setText(toQt(text)); }
    void setSecondText(const std::string& text) override { m_second->setText(toQt(text)); }
    void setPercent(int percent) override
    {
        m_bar->setRange(0, 100);
        m_bar->setValue(std::clamp(percent, 0, 100));
    }
    void setRange(int maximum) override { m_bar->setRange(0, std::max(maximum, 0)); }
    void setValue(int value) override
    {
        m_bar->setValue(std::clamp(value, m_bar->minimum(), m_bar->maximum()));
    }
    bool cancelled() const override { return m_cancelled; }
    void setCancelText(const std::string& text) override { m_button->setText(toQt(text)); }

private:
    std::unique_ptr<QDialog> m_dialog;
    QLabel* m_label = nullptr;
    QLabel* m_second = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_button = nullptr;
    bool m_cancelled = false;
};

class QtUi : public UiBackend {
public:
    MsgAnswer message(const std::string& title, const std::string& text, MsgButtons buttons,
                      MsgIcon icon) override
    {
        QMessageBox box(toQt(icon), toQt(title), toQt(text), toQt(buttons),
                        QApplication::activeWindow());
        switch (box.exec()) {
        case QMessageBox::Ok:
            return MsgAnswer::Ok;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        default:
            break;
        }
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
    std::unique_ptr<ProgressWindow> openProgress(const std::string& title) override
    {
        return std::make_unique<QtProgress>(title);
    }
    void pumpOneEvent() override
    {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

}  // namespace

std::unique_ptr<UiBackend> makeQtUi()
{
    return std::make_unique<QtUi>();
}

}  // namespace tnw::platform
