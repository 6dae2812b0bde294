// The lists without widgets: the scan's rules, the page rows and marks, the sorts, the cells
// and the thumbnail settings.
#include "app/core/image_fixtures.h"
#include "app/core/lists/folder_scan.h"
#include "app/core/lists/list_cells.h"
#include "app/core/lists/list_document.h"
#include "app/core/lists/list_models.h"
#include "app/core/lists/list_sort.h"
#include "app/core/lists/rename_number.h"
#include "app/core/settings/tnl_settings.h"
#include "common/platform/profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

using namespace tnw::app;

namespace {

void touch(const std::string& path, const std::string& bytes = "x")
{
    ASSERT_TRUE(tnw::test::writeFile(path, bytes));
}

std::vector<std::string> names(const ScanResult& r)
{
    std::vector<std::string> out;
    for (const ScannedFile& f : r.files)
        out.push_back(f.folder.substr(f.folder.rfind('/') + 1) + "/" + f.name);
    std::sort(out.begin(), out.end());
    return out;
}

FileEntry entry(const std::string& name, std::uint64_t size, std::int64_t modified)
{
    FileEntry e;
    e.path = "/d/" + name;
    e.name = name;
    e.size = size;
    e.modified = modified;
    return e;
}

}  // namespace

TEST(FolderScan, SubFoldersOffTakesTheChosenFoldersJpgFilesOnly)
{
    tnw::test::TempDir dir;
    touch(dir.file("A.JPG"));
    touch(dir.file("b.jpg"));
    touch(dir.file("c.tif"));
    touch(dir.file(".hidden.jpg"));
    ::mkdir(dir.file("sub").c_str(), 0700);
    touch(dir.file("sub/x.jpg"));
    const ScanResult r = scanFolder(dir.path(), scanRuleOf(0, 0, 1, 0));
    EXPECT_EQ(r.files.size(), 2u);
    EXPECT_EQ(r.folders, 1);  // never descended
}

TEST(FolderScan, LevelRulesAndLinksToFolders)
{
    tnw::test::TempDir dir;
    ::mkdir(dir.file("a").c_str(), 0700);
    ::mkdir(dir.file("a/b").c_str(), 0700);
    ::mkdir(dir.file("c").c_str(), 0700);
    touch(dir.file("top.jpg"));
    touch(dir.file("a/one.jpg"));
    touch(dir.file("a/b/two.jpg"));
    touch(dir.file("c/three.jpg"));
    // A link back to the top: never followed, not a sub-folder, no file twice.
    ASSERT_EQ(::symlink(dir.path().c_str(), dir.file("a/b/loop").c_str()), 0);

    using V = std::vector<std::string>;
    EXPECT_EQ(names(scanFolder(dir.path(), scanRuleOf(1, 0, 1, 0))),
              (V{"a/one.jpg", "b/two.jpg", "c/three.jpg"}));
    EXPECT_EQ(names(scanFolder(dir.path(), scanRuleOf(1, 0, 1, 1))).size(), 4u);
    EXPECT_EQ(names(scanFolder(dir.path(), scanRuleOf(1, 1, 1, 0))),
              (V{"a/one.jpg", "c/three.jpg"}));
    // Deepest folders: b (its only entry is a link) and c.
    EXPECT_EQ(names(scanFolder(dir.path(), scanRuleOf(1, 2, 1, 0))),
              (V{"b/two.jpg", "c/three.jpg"}));
    // A chosen folder without sub-folders is itself the deepest.
    EXPECT_EQ(names(scanFolder(dir.file("c"), scanRuleOf(1, 2, 1, 0))), (V{"c/three.jpg"}));
    // The level rule never descends below its level.
    const ScanResult level1 = scanFolder(dir.path(), scanRuleOf(1, 1, 1, 0));
    EXPECT_EQ(level1.folders, 3);
}

TEST(FolderScan, StoppingKeepsWhatWasFoundAndUnreadableFoldersAreCounted)
{
    tnw::test::TempDir dir;
    for (const char* sub : {"a", "b", "c"}) {
        ::mkdir(dir.file(sub).c_str(), 0700);
        touch(dir.file(std::string(sub) + "/p.jpg"));
    }
    int asked = 0;
    const ScanResult r = scanFolder(dir.path(), scanRuleOf(1, 0, 1, 0),
                                    [&](const std::string&, int) { return ++asked < 3; });
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.files.size(), 1u);

    if (::geteuid() != 0) {  // root reads everything
        ::chmod(dir.file("b").c_str(), 0);
        const ScanResult partial = scanFolder(dir.path(), scanRuleOf(1, 0, 1, 0));
        ::chmod(dir.file("b").c_str(), 0700);
        EXPECT_EQ(partial.files.size(), 2u);
        EXPECT_EQ(partial.excluded, 1);
    }
    EXPECT_FALSE(scanFolder(dir.file("missing"), scanRuleOf(0, 0, 1, 0)).listable);
}

TEST(ListDocument, PageRowsOfAMultiPageTiffFollowTheFilesMark)
{
    tnw::test::TempDir dir;
    tnw::test::TiffPage page;
    page.row = std::vector<std::uint8_t>(16, 0);
    const std::string tif = dir.file("three.tif");
    ASSERT_TRUE(tnw::test::writeTiff(tif, {page, page, page}));
    ListDocument doc;
    FileEntry jpeg = entry("a.jpg", 1, 1);
    FileEntry tiff = entry("three.tif", 2, 2);
    tiff.path = tif;
    tiff.kind = 12;
    doc.reset({jpeg, tiff});
    doc.buildPages();
    PageListModel pages(&doc);
    ASSERT_EQ(pages.rowCount(), 4);
    for (int r = 1; r < 4; ++r) {
        EXPECT_EQ(pages.index(r, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
        EXPECT_EQ(pages.index(r, 1).data().toString(), QString::number(r));
        // Rows of a file with several pages take their mark from the file list.
        EXPECT_FALSE(pages.flags(pages.index(r, 0)) & Qt::ItemIsUserCheckable);
    }
    EXPECT_TRUE(pages.flags(pages.index(0, 0)) & Qt::ItemIsUserCheckable);

    FileListModel files(&doc);
    files.setData(files.index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
    for (int r = 1; r < 4; ++r)
        EXPECT_EQ(pages.index(r, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    pages.setData(pages.index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(files.index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);

    // A new file order regroups the page rows, each file's pages in order.
    doc.setFileOrder({1, 0});
    EXPECT_EQ(doc.pageRows().front().entry, 1);
    EXPECT_EQ(doc.pageRows().back().entry, 0);

    // "中止" during the build keeps the rows made before it.
    doc.reset({tiff, jpeg});
    std::vector<int> asked;
    EXPECT_FALSE(doc.buildPages([&](int done) {
        asked.push_back(done);
        return done < 1;
    }));
    EXPECT_EQ(asked, (std::vector<int>{0, 1}));
    EXPECT_EQ(pages.rowCount(), 3);
}

TEST(ListSort, HeaderClicksAndStableDirections)
{
    SortState s{0, 0};
    s = nextSort(s, 2);
    EXPECT_EQ(s.direction, 1);
    s = nextSort(s, 2);
    EXPECT_EQ(s.direction, -1);
    s = nextSort(s, 2);
    EXPECT_EQ(s.direction, 1);
    s = nextSort({2, -1}, 1);  // a new column keeps the direction
    EXPECT_EQ(s.column, 1);
    EXPECT_EQ(s.direction, -1);
    EXPECT_EQ(usableSort(40, 1, 12).direction, 0);
    EXPECT_EQ(usableSort(1, -7, 12).direction, -1);
    EXPECT_EQ(pageOrderForColumn(1, false), 0);
    EXPECT_EQ(pageOrderForColumn(2, false), 2);
    EXPECT_EQ(pageOrderForColumn(0, false), 1);
    EXPECT_EQ(pageOrderForColumn(4, true), 2);

    ListDocument doc;
    doc.reset({entry("p10.jpg", 5, 3), entry("p2.jpg", 5, 1), entry("p1.jpg", 9, 2)});
    SortKeys keys;
    // Names in natural order.
    EXPECT_EQ(sortedFileOrder(doc, {0, 1}, false, keys), (std::vector<int>{2, 1, 0}));
    // Ties keep their order in both directions (never a reversed list).
    EXPECT_EQ(sortedFileOrder(doc, {1, 1}, false, keys), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(sortedFileOrder(doc, {1, -1}, false, keys), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(sortedFileOrder(doc, {2, 1}, false, keys), (std::vector<int>{1, 2, 0}));
    // Order 3: the number of each name, asked once per entry.
    int asked = 0;
    keys.pageOrder = 3;
    keys.number = [&](const FileEntry& e) {
        ++asked;
        return -static_cast<long long>(e.name.size());
    };
    EXPECT_EQ(sortedFileOrder(doc, {0, 1}, false, keys).front(), 0);
    EXPECT_EQ(asked, 3);
    // A column without a sort rule leaves the order.
    EXPECT_EQ(sortedFileOrder(doc, {7, 1}, false, keys), doc.fileOrder());

    // The window's number comes from the library's rename rule: trailing digits (type 1) put
    // p2 before p10; a name without digits reads as 0.
    ConvSettings conv{};
    conv.nNameInType = 1;
    EXPECT_EQ(renameNumber(conv, "/scan/p10.jpg"), 10);
    EXPECT_EQ(renameNumber(conv, "/scan/p2.jpg"), 2);
    EXPECT_EQ(renameNumber(conv, "/scan/cover.jpg"), 0);
    keys.number = [&conv](const FileEntry& e) { return renameNumber(conv, e.path); };
    EXPECT_EQ(sortedFileOrder(doc, {0, 1}, false, keys), (std::vector<int>{2, 1, 0}));
}

TEST(ListCells, TextsOfTheColumns)
{
    using tnw::image::PageInfo;
    EXPECT_EQ(colourCountText(1), "2");
    EXPECT_EQ(colourCountText(8), "256");
    EXPECT_EQ(colourCountText(24), "1667M");
    EXPECT_EQ(fileListSizeText(1023), "0KB");
    EXPECT_EQ(fileListSizeText(1024), "2KB");
    EXPECT_EQ(pageListSizeText(2047), "1 KB");
    PageInfo jbig;
    jbig.format = 12;
    jbig.compression = tnw::image::displayCompression(34661);
    EXPECT_EQ(compressionText(jbig), "JBIG");
    PageInfo failed;
    EXPECT_EQ(unsupportedText(failed), "-");
    failed.format = 0;
    EXPECT_EQ(unsupportedText(failed), QString::fromUtf8("未対応"));
    // Density unit 0: no millimetres, the short status form.
    PageInfo noUnit;
    noUnit.format = 11;
    noUnit.width = 640;
    noUnit.height = 480;
    noUnit.bitsPerPixel = 24;
    EXPECT_TRUE(millimetreText(noUnit, 0).isEmpty());
    EXPECT_EQ(pageDescriptionText(noUnit, nullptr), QString::fromUtf8("640X480 - 1667万色"));
}

TEST(TnlSettings, LoadClampsAndSaveWritesTheDerivedBox)
{
    tnw::test::TempDir dir;
    const std::string ini = dir.file("Korvelin.ini");
    touch(ini, "[TNL]\nnMode=4\nnPartial=1\nnSizeNo=11\nnXdots=30\nnYdots=2000\n"
               "szBackPrt=1,2\nszBackMove=300,-5,x\n");
    TnlSettings s = LoadTnlSettings(ini);
    EXPECT_EQ(s.nMode, 3);
    EXPECT_EQ(s.nPartial, 0);
    EXPECT_EQ(s.box(), QSize(60, 1200));
    EXPECT_EQ(s.backPrt, QColor(0, 0, 255));     // fewer than three fields: the default
    EXPECT_EQ(s.backMove, QColor(255, 0, 0));    // clamped field by field
    s.nSizeNo = 2;
    ASSERT_TRUE(SaveTnlSettings(s, ini));
    EXPECT_EQ(tnw::platform::GetPrivateProfileInt("TNL", "nXdots", 0, ini.c_str()), 100);
    EXPECT_EQ(tnw::platform::GetPrivateProfileInt("TNL", "nYdots", 0, ini.c_str()), 100);
    char text[16];
    tnw::platform::GetPrivateProfileString("TNL", "szBackMove", "", text, sizeof text, ini.c_str());
    EXPECT_STREQ(text, "255,000,000");
    EXPECT_EQ(LoadTnlSettings(ini).box(), QSize(100, 100));
}
