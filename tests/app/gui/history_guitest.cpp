// The address history file ComboAddr.txt: what is read, what is written, and that a failed
// write leaves the old file whole.
#include "app/core/history/history_file.h"
#include "common/platform/cp932.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace tnw::app;
using tnw::platform::sjis;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private slots:
    void readSkipsBadLinesAndAcceptsBothLineEnds()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ComboAddr.txt"));
        const std::string japanese = sjis("/データ/書類");
        const std::string tooLong = "/" + std::string(259, 'a');  // 260 bytes
        const std::string longest = "/" + std::string(258, 'b');  // 259 bytes
        QByteArray bytes;
        bytes += "/a\r\n";
        bytes += "\r\n";                       // empty
        bytes += QByteArray::fromStdString(japanese) + "\n";  // LF only
        bytes += QByteArray::fromStdString(tooLong) + "\r\n";
        bytes += QByteArray::fromStdString(longest) + "\r\n";
        bytes += "/bad\x81\x20name\r\n";       // a lead byte without its second byte
        bytes += "/A\r\n";                     // differs in case only: kept
        bytes += "/a\r\n";                     // a later copy
        bytes += "/last";                      // no line end
        writeAll(path, bytes);

        const std::vector<std::string> entries = HistoryFile(path.toStdString()).read();
        QCOMPARE(entries, (std::vector<std::string>{"/a", japanese, longest, "/A", "/last"}));
    }

    void writeIsCrLfMostRecentFirst()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ComboAddr.txt"));
        HistoryFile file(path.toStdString());
        std::vector<std::string> entries{"/a", "/b"};
        QVERIFY(HistoryFile::pushFront(entries, "/b"));
        QVERIFY(HistoryFile::pushFront(entries, "/B"));
        QVERIFY(file.write(entries));
        QCOMPARE(readAll(path), QByteArray("/B\r\n/b\r\n/a\r\n"));
        QCOMPARE(file.read(), entries);
        QVERIFY(file.remove());
        QVERIFY(!QFile::exists(path));
        QVERIFY(file.remove());  // already gone
    }

    void aNameWithALineBreakIsNeverRecorded()
    {
        std::vector<std::string> entries{"/a"};
        QVERIFY(!HistoryFile::pushFront(entries, "/x\ny"));
        QVERIFY(!HistoryFile::pushFront(entries, "/x\ry"));
        QVERIFY(!HistoryFile::pushFront(entries, ""));
        QVERIFY(!HistoryFile::pushFront(entries, "/" + std::string(259, 'c')));
        QCOMPARE(entries, std::vector<std::string>{"/a"});
    }

    void aFailedWriteLeavesTheOldFileWhole()
    {
        if (::geteuid() == 0)
            QSKIP("permissions do not hold for root");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ComboAddr.txt"));
        writeAll(path, "/old\r\n");
        ::chmod(QFile::encodeName(dir.path()).constData(), 0500);
        const bool written = HistoryFile(path.toStdString()).write({"/new"});
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
        QVERIFY(!written);
        QCOMPARE(readAll(path), QByteArray("/old\r\n"));
    }

    void aMissingFileGivesNoEntries()
    {
        QVERIFY(HistoryFile("/nonexistent/ComboAddr.txt").read().empty());
    }
};

QTEST_GUILESS_MAIN(HistoryTest)
#include "history_guitest.moc"
