// Order editing in the window (offscreen): the edit menu, the keys acting only in the list
// pane, the context menus of the file and page lists, the mode commands, and a rebuild
// ending the history.
#include "app/core/lists/list_document.h"
#include "app/core/settings/tnl_settings.h"
#include "app/core/undo/list_editor.h"
#include "app/view/folder_tree_view.h"
#include "app/view/list_pane.h"
#include "app/view/main_window.h"
#include "app/view/thumbnail_view.h"
#include "common/platform/locale_compare.h"
#include "tests/app/core/image_fixtures.h"
#include "tests/app/gui/window_fixtures.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>


#include <memory>

using namespace tnw::app;

namespace {

QByteArray greyJpeg(int w, int h)
{
    return QByteArray::fromStdString(
        tnw::test::makeJpeg(w, h, tnw::test::JpegKind::Grey, {128}));
}

QStringList texts(const QList<QAction*>& actions)
{
    QStringList out;
    for (QAction* a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

}  // namespace

class OrderEditTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    MainWindowFiles m_files;
    QString m_folder;

    std::unique_ptr<MainWindow> makeWindow()
    {
        m_files.settingsIo = tnw::test::nameOrderSettingsIo();
        auto window = std::make_unique<MainWindow>(m_files);
        window->showPlaced();
        window->goToFolder(m_folder.toStdString());
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the window is not active: its shortcuts will not fire");
        return window;
    }

    static QString names(MainWindow& w)
    {
        QStringList out;
        for (int id : w.document()->fileOrder())
            out << QString::fromStdString(w.document()->entry(id).name).section('.', 0, 0);
        return out.join(' ');
    }

    static void select(QTreeView* view, std::initializer_list<int> rows)
    {
        view->selectionModel()->clearSelection();
        for (int r : rows)
            view->selectionModel()->select(view->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view->selectionModel()->setCurrentIndex(view->model()->index(*rows.begin(), 0),
                                                QItemSelectionModel::NoUpdate);
    }

private slots:
    void initTestCase()
    {
        tnw::platform::setLocaleCompareMode(tnw::platform::LocaleCompareMode::C);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("cfg")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("pics")));
        m_folder = m_dir->filePath(QStringLiteral("pics"));
        for (const char* n : {"p1", "p2", "p3", "p4"}) {
            QFile f(m_folder + QLatin1Char('/') + QLatin1String(n) + QStringLiteral(".jpg"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(greyJpeg(40, 30));
        }
        m_files.iniPath = m_dir->filePath(QStringLiteral("cfg/Korvelin.ini")).toStdString();
        m_files.historyPath = m_dir->filePath(QStringLiteral("cfg/ComboAddr.txt")).toStdString();
    }

    void theEditMenuFollowsTheSelectionAndTheHistory()
    {
        auto w = makeWindow();
        QTreeView* files = w->listPane()->fileView();
        QCOMPARE(files->model()->rowCount(), 4);
        QCOMPARE(texts(w->menuBar()->actions().at(1)->menu()->actions()),
                 (QStringList{"元に戻す(&U)", "切り取り(&T)", "コピー(&C)", "貼り付け(&P)", "削除(&D)",
                              "すべて選択(&A)", "-", "先頭に移動", "１つ上に移動", "１つ下に移動",
                              "最終に移動", "入れ替え", "-", "全てのﾁｪｯｸ設定", "全てのﾁｪｯｸ解除"}));
        // Nothing selected: no move, no cut; marks and select all work on any rows.
        for (CommandId id : {CommandId::Undo, CommandId::MoveTop, CommandId::MoveDown,
                             CommandId::Cut, CommandId::Copy, CommandId::Paste, CommandId::Swap})
            QVERIFY2(!w->action(id)->isEnabled(), qPrintable(w->action(id)->text()));
        QVERIFY(w->action(CommandId::CheckAll)->isEnabled());
        QVERIFY(w->action(CommandId::SelectAll)->isEnabled());

        select(files, {0, 1});
        QVERIFY(!w->action(CommandId::MoveUp)->isEnabled());  // the top row is selected
        QVERIFY(w->action(CommandId::MoveDown)->isEnabled());
        QVERIFY(w->action(CommandId::Swap)->isEnabled());
        w->action(CommandId::SelectAll)->trigger();
        QCOMPARE(files->selectionModel()->selectedRows().size(), 4);
        QVERIFY(!w->action(CommandId::MoveDown)->isEnabled());  // every row selected
        QVERIFY(!w->action(CommandId::Delete)->isEnabled());

        // The keys act in the list pane only.
        select(files, {2});
        files->setFocus();
        QTest::keyClick(files, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(names(*w), QStringLiteral("p3 p1 p2 p4"));
        QTest::keyClick(files, Qt::Key_Delete);
        QCOMPARE(names(*w), QStringLiteral("p1 p2 p4"));
        QVERIFY(w->action(CommandId::Undo)->isEnabled());
        w->treeView()->setFocus();
        QTest::keyClick(w->treeView(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(names(*w), QStringLiteral("p1 p2 p4"));
        files->setFocus();
        QTest::keyClick(files, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(names(*w), QStringLiteral("p3 p1 p2 p4"));
        QTest::keyClick(files, Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(names(*w), QStringLiteral("p1 p2 p3 p4"));
        QVERIFY(!w->action(CommandId::Undo)->isEnabled());

        // Copy and paste by keys; F5 rebuilds the lists and ends the history and clipboard.
        select(files, {3});
        QTest::keyClick(files, Qt::Key_C, Qt::ControlModifier);
        select(files, {0});
        QTest::keyClick(files, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(names(*w), QStringLiteral("p4 p1 p2 p3 p4"));
        w->action(CommandId::Refresh)->trigger();
        QCOMPARE(names(*w), QStringLiteral("p1 p2 p3 p4"));
        QVERIFY(!w->action(CommandId::Undo)->isEnabled());
        QVERIFY(!w->action(CommandId::Paste)->isEnabled());
    }

    void aPageListEditGreysTheFileListMovesAndTheViews()
    {
        auto w = makeWindow();
        select(w->listPane()->fileView(), {0});
        w->action(CommandId::PageList)->trigger();
        QTreeView* pages = w->listPane()->pageView();
        QCOMPARE(w->listPane()->currentView(), pages);
        select(pages, {2});
        w->action(CommandId::MoveTop)->trigger();
        QCOMPARE(pages->model()->index(0, 0).data().toString(), QStringLiteral("p3.jpg"));
        QVERIFY(!w->frame().snapshot().inStep);
        QVERIFY(!w->action(CommandId::FileList)->isEnabled());
        QVERIFY(w->action(CommandId::SyncPages)->isEnabled());
        w->action(CommandId::Undo)->trigger();
        QVERIFY(w->frame().snapshot().inStep);
        QVERIFY(w->action(CommandId::FileList)->isEnabled());
        QCOMPARE(pages->model()->index(0, 0).data().toString(), QStringLiteral("p1.jpg"));

        // Page navigation selects the next file's pages.
        select(pages, {1});
        w->action(CommandId::NextFile)->trigger();
        QCOMPARE(pages->currentIndex().row(), 2);
        w->action(CommandId::LastFile)->trigger();
        QCOMPARE(pages->currentIndex().row(), 3);
    }

    void contextMenusHoldTheirOwnTextsAndTheTagDumpOfATiffRow()
    {
        auto w = makeWindow();
        QTreeView* files = w->listPane()->fileView();
        select(files, {1});
        std::unique_ptr<QMenu> menu(w->listMenu(files, files->visualRect(files->model()->index(1, 0)).center()));
        QVERIFY(menu);
        QCOMPARE(texts(menu->actions()),
                 (QStringList{"PDF化実行(&E)...", "-", "元に戻す(&U)", "-", "先頭に移動(&T)",
                              "１つ上に移動(&U)", "１つ下に移動(&D)", "最終に移動(&B)", "-",
                              "入れ替え(&E)", "-", "全てのﾁｪｯｸ設定(&N)", "全てのﾁｪｯｸ解除(&F)"}));
        QVERIFY(!menu->actions().at(2)->isEnabled());  // nothing to undo
        menu->actions().at(4)->trigger();              // 先頭に移動
        QCOMPARE(names(*w), QStringLiteral("p2 p1 p3 p4"));

        QTreeView* pages = w->listPane()->pageView();
        menu.reset(w->listMenu(pages, QPoint(2, 2)));
        QCOMPARE(texts(menu->actions()),
                 (QStringList{"PDF化実行(&E)...", "-", "前のﾌｧｲﾙ(&1)", "次のﾌｧｲﾙ(&2)",
                              "先頭のﾌｧｲﾙ(&3)", "最終のﾌｧｲﾙ(&4)"}));
        QVERIFY(!w->listMenu(w->listPane()->folderView(), QPoint(2, 2)));

        // A TIFF row gets タグ情報..., a JPEG row does not.
        FileEntry tiff;
        tiff.name = "scan.tif";
        tiff.path = (m_folder + QStringLiteral("/scan.tif")).toStdString();
        tiff.kind = 12;
        w->document()->append(tiff);
        const QPoint last = files->visualRect(files->model()->index(4, 0)).center();
        menu.reset(w->listMenu(files, last));
        QCOMPARE(menu->actions().last()->text(), QString::fromUtf8("タグ情報..."));
        menu.reset(w->listMenu(files, files->visualRect(files->model()->index(0, 0)).center()));
        QVERIFY(menu->actions().last()->text() != QString::fromUtf8("タグ情報..."));
    }

    void theModeCommandsStoreTheModeAndMarkBothThumbnailViews()
    {
        auto w = makeWindow();
        QVERIFY(w->action(CommandId::SelectMode)->isChecked());
        w->action(CommandId::EditMode)->trigger();
        QVERIFY(w->action(CommandId::EditMode)->isChecked());
        QCOMPARE(LoadTnlSettings(m_files.iniPath).nMode, 3);
        QCOMPARE(w->thumbnailSettings().nMode, 3);
        // In edit mode the moves work in the thumbnails too.
        w->action(CommandId::FileThumbs)->trigger();
        select(w->listPane()->fileView(), {3});
        QVERIFY(w->action(CommandId::MoveTop)->isEnabled());
        w->action(CommandId::SelectMode)->trigger();
        QVERIFY(!w->action(CommandId::MoveTop)->isEnabled());
        QCOMPARE(LoadTnlSettings(m_files.iniPath).nMode, 1);
    }
};

QTEST_MAIN(OrderEditTest)
#include "order_edit_guitest.moc"
