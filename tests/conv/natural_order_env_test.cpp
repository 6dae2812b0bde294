// The natural order of a folder's pages does not depend on the environment's locale: the same
// names come out in the same order under LANG=C, a Japanese and an English locale.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The lines natural_order_print writes with LANG set to `lang` and every other locale
// variable unset.
std::vector<std::string> orderUnder(const std::string& lang)
{
    const std::string command =
        "env -u LC_ALL -u LC_COLLATE -u LC_CTYPE -u LC_MESSAGES -u LANGUAGE LANG=" + lang +
        " " KVL_BIN_DIR "/natural_order_print 2>/dev/null";
    std::vector<std::string> lines;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return lines;
    std::string text;
    char buf[4096];
    while (size_t n = std::fread(buf, 1, sizeof buf, pipe))
        text.append(buf, n);
    const int status = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << lang;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

size_t place(const std::vector<std::string>& lines, const std::string& name)
{
    return size_t(std::find(lines.begin(), lines.end(), name) - lines.begin());
}

}  // namespace

TEST(NaturalOrderEnvironment, SameOrderWhateverLang)
{
    const std::vector<std::string> c = orderUnder("C");
    ASSERT_EQ(c.size(), 20u);
    EXPECT_EQ(orderUnder("ja_JP.UTF-8"), c);
    EXPECT_EQ(orderUnder("en_US.UTF-8"), c);
    EXPECT_EQ(orderUnder("POSIX"), c);

    // The order is the Japanese collation's, with numbers by value.
    EXPECT_LT(place(c, "a1.jpg"), place(c, "b2.jpg"));  // letters before case
    EXPECT_LT(place(c, "b2.jpg"), place(c, "B10.jpg"));
    EXPECT_LT(place(c, "B10.jpg"), place(c, "Z.jpg"));
    EXPECT_LT(place(c, "p9.jpg"), place(c, "p１０.jpg"));
    EXPECT_LT(place(c, "２.jpg"), place(c, "10.jpg"));
    EXPECT_LT(place(c, "ア2.jpg"), place(c, "か1.jpg"));  // kana by letter, not by kind
    EXPECT_LT(place(c, "ページ２.jpg"), place(c, "ページ10.jpg"));
    EXPECT_LT(place(c, "ページ10.jpg"), place(c, "漢字1.jpg"));  // kana before kanji
}
