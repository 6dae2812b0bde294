// The folder tree model (lazy listing, typed-path walk, hidden and bad names, refresh), the
// batch reports, the address text and the folder list's rows and cells.
#include "app/core/text/address_text.h"
#include "app/core/tree/batch_report.h"
#include "app/core/tree/folder_list_model.h"
#include "app/core/tree/folder_tree_model.h"
#include "common/platform/cp932.h"
#include "common/platform/locale_compare.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <unistd.h>

using namespace tnw::app;
using tnw::platform::sjis;

namespace {

// A name with no code page 932 form (an emoji), as raw UTF-8 on disk.
const char kBadName[] = "\xF0\x9F\x98\x80x";

void makeDirs(const QString& root, const QStringList& dirs)
{
    for (const QString& d : dirs)
        QVERIFY(QDir(root).mkpath(d));
}

void touch(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

QStringList childNames(const FolderTreeModel& model, const QModelIndex& parent)
{
    QStringList names;
    for (int r = 0; r < model.rowCount(parent); ++r)
        names << model.index(r, 0, parent).data().toString();
    return names;
}

// The tmp root in code page 932 (ASCII here).
std::string cp(const QString& path)
{
    return path.toStdString();
}

}  // namespace

class TreeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tnw::platform::setLocaleCompareMode(tnw::platform::LocaleCompareMode::C); }

    void childrenAreListedOnlyWhenFetched()
    {
        QTemporaryDir dir;
        makeDirs(dir.path(), {"top/b", "top/a/inner", "top/.hidden", "top/c"});
        touch(dir.filePath("top/file.jpg"));
        FolderTreeModel model;
        const QModelIndex top = model.locate(cp(dir.filePath("top")));
        QVERIFY(top.isValid());
        QCOMPARE(model.rowCount(top), 0);
        QVERIFY(model.canFetchMore(top));
        QVERIFY(model.hasChildren(top));  // asked without listing
        model.fetchMore(top);
        QVERIFY(!model.canFetchMore(top));
        QCOMPARE(childNames(model, top), (QStringList{"a", "b", "c"}));  // no file, no dot-folder
        const QModelIndex a = model.index(0, 0, top);
        QVERIFY(model.hasChildren(a));
        QVERIFY(!model.hasChildren(model.index(1, 0, top)));
        QCOMPARE(model.rowCount(a), 0);
        QCOMPARE(model.pathOf(a), cp(dir.filePath("top/a")));
        QCOMPARE(model.parent(a), top);
        QCOMPARE(model.rootIndex().data().toString(), QStringLiteral("/"));
    }

    void theOrderIsTheGivenComparison()
    {
        QTemporaryDir dir;
        makeDirs(dir.path(), {"o/x2", "o/x10", "o/x1"});
        FolderTreeModel model;
        model.setCompare([](std::string_view a, std::string_view b) {
            return a.size() != b.size() ? int(a.size()) - int(b.size()) : a.compare(b);
        });
        const QModelIndex o = model.locate(cp(dir.filePath("o")));
        model.fetchMore(o);
        QCOMPARE(childNames(model, o), (QStringList{"x1", "x2", "x10"}));
    }

    void aNameWithoutCp932FormIsGreyedAndLast()
    {
        QTemporaryDir dir;
        makeDirs(dir.path(), {QString("p/") + QString::fromUtf8(kBadName), "p/z"});
        FolderTreeModel model;
        const QModelIndex p = model.locate(cp(dir.filePath("p")));
        model.fetchMore(p);
        QCOMPARE(model.rowCount(p), 2);
        const QModelIndex bad = model.index(1, 0, p);
        QCOMPARE(bad.data().toString(), QString::fromUtf8(kBadName));
        QVERIFY(!(model.flags(bad) & Qt::ItemIsEnabled));
        QVERIFY(!(model.flags(bad) & Qt::ItemIsSelectable));
        QVERIFY(!model.hasChildren(bad));
        QVERIFY(!model.canFetchMore(bad));
        QCOMPARE(bad.data(Qt::ToolTipRole).toString(), FolderTreeModel::badNameTip());
        QCOMPARE(model.pathOf(bad), std::string());
        QVERIFY(model.childFolders(p) == std::vector<std::string>{cp(dir.filePath("p/z"))});
    }

    void aTypedPathThroughAHiddenFolderInsertsItUntilARefresh()
    {
        QTemporaryDir dir;
        makeDirs(dir.path(), {"h/.config/deep", "h/seen"});
        FolderTreeModel model;
        const QModelIndex deep = model.locate(cp(dir.filePath("h/.config/deep")));
        QVERIFY(deep.isValid());
        QCOMPARE(model.pathOf(deep), cp(dir.filePath("h/.config/deep")));
        const QModelIndex h = model.findListed(cp(dir.filePath("h")));
        QCOMPARE(childNames(model, h), (QStringList{".config", "seen"}));

        QVERIFY(!model.locate(cp(dir.filePath("h/missing"))).isValid());
        touch(dir.filePath("h/file"));
        QVERIFY(!model.locate(cp(dir.filePath("h/file"))).isValid());
        QVERIFY(!model.locate("relative/path").isValid());

        model.refresh();
        QCOMPARE(childNames(model, h), QStringList{"seen"});
    }

    void aFolderUnderAnUnlistableOneIsStillReached()
    {
        if (::geteuid() == 0)
            QSKIP("permissions do not hold for root");
        QTemporaryDir dir;
        makeDirs(dir.path(), {"locked/inside"});
        QFile::setPermissions(dir.filePath("locked"), QFile::ExeOwner);  // search, no read
        FolderTreeModel model;
        const QModelIndex locked = model.locate(cp(dir.filePath("locked")));
        model.fetchMore(locked);
        QVERIFY(!model.isListable(locked));
        QCOMPARE(model.rowCount(locked), 0);
        QVERIFY(model.locate(cp(dir.filePath("locked/inside"))).isValid());
        QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner);
    }

    void refreshKeepsTheItemsThatStay()
    {
        QTemporaryDir dir;
        makeDirs(dir.path(), {"r/keep/sub", "r/gone"});
        FolderTreeModel model;
        const QPersistentModelIndex sub = model.locate(cp(dir.filePath("r/keep/sub")));
        QVERIFY(sub.isValid());
        QVERIFY(QDir(dir.filePath("r/gone")).removeRecursively());
        makeDirs(dir.path(), {"r/new"});
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.refresh();
        QVERIFY(sub.isValid());
        QCOMPARE(model.pathOf(sub), cp(dir.filePath("r/keep/sub")));
        QCOMPARE(childNames(model, model.findListed(cp(dir.filePath("r")))),
                 (QStringList{"keep", "new"}));
        const QModelIndex r = model.findListed(cp(dir.filePath("r")));
        int removedHere = 0;
        for (const QList<QVariant>& call : removed)
            removedHere += call.at(0).value<QModelIndex>() == r ? 1 : 0;
        QCOMPARE(removedHere, 1);
    }

    void aBatchReportsEachChildFirstAsANewChoice()
    {
        const std::vector<std::string> kids{"/p/a", "/p/b", "/p/c"};
        const auto batch = batchReports("/p", 1, 1, kids);
        QCOMPARE(batch.size(), size_t(3));
        QCOMPARE(batch[0].path, std::string("/p/a"));
        QCOMPARE(batch[0].flag, 0);
        QCOMPARE(batch[2].flag, 1);
        for (const auto& single : {batchReports("/p", 0, 1, kids), batchReports("/p", 1, 0, kids),
                                   batchReports("/p", 1, 1, {})}) {
            QCOMPARE(single.size(), size_t(1));
            QCOMPARE(single[0].path, std::string("/p"));
            QCOMPARE(single[0].flag, 0);
        }
    }

    void addressTextRules()
    {
        QTemporaryDir dir;
        makeDirs(dir.path(), {"home/docs"});
        const std::string home = cp(dir.filePath("home"));
        QCOMPARE(checkAddress(QString(), home).result, AddressCheck::Empty);
        AddressCheck tilde = checkAddress(QStringLiteral("~/docs/"), home);
        QCOMPARE(tilde.result, AddressCheck::Folder);
        QCOMPARE(tilde.path, cp(dir.filePath("home/docs")));
        QCOMPARE(checkAddress(QStringLiteral("~"), home).path, home);
        QCOMPARE(checkAddress(QStringLiteral("~"), {}).result, AddressCheck::Missing);
        QCOMPARE(checkAddress(QStringLiteral("docs"), home).result, AddressCheck::Missing);
        QCOMPARE(checkAddress(dir.filePath("home/none"), home).result, AddressCheck::Missing);
        QCOMPARE(checkAddress(QStringLiteral("/") + QString(300, 'a'), home).result,
                 AddressCheck::Missing);
        QCOMPARE(checkAddress(QStringLiteral("/") + QString::fromUtf8(kBadName), home).result,
                 AddressCheck::BadName);
        const AddressCheck missing = checkAddress(QStringLiteral("/nowhere"), home);
        QCOMPARE(addressMessage(missing, QStringLiteral("/nowhere")),
                 QString::fromUtf8("/nowhere は存在しません。"));
    }

    void folderRowsCountOwnJpegsAndSkipLinksDotsAndBadNames()
    {
        QTemporaryDir dir;
        makeDirs(dir.path(), {"f/one", "f/two", "f/.dot", QString("f/") + QString::fromUtf8(kBadName)});
        touch(dir.filePath("f/own.jpg"));
        touch(dir.filePath("f/one/a.jpg"));
        touch(dir.filePath("f/one/b.JPG"));
        touch(dir.filePath("f/one/c.jpeg"));  // not listed
        touch(dir.filePath("f/one/d.tif"));
        QVERIFY(QFile::link(dir.filePath("f/one"), dir.filePath("f/link")));
        const FolderRowsResult r = listChildFolderRows(cp(dir.filePath("f")), true, {});
        QVERIFY(r.listable);
        QCOMPARE(r.excluded, 1);
        QCOMPARE(r.rows.size(), size_t(3));
        QCOMPARE(r.rows[0].name, std::string("."));
        QCOMPARE(r.rows[0].depth, 0);
        QCOMPARE(r.rows[0].jpegCount, 1);
        QCOMPARE(r.rows[1].name, std::string("one"));
        QCOMPARE(r.rows[1].jpegCount, 2);
        QVERIFY(r.rows[1].checked);
        QCOMPARE(r.rows[2].jpegCount, 0);
        QVERIFY(!r.rows[2].checked);

        int asked = 0;
        const FolderRowsResult stopped = listChildFolderRows(
            cp(dir.filePath("f")), false, [&](const std::string&, int) { return ++asked < 2; });
        QVERIFY(stopped.cancelled);
        QCOMPARE(stopped.rows.size(), size_t(0));
        QVERIFY(!listChildFolderRows("/nonexistent/folder", false, {}).listable);
    }

    void folderListCellsAndLayouts()
    {
        QCOMPARE(relativeName("/a/b", "/a/b"), std::string("."));
        QCOMPARE(relativeName("/a/b", "/a/b/c/d"), std::string("c/d"));
        QCOMPARE(relativeName("/", "/x"), std::string("x"));
        QCOMPARE(jpegCountText(0), QString());
        QCOMPARE(jpegCountText(12), QStringLiteral("12"));
        std::tm tm{};
        tm.tm_year = 2005 - 1900;
        tm.tm_mon = 2;
        tm.tm_mday = 4;
        tm.tm_hour = 7;
        tm.tm_min = 9;
        tm.tm_isdst = -1;
        const std::int64_t t = std::mktime(&tm);
        QCOMPARE(folderDateText(t, false), QStringLiteral("2005/03/04 07:09"));
        QCOMPARE(folderDateText(t, true), QStringLiteral("05/03/04 07:09"));

        FolderListModel model;
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("jpeg数"));
        model.setLayoutKind(26);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("親の名前"));
        QCOMPARE(FolderListModel::defaultWidths(26), (std::vector<int>{120, 120, 120}));
        QCOMPARE(FolderListModel::defaultWidths(25), (std::vector<int>{120, 120, 32}));
    }

    void folderListSortIsStableBothWays()
    {
        FolderListModel model;
        model.setRows({{"/r/a", {}, "a", 1, 5, 2, true},
                       {"/r/b", {}, "b", 1, 5, 1, true},
                       {"/r/c", {}, "c", 1, 3, 2, true}});
        model.sortRows(1, 1);  // by date; a and b tie
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("c"));
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("a"));
        model.sortRows(1, -1);
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("a"));
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("b"));
        QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("c"));
        QVERIFY(model.setData(model.index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!model.rows()[2].checked);
    }
};

QTEST_GUILESS_MAIN(TreeTest)
#include "tree_guitest.moc"
