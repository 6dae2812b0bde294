// The meta-character templates: codes, era years, double-byte text, names from the source and
// the preview form of the settings dialogs.
#include "common/module_paths.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using tnw::common::eraYear;
using tnw::common::fixedClock;
using tnw::common::LocalTime;
using tnw::common::ModulePaths;
using tnw::common::PreviewKind;
using tnw::platform::sjis;

namespace {

constexpr LocalTime kDec7{2026, 12, 7, 9, 5, 3};

class Template : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tnw::platform::createFolder(m_dir.path() + "/a"));
        ASSERT_TRUE(tnw::test::writeFile(m_dir.path() + "/a/p1.jpg", "x"));
    }
    std::string expand(const std::string& templ, const std::string& source = {}) const
    {
        return m_paths.expand(templ, source.empty() ? m_dir.path() + "/a/p1.jpg" : source);
    }
    tnw::test::TempDir m_dir;
    ModulePaths m_paths{fixedClock(kDec7)};
};

}  // namespace

TEST_F(Template, DateFileAndFolderCodesExpandForAFile)
{
    EXPECT_EQ(expand("&Y&m&D_&f"), "20261207_p1");
    EXPECT_EQ(expand("%y-%m-%D %h:%t:%s"), "26-12-07 09:05:03");
    EXPECT_EQ(expand("&h&t&s"), "090503");
    EXPECT_EQ(expand("&d/&f"), "a/p1");
}

TEST_F(Template, EscapesUnknownCodesAndATrailingCodeCharacter)
{
    EXPECT_EQ(expand("100%%"), "100%");
    EXPECT_EQ(expand("a&&b"), "a&b");
    EXPECT_EQ(expand("&x"), "");
    EXPECT_EQ(expand("%d%f%&"), "");  // name codes belong to "&" only
    EXPECT_EQ(expand("abc&"), "abc");
    EXPECT_EQ(expand("abc%"), "abc");
}

TEST_F(Template, OrientationCodesArePortraitAndPageCodesWriteNothing)
{
    EXPECT_EQ(expand("&T&V&v"), "TV" + sjis("縦"));
    EXPECT_EQ(expand("[&p&n&r]"), "[]");
}

TEST_F(Template, DoubleByteCharactersAreCopiedWholeAndDropAPendingCode)
{
    // ソ is 0x83 0x5C and 表 0x95 0x5C: their second bytes must not be read as anything.
    EXPECT_EQ(expand(sjis("ソ表_&f")), sjis("ソ表_") + "p1");
    // 「＆」 after "&" is text, and the "&" is dropped; a half-width kana after "&" is unknown.
    EXPECT_EQ(expand("&" + sjis("＆") + "Y"), sjis("＆") + "Y");
    EXPECT_EQ(expand("&" + sjis("ｱ") + "Y"), "Y");
    // A lead byte at the very end is kept alone, never read past.
    EXPECT_EQ(expand(std::string("ab\x83", 3)), std::string("ab\x83", 3));
}

TEST_F(Template, EraYearIsReiwaFromMayFirst2019AndHeiseiBefore)
{
    EXPECT_EQ(eraYear({2026, 12, 7, 0, 0, 0}), sjis("令和8"));
    EXPECT_EQ(eraYear({2019, 5, 1, 0, 0, 0}), sjis("令和1"));
    EXPECT_EQ(eraYear({2019, 4, 30, 23, 59, 59}), sjis("平成31"));
    EXPECT_EQ(eraYear({1989, 1, 8, 0, 0, 0}), sjis("平成1"));
    EXPECT_EQ(expand("&g"), sjis("令和8"));
    EXPECT_EQ(expand("%g"), sjis("令和8"));
}

TEST_F(Template, FolderSourceHasNoFileValueAndMissingSourceExpandsToNothing)
{
    EXPECT_EQ(expand("&d[&f]", m_dir.path() + "/a"), "a[]");
    EXPECT_EQ(expand("&d[&f]", m_dir.path() + "/a/"), "a[]");
    EXPECT_EQ(expand("&Y&d", m_dir.path() + "/missing.jpg"), "");
}

TEST_F(Template, RootFolderNameIsTheTimeStamp)
{
    EXPECT_EQ(expand("&d", "/"), "20261207_090503");
}

TEST(TemplatePreview, SampleValuesByPreviewKind)
{
    const ModulePaths paths(fixedClock(kDec7));
    EXPECT_EQ(paths.preview("&d_&f_&Y", PreviewKind::File),
              sjis("ﾌｫﾙﾀﾞ名_ﾌｧｲﾙ名_") + "2026");
    EXPECT_EQ(paths.preview("&d_&f", PreviewKind::Folder), sjis("ﾌｫﾙﾀﾞ名_"));
    EXPECT_EQ(paths.preview("&p&n&r", PreviewKind::File),
              sjis("ﾍﾟｰｼﾞ番号順序番号用紙サイズ名"));
    EXPECT_EQ(paths.preview("&T&V&v%g", PreviewKind::Folder),
              "|TY||VH|" + sjis("|縦横|令和8"));
}
