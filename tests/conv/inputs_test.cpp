// The input check, the ".jpg" listing of a folder, the same-name rule and the natural order.
#include "conv/inputs.h"

#include "tnwconv.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/locale_compare.h"
#include "common/platform/ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

using tnw::conv::naturalCompare;
using tnw::platform::sjis;
using tnw::test::TempDir;

namespace {

class InputCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ui = std::make_shared<tnw::platform::RecorderUi>();
        tnw::platform::setUiBackend(m_ui);
        ASSERT_TRUE(tnw::platform::createFolder(m_dir.file("box1")));
        ASSERT_TRUE(tnw::platform::createFolder(m_dir.file("box2")));
        for (const char* name : {"a.jpg", "b.jpg", "c.tif"})
            ASSERT_TRUE(tnw::test::writeFile(m_dir.file(name), "x"));
        m_in.Init();
        m_checked.Init();
    }
    void TearDown() override { tnw::platform::setUiBackend(nullptr); }

    int check(int mode, std::initializer_list<std::string> entries, int fromText = 0)
    {
        for (const std::string& e : entries)
            m_in.AddString(e.c_str());
        return sbxMakeInputText(mode, fromText, &m_in, &m_checked, m_first, m_single);
    }
    std::vector<std::string> checked()
    {
        std::vector<std::string> out;
        m_checked.Rewind();
        while (m_checked.Next() == 0)
            out.push_back(m_checked.Text());
        return out;
    }
    std::string lastMessage() const
    {
        return m_ui->messages.empty() ? "" : m_ui->messages.back().text;
    }

    TempDir m_dir;
    std::shared_ptr<tnw::platform::RecorderUi> m_ui;
    CTnwbuff m_in;
    CTnwbuff m_checked;
    char m_first[260] = "stale";
    char m_single[260] = {};
};

}  // namespace

TEST_F(InputCheck, FilesInFileModeGiveFullPathsAndTheFirstFolder)
{
    EXPECT_EQ(check(0, {m_dir.file("a.jpg"), m_dir.file("c.tif")}), 0);
    EXPECT_EQ(checked(), (std::vector<std::string>{m_dir.file("a.jpg"), m_dir.file("c.tif")}));
    EXPECT_EQ(std::string(m_first), m_dir.path());
    EXPECT_TRUE(m_ui->messages.empty());
}

TEST_F(InputCheck, FoldersInFolderModeAndTheFolderMark)
{
    EXPECT_EQ(check(1, {m_dir.file("box1") + "/[.]", m_dir.file("box2/")}), 0);
    EXPECT_EQ(checked(), (std::vector<std::string>{m_dir.file("box1"), m_dir.file("box2")}));
    EXPECT_EQ(std::string(m_first), m_dir.path());
}

TEST_F(InputCheck, RelativeInputsAreMadeAbsolute)
{
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.path());
    const int rc = check(0, {"a.jpg", "./b.jpg"});
    std::filesystem::current_path(old);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(checked(), (std::vector<std::string>{m_dir.file("a.jpg"), m_dir.file("b.jpg")}));
}

TEST_F(InputCheck, EmptyListIsRefused)
{
    EXPECT_EQ(check(0, {}), -8);
    EXPECT_EQ(lastMessage(), sjis("入力がない"));
    EXPECT_EQ(m_ui->messages.back().title, "Dravik");
    EXPECT_EQ(std::string(m_first), "");
}

TEST_F(InputCheck, StopsAtTheFirstMissingEntryAndNamesIt)
{
    const std::string missing = m_dir.file("gone.jpg");
    EXPECT_EQ(check(0, {m_dir.file("a.jpg"), missing, m_dir.file("b.jpg")}), -9);
    EXPECT_EQ(lastMessage(), missing + sjis(" が存在しません。"));
    EXPECT_EQ(checked(), std::vector<std::string>{m_dir.file("a.jpg")});
    EXPECT_EQ(std::string(m_first), m_dir.path());
}

TEST_F(InputCheck, MissingMarkedFolderIsNamedWithoutItsMark)
{
    EXPECT_EQ(check(1, {m_dir.file("gone") + "/[.]"}), -9);
    EXPECT_EQ(lastMessage(), m_dir.file("gone") + sjis(" が存在しません。"));
}

TEST_F(InputCheck, PathTooLongOnceMadeFullIsRefusedAsMissing)
{
    const std::string tooLong = "/" + std::string(259, 'x');
    EXPECT_EQ(check(0, {tooLong}), -9);
    EXPECT_EQ(lastMessage(), tooLong + sjis(" が存在しません。"));
}

TEST_F(InputCheck, MixedOrWrongKindsAreRefusedInEachMode)
{
    EXPECT_EQ(check(0, {m_dir.file("a.jpg"), m_dir.file("box1")}), -92);
    EXPECT_EQ(lastMessage(), sjis("ファイルが指定されていません。"));
    m_in.Reset();
    m_checked.Reset();
    EXPECT_EQ(check(1, {m_dir.file("box1"), m_dir.file("a.jpg")}), -93);
    EXPECT_EQ(lastMessage(), sjis("フォルダが指定されていません。"));
    m_in.Reset();
    m_checked.Reset();
    EXPECT_EQ(check(0, {m_dir.file("box1")}), -92);
    m_in.Reset();
    m_checked.Reset();
    EXPECT_EQ(check(1, {m_dir.file("a.jpg")}), -93);
}

TEST_F(InputCheck, DescriptionFileMustBeExactlyOneFile)
{
    EXPECT_EQ(check(0, {m_dir.file("a.jpg")}, 1), 0);
    EXPECT_EQ(std::string(m_single), m_dir.file("a.jpg"));
    m_in.Reset();
    m_checked.Reset();
    EXPECT_EQ(check(0, {m_dir.file("box1")}, 1), -91);
    EXPECT_EQ(lastMessage(), sjis("入力記述テキストが不正です。"));
}

TEST(JpegListing, KeepsOnlyJpgFilesOfAnyCaseAndSkipsFoldersAndBadNames)
{
    TempDir dir;
    for (const char* name : {"a.JPG", "b.jpeg", "c.jpg", "d.tif"})
        ASSERT_TRUE(tnw::test::writeFile(dir.file(name), "x"));
    ASSERT_TRUE(tnw::platform::createFolder(dir.file("sub.jpg")));
    ASSERT_TRUE(tnw::test::writeFile(dir.file("sub.jpg/e.jpg"), "x"));
    // "¥" has no code page 932 form of its own (it would come back as "\").
    ASSERT_TRUE(tnw::test::writeFile(dir.file("\xC2\xA5.jpg"), "x"));

    int skipped = -1;
    const auto files = tnw::conv::listJpegFiles(dir.path(), &skipped);
    EXPECT_EQ(files, (std::vector<std::string>{dir.file("a.JPG"), dir.file("c.jpg")}));
    EXPECT_EQ(skipped, 1);
    EXPECT_TRUE(tnw::conv::listJpegFiles(dir.file("missing")).empty());
}

TEST(SameName, JpegWithATiffOfTheSameBaseNameIsFlagged)
{
    CTnwbuff checked;
    checked.Init();
    for (const char* p : {"/s/scan.jpg", "/t/SCAN.TIF", "/s/other.jpg", "/s/other.pdf"})
        checked.AddString(p);
    const auto items = tnw::conv::makeInputItems(checked);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].kind, 11);
    EXPECT_EQ(items[0].sameName, 1);
    EXPECT_STREQ(items[0].path, "/s/scan.jpg");
    EXPECT_EQ(items[1].kind, 12);
    EXPECT_EQ(items[1].sameName, 0);
    EXPECT_EQ(items[2].sameName, 0);
    EXPECT_EQ(items[3].kind, 17);
}

namespace {

class NaturalOrder : public ::testing::Test {
protected:
    void SetUp() override
    {
        tnw::platform::setLocaleCompareMode(tnw::platform::LocaleCompareMode::C);
    }
    void TearDown() override
    {
        tnw::platform::setLocaleCompareMode(tnw::platform::LocaleCompareMode::Japanese);
    }
};

}  // namespace

TEST_F(NaturalOrder, NumbersCompareByValueAndZerosBreakTies)
{
    EXPECT_EQ(naturalCompare("/s/p2.jpg", "/s/p10.jpg"), -1);
    EXPECT_EQ(naturalCompare("/s/p10.jpg", "/s/p2.jpg"), 1);
    EXPECT_EQ(naturalCompare("/s/p007.jpg", "/s/p7.jpg"), -1);
    EXPECT_EQ(naturalCompare("/s/p7.jpg", "/s/p007.jpg"), 1);
    EXPECT_EQ(naturalCompare("/s/p0010.jpg", "/s/p9.jpg"), 1);
    EXPECT_EQ(naturalCompare("/s/p1.jpg", "/s/p1a.jpg"), -1);
    EXPECT_EQ(naturalCompare("/s/p1.jpg", "/s/p1.jpg"), 0);
}

TEST_F(NaturalOrder, FullWidthDigitsCountAsTheirValues)
{
    EXPECT_EQ(naturalCompare("/s/p" + sjis("２") + ".jpg", "/s/p10.jpg"), -1);
    EXPECT_EQ(naturalCompare("/s/p" + sjis("１２") + ".jpg", "/s/p3.jpg"), 1);
    // Equal values: the text as written decides.
    EXPECT_NE(naturalCompare("/s/p" + sjis("２") + ".jpg", "/s/p2.jpg"), 0);
    // ソ (0x83 0x5C) and ぁ (0x82 0x9F) are text, not digits.
    EXPECT_EQ(naturalCompare("/s/" + sjis("ぁ") + "9.jpg", "/s/" + sjis("ぁ") + "10.jpg"), -1);
}

TEST_F(NaturalOrder, FoldersDecideFirstThenNamesThenExtensionsIgnoringCase)
{
    EXPECT_EQ(naturalCompare("/s/box2/z.jpg", "/s/box10/a.jpg"), -1);
    EXPECT_EQ(naturalCompare("/s/a.JPG", "/s/a.jpg"), 0);
    EXPECT_EQ(naturalCompare("/s/a.jpg", "/s/a.tif"), -1);
    EXPECT_EQ(naturalCompare("/s/a.jpg", "/s/ab.jpg"), -1);
}

TEST_F(NaturalOrder, SortPutsPagesInReadingOrder)
{
    std::vector<std::string> pages = {"/s/p10.jpg", "/s/p7.jpg", "/s/p2.jpg", "/s/p007.jpg",
                                      "/s/p1.jpg"};
    tnw::conv::sortNatural(pages);
    EXPECT_EQ(pages, (std::vector<std::string>{"/s/p1.jpg", "/s/p2.jpg", "/s/p007.jpg",
                                               "/s/p7.jpg", "/s/p10.jpg"}));
}
