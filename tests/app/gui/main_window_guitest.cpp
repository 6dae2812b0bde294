// The main window on the offscreen platform: its frame, commands, address bar and history,
// the tree's start and typed paths, the folder list, the busy guard, placement and about.
#include "app/core/history/history_file.h"
#include "app/core/tree/folder_list_model.h"
#include "app/view/address_bar.h"
#include "app/view/folder_tree_view.h"
#include "app/view/list_pane.h"
#include "app/view/main_window.h"
#include "app/core/settings/window_placement.h"
#include "common/platform/locale_compare.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <memory>

using namespace tnw::app;

namespace {

// Answers the next modal box or dialog with its default button, keeping its text.
class ModalCatcher : public QObject {
public:
    QString text;
    bool seen = false;
    bool answerNo = false;

    void arm()
    {
        QTimer::singleShot(0, this, [this] { check(); });
    }

private:
    void check()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            QTimer::singleShot(10, this, [this] { check(); });
            return;
        }
        seen = true;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            text = box->text();
            QAbstractButton* button = answerNo ? box->button(QMessageBox::No)
                                               : (box->defaultButton() ? box->defaultButton()
                                                                       : box->button(QMessageBox::Ok));
            button->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("versionText")))
                text = label->text();
            dialog->accept();
        }
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    MainWindowFiles m_files;
    ConvSettings m_loaded{};

    std::unique_ptr<MainWindow> makeWindow(int mode = 0)
    {
        m_loaded = ConvSettings{};
        m_loaded.nMode = mode;
        m_files.settingsIo.load = [this](const char*, ConvSettings* r) {
            *r = m_loaded;
            return 0;
        };
        m_files.settingsIo.save = [](const char*, const ConvSettings*) { return 0; };
        auto window = std::make_unique<MainWindow>(m_files);
        window->showPlaced();
        window->openStartFolder(QString());
        return window;
    }
    QString path(const QString& rel) const { return m_dir->filePath(rel); }

private slots:
    void initTestCase()
    {
        tnw::platform::setLocaleCompareMode(tnw::platform::LocaleCompareMode::C);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("home/work/b1")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("home/work/b2")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("cfg")));
        QFile f(path("home/work/b1/p.jpg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        qputenv("HOME", QFile::encodeName(path("home")));
        m_files.iniPath = path("cfg/Korvelin.ini").toStdString();
        m_files.historyPath = path("cfg/ComboAddr.txt").toStdString();
        m_files.helpPath = path("cfg/missing/index.html");
    }

    void frameHasItsTitleMenusAndBars()
    {
        auto w = makeWindow();
        QCOMPARE(w->windowTitle(), QString::fromUtf8("JPEG → PDF 変換"));
        QCOMPARE(w->minimumSize(), QSize(300, 200));
        QStringList menus;
        for (QAction* a : w->menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "設定(&S)", "ﾍﾙﾌﾟ(&H)"}));
        QStringList file;
        for (QAction* a : w->menuBar()->actions().at(0)->menu()->actions())
            file << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(file, (QStringList{"PDF化実行(&E)...", "-", "ﾛｸﾞﾌｧｲﾙを開く(&L)...", "-",
                                    "履歴のクリア(&C)", "-", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"}));
        QVERIFY(!w->createPopupMenu());
        QCOMPARE(w->action(CommandId::Convert)->statusTip(), QString::fromUtf8("PDF化の実行"));
        QCOMPARE(w->action(CommandId::Convert)->toolTip(), QString::fromUtf8("PDF化実行"));
        QVERIFY(w->action(CommandId::Convert)->isEnabled());  // always, except while busy
        QVERIFY(w->action(CommandId::About)->isEnabled());
        QVERIFY(!w->action(CommandId::FolderList)->isEnabled());  // file mode
        QCOMPARE(w->action(CommandId::Refresh)->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(w->statusPane(1)->width(), 96);
    }

    void theTreeStartsOnHomeAndATypedPathMovesTheListsAndHistory()
    {
        auto w = makeWindow(1);
        const std::string home = path("home").toStdString();
        QTRY_COMPARE(w->treeView()->currentPath(), home);
        QTRY_COMPARE(w->frame().folderShown(), home);

        w->addressBox()->lineEdit()->setText(path("home/work"));
        emit w->addressBox()->textEntered(path("home/work"));
        QCOMPARE(w->treeView()->currentPath(), path("home/work").toStdString());
        QCOMPARE(w->frame().folderShown(), path("home/work").toStdString());
        QCOMPARE(w->frame().listKind(), 25);
        QVERIFY(w->action(CommandId::FolderList)->isChecked());
        auto* folders = qobject_cast<FolderListModel*>(w->listPane()->folderView()->model());
        QCOMPARE(folders->rowCount(), 2);
        QCOMPARE(folders->index(0, 2).data().toString(), QStringLiteral("1"));
        QCOMPARE(w->addressBox()->currentText(), path("home/work"));
        const std::vector<std::string> expected{path("home/work").toStdString(), home};
        QCOMPARE(HistoryFile(m_files.historyPath).read(), expected);
    }

    void aMissingTypedPathIsReportedAndChangesNothing()
    {
        auto w = makeWindow();
        QTRY_COMPARE(w->frame().folderShown(), path("home").toStdString());
        ModalCatcher catcher;
        catcher.arm();
        emit w->addressBox()->textEntered(path("home/none"));
        QVERIFY(catcher.seen);
        QCOMPARE(catcher.text, path("home/none") + QString::fromUtf8(" は存在しません。"));
        QCOMPARE(w->frame().folderShown(), path("home").toStdString());

        // An empty address does nothing at all.
        emit w->addressBox()->textEntered(QString());
        QCOMPARE(w->frame().folderShown(), path("home").toStdString());
    }

    void aHistoryEntryForARemovedFolderIsDroppedWhenChosen()
    {
        HistoryFile(m_files.historyPath)
            .write({path("home/gone").toStdString(), path("home").toStdString()});
        auto w = makeWindow();
        QTRY_COMPARE(w->frame().folderShown(), path("home").toStdString());
        ModalCatcher catcher;
        catcher.arm();
        emit w->addressBox()->entryChosen(path("home/gone"));
        QCOMPARE(catcher.text, path("home/gone") + QString::fromUtf8(" は存在しません。"));
        QCOMPARE(HistoryFile(m_files.historyPath).read(),
                 std::vector<std::string>{path("home").toStdString()});
        QCOMPARE(w->addressBox()->count(), 1);
        QCOMPARE(w->addressBox()->currentText(), path("home"));
    }

    void clearingTheHistoryAsksFirst()
    {
        HistoryFile(m_files.historyPath).write({"/x"});
        auto w = makeWindow();
        ModalCatcher no;
        no.answerNo = true;
        no.arm();
        w->action(CommandId::ClearHistory)->trigger();
        QCOMPARE(no.text, QString::fromUtf8("アドレスの履歴を消去しますか？"));
        QVERIFY(QFile::exists(QString::fromStdString(m_files.historyPath)));
        ModalCatcher yes;
        yes.arm();
        w->action(CommandId::ClearHistory)->trigger();
        QVERIFY(!QFile::exists(QString::fromStdString(m_files.historyPath)));
        QCOMPARE(w->addressBox()->count(), 0);
    }

    void whileBusyEverythingIsDisabledAndACloseWaits()
    {
        auto w = makeWindow();
        QTRY_VERIFY(!w->frame().folderShown().empty());
        {
            FrameState::BusyGuard guard(w->frame());
            QVERIFY(!w->action(CommandId::About)->isEnabled());
            QVERIFY(!w->action(CommandId::Exit)->isEnabled());
            QVERIFY(!w->treeView()->isEnabled());
            QVERIFY(!w->addressBox()->isEnabled());
            QVERIFY(!w->close());
            QVERIFY(w->isVisible());
        }
        QVERIFY(w->action(CommandId::About)->isEnabled());
        QTRY_VERIFY(!w->isVisible());  // the recorded close is done
    }

    void placementIsSavedAtCloseAndAbsurdValuesAreClamped()
    {
        QFile ini(QString::fromStdString(m_files.iniPath));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[WINDOW]\r\nnLeft=-90000\r\nnTop=5\r\nnRight=-80000\r\nnBottom=99999\r\n"
                  "nPaneLeft=99999\r\n");
        ini.close();
        auto w = makeWindow();
        QVERIFY(w->width() >= 300);
        const QList<int> sizes = w->findChild<QSplitter*>(QStringLiteral("splitter"))->sizes();
        QVERIFY(sizes[0] <= w->width() - 60);
        w->resize(640, 480);
        w->close();
        WindowPlacement saved;
        LoadWindowPlacement(saved, m_files.iniPath);
        QCOMPARE(saved.nRight - saved.nLeft, 640);
        QCOMPARE(saved.nBottom - saved.nTop, 480);
        QCOMPARE(saved.nShowMax, 0);
    }

    void aboutShowsTheVersionAndMissingHelpIsReported()
    {
        auto w = makeWindow();
        ModalCatcher about;
        about.arm();
        w->action(CommandId::About)->trigger();
        QCOMPARE(about.text, QStringLiteral("Korvelin Version 2.0.0"));
        ModalCatcher help;
        help.arm();
        w->action(CommandId::Help)->trigger();
        QCOMPARE(help.text, QString::fromUtf8("HTML HELP(index.html)を開くことができません。"));
    }

    void aStartFolderIsChosenAndAMinimisedWindowComesForward()
    {
        MainWindowFiles files = m_files;
        auto w = makeWindow();
        w->openStartFolder(path("home/work/b2"));
        QCOMPARE(w->treeView()->currentPath(), path("home/work/b2").toStdString());
        w->showMinimized();
        w->bringForward();
        QVERIFY(!w->isMinimized());
        QVERIFY(w->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_guitest.moc"
