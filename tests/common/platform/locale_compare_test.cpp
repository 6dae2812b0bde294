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
        setLocaleCompareMode(LocaleCompareMode::Japanese);
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

TEST_F(LocaleCompare, JapaneseCollationIsRealHere)
{
    // Qt on this system collates with ICU; were it missing, names would fall back to byte
    // order, which the rest of these tests would not show.
    EXPECT_TRUE(japaneseCollationAvailable());
}

TEST_F(LocaleCompare, JapaneseModeIgnoresTheDefaultLocale)
{
    setLocaleCompareMode(LocaleCompareMode::Japanese);
    const QLocale locales[] = {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::Japanese, QLocale::Japan)};
    for (const QLocale& locale : locales) {
        QLocale::setDefault(locale);
        SCOPED_TRACE(locale.name().toStdString());
        EXPECT_LT(localeCompare("a", "B"), 0);  // letters before case, unlike byte order
        EXPECT_GT(localeCompare("b", "A"), 0);
        EXPECT_NE(localeCompare("a", "A"), 0);  // case-sensitive
        EXPECT_EQ(localeCompare("same", "same"), 0);
        // Kana first by letter, whether hiragana, katakana or half-width: ア~あ < う.
        EXPECT_LT(localeCompare(sjis("アイ"), sjis("あう")), 0);
        EXPECT_LT(localeCompare(sjis("ｱｲ"), sjis("あう")), 0);
        EXPECT_LT(localeCompare(sjis("あ"), sjis("漢")), 0);  // kana before kanji
        EXPECT_NE(localeCompare("a\x81", "a"), 0);  // bad bytes never crash
    }
}
