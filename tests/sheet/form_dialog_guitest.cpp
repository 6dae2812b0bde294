// The paper form dialog offscreen, reached through its export as a program calls it: tabs and
// columns by flags, a new form refused and then added, delete, a save that fails on a
// read-only form file, Cancel that writes nothing, and hostile form files.
#include "common/platform/cp932.h"
#include "common/platform/ui.h"
#include "sheet/dialogs/form_detail_dialog.h"
#include "sheet/dialogs/form_dialog.h"
#include "sheet/dialogs/form_table_model.h"
#include "tnwsheet.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

#include <sys/stat.h>

using namespace tnw::sheet;
using tnw::platform::MsgAnswer;
using tnw::platform::RecorderUi;

namespace {

// Runs `step` on the modal dialog that opens next (after earlier modal steps have run).
void onModal(std::function<void(QWidget*)> step)
{
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            onModal(step);  // not open yet: try again on the next turn
            return;
        }
        step(modal);
    });
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string messageText(const RecorderUi& ui, size_t i)
{
    return i < ui.messages.size() ? ui.messages[i].text : std::string();
}

}  // namespace

class FormDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_ui = std::make_shared<RecorderUi>();
        tnw::platform::setUiBackend(m_ui);
        QVERIFY(m_dir.isValid());
        m_ini = m_dir.filePath(QStringLiteral("tnwForm.ini"));
        QFile::remove(m_ini);
        QFile::remove(m_dir.filePath(QStringLiteral("tnwForm.xml")));
    }
    void cleanup() { tnw::platform::setUiBackend(nullptr); }

    void flagsDecideTabsColumnsAndPrinterChoice()
    {
        for (int flags : {0, 1}) {
            FormDialog dialog({}, m_ini.toStdString(), flags, {QStringLiteral("Office")});
            QCOMPARE(dialog.tabs()->count(), flags == 0 ? 1 : 2);
            QCOMPARE(dialog.model()->columnCount(), flags == 0 ? 7 : 8);
            FormDetailDialog detail(FormDetailDialog::blankForm(), FormDetailDialog::Mode::New,
                                    flags ? &m_printers : nullptr, *dialog.model());
            QCOMPARE(detail.findChild<QComboBox*>(QStringLiteral("printer")) != nullptr,
                     flags != 0);
        }
    }

    void newFormRefusedThenAddedUncheckedAndSaved()
    {
        int result = 1;
        onModal([&](QWidget* main) {
            auto* dialog = qobject_cast<FormDialog*>(main);
            QVERIFY(dialog);
            onModal([&](QWidget* w) {
                auto* detail = qobject_cast<FormDetailDialog*>(w);
                QVERIFY(detail);
                auto* name = detail->findChild<QLineEdit*>(QStringLiteral("name"));
                name->setText(QStringLiteral("a4"));
                detail->accept();  // refused: A4 is in the list
                QVERIFY(detail->isVisible());
                name->setText(QString::fromUtf8("長尺"));
                detail->accept();  // refused: no size yet
                QVERIFY(detail->isVisible());
                detail->findChild<QLineEdit*>(QStringLiteral("width"))->setText("210.0");
                detail->findChild<QLineEdit*>(QStringLiteral("height"))->setText("2000.5");
                detail->findChild<QComboBox*>(QStringLiteral("longer"))->setCurrentIndex(2);
                detail->accept();
            });
            dialog->findChild<QPushButton*>(QStringLiteral("newButton"))->click();
            const int row = dialog->model()->rowCount() - 1;
            QCOMPARE(dialog->model()->data(dialog->model()->index(row, 0)).toString(),
                     QString::fromUtf8("長尺"));
            QCOMPARE(dialog->model()->data(dialog->model()->index(row, 0), Qt::CheckStateRole)
                         .toInt(),
                     int(Qt::Unchecked));
            dialog->accept();
        });
        result = shxDlgForm(nullptr, m_ini.toLocal8Bit().constData(), 0);
        QCOMPARE(result, 0);
        QCOMPARE(messageText(*m_ui, 0), tnw::platform::sjis("a4 は登録済みです"));
        QCOMPARE(m_ui->messages.size(), size_t(2));
        const QByteArray ini = readAll(m_ini);
        const std::string list = tnw::platform::sjis("[USERFORM]\r\n長尺=\r\n");
        QVERIFY(ini.contains(QByteArray::fromStdString(list)));
        QVERIFY(ini.contains("fy=20005\r\nnLonger=2\r\n"));
        QVERIFY(readAll(m_dir.filePath(QStringLiteral("tnwForm.xml"))).contains("<fy>20005</fy>"));
    }

    void deleteRemovesUserFormsAndOnlyUnchecksStandardOnes()
    {
        writeIni("[USERFORM]\r\nMine=\r\n[Mine]\r\nfx=1000\r\nfy=1000\r\n");
        onModal([&](QWidget* main) {
            auto* dialog = qobject_cast<FormDialog*>(main);
            QTableView* table = dialog->table();
            table->selectRow(0);  // A0
            table->setFocus();
            QTest::keyClick(table, Qt::Key_Delete);
            QCOMPARE(dialog->model()->rowCount(), 29);
            table->selectRow(28);  // Mine
            dialog->findChild<QPushButton*>(QStringLiteral("deleteButton"))->click();
            QCOMPARE(dialog->model()->rowCount(), 28);
            dialog->accept();
        });
        QCOMPARE(shxDlgForm(nullptr, m_ini.toLocal8Bit().constData(), 1), 0);
        QCOMPARE(m_ui->messages.size(), size_t(3));  // question, explanation, question
        const QByteArray ini = readAll(m_ini);
        QVERIFY(ini.contains("[A0]\r\nszPrinter=\r\nszLayout=\r\nnCheck=0\r\n"));
        tnw::common::CPaperFormTable back(tnw::common::FormVariant::SheetLibrary);
        back.LoadForms(m_ini.toLocal8Bit().constData());
        QCOMPARE(back.FormCount(), 28);  // Mine left the USERFORM list
    }

    void readOnlyFormFileIsReportedAndLeftAlone()
    {
        writeIni("[A4]\r\nnCheck=1\r\n");
        QVERIFY(::chmod(m_ini.toLocal8Bit().constData(), 0444) == 0);
        const QByteArray before = readAll(m_ini);
        bool stayedOpen = false;
        onModal([&](QWidget* main) {
            auto* dialog = qobject_cast<FormDialog*>(main);
            dialog->model()->setData(dialog->model()->index(4, 0), Qt::Unchecked,
                                     Qt::CheckStateRole);
            dialog->accept();
            stayedOpen = dialog->isVisible();
            dialog->reject();
        });
        QCOMPARE(shxDlgForm(nullptr, m_ini.toLocal8Bit().constData(), 0), -1);
        QVERIFY(stayedOpen);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].title, std::string("tnwsheet"));
        QCOMPARE(readAll(m_ini), before);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("tnwForm.xml"))));
    }

    void cancelWritesNothing()
    {
        onModal([](QWidget* main) {
            auto* dialog = qobject_cast<FormDialog*>(main);
            dialog->model()->addForm(FormDetailDialog::blankForm());
            dialog->reject();
        });
        QCOMPARE(shxDlgForm(nullptr, m_ini.toLocal8Bit().constData(), 1), -1);
        QVERIFY(!QFile::exists(m_ini));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("tnwForm.xml"))));
    }

    void hostileFormFileOpensAndSavesWhatItCan()
    {
        // A name that is not code page 932, absurd sizes, a section header inside a name.
        writeIni("[USERFORM]\r\n\xFF\xFE=\r\nBig=\r\n[Big]\r\nfx=2147483647\r\nfy=-5\r\n"
                 "fx1=99999999999\r\nnLonger=7\r\n");
        onModal([](QWidget* main) {
            auto* dialog = qobject_cast<FormDialog*>(main);
            QCOMPARE(dialog->model()->rowCount(), 30);
            dialog->accept();
        });
        QCOMPARE(shxDlgForm(nullptr, m_ini.toLocal8Bit().constData(), 0), 0);
        const QByteArray ini = readAll(m_ini);
        QVERIFY(ini.contains("[USERFORM]\r\nBig=\r\n"));
    }

    void outOfRangeTolerancesAreNotTakenSilently()
    {
        tnw::common::CPaperFormTable table(tnw::common::FormVariant::SheetLibrary);
        table.LoadForms(m_ini.toLocal8Bit().constData());  // no file: the standard forms
        FormDialog dialog(table.Forms(), m_ini.toStdString(), 0, {});
        tnw::common::PaperForm hostile = *dialog.model()->formAt(4);
        hostile.fx1 = -5.0f;
        FormDetailDialog detail(hostile, FormDetailDialog::Mode::Standard, nullptr,
                                *dialog.model());
        detail.show();
        detail.accept();
        QVERIFY(detail.isVisible());
        QCOMPARE(m_ui->messages.size(), size_t(1));
        detail.findChild<QLineEdit*>(QStringLiteral("fx1"))->clear();
        detail.accept();
        QVERIFY(!detail.isVisible());
        QCOMPARE(detail.form().fx1, 0.0f);
        QCOMPARE(detail.form().fx2, 10.0f);
    }

    void offThreadAndNoApplicationCallsAreRefused()
    {
        int rc = 0;
        int stored = 0;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            rc = shxDlgTagDump(nullptr, "x.tif", &stored);
        }));
        worker->start();
        QVERIFY(worker->wait(30000));
        QCOMPARE(rc, -1);
        QCOMPARE(stored, -1);
        QVERIFY(m_ui->messages.empty());
    }

private:
    void writeIni(const QByteArray& bytes)
    {
        QFile f(m_ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    std::shared_ptr<RecorderUi> m_ui;
    QTemporaryDir m_dir;
    QString m_ini;
    QStringList m_printers{QStringLiteral("Office")};
};

QTEST_MAIN(FormDialogTest)
#include "form_dialog_guitest.moc"
