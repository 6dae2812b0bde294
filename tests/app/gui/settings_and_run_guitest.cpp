// The main window around the operation settings dialog (offscreen): OK in the settings form
// re-sorts the file list under the order keys it saved, as one undo step; a run started with
// the page list out of step asks first, and No converts nothing.
#include "app/core/lists/list_document.h"
#include "app/dialogs/settings_dialog.h"
#include "app/view/list_pane.h"
#include "app/view/main_window.h"
#include "common/platform/locale_compare.h"
#include "tests/app/core/image_fixtures.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

using namespace tnw::app;

class SettingsAndRunTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    QStringList m_seen;  // the texts or titles of the windows answered

    std::unique_ptr<MainWindow> makeWindow()
    {
        MainWindowFiles files;
        files.iniPath = (m_dir->path() + "/cfg/Korvelin.ini").toStdString();
        files.historyPath = (m_dir->path() + "/cfg/ComboAddr.txt").toStdString();
        files.settingsIo = libraryConvSettingsIo();
        auto w = std::make_unique<MainWindow>(files);
        w->showPlaced();
        w->goToFolder(m_folder.toStdString());
        return w;
    }

    static QString names(MainWindow& w)
    {
        QStringList out;
        for (int id : w.document()->fileOrder())
            out << QString::fromStdString(w.document()->entry(id).name).section('.', 0, 0);
        return out.join(' ');
    }

    // Answers the modal windows `command` opens: the settings dialog with OK, a question
    // with `answer`, any other box with its default.
    void answering(QAction* command, QMessageBox::StandardButton answer)
    {
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [this, answer] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<SettingsDialog*>(modal)) {
                m_seen << dialog->windowTitle();
                dialog->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                m_seen << box->text();
                if (QAbstractButton* b = box->button(answer))
                    b->click();
                else
                    box->accept();
            }
        });
        timer.start(20);
        command->trigger();
    }

private slots:
    void init()
    {
        tnw::platform::setLocaleCompareMode(tnw::platform::LocaleCompareMode::C);
        m_dir = std::make_unique<QTemporaryDir>();
        m_seen.clear();
        for (const char* sub : {"cfg", "work", "pics"})
            QVERIFY(QDir(m_dir->path()).mkpath(QLatin1String(sub)));
        qputenv("KORVELIN_CONFIG_DIR", QFile::encodeName(m_dir->filePath("cfg")));
        qputenv("KORVELIN_WORK_DIR", QFile::encodeName(m_dir->filePath("work")));
        m_folder = m_dir->filePath("pics");
        for (const char* name : {"p1", "p2", "p10"}) {
            QFile f(m_folder + "/" + name + ".jpg");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray::fromStdString(
                tnw::test::makeJpeg(16, 16, tnw::test::JpegKind::Grey, {128})));
        }
    }

    void settingsOkResortsTheFileListAsOneUndoStep()
    {
        QFile ini(m_dir->filePath("cfg/Korvelin.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[LvFile]\r\nnSortNo=0\r\nnSortDir=-1\r\n");
        ini.close();
        auto w = makeWindow();
        QCOMPARE(names(*w), QStringLiteral("p10 p2 p1"));
        // Sorted by name (order kind 1) with plain comparison: p10 before p2.
        w->frame().conv().nNameSort = 0;
        emit w->listPane()->fileView()->header()->sectionClicked(0);
        QCOMPARE(w->frame().conv().nPageOrder, 1);
        QCOMPARE(names(*w), QStringLiteral("p1 p10 p2"));

        // The dialog saves order kind 0 (full paths, natural): the list follows at once.
        answering(w->action(CommandId::Settings), QMessageBox::Ok);
        QCOMPARE(m_seen, QStringList{QString::fromUtf8("動作設定")});
        QCOMPARE(w->frame().conv().nPageOrder, 0);
        QCOMPARE(names(*w), QStringLiteral("p1 p2 p10"));
        QCOMPARE(w->listPane()->pageView()->model()->index(2, 0).data().toString(),
                 QStringLiteral("p10.jpg"));

        // A second OK changes no order key: no step of its own, so one undo goes back to
        // the name order and its order kind.
        answering(w->action(CommandId::Settings), QMessageBox::Ok);
        QCOMPARE(names(*w), QStringLiteral("p1 p2 p10"));
        w->action(CommandId::Undo)->trigger();
        QCOMPARE(names(*w), QStringLiteral("p1 p10 p2"));
        QCOMPARE(w->frame().conv().nPageOrder, 1);
    }

    void aRunWithThePageListOutOfStepAsksAndNoConvertsNothing()
    {
        auto w = makeWindow();
        QTreeView* files = w->listPane()->fileView();
        files->selectionModel()->select(files->model()->index(0, 0),
                                        QItemSelectionModel::ClearAndSelect |
                                            QItemSelectionModel::Rows);
        w->action(CommandId::PageList)->trigger();
        QTreeView* pages = w->listPane()->pageView();
        QCOMPARE(w->listPane()->currentView(), pages);
        pages->selectionModel()->select(pages->model()->index(2, 0),
                                        QItemSelectionModel::ClearAndSelect |
                                            QItemSelectionModel::Rows);
        w->action(CommandId::MoveTop)->trigger();
        QVERIFY(!w->frame().snapshot().inStep);

        answering(w->action(CommandId::Convert), QMessageBox::No);
        // Only the question: no settings dialog, no run.
        QCOMPARE(m_seen, QStringList{QString::fromUtf8(
                             "ﾍﾟｰｼﾞﾘｽﾄの順序は変換に使われません。ﾌｧｲﾙﾘｽﾄの順序で変換しますか？")});
        QDirIterator pdfs(m_dir->path(), {"*.pdf", "*.csv"}, QDir::Files,
                          QDirIterator::Subdirectories);
        QVERIFY(!pdfs.hasNext());
    }
};

QTEST_MAIN(SettingsAndRunTest)
#include "settings_and_run_guitest.moc"
