// The file and page lists and their thumbnail views in the main window, offscreen: a folder's
// rows, header sorts, marks from the thumbnails, pictures made off the GUI thread, the
// reduction settings dialog, and the message for an unsupported file.
#include "app/core/lists/list_document.h"
#include "app/core/lists/list_models.h"
#include "app/core/settings/app_settings.h"
#include "app/core/settings/tnl_settings.h"
#include "app/dialogs/thumbnail_settings_dialog.h"
#include "app/view/list_pane.h"
#include "app/view/main_window.h"
#include "app/view/thumbnail_view.h"
#include "common/platform/locale_compare.h"
#include "tests/app/core/image_fixtures.h"
#include "tests/app/gui/window_fixtures.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>


#include <memory>

using namespace tnw::app;

namespace {

QByteArray greyJpeg(int w, int h, int value)
{
    return QByteArray::fromStdString(
        tnw::test::makeJpeg(w, h, tnw::test::JpegKind::Grey, {value}));
}

}  // namespace

class ListsTest : public QObject {
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
        return window;
    }

    void write(const QString& name, const QByteArray& bytes)
    {
        QFile f(m_folder + QLatin1Char('/') + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
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
        write(QStringLiteral("p10.jpg"), greyJpeg(300, 400, 40));
        write(QStringLiteral("p2.jpg"), greyJpeg(400, 300, 200));
        write(QStringLiteral("p1.jpg"), greyJpeg(100, 100, 120) + QByteArray(5000, 'x'));
        m_files.iniPath = m_dir->filePath(QStringLiteral("cfg/Korvelin.ini")).toStdString();
        m_files.historyPath = m_dir->filePath(QStringLiteral("cfg/ComboAddr.txt")).toStdString();
    }

    void aFolderListsItsFilesAndTheirThumbnails()
    {
        auto w = makeWindow();
        w->goToFolder(m_folder.toStdString());
        QTreeView* files = w->listPane()->fileView();
        QCOMPARE(files->model()->rowCount(), 3);
        QCOMPARE(w->listPane()->countLine(), QString::fromUtf8(" ﾌｧｲﾙ数：3"));
        // Natural order of the names; the probes fill the image cells later.
        QCOMPARE(files->model()->index(0, 0).data().toString(), QStringLiteral("p1.jpg"));
        QCOMPARE(files->model()->index(2, 0).data().toString(), QStringLiteral("p10.jpg"));
        QTRY_COMPARE(files->model()->index(2, 4).data().toString(), QStringLiteral("300"));

        QAction* thumbs = w->action(CommandId::FileThumbs);
        QVERIFY(thumbs->isEnabled());
        thumbs->trigger();
        ThumbnailView* view = w->listPane()->fileThumbs();
        QCOMPARE(w->listPane()->currentView(), view);
        QTRY_COMPARE_WITH_TIMEOUT(view->store().madeCount(), 3, 10000);
        const Picture* p10 = view->store().find({2, 0});  // ids follow the scan order
        QVERIFY(p10);
        QVERIFY(p10->image.width() <= 120 && p10->image.height() <= 120);

        // Space toggles the mark of the current item, seen by the report view too.
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, 0));
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(files->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    void headerClicksSortAndAreStored()
    {
        auto w = makeWindow();
        w->goToFolder(m_folder.toStdString());
        w->action(CommandId::FileList)->trigger();
        QTreeView* files = w->listPane()->fileView();
        // ｻｲｽﾞ ascending, then descending (the list starts sorted by 名前).
        emit files->header()->sectionClicked(1);
        emit files->header()->sectionClicked(1);
        QCOMPARE(files->model()->index(0, 0).data().toString(), QStringLiteral("p1.jpg"));
        QCOMPARE(files->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        auto again = makeWindow();
        again->goToFolder(m_folder.toStdString());
        QCOMPARE(again->listPane()->fileView()->model()->index(0, 0).data().toString(),
                 QStringLiteral("p1.jpg"));
    }

    void columnWidthsAreStoredWhenAColumnIsResized()
    {
        auto w = makeWindow();
        // Widths the program applies (a build, a kind's layout) are not stored.
        QSignalSpy saves(w->listPane(), &ListPane::fileWidthsChanged);
        w->goToFolder(m_folder.toStdString());
        QVERIFY(!saves.wait(500));
        QHeaderView* header = w->listPane()->fileView()->header();
        const auto stored = [this] {
            AppSettings settings;
            LoadAppSettings(settings, m_files.iniPath);
            return settings.lvFile;
        };
        // A resize by the program, not by the mouse, is stored once it settles: every width
        // of the list at once.
        header->resizeSection(2, 77);
        QTRY_COMPARE(stored().nColxy[2], 77);
        QCOMPARE(stored().nColCount, 12);
        QCOMPARE(stored().nColxy[0], 120);
        // A resize just before the window closes is not lost.
        header->resizeSection(1, 99);
        QVERIFY(w->close());
        QCOMPARE(stored().nColxy[1], 99);
        // The next window shows the stored widths.
        auto again = makeWindow();
        again->goToFolder(m_folder.toStdString());
        QCOMPARE(again->listPane()->fileView()->header()->sectionSize(2), 77);
        QCOMPARE(again->listPane()->fileView()->header()->sectionSize(1), 99);
    }

    void reductionSettingsChangeTheBoxAndAreSaved()
    {
        auto w = makeWindow();
        w->goToFolder(m_folder.toStdString());
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<ThumbnailSettingsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* size = dialog->findChild<QComboBox*>(QStringLiteral("size"));
            auto* width = dialog->findChild<QSpinBox*>(QStringLiteral("width"));
            QVERIFY(!width->isEnabled());
            size->setCurrentIndex(kCustomSizeNo);
            QVERIFY(width->isEnabled());
            width->setValue(200);
            dialog->accept();
        });
        w->action(CommandId::ThumbSettings)->trigger();
        QCOMPARE(w->listPane()->fileThumbs()->store().boxWidth(), 200);
        QCOMPARE(w->listPane()->pageThumbs()->store().boxWidth(), 200);
        QCOMPARE(LoadTnlSettings(m_files.iniPath).box(), QSize(200, 120));
    }

    void anUnsupportedFileIsARowAndOneMessage()
    {
        write(QStringLiteral("z_empty.jpg"), QByteArray());
        write(QStringLiteral("z_png.jpg"), QByteArray("\x89PNG\r\n\x1a\n", 8));
        const QByteArray whole = greyJpeg(256, 256, 0);
        write(QStringLiteral("zz_cut.jpg"), whole.left(whole.size() / 2));
        auto w = makeWindow();
        QString text;
        int boxes = 0;
        auto answer = std::make_shared<std::function<void()>>();
        *answer = [&, answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++boxes;
                text = box->text();
                box->accept();
            }
            QTimer::singleShot(20, this, [answer] { (*answer)(); });
        };
        (*answer)();
        w->goToFolder(m_folder.toStdString());
        QTreeView* files = w->listPane()->fileView();
        QCOMPARE(files->model()->rowCount(), 6);
        QTRY_COMPARE(boxes, 1);
        QVERIFY(text.contains(QStringLiteral("z_empty.jpg")));
        QCOMPARE(files->model()->index(3, 3).data().toString(), QStringLiteral("-"));
        QCOMPARE(files->model()->index(4, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        // A file cut short is pictured as far as it goes; its cell's tooltip says so.
        w->action(CommandId::FileThumbs)->trigger();
        ThumbnailView* thumbs = w->listPane()->fileThumbs();
        const QModelIndex cut = thumbs->model()->index(5, 0);
        const PictureKey key{cut.data(EntryIdRole).toInt(), 0};
        QTRY_COMPARE_WITH_TIMEOUT(int(thumbs->store().state(key)), int(Picture::State::Made),
                                  10000);
        QVERIFY(thumbs->delegate()->toolTip(cut).startsWith(QString::fromUtf8("読込警告 (")));
        QVERIFY(thumbs->delegate()->toolTip(thumbs->model()->index(0, 0)).isEmpty());
        QTest::qWait(100);
        QCOMPARE(boxes, 1);
        *answer = [] {};
    }
};

QTEST_MAIN(ListsTest)
#include "lists_guitest.moc"
