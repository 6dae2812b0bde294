#include "app/cli/command_line_objects.h"

#include "common/platform/cp932.h"
#include "support/in_folder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace tnw::app;
using tnw::platform::sjis;
using tnw::test::InFolder;
using tnw::test::TempDir;

namespace {

class ObjectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_dir.file("box/sub1"));
        std::filesystem::create_directories(m_dir.file("box/sub2"));
        std::filesystem::create_directories(m_dir.file("Box"));
        for (const char* f : {"box/a.jpg", "box/b.jpg", "Box/c.jpg", "box/和紙.jpg"})
            ASSERT_TRUE(tnw::test::writeFile(m_dir.file(f), "x"));
    }

    int collect(const std::vector<std::string>& args)
    {
        return collectObjects(args, m_objects);
    }

    TempDir m_dir;
    CommandLineObjects m_objects;
};

}  // namespace

TEST_F(ObjectsTest, FilesOfOneFolderKeepTheirOrder)
{
    ASSERT_EQ(collect({m_dir.file("box/b.jpg"), m_dir.file("box/和紙.jpg"),
                       m_dir.file("box/a.jpg")}),
              0);
    const std::vector<std::string> expected = {m_dir.file("box/b.jpg"),
                                               m_dir.file("box/") + sjis("和紙.jpg"),
                                               m_dir.file("box/a.jpg")};
    EXPECT_EQ(m_objects.files, expected);
    EXPECT_TRUE(m_objects.folders.empty());
    EXPECT_FALSE(m_objects.isFolders());
    EXPECT_EQ(m_objects.commonFolder, m_dir.file("box"));
}

TEST_F(ObjectsTest, FoldersAndRelativePathsAreMadeFull)
{
    InFolder in(m_dir.path());
    ASSERT_EQ(collect({"box/sub2/", "./box/sub1"}), 0);
    const std::vector<std::string> expected = {m_dir.file("box/sub2"), m_dir.file("box/sub1")};
    EXPECT_EQ(m_objects.folders, expected);
    EXPECT_TRUE(m_objects.isFolders());
    EXPECT_EQ(m_objects.commonFolder, m_dir.file("box"));
}

TEST_F(ObjectsTest, MissingObjectIsRefused)
{
    EXPECT_EQ(collect({m_dir.file("box/a.jpg"), m_dir.file("box/none.jpg")}), kObjectNotFound);
}

TEST_F(ObjectsTest, FirstErrorEndsTheScan)
{
    // The missing file comes before the mix, so the mix is never reported.
    EXPECT_EQ(
        collect({m_dir.file("box/none.jpg"), m_dir.file("box/sub1"), m_dir.file("box/a.jpg")}),
        kObjectNotFound);
    EXPECT_EQ(collect({m_dir.file("box/a.jpg"), m_dir.file("Box/c.jpg"), m_dir.file("x.jpg")}),
              kObjectOtherFolder);
}

TEST_F(ObjectsTest, FolderComparisonIsExact)
{
    // "box" and "Box" are two folders on this file system.
    EXPECT_EQ(collect({m_dir.file("box/a.jpg"), m_dir.file("Box/c.jpg")}), kObjectOtherFolder);
    EXPECT_EQ(collect({m_dir.file("box/a.jpg"), m_dir.file("box/sub1/../b.jpg")}), 0);
}

TEST_F(ObjectsTest, FilesAndFoldersAreNotMixed)
{
    EXPECT_EQ(collect({m_dir.file("box/sub1"), m_dir.file("box/a.jpg")}), kObjectMixed);
    EXPECT_EQ(collect({m_dir.file("box/a.jpg"), m_dir.file("box/sub1")}), kObjectMixed);
}

TEST_F(ObjectsTest, NoObjectAtAll)
{
    EXPECT_EQ(collect({}), kObjectNone);
}

TEST_F(ObjectsTest, BadNamesAreRefused)
{
    EXPECT_EQ(collect({""}), kObjectBadName);
    // No code page 932 form: never mangled into another name.
    EXPECT_EQ(collect({m_dir.file("box/\xF0\x9F\x98\x80.jpg")}), kObjectBadName);
    EXPECT_EQ(collect({m_dir.file("box/\xFF.jpg")}), kObjectBadName);
    // 259 bytes is the longest; a relative name that only becomes too long when made full is
    // refused as well.
    EXPECT_EQ(collect({"/" + std::string(258, 'a')}), kObjectNotFound);
    EXPECT_EQ(collect({"/" + std::string(259, 'a')}), kObjectBadName);
    InFolder in(m_dir.path());
    const std::string relative(259 - 1, 'r');
    EXPECT_EQ(collect({relative}), kObjectBadName);
    // The limit counts the code page 932 form: 259 bytes there are 388 in UTF-8.
    std::string kanji;
    for (int i = 0; i < 129; ++i)
        kanji += "漢";
    EXPECT_EQ(collect({"/" + kanji}), kObjectNotFound);
    EXPECT_EQ(collect({"/" + kanji + "a"}), kObjectBadName);
}

TEST_F(ObjectsTest, ObjectsInTheRootHaveTheRootAsFolder)
{
    ASSERT_EQ(collect({"/tmp", "/usr"}), 0);
    EXPECT_EQ(m_objects.commonFolder, "/");
}

TEST(ObjectMessages, EachCodeHasItsText)
{
    EXPECT_EQ(objectErrorMessage(kObjectBadName), sjis("不正な名前があります。"));
    EXPECT_EQ(objectErrorMessage(kObjectNotFound), sjis("ﾌｧｲﾙ/ﾌｫﾙﾀﾞでないｵﾌﾞｼﾞｪｸﾄがあります。"));
    EXPECT_EQ(objectErrorMessage(kObjectOtherFolder),
              sjis("同一ﾌｫﾙﾀﾞのｵﾌﾞｼﾞｪｸﾄだけをｻﾎﾟｰﾄします。"));
    EXPECT_EQ(objectErrorMessage(kObjectNone), sjis("ｵﾌﾞｼﾞｪｸﾄがありません。"));
    EXPECT_EQ(objectErrorMessage(kObjectMixed), sjis("ﾌｫﾙﾀﾞとﾌｧｲﾙの混在はｻﾎﾟｰﾄしていません。"));
    EXPECT_EQ(objectErrorMessage(kObjectFailed), sjis("ｵﾌﾞｼﾞｪｸﾄ解析中にｴﾗｰが発生しました。"));
    EXPECT_EQ(objectErrorMessage(-3), objectErrorMessage(kObjectFailed));
}
