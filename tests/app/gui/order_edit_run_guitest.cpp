// From edit to PDF (offscreen, the real conversion library): a folder's list reordered by
// moves and a paste, one step undone, one entry unchecked, then PDF化実行 from the window; the
// PDF holds the checked pages in the order shown and the log names them in that order.
#include "app/core/lists/list_document.h"
#include "app/view/list_pane.h"
#include "app/view/main_window.h"
#include "common/platform/locale_compare.h"
#include "tests/app/core/image_fixtures.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>


#include <memory>

using namespace tnw::app;

namespace {

QByteArray greyJpeg(int w, int h)
{
    return QByteArray::fromStdString(
        tnw::test::makeJpeg(w, h, tnw::test::JpegKind::Grey, {128}));
}

QStringList filesUnder(const QString& root, const QString& pattern)
{
    QStringList out;
    QDirIterator it(root, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    return out;
}

}  // namespace

class OrderEditRunTest : public QObject {
    Q_OBJECT
private slots:
    void theConvertedPdfFollowsTheEditedOrder()
    {
        if (QProcess::execute(QStringLiteral("sh"), {"-c", "pdfimages -v > /dev/null 2>&1"}) != 0)
            QSKIP("pdfimages (poppler-utils) is not installed");
        tnw::platform::setLocaleCompareMode(tnw::platform::LocaleCompareMode::C);
        QTemporaryDir dir;
        for (const char* sub : {"cfg", "work", "pics"})
            QVERIFY(QDir(dir.path()).mkpath(QLatin1String(sub)));
        qputenv("KORVELIN_CONFIG_DIR", QFile::encodeName(dir.filePath("cfg")));
        qputenv("KORVELIN_WORK_DIR", QFile::encodeName(dir.filePath("work")));
        // One PDF of every checked file, no settings form before the run, a log not opened.
        QFile ini(dir.filePath("cfg/Korvelin.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Settings]\r\nnShowDlgParm=0\r\nnMakeLog=1\r\nnShowLog=0\r\n"
                  "[App]\r\nnTif2Pdf=1\r\n");
        ini.close();
        // The pages tell each other apart by their widths.
        const QString folder = dir.filePath("pics");
        const int widths[] = {40, 48, 56, 64};
        for (int i = 0; i < 4; ++i) {
            QFile f(folder + QStringLiteral("/p%1.jpg").arg(i + 1));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(greyJpeg(widths[i], 30));
        }

        MainWindowFiles files;
        files.iniPath = dir.filePath("cfg/Korvelin.ini").toStdString();
        files.historyPath = dir.filePath("cfg/ComboAddr.txt").toStdString();
        files.settingsIo = libraryConvSettingsIo();
        MainWindow w(files);
        w.showPlaced();
        w.goToFolder(folder.toStdString());
        QTreeView* view = w.listPane()->fileView();
        QCOMPARE(view->model()->rowCount(), 4);
        const auto select = [view](int row) {
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
        };
        select(3);
        w.action(CommandId::MoveTop)->trigger();     // p4 p1 p2 p3
        select(1);
        w.action(CommandId::Copy)->trigger();
        select(0);
        w.action(CommandId::Paste)->trigger();       // p1 p4 p1 p2 p3
        select(4);
        w.action(CommandId::MoveUp)->trigger();      // p1 p4 p1 p3 p2
        w.action(CommandId::Undo)->trigger();        // p1 p4 p1 p2 p3
        QStringList shown;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            shown << view->model()->index(r, 0).data().toString();
        QCOMPARE(shown.join(' '), QStringLiteral("p1.jpg p4.jpg p1.jpg p2.jpg p3.jpg"));
        QVERIFY(view->model()->setData(view->model()->index(3, 0), Qt::Unchecked,
                                       Qt::CheckStateRole));  // p2 stays out

        // Any box the run shows is answered, and its text kept for the failure message.
        QStringList boxes;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->accept();
            }
        });
        answer.start(20);
        QVERIFY(w.action(CommandId::Convert)->isEnabled());
        w.action(CommandId::Convert)->trigger();
        answer.stop();

        const QStringList pdfs = filesUnder(dir.path(), QStringLiteral("*.pdf"));
        QVERIFY2(pdfs.size() == 1, qPrintable(boxes.join(" | ")));
        QProcess list;
        list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdfs.front()});
        QVERIFY(list.waitForFinished(30000));
        QStringList pageWidths;
        const QList<QByteArray> lines = list.readAllStandardOutput().split('\n');
        for (int i = 2; i < lines.size(); ++i) {
            const QList<QByteArray> cells = lines[i].simplified().split(' ');
            if (cells.size() > 4)
                pageWidths << QString::fromLatin1(cells[0] + ":" + cells[3]);
        }
        QCOMPARE(pageWidths.join(' '), QStringLiteral("1:40 2:64 3:40 4:56"));

        // The log has one row per page, in the same order, and none for p2.
        const QStringList logs = filesUnder(dir.path(), QStringLiteral("*.csv"));
        QCOMPARE(logs.size(), 1);
        QFile log(logs.front());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QStringList rows;
        const QRegularExpression name(QStringLiteral("p[0-9]\\.jpg"));
        for (const QByteArray& line : text.split('\n')) {
            const QRegularExpressionMatch m = name.match(QString::fromLatin1(line));
            if (m.hasMatch())
                rows << m.captured();
        }
        QCOMPARE(rows.join(' '), QStringLiteral("p1.jpg p4.jpg p1.jpg p3.jpg"));
    }
};

QTEST_MAIN(OrderEditRunTest)
#include "order_edit_run_guitest.moc"
