#include "common/platform/profile.h"

#include "common/platform/cp932.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

using namespace tnw::platform;
using tnw::test::readFile;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

class Profile : public ::testing::Test {
protected:
    std::string ini(const std::string& bytes)
    {
        EXPECT_TRUE(writeFile(m_path, bytes));
        return m_path;
    }
    std::string get(const char* section, const char* key, const char* def = "-",
                    unsigned size = 256)
    {
        std::string buf(size, '\x7F');
        unsigned n = GetPrivateProfileString(section, key, def, buf.data(), size, m_path.c_str());
        EXPECT_EQ(buf[n], '\0');
        return buf.substr(0, n);
    }
    std::string keys(const char* section, unsigned size = 256)
    {
        std::string buf(size, '\x7F');
        unsigned n = GetPrivateProfileKeyNames(section, buf.data(), size, m_path.c_str());
        EXPECT_EQ(buf[n], '\0');
        // The list ends in two zeros: its last name's and the final one (a cut list gets
        // two zeros after the cut).
        EXPECT_TRUE(n == 0 ? buf[1] == '\0' : buf[n - 1] == '\0' || buf[n + 1] == '\0');
        return buf.substr(0, n);
    }
    int getInt(const char* key, int def = -99)
    {
        return GetPrivateProfileInt("S", key, def, m_path.c_str());
    }

    TempDir m_dir;
    std::string m_path = m_dir.file("set.ini");
};

}  // namespace

TEST_F(Profile, NamesIgnoreAsciiCaseAndValuesAreTrimmedAndUnquoted)
{
    ini("[Settings]\r\n  nMode = 3 \r\nszName=\"  quoted  \"\r\nszOne='x'\r\nszHalf=\"x\r\n");
    EXPECT_EQ(get("settings", "NMODE"), "3");
    EXPECT_EQ(get(" SETTINGS ", " nmode "), "3");
    EXPECT_EQ(get("Settings", "szName"), "  quoted  ");
    EXPECT_EQ(get("Settings", "szOne"), "x");
    EXPECT_EQ(get("Settings", "szHalf"), "\"x");
    EXPECT_EQ(get("Settings", "missing", "def  "), "def");
    EXPECT_EQ(get("Other", "nMode", nullptr), "");
}

TEST_F(Profile, DoubleByteNamesAreNeverCaseFolded)
{
    // ア is 83 41 and ヂ is 83 61: their second bytes look like 'A' and 'a'. ゾ (83 5D) ends
    // in a byte that looks like ']'.
    ini("[" + sjis("ア") + "]\r\nk=1\r\n[" + sjis("ゾ") + "]\r\n" + sjis("ア") + "=2\r\n");
    EXPECT_EQ(get(sjis("ア").c_str(), "K"), "1");
    EXPECT_EQ(get(sjis("ヂ").c_str(), "k"), "-");
    EXPECT_EQ(get(sjis("ゾ").c_str(), sjis("ア").c_str()), "2");
    EXPECT_EQ(get(sjis("ゾ").c_str(), sjis("ヂ").c_str()), "-");
}

TEST_F(Profile, MissingFileGivesDefaults)
{
    EXPECT_EQ(get("S", "k", "fallback"), "fallback");
    EXPECT_EQ(getInt("k", 42), 42);
    EXPECT_EQ(keys("S"), "");
    EXPECT_FALSE(std::filesystem::exists(m_path));
}

TEST_F(Profile, IntegersReadLikeThePlatformReader)
{
    ini("[S]\nabc=abc\nx=12x\nneg=-3\nplus= +7\nempty=\nquoted=\"15\"\nbig=99999999999\n"
        "small=-99999999999\nsign=-\n");
    EXPECT_EQ(getInt("abc"), 0);
    EXPECT_EQ(getInt("x"), 12);
    EXPECT_EQ(getInt("neg"), -3);
    EXPECT_EQ(getInt("plus"), 7);
    EXPECT_EQ(getInt("empty"), -99);
    EXPECT_EQ(getInt("missing"), -99);
    EXPECT_EQ(getInt("quoted"), 15);
    EXPECT_EQ(getInt("big"), INT_MAX);
    EXPECT_EQ(getInt("small"), INT_MIN);
    EXPECT_EQ(getInt("sign"), 0);
}

TEST_F(Profile, LongValueIsCutAtACharacterBoundary)
{
    const std::string value = "ab" + sjis("表表");  // 61 62 95 5C 95 5C
    ini("[S]\r\nk=" + value + "\r\n");
    EXPECT_EQ(get("S", "k", "", 7), value);
    EXPECT_EQ(get("S", "k", "", 6), "ab" + sjis("表"));  // 5 bytes fit
    EXPECT_EQ(get("S", "k", "", 4), "ab");               // never half of 表
    EXPECT_EQ(get("S", "k", "", 1), "");
    char untouched = 'z';
    EXPECT_EQ(GetPrivateProfileString("S", "k", "", &untouched, 0, m_path.c_str()), 0u);
    EXPECT_EQ(untouched, 'z');
}

TEST_F(Profile, KeyNamesComeAsADoubleZeroTerminatedList)
{
    ini("[USERFORM]\r\nA4 wide=\r\n;comment=1\r\nno equals\r\n" + sjis("用紙") +
        "=\r\n" + std::string("a\0b=1", 5) + "\r\n[]\r\n[Next]\r\nz=1\r\n");
    const std::string all = std::string("A4 wide") + '\0' + sjis("用紙") + '\0';
    EXPECT_EQ(keys("userform"), all);
    // Cut at size - 2 bytes, never inside 用 (3 bytes would split it after "A4 wide\0").
    EXPECT_EQ(keys("USERFORM", 11), std::string("A4 wide") + '\0');
    EXPECT_EQ(keys("USERFORM", 12), std::string("A4 wide") + '\0' + sjis("用"));
    EXPECT_EQ(keys("Missing"), "");
    std::string buf(64, '\x7F');
    unsigned n = GetPrivateProfileString(nullptr, nullptr, "", buf.data(), 64, m_path.c_str());
    EXPECT_EQ(buf.substr(0, n + 1), std::string("USERFORM") + '\0' + "Next" + '\0' + '\0');
}

TEST_F(Profile, LfFileReadsAlikeAndIsWrittenBackWithCrLf)
{
    ini("; settings\n[S]\nk=1\n\n[T]\nm=2");
    EXPECT_EQ(get("T", "m"), "2");
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "5", m_path.c_str()));
    EXPECT_EQ(readFile(m_path), "; settings\r\n[S]\r\nk=5\r\n\r\n[T]\r\nm=2\r\n");
}

TEST_F(Profile, WriteKeepsCommentsOrderAndUnknownLines)
{
    ini("; top\r\n[App]\r\n  Name = old \r\n; keep me\r\nloose line\r\nOther=x\r\n\r\n"
        "[WINDOW]\r\nx=1\r\n");
    ASSERT_TRUE(WritePrivateProfileString("app", "NAME", "new", m_path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("App", "Added", "7", m_path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("Fresh", "k", "v", m_path.c_str()));
    EXPECT_EQ(readFile(m_path), "; top\r\n[App]\r\nName=new\r\n; keep me\r\nloose line\r\n"
                                "Other=x\r\nAdded=7\r\n\r\n[WINDOW]\r\nx=1\r\n\r\n[Fresh]\r\n"
                                "k=v\r\n");
}

TEST_F(Profile, WriteCreatesTheFileAndDeletesKeysAndSections)
{
    ASSERT_TRUE(WritePrivateProfileString("A", "k", "1", m_path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("A", "m", "2", m_path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("B", "n", "3", m_path.c_str()));
    EXPECT_EQ(readFile(m_path), "[A]\r\nk=1\r\nm=2\r\n\r\n[B]\r\nn=3\r\n");
    ASSERT_TRUE(WritePrivateProfileString("A", "K", nullptr, m_path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("B", nullptr, nullptr, m_path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("Gone", "x", nullptr, m_path.c_str()));
    EXPECT_EQ(readFile(m_path), "[A]\r\nm=2\r\n\r\n");
}

TEST_F(Profile, FirstCopyWinsAndDeletingLeavesNoOlderCopy)
{
    ini("[S]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\nm=4\r\n[T]\r\nk=5\r\n");
    EXPECT_EQ(get("S", "k"), "1");
    EXPECT_EQ(get("S", "m"), "-");  // only the first section of a name is read
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "9", m_path.c_str()));
    EXPECT_EQ(get("S", "k"), "9");
    ASSERT_TRUE(WritePrivateProfileString("S", "k", nullptr, m_path.c_str()));
    EXPECT_EQ(get("S", "k"), "-");
    ASSERT_TRUE(WritePrivateProfileString("S", nullptr, nullptr, m_path.c_str()));
    EXPECT_EQ(get("S", "m"), "-");
    EXPECT_EQ(readFile(m_path), "[T]\r\nk=5\r\n");
}

TEST_F(Profile, WriteSectionReplacesTheBodyWhole)
{
    ini("[USERFORM]\r\nold1=\r\n; old note\r\nold2=\r\n\r\n[Form]\r\nfx=1\r\n");
    const char body[] = "new1=\0new2=\0";
    ASSERT_TRUE(WritePrivateProfileSection("userform", body, m_path.c_str()));
    EXPECT_EQ(readFile(m_path), "[USERFORM]\r\nnew1=\r\nnew2=\r\n\r\n[Form]\r\nfx=1\r\n");
    ASSERT_TRUE(WritePrivateProfileSection("USERFORM", "\0", m_path.c_str()));
    EXPECT_EQ(readFile(m_path), "[USERFORM]\r\n\r\n[Form]\r\nfx=1\r\n");
    ASSERT_TRUE(WritePrivateProfileSection("Extra", "a=1\0", m_path.c_str()));
    EXPECT_EQ(keys("Extra"), std::string("a") + '\0');
}

TEST_F(Profile, WriteRefusesTextsThatWouldNotReadBack)
{
    ini("[S]\r\nk=1\r\n");
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "1\r\n[S]\r\nk=2", m_path.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("S", "a=b", "1", m_path.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("S", "  ", "1", m_path.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("S", ";k", "1", m_path.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("S\n", "k", "1", m_path.c_str()));
    EXPECT_FALSE(WritePrivateProfileSection("S", "a=1\0b\n=2\0", m_path.c_str()));
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=1\r\n");
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "1", m_dir.file("no/such.ini").c_str()));
}

TEST_F(Profile, WriteReplacesTheFileAtomically)
{
    ini("[S]\r\nk=1\r\n");
    std::filesystem::permissions(m_path, std::filesystem::perms(0640));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(WritePrivateProfileString("S", "k", std::to_string(i).c_str(),
                                              m_path.c_str()));
    EXPECT_EQ(get("S", "k"), "4");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.path())) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "set.ini");  // no temporary file left behind
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(std::filesystem::status(m_path).permissions(), std::filesystem::perms(0640));
}

TEST_F(Profile, MalformedLinesNeverBreakTheRest)
{
    std::string junk = "[broken\r\n[S]\r\n";
    junk += std::string("\0\0=\xFF\x81", 5) + "\r\n";
    junk += "=no key\r\n";
    junk += std::string(200000, 'x') + "=long\r\n";
    junk += std::string("nul\0key=3", 9) + "\r\n";
    junk += "k=2\r\n\x81";  // ends in a lone lead byte
    ini(junk);
    EXPECT_EQ(get("S", "k"), "2");
    EXPECT_EQ(get("broken", "k"), "-");
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "3", m_path.c_str()));
    EXPECT_EQ(get("S", "k"), "3");
    EXPECT_NE(readFile(m_path).find(std::string(200000, 'x') + "=long\r\n"), std::string::npos);
}

TEST(ProfileBatch, GroupsWritesIntoOneReplacementWithTheSameRules)
{
    tnw::test::TempDir dir;
    const std::string ini = dir.file("b.ini");
    tnw::test::writeFile(ini, "; keep\r\n[A]\r\nx=1\r\n");
    {
        tnw::platform::ProfileBatch batch(ini.c_str());
        EXPECT_TRUE(tnw::platform::WritePrivateProfileString("a", "X", "2", ini.c_str()));
        EXPECT_TRUE(tnw::platform::WritePrivateProfileString("B", "y", "3", ini.c_str()));
        // Reads inside the batch see its writes; the file is not touched yet.
        EXPECT_EQ(tnw::platform::GetPrivateProfileInt("B", "y", 0, ini.c_str()), 3);
        EXPECT_EQ(tnw::test::readFile(ini), "; keep\r\n[A]\r\nx=1\r\n");
        EXPECT_TRUE(batch.commit());
    }
    EXPECT_EQ(tnw::test::readFile(ini), "; keep\r\n[A]\r\nx=2\r\n\r\n[B]\r\ny=3\r\n");

    // The destructor commits too; a batch opened inside another one does nothing.
    {
        tnw::platform::ProfileBatch batch(ini.c_str());
        tnw::platform::ProfileBatch other(dir.file("other.ini").c_str());
        tnw::platform::WritePrivateProfileString("A", "z", "4", ini.c_str());
    }
    EXPECT_EQ(tnw::platform::GetPrivateProfileInt("A", "z", 0, ini.c_str()), 4);
    EXPECT_FALSE(std::filesystem::exists(dir.file("other.ini")));
}

namespace {

// Sets both the access and modification times of `path` to `seconds` after the epoch.
void setTimes(const std::string& path, time_t seconds)
{
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

}  // namespace

// Reads of an unchanged file may come from memory; every change, ours or another writer's, is
// seen by the next read, even one that keeps the size and puts the old modification time back.
TEST_F(Profile, ReadsSeeEveryChangeOfTheFile)
{
    ini("[S]\r\nk=one\r\n");
    setTimes(m_path, 1000000000);  // long settled: its bytes may be kept
    EXPECT_EQ(get("S", "k"), "one");
    EXPECT_EQ(get("S", "k"), "one");

    ASSERT_TRUE(writeFile(m_path, "[S]\r\nk=two\r\n"));  // same size, in place
    setTimes(m_path, 1000000000);
    EXPECT_EQ(get("S", "k"), "two");

    ASSERT_TRUE(WritePrivateProfileString("S", "k", "six", m_path.c_str()));
    EXPECT_EQ(get("S", "k"), "six");
    setTimes(m_path, 1000000000);
    EXPECT_EQ(get("S", "k"), "six");
    {
        ProfileBatch batch(m_path.c_str());
        ASSERT_TRUE(WritePrivateProfileString("S", "k", "ten", m_path.c_str()));
    }
    EXPECT_EQ(get("S", "k"), "ten");

    std::filesystem::remove(m_path);
    EXPECT_EQ(get("S", "k"), "-");
}
