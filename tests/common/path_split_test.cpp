// Path splitting and classification of ModulePaths.
#include "common/module_paths.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tnw::common;
using tnw::platform::sjis;
using tnw::test::TempDir;

TEST(PathSplit, FolderNameAndExtension)
{
    EXPECT_EQ(ModulePaths::folderOf("/scan/box1/p1.jpg"), "/scan/box1");
    EXPECT_EQ(ModulePaths::folderOf("/p1.jpg"), "/");
    EXPECT_EQ(ModulePaths::folderOf("p1.jpg"), "");
    EXPECT_EQ(ModulePaths::lastComponent("/scan/box1"), "box1");
    EXPECT_EQ(ModulePaths::nameOf("/scan/a.b.JPG"), "a.b");
    EXPECT_EQ(ModulePaths::extensionOf("/scan/a.b.JPG"), ".JPG");
    EXPECT_EQ(ModulePaths::extensionOf("/sc.an/readme"), "");
    // 表 (0x95 0x5C) in a name is one character.
    EXPECT_EQ(ModulePaths::nameOf("/" + sjis("表") + "/" + sjis("表紙.jpg")), sjis("表紙"));
}

TEST(PathSplit, FolderMarkCutsBeforeTheCharacterPrecedingIt)
{
    EXPECT_EQ(ModulePaths::cutFolderMark("/scan/[.]"), "/scan");
    EXPECT_EQ(ModulePaths::cutFolderMark("/scan/" + sjis("表") + "[.]"), "/scan/");
    EXPECT_EQ(ModulePaths::cutFolderMark("[.]"), "");
    EXPECT_EQ(ModulePaths::cutFolderMark("/scan/a.jpg"), "/scan/a.jpg");
}

TEST(PathSplit, SourceNamesOfFilesFoldersAndTheRoot)
{
    TempDir dir;
    ASSERT_TRUE(tnw::platform::createFolder(dir.path() + "/box.v1"));
    const LocalTime t{2026, 12, 7, 9, 5, 3};
    SourceNames n = ModulePaths::sourceNames(dir.path() + "/box.v1", t);
    EXPECT_EQ(n.source, "box.v1");  // a folder keeps its whole name
    EXPECT_EQ(n.parent, ModulePaths::lastComponent(dir.path()));
    n = ModulePaths::sourceNames(dir.path() + "/box.v1/p1.jpg", t);
    EXPECT_EQ(n.source, "p1");
    EXPECT_EQ(n.parent, "box.v1");
    n = ModulePaths::sourceNames("/", t);
    EXPECT_EQ(n.source, "20261207_090503");
    EXPECT_EQ(n.parent, "");
}

TEST(PathClassify, EveryKindOnAFileAFolderAndNothing)
{
    TempDir dir;
    const std::string file = dir.file("a.jpg");
    ASSERT_TRUE(tnw::test::writeFile(file, "x"));
    const std::string missing = dir.file("none");
    std::string full;

    EXPECT_EQ(ModulePaths::classify(file, kClassifyWhat, full), kIsFile);
    EXPECT_EQ(full, file);
    EXPECT_EQ(ModulePaths::classify(dir.path(), kClassifyWhat, full), kIsFolder);
    EXPECT_EQ(ModulePaths::classify(missing, kClassifyWhat, full), kNotFound);

    EXPECT_EQ(ModulePaths::classify(file, kClassifyFile, full), 0);
    EXPECT_EQ(ModulePaths::classify(dir.path(), kClassifyFile, full), kWrongKind);
    EXPECT_EQ(ModulePaths::classify(missing, kClassifyFile, full), kNotFound);

    EXPECT_EQ(ModulePaths::classify(dir.path(), kClassifyFolder, full), 0);
    EXPECT_EQ(ModulePaths::classify(file, kClassifyFolder, full), kFileNotFolder);
    EXPECT_EQ(ModulePaths::classify(missing, kClassifyFolder, full), kNotFound);

    EXPECT_EQ(ModulePaths::classify(dir.path(), kClassifyOutputFolder, full), 0);
    EXPECT_EQ(ModulePaths::classify(file, kClassifyOutputFolder, full), kWrongKind);
    EXPECT_EQ(ModulePaths::classify(missing, kClassifyOutputFolder, full), kNoParent);
    EXPECT_EQ(ModulePaths::classify("/", kClassifyOutputFolder, full), 0);

    EXPECT_EQ(ModulePaths::classify(file, kClassifyOutputFile, full), 0);
    EXPECT_EQ(ModulePaths::classify(missing + ".pdf", kClassifyOutputFile, full), 0);
    EXPECT_EQ(ModulePaths::classify(dir.path(), kClassifyOutputFile, full), kWrongKind);
    EXPECT_EQ(ModulePaths::classify(missing + "/x.pdf", kClassifyOutputFile, full), kNoParent);
    EXPECT_EQ(ModulePaths::classify(file + "/x.pdf", kClassifyOutputFile, full), kNoParent);
}

TEST(PathClassify, RelativePathsAreCompletedAgainstTheCurrentFolder)
{
    TempDir dir;
    ASSERT_TRUE(tnw::test::writeFile(dir.file("a.jpg"), "x"));
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    std::string full;
    const int rc = ModulePaths::classify("a.jpg", kClassifyWhat, full);
    const int rcEmpty = ModulePaths::classify("", kClassifyWhat, full);
    const std::string emptyFull = full;
    std::filesystem::current_path(old);
    EXPECT_EQ(rc, kIsFile);
    EXPECT_EQ(rcEmpty, kIsFolder);
    EXPECT_EQ(emptyFull, dir.path());
}

TEST(PathClassify, FullPathsOf260BytesOrMoreAreRefused)
{
    std::string full;
    const std::string p259 = "/" + std::string(258, 'a');
    EXPECT_EQ(ModulePaths::classify(p259, kClassifyWhat, full), kNotFound);
    EXPECT_EQ(ModulePaths::classify(p259 + "a", kClassifyWhat, full), kBadPath);
    EXPECT_EQ(ModulePaths::classify(p259 + "a", kClassifyOutputFile, full), kBadPath);
}
