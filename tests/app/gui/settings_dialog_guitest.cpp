// The operation settings dialog driven offscreen: OK saves what the controls show, a failed
// check keeps the dialog open and Cancel then leaves Korvelin.ini byte for byte, the text boxes
// refuse input past their byte limits, the meta editor's insertions, the paper form button.
#include "app/core/run/operation_settings.h"
#include "app/dialogs/meta_editor.h"
#include "app/dialogs/settings_dialog.h"
#include "common/platform/cp932.h"
#include "common/platform/ui.h"
#include "tnwconv.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <memory>
#include <sstream>

using namespace tnw::app;

namespace {

std::string readAll(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::shared_ptr<tnw::platform::RecorderUi> m_ui;
    OperationSettingsFiles m_files;

    void writeIni(const std::string& text)
    {
        std::ofstream(m_files.iniPath, std::ios::binary) << text;
    }

private slots:
    void init()
    {
        m_ui = std::make_shared<tnw::platform::RecorderUi>();
        tnw::platform::setUiBackend(m_ui);
        m_files.iniPath = (m_dir.path() + "/Korvelin.ini").toStdString();
        m_files.historyPath = (m_dir.path() + "/tnwTo.txt").toStdString();
        m_files.io = libraryConvSettingsIo();
    }
    void cleanup() { tnw::platform::setUiBackend(nullptr); }

    void okSavesTheControls()
    {
        writeIni("[App]\r\nnPDFVersMinor=3\r\n");
        OperationSettings form(m_files);
        form.open(false);
        SettingsDialog dialog(form, SettingsForm::Run, "/in", nullptr);
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("PDF変換の実行/in"));
        auto* version = dialog.findChild<QLineEdit*>("nPDFVers");
        QCOMPARE(version->text(), QString("1.3"));
        version->setText("1.5");
        dialog.findChild<QComboBox*>("nFiling")->setCurrentIndex(1);
        dialog.findChild<QLineEdit*>("szPdfSubject")->setText(QString::fromUtf8("作者"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        ConvSettings conv{};
        sbxLoadIni(m_files.iniPath.c_str(), &conv);
        AppSettings app;
        LoadAppSettings(app, m_files.iniPath);
        QCOMPARE(conv.nFiling, 1);
        QCOMPARE(app.nPDFVersMinor, 5);
        QCOMPARE(std::string(app.szPdfSubject), tnw::platform::sjis("作者"));
    }

    void cancelAfterAFailedCheckLeavesTheFile()
    {
        const std::string before = "; kept\r\n[App]\r\nnPDFVersMinor=4\r\n";
        writeIni(before);
        OperationSettings form(m_files);
        form.open(false);
        SettingsDialog dialog(form, SettingsForm::Settings, "/in", nullptr);
        dialog.findChild<QLineEdit*>("nPDFVers")->setText("1.9");
        dialog.findChild<QLineEdit*>("szPdfTitle")->setText("changed");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));  // still open
        QCOMPARE(m_ui->messages.size(), size_t(1));
        dialog.reject();
        QCOMPARE(readAll(QString::fromStdString(m_files.iniPath)), before);
    }

    void boxesRefuseInputPastTheirBytes()
    {
        writeIni("");
        OperationSettings form(m_files);
        form.open(false);
        SettingsDialog dialog(form, SettingsForm::Settings, "/in", nullptr);
        auto* title = dialog.findChild<QLineEdit*>("szPdfTitle");
        title->setFocus();
        title->setText(QString(508, 'a'));
        title->end(false);
        title->insert(QString::fromUtf8("あ"));  // two bytes: 510 would pass 509, refused whole
        QCOMPARE(title->text().size(), 508);
        QTest::keyClicks(title, "b");
        QCOMPARE(title->text().size(), 509);

        auto* version = dialog.findChild<QLineEdit*>("nPDFVers");
        version->clear();
        QTest::keyClicks(version, "1.x4");
        QCOMPARE(version->text(), QString("1.4"));

        MetaEditor editor(form, MetaKind::Sub1, "", nullptr);
        QTest::keyClicks(editor.box(), "a/b");
        QCOMPARE(editor.box()->text(), QString("ab"));
        editor.box()->setText(QString(78, 'x'));
        editor.list(0)->activated(0);  // "&d" would make 80 bytes: refused
        QCOMPARE(editor.box()->text().size(), 78);
        editor.box()->setText("");
        editor.list(1)->activated(1);
        QCOMPARE(editor.box()->text(), QString("%Y"));
        QCOMPARE(editor.list(1)->currentIndex(), -1);
        QVERIFY(!editor.previewLabel()->text().isEmpty());
        // "&f" is offered only for the output name kinds under １対１.
        QCOMPARE(editor.list(0)->count(), 1);
    }

    void paperFormButtonOpensTheSheetLibrarysFormDialog()
    {
        qputenv("KORVELIN_CONFIG_DIR", QFile::encodeName(m_dir.path()));
        writeIni("");
        OperationSettings form(m_files);
        form.open(false);
        SettingsDialog dialog(form, SettingsForm::Settings, "/in", nullptr);
        dialog.show();
        QSignalSpy saved(&dialog, &SettingsDialog::paperFormsSaved);
        auto* button = dialog.findChild<QPushButton*>("paperForms");
        QVERIFY(button);
        QCOMPARE(button->text(), QString::fromUtf8("用紙設定..."));
        QString title;
        bool ownedByTheSettings = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != &dialog) {
                title = modal->windowTitle();
                ownedByTheSettings = modal->parentWidget() == &dialog;
                QMetaObject::invokeMethod(modal, "reject");
            }
        });
        button->click();
        QCOMPARE(title, QString::fromUtf8("用紙設定"));
        QVERIFY(ownedByTheSettings);
        QCOMPARE(saved.count(), 0);  // cancelled: the lists need not match forms again
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_guitest.moc"
