#include "common/text_file.h"

#include "CTnwbuff.h"
#include "common/platform/cp932.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tnw::common::kTextLineMax;
using tnw::common::readLines;
using tnw::common::writeLines;
using tnw::test::TempDir;

namespace {

// Each block as its full bytes (size, without the terminating zero).
std::vector<std::string> blocks(CTnwbuff& list)
{
    std::vector<std::string> out;
    list.Rewind();
    while (list.Next() == kTnwBuffOk) out.emplace_back(list.Data(), list.Size());
    return out;
}

std::vector<std::string> readBack(const std::string& bytes, int keepLineEnds)
{
    TempDir dir;
    EXPECT_TRUE(tnw::test::writeFile(dir.file("in.txt"), bytes));
    CTnwbuff list;
    EXPECT_EQ(readLines(dir.file("in.txt"), list, keepLineEnds), 0);
    return blocks(list);
}

}  // namespace

TEST(TextFileRead, AcceptsLfAndCrLfAndKeepsTheLastLineWithoutLineFeed)
{
    EXPECT_EQ(readBack("one\r\ntwo\nthree", 0),
              (std::vector<std::string>{"one", "two", "three"}));
    // A lone CR is text; only a CR right before the LF belongs to the line end.
    EXPECT_EQ(readBack("a\rb\r\r\n", 0), (std::vector<std::string>{"a\rb\r"}));
    EXPECT_TRUE(readBack("", 0).empty());
}

TEST(TextFileRead, BlankLinesBecomeEmptyBlocksOfSizeOne)
{
    auto lines = readBack("a\r\n\r\nb\n\n", 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", std::string(1, '\0'), "b",
                                               std::string(1, '\0')}));
}

TEST(TextFileRead, KeepLineEndsLeavesOneLineFeed)
{
    EXPECT_EQ(readBack("a\r\nb\n\r\nc", 1), (std::vector<std::string>{"a\n", "b\n", "\n", "c"}));
}

TEST(TextFileRead, EndOfFileMarkAtTheEndIsDropped)
{
    EXPECT_EQ(readBack("a\r\nb\x1A", 0), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(readBack("a\r\n\x1A", 0), (std::vector<std::string>{"a", std::string(1, '\0')}));
    // Inside the text the byte is data, and kept when line ends are kept.
    EXPECT_EQ(readBack("x\x1Ay\n", 0), (std::vector<std::string>{"x\x1Ay"}));
    EXPECT_EQ(readBack("a\n\x1A", 1), (std::vector<std::string>{"a\n", "\x1A"}));
}

TEST(TextFileRead, LongLinesContinueInTheNextBlockWithoutLosingBytes)
{
    std::string exact(kTextLineMax, 'x');
    std::string longer = std::string(kTextLineMax, 'y') + "tail";
    auto lines = readBack(exact + "\r\n" + longer + "\n" + "end", 0);
    // A line of the full length is one block: its line end is not an extra blank line.
    EXPECT_EQ(lines, (std::vector<std::string>{exact, std::string(kTextLineMax, 'y'), "tail",
                                               "end"}));
    auto kept = readBack(exact + "\r\n", 1);
    EXPECT_EQ(kept, (std::vector<std::string>{exact + "\n"}));
}

TEST(TextFileRead, NulBytesInsideALineKeepTheLineAndTheRestOfTheFile)
{
    std::string bytes("\0lead\na\0b\nafter\n", 16);
    auto lines = readBack(bytes, 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string("\0lead", 5));
    EXPECT_EQ(lines[1], std::string("a\0b", 3));
    EXPECT_EQ(lines[2], "after");
}

TEST(TextFileRead, AppendsToTheListAndRefusesWhatItCannotUse)
{
    TempDir dir;
    ASSERT_TRUE(tnw::test::writeFile(dir.file("in.txt"), "new\n"));
    CTnwbuff list;
    ASSERT_EQ(list.AddString("old"), kTnwBuffOk);
    ASSERT_EQ(readLines(dir.file("in.txt"), list, 0), 0);
    EXPECT_EQ(list.Count(), 2);

    EXPECT_EQ(readLines(dir.file("missing.txt"), list, 0), -1);
    EXPECT_EQ(readLines(dir.path(), list, 0), -1);  // a folder cannot be read as lines
    list.FreeAll();
    EXPECT_EQ(readLines(dir.file("in.txt"), list, 0), kTnwBuffBadTag);

    CTnwbuff objects;
    ASSERT_EQ(objects.SetKind(kTnwBuffObjects), kTnwBuffOk);
    EXPECT_EQ(readLines(dir.file("in.txt"), objects, 0), kTnwBuffBadTag);
}

TEST(TextFileWrite, WritesCrLfAfterEachNonEmptyBlockInOrder)
{
    TempDir dir;
    CTnwbuff list;
    list.AddString("first");
    list.AddString("");
    list.Add(16, nullptr);
    list.AddText("second\0hidden", 13);  // the text ends at its first zero
    ASSERT_EQ(writeLines(dir.file("out.txt"), list), 0);
    EXPECT_EQ(tnw::test::readFile(dir.file("out.txt")), "first\r\nsecond\r\n");

    CTnwbuff empty;
    ASSERT_EQ(writeLines(dir.file("out.txt"), empty), 0);
    EXPECT_EQ(tnw::test::readFile(dir.file("out.txt")), "");
}

TEST(TextFileWrite, RoundTripDropsBlankLinesAndUsesCodePage932Paths)
{
    TempDir dir;
    const std::string name = dir.path() + "/" + tnw::platform::sjis("履歴.txt");
    const std::string text = tnw::platform::sjis("表示\\ｽｷｯﾌﾟ");
    ASSERT_TRUE(tnw::test::writeFile(dir.file("in.txt"), text + "\n\nlast"));
    CTnwbuff list;
    ASSERT_EQ(readLines(dir.file("in.txt"), list, 0), 0);
    ASSERT_EQ(writeLines(name, list), 0);
    EXPECT_EQ(tnw::test::readFile(dir.file("履歴.txt")), text + "\r\nlast\r\n");
}

TEST(TextFileWrite, FailuresAreReported)
{
    TempDir dir;
    CTnwbuff list;
    list.AddString("x");
    EXPECT_EQ(writeLines(dir.file("no/such/folder.txt"), list), -1);
    EXPECT_EQ(writeLines("/dev/full", list), -1);  // the write itself fails
    CTnwbuff objects;
    objects.SetKind(kTnwBuffObjects);
    EXPECT_EQ(writeLines(dir.file("o.txt"), objects), kTnwBuffBadTag);
}
