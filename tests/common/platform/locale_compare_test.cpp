#include "common/platform/locale_compare.h"

#include "common/platform/cp932.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace tnw::platform;

namespace {

class LocaleCompare : public ::testing::Test {
protected:
    ~LocaleCompare() override
    {
        setLocaleCompareMode(LocaleCompareMode::User);
        QLocale::setDefault(QLocale::system());
    }
};

}  // namespace

TEST_F(LocaleCompare, CModeIsByteOrder)
{
    setLocaleCompareMode(LocaleCompareMode::C);
    EXPECT_EQ(localeCompareMode(), LocaleCompareMode::C);
    EXPECT_LT(localeCompare("B", "a"), 0);
    EXPECT_GT(localeCompare("ab", "a"), 0);
    EXPECT_EQ(localeCompare("same", "same"), 0);
    EXPECT_LT(localeCompare("z", sjis("あ")), 0);  // bytes above 0x7F sort after ASCII
    EXPECT_LT(localeCompare(sjis("あ"), sjis("い")), 0);
}

TEST_F(LocaleCompare, UserModeFollowsTheLocalesCollation)
{
    setLocaleCompareMode(LocaleCompareMode::User);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_LT(localeCompare("a", "B"), 0);  // letters before case, unlike byte order
    EXPECT_GT(localeCompare("b", "A"), 0);
    EXPECT_NE(localeCompare("a", "A"), 0);  // case-sensitive
    EXPECT_EQ(localeCompare("same", "same"), 0);
    EXPECT_LT(localeCompare(sjis("あ"), sjis("い")), 0);
    EXPECT_NE(localeCompare("a\x81", "a"), 0);  // bad bytes never crash
}
