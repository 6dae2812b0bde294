#include "common/platform/files.h"

#include "common/platform/cp932.h"
#include "support/in_folder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace tnw::platform;
using tnw::test::readFile;
using tnw::test::InFolder;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

}  // namespace

TEST(Files, FullPathNormalisesLexicallyAgainstTheCurrentFolder)
{
    TempDir dir;
    InFolder in(dir.path());
    std::string full;
    ASSERT_TRUE(fullPath("a/./b/../c", full));
    EXPECT_EQ(full, dir.path() + "/a/c");
    ASSERT_TRUE(fullPath("", full));
    EXPECT_EQ(full, dir.path());
    ASSERT_TRUE(fullPath("/x//y/../z/", full));
    EXPECT_EQ(full, "/x/z");
    ASSERT_TRUE(fullPath("/../../x", full));
    EXPECT_EQ(full, "/x");
    // 表 ends in 5C ('\'), ソ in 5C too: double-byte names pass through unchanged.
    ASSERT_TRUE(fullPath("/" + sjis("表ソ") + "/.", full));
    EXPECT_EQ(full, "/" + sjis("表ソ"));
    EXPECT_TRUE(isRootPath("/"));
    EXPECT_TRUE(isRootPath("//."));
    EXPECT_TRUE(isRootPath("/tmp/.."));
    EXPECT_FALSE(isRootPath("/tmp"));
    EXPECT_FALSE(isRootPath(""));
}

TEST(Files, ListingReportsKindsSizesAndNamesWithoutCodePage932Form)
{
    TempDir dir;
    ASSERT_TRUE(writeFile(dir.file("表.jpg"), "12345"));
    ASSERT_TRUE(writeFile(dir.file("smile\xF0\x9F\x98\x80.jpg"), "x"));  // an emoji
    ASSERT_TRUE(writeFile(dir.file("yen¥.jpg"), "x"));  // would come back as "yen\.jpg"
    std::filesystem::create_directory(dir.file("sub"));
    std::filesystem::create_symlink(dir.file("nowhere"), dir.file("dangling"));
    std::filesystem::create_directory_symlink(dir.file("sub"), dir.file("to_sub"));
    ASSERT_EQ(::mkfifo(dir.file("w.jpg").c_str(), 0600), 0);

    std::vector<FolderEntry> entries;
    ASSERT_TRUE(listFolder(dir.path(), entries));
    ASSERT_EQ(entries.size(), 7u);  // in byte order of the operating-system names
    EXPECT_EQ(entries[0].name, "dangling");
    EXPECT_FALSE(entries[0].isFolder);
    EXPECT_TRUE(entries[0].isLink);
    EXPECT_TRUE(entries[1].badName);
    EXPECT_EQ(entries[1].name, "");
    EXPECT_EQ(entries[1].osName, "smile\xF0\x9F\x98\x80.jpg");
    EXPECT_EQ(entries[2].name, "sub");
    EXPECT_TRUE(entries[2].isFolder);
    EXPECT_FALSE(entries[2].isLink);
    EXPECT_TRUE(entries[3].isFolder);  // to_sub: a link, listed as what it points to
    EXPECT_TRUE(entries[3].isLink);
    EXPECT_TRUE(entries[4].isOther);   // w.jpg: a FIFO, listed but flagged
    EXPECT_EQ(entries[4].size, 0u);
    EXPECT_TRUE(entries[5].badName);
    EXPECT_EQ(entries[5].osName, "yen¥.jpg");
    EXPECT_EQ(entries[6].name, sjis("表.jpg"));
    EXPECT_FALSE(entries[6].badName);
    EXPECT_FALSE(entries[6].isOther);
    EXPECT_EQ(entries[6].size, 5u);
    EXPECT_GT(entries[6].modified, 0);
    EXPECT_FALSE(listFolder(dir.file("missing"), entries));
    EXPECT_TRUE(entries.empty());
}

TEST(Files, KindSizeAndTimesOfAPath)
{
    TempDir dir;
    const std::string file = dir.path() + "/" + sjis("画像.jpg");
    std::string os;
    ASSERT_TRUE(toOsPath(file, os));
    ASSERT_TRUE(writeFile(os, "abc"));
    const timespec times[2] = {{1000000000, 0}, {1200000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, os.c_str(), times, 0), 0);

    FileInfo info;
    ASSERT_TRUE(fileInfo(file, info));
    EXPECT_EQ(info.kind, PathKind::File);
    EXPECT_EQ(info.size, 3u);
    EXPECT_EQ(info.accessed, 1000000000);
    EXPECT_EQ(info.modified, 1200000000);
    std::uint64_t size = 0;
    EXPECT_TRUE(fileSize(file, size));
    EXPECT_EQ(size, 3u);
    EXPECT_FALSE(fileSize(dir.path(), size));
    EXPECT_EQ(pathKind(dir.path()), PathKind::Folder);
    EXPECT_EQ(pathKind(dir.file("none")), PathKind::Missing);
    EXPECT_EQ(pathKind(dir.path() + "/\x81"), PathKind::Missing);  // not code page 932
    EXPECT_FALSE(fileInfo(dir.file("none"), info));
    EXPECT_EQ(info.kind, PathKind::Missing);
}

TEST(Files, FolderCreationOneLevelOrAll)
{
    TempDir dir;
    EXPECT_FALSE(createFolder(dir.file("a/b")));  // the parent is missing
    EXPECT_TRUE(createFolders(dir.file("a/b/c/")));
    EXPECT_EQ(pathKind(dir.file("a/b/c")), PathKind::Folder);
    EXPECT_FALSE(createFolder(dir.file("a")));  // it exists
    EXPECT_TRUE(createFolders(dir.file("a/b")));
    ASSERT_TRUE(writeFile(dir.file("f"), ""));
    EXPECT_FALSE(createFolders(dir.file("f/g")));  // a file is in the way
    EXPECT_FALSE(deleteFolder(dir.file("a/b")));    // not empty
    EXPECT_TRUE(deleteFolder(dir.file("a/b/c")));
    EXPECT_FALSE(deleteFile(dir.file("a/b")));      // a folder is not a file
    EXPECT_TRUE(deleteFile(dir.file("f")));
    EXPECT_FALSE(deleteFile(dir.file("f")));
}

TEST(Files, RenameAndCopyReplaceOnlyWhenAsked)
{
    TempDir dir;
    ASSERT_TRUE(writeFile(dir.file("a"), "A"));
    ASSERT_TRUE(writeFile(dir.file("b"), "B"));
    EXPECT_FALSE(renamePath(dir.file("a"), dir.file("b")));
    EXPECT_EQ(readFile(dir.file("b")), "B");
    EXPECT_TRUE(renamePath(dir.file("a"), dir.file("b"), true));
    EXPECT_EQ(readFile(dir.file("b")), "A");
    EXPECT_EQ(pathKind(dir.file("a")), PathKind::Missing);

    EXPECT_TRUE(copyFile(dir.file("b"), dir.file("c")));
    EXPECT_EQ(readFile(dir.file("c")), "A");
    ASSERT_TRUE(writeFile(dir.file("d"), "D"));
    EXPECT_FALSE(copyFile(dir.file("d"), dir.file("c")));
    EXPECT_TRUE(copyFile(dir.file("d"), dir.file("c"), true));
    EXPECT_EQ(readFile(dir.file("c")), "D");
    EXPECT_FALSE(copyFile(dir.file("missing"), dir.file("e")));
}

TEST(Files, AtomicWriteKeepsPermissionsAndReplacesALinksTarget)
{
    TempDir dir;
    ASSERT_TRUE(writeFile(dir.file("real.ini"), "old"));
    std::filesystem::permissions(dir.file("real.ini"), std::filesystem::perms(0600));
    std::filesystem::create_symlink("real.ini", dir.file("link.ini"));
    ASSERT_TRUE(writeFileAtomically(dir.file("link.ini"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(readFile(dir.file("real.ini")), "new");
    EXPECT_EQ(std::filesystem::status(dir.file("real.ini")).permissions(),
              std::filesystem::perms(0600));
    EXPECT_FALSE(writeFileAtomically(dir.path(), "x"));  // a folder is never replaced
    EXPECT_FALSE(writeFileAtomically(dir.file("no/x"), "x"));

    std::string bytes;
    EXPECT_TRUE(readFileBytes(dir.file("real.ini"), bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_FALSE(readFileBytes(dir.file("real.ini"), bytes, 2));  // larger than allowed
    EXPECT_FALSE(readFileBytes(dir.path(), bytes));
}

TEST(Files, OnlyRegularFilesAreOpenedForReading)
{
    TempDir dir;
    const std::string fifo = dir.file("pipe.jpg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string file = dir.file("a.jpg");
    ASSERT_TRUE(writeFile(file, "bytes"));
    const std::string device = dir.file("null.jpg");  // a character device under an image name
    ASSERT_EQ(::symlink("/dev/null", device.c_str()), 0);

    // A FIFO without a writer would block every one of these forever.
    for (const std::string& other : {fifo, device, dir.path()}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(openFile(other, "rb"), nullptr);
        EXPECT_EQ(openFile(other, "r+b"), nullptr);
        EXPECT_EQ(openRegularFile(other), -1);
        EXPECT_FALSE(isRegularFile(other));
        std::string bytes;
        EXPECT_FALSE(readFileBytes(other, bytes));
    }

    FILE* f = openFile(file, "rb");
    ASSERT_NE(f, nullptr);
    char buf[8] = {};
    EXPECT_EQ(std::fread(buf, 1, sizeof buf, f), 5u);  // blocking again: a plain read
    std::fclose(f);
    const int fd = openRegularFile(file);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    ::close(fd);
    EXPECT_TRUE(isRegularFile(file));
}
