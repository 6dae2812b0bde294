#include "common/platform/cp932.h"

#include <gtest/gtest.h>

using namespace tnw::platform;

TEST(Cp932, RoundTripsJapaneseText)
{
    std::string sj;
    ASSERT_TRUE(utf8ToCp932("表示ｽｷｯﾌﾟ\\", sj));
    EXPECT_EQ(sj, "\x95\x5C\x8E\xA6\xBD\xB7\xAF\xCC\xDF\\");
    std::string back;
    ASSERT_TRUE(cp932ToUtf8(sj, back));
    EXPECT_EQ(back, "表示ｽｷｯﾌﾟ\\");
}

TEST(Cp932, RefusesTextWithoutCp932Form)
{
    std::string sj = "x";
    EXPECT_FALSE(utf8ToCp932("\xF0\x9F\x98\x80", sj));  // an emoji
    EXPECT_TRUE(sj.empty());
    EXPECT_FALSE(utf8ToCp932("\xFF", sj));  // not UTF-8
}

TEST(Cp932, LossyConversionReplacesBadBytes)
{
    EXPECT_EQ(cp932ToUtf8Lossy("a\x81"), "a\xEF\xBF\xBD");
}

TEST(Cp932, CutNeverSplitsADoubleByteCharacter)
{
    const std::string s = "a\x95\x5C" "b";  // a 表 b
    EXPECT_EQ(cp932CutLength(s, 1), 1u);
    EXPECT_EQ(cp932CutLength(s, 2), 1u);
    EXPECT_EQ(cp932CutLength(s, 3), 3u);
    EXPECT_EQ(cp932CutLength(s, 10), 4u);
    EXPECT_EQ(sjis("表"), "\x95\x5C");
}
