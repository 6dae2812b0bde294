// The tag dump dialog offscreen, through its export: pages and both forms of a real file, a
// cyclic directory chain, and the failures that are shown in a box with the reader's code.
#include "common/platform/cp932.h"
#include "common/platform/ui.h"
#include "common/tiff_builder.h"
#include "sheet/dialogs/tag_dump_dialog.h"
#include "sheet/dialogs/tag_dump_rows.h"
#include "sheet/sheet_fixtures.h"
#include "tnwsheet.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace tnw::sheet;
using tnw::platform::RecorderUi;

namespace {

void onModal(std::function<void(QWidget*)> step)
{
    QTimer::singleShot(0, [step = std::move(step)] {
        if (QWidget* modal = QApplication::activeModalWidget())
            step(modal);
        else
            onModal(step);
    });
}

QString pageText(QWidget* dialog)
{
    return dialog->findChild<QLabel*>(QStringLiteral("pageLabel"))->text();
}

void click(QWidget* dialog, const char* name)
{
    dialog->findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

}  // namespace

class TagDumpDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_ui = std::make_shared<RecorderUi>();
        tnw::platform::setUiBackend(m_ui);
    }
    void cleanup() { tnw::platform::setUiBackend(nullptr); }

    void pagesAndFormsOfAFile()
    {
        const std::string path = m_dir.filePath(QStringLiteral("three.tif")).toStdString();
        QVERIFY(tnw::test::writeSheetTiff(
            path, {tnw::test::a4Page(), tnw::test::a3Page(), tnw::test::letterPage()}));
        onModal([](QWidget* w) {
            auto* dialog = qobject_cast<TagDumpDialog*>(w);
            QVERIFY(dialog);
            QVERIFY(dialog->windowTitle().endsWith(QStringLiteral("three.tif")));
            QCOMPARE(pageText(dialog), QStringLiteral("1 / 3"));
            auto* rows = qobject_cast<TagDumpRowModel*>(dialog->table()->model());
            QVERIFY(rows->rowCount() > 5);
            QCOMPARE(rows->rows()[0].tag, QStringLiteral("256"));
            QCOMPARE(rows->rows()[0].value, QStringLiteral("2480"));
            click(dialog, "next");
            QCOMPARE(pageText(dialog), QStringLiteral("2 / 3"));
            QCOMPARE(rows->rows()[0].value, QStringLiteral("3508"));
            click(dialog, "last");
            QCOMPARE(pageText(dialog), QStringLiteral("3 / 3"));
            QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("next"))->isEnabled());
            click(dialog, "next");
            QCOMPARE(pageText(dialog), QStringLiteral("3 / 3"));
            dialog->findChild<QRadioButton*>(QStringLiteral("textForm"))->click();
            QVERIFY(dialog->text()->isVisible());
            QVERIFY(dialog->text()->toPlainText().contains(QStringLiteral("Byte Order : II")));
            QVERIFY(dialog->text()->toPlainText().contains(QStringLiteral("1700")));
            click(dialog, "first");
            QCOMPARE(pageText(dialog), QStringLiteral("1 / 3"));
            QVERIFY(dialog->text()->toPlainText().contains(QStringLiteral("2480")));
            click(dialog, "close");
        });
        int result = 1;
        QCOMPARE(shxDlgTagDump(nullptr, path.c_str(), &result), 0);
        QCOMPARE(result, 0);
        QVERIFY(m_ui->messages.empty());
    }

    void cyclicChainShowsEachDirectoryOnce()
    {
        tnw::test::TiffBuilder b(true);
        b.shorts(256, {10}).nextDirectory().shorts(256, {20});
        std::string bytes = b.build();
        bytes.replace(b.directoryOffsets()[1] + 2 + 12, 4, b.u32(b.directoryOffsets()[0]));
        const std::string path = write("cyclic_ifd.tif", bytes);
        onModal([](QWidget* w) {
            QCOMPARE(pageText(w), QStringLiteral("1 / 2"));
            click(w, "last");
            QCOMPARE(pageText(w), QStringLiteral("2 / 2"));
            click(w, "close");
        });
        QCOMPARE(shxDlgTagDump(nullptr, path.c_str(), nullptr), 0);
    }

    void failuresAreShownAndReturnTheReadersCode()
    {
        struct Case {
            std::string path;
            int code;
            const char* text;
        };
        const std::string noEntries = write("no_entries.tif", std::string("II*\0\x08\0\0\0\0\0", 10));
        const Case cases[] = {
            {m_dir.filePath(QStringLiteral("missing.tif")).toStdString(), -300, "ﾌｧｲﾙを開けません"},
            {write("not_tiff.tif", "JFIF....garbage"), -303, "ﾌｧｲﾙを開けません"},
            {noEntries, -307, "タグ読み込みに失敗しました"},
        };
        for (const Case& c : cases) {
            m_ui->messages.clear();
            int result = 1;
            QCOMPARE(shxDlgTagDump(nullptr, c.path.c_str(), &result), c.code);
            QCOMPARE(result, c.code);
            QCOMPARE(m_ui->messages.size(), size_t(1));
            QCOMPARE(m_ui->messages[0].text, tnw::platform::sjis(c.text));
            QCOMPARE(m_ui->messages[0].title, std::string("tnwsheet"));
        }
        QCOMPARE(shxDlgTagDump(nullptr, nullptr, nullptr), -300);
    }

private:
    std::string write(const char* name, const std::string& bytes)
    {
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes.data(), qint64(bytes.size()));
        return path.toStdString();
    }

    std::shared_ptr<RecorderUi> m_ui;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TagDumpDialogTest)
#include "tag_dump_dialog_guitest.moc"
