// The built program run from the command line without a display: exit status, messages on
// standard error and what lands on disk.
#include "common/platform/cp932.h"
#include "common/platform/single_instance.h"
#include "conv/pdf/jpeg_fixtures.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

extern char** environ;

using tnw::platform::sjis;
using tnw::test::TempDir;
namespace fs = std::filesystem;

namespace {

struct Result {
    int status = -1;
    std::string err;  // standard error (UTF-8)
    std::string out;
};

class KorvelinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* f : {"cfg", "work", "run", "box/f1", "box/f2", "other"})
            fs::create_directories(m_dir.file(f));
    }

    // Runs the program with the test's own settings, work and runtime folders.
    Result run(const std::vector<std::string>& args, const std::string& cwd = {})
    {
        std::map<std::string, std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string kv = *e;
            const size_t eq = kv.find('=');
            if (eq != std::string::npos)
                env[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        env.erase("DISPLAY");
        env.erase("WAYLAND_DISPLAY");
        env["QT_QPA_PLATFORM"] = "offscreen";
        env["KORVELIN_CONFIG_DIR"] = m_dir.file("cfg");
        env["KORVELIN_WORK_DIR"] = m_dir.file("work");
        env["XDG_RUNTIME_DIR"] = m_dir.file("run");
        env["LSAN_OPTIONS"] = "suppressions=" KVL_SOURCE_DIR "/tests/lsan.supp";
        std::vector<std::string> envStrings;
        for (const auto& [k, v] : env)
            envStrings.push_back(k + "=" + v);
        std::vector<char*> envp;
        for (std::string& s : envStrings)
            envp.push_back(s.data());
        envp.push_back(nullptr);

        std::string program = KVL_BIN_DIR "/Korvelin";
        std::vector<std::string> argStrings = {program};
        argStrings.insert(argStrings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& s : argStrings)
            argv.push_back(s.data());
        argv.push_back(nullptr);

        const std::string errFile = m_dir.file("stderr.txt");
        const std::string outFile = m_dir.file("stdout.txt");
        const pid_t child = ::fork();
        if (child == 0) {
            const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(err, 2);
            ::dup2(out, 1);
            if (!cwd.empty() && ::chdir(cwd.c_str()) != 0)
                ::_exit(127);
            ::execve(program.c_str(), argv.data(), envp.data());
            ::_exit(127);
        }
        Result r;
        int status = 0;
        if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
            r.status = WEXITSTATUS(status);
        r.err = tnw::test::readFile(errFile);
        r.out = tnw::test::readFile(outFile);
        return r;
    }

    void settings(const std::string& text)
    {
        ASSERT_TRUE(tnw::test::writeFile(m_dir.file("cfg/Korvelin.ini"), text));
    }

    void jpeg(const std::string& name, bool gray = false)
    {
        tnw::test::JpegShape shape;
        shape.width = 48;
        shape.height = 32;
        shape.gradient = true;
        if (gray)
            shape.input = JCS_GRAYSCALE;
        ASSERT_TRUE(tnw::test::writeFile(m_dir.file(name), tnw::test::makeJpeg(shape)));
    }

    // Files of a folder whose names end in `suffix`.
    std::vector<std::string> filesIn(const std::string& folder, const std::string& suffix)
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir.file(folder))) {
            const std::string name = e.path().filename().string();
            if (name.size() >= suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir m_dir;
};

bool haveQpdf()
{
    return std::system("qpdf --version > /dev/null 2>&1") == 0;
}

}  // namespace

TEST_F(KorvelinTest, HelpVersionAndUnknownOptions)
{
    Result r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Korvelin ", 0), 0u);
    r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: Korvelin"), std::string::npos);
    r = run({"--frobnicate"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown option --frobnicate"), std::string::npos);
}

TEST_F(KorvelinTest, JapaneseNamedJpegIsConvertedAndLoggedInShiftJis)
{
    settings("[Settings]\r\nnMakeLog=1\r\nnShowLog=1\r\n");
    jpeg("box/f1/和紙の見本.jpg");
    jpeg("box/f1/gray.jpg", true);
    const Result r = run({m_dir.file("box/f1/和紙の見本.jpg"), m_dir.file("box/f1/gray.jpg")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(filesIn("box/f1", ".pdf"),
              (std::vector<std::string>{"gray.pdf", "和紙の見本.pdf"}));
    const std::vector<std::string> logs = filesIn("box/f1", ".csv");
    ASSERT_EQ(logs.size(), 1u);
    const std::string log = tnw::test::readFile(m_dir.file("box/f1/" + logs[0]));
    EXPECT_NE(log.find("\"" + sjis("和紙の見本.jpg") + "\""), std::string::npos);
    EXPECT_EQ(log.find("和紙"), std::string::npos);  // no UTF-8 in the log
    if (haveQpdf()) {
        const std::string check =
            "qpdf --check '" + m_dir.file("box/f1/和紙の見本.pdf") + "' > /dev/null";
        EXPECT_EQ(std::system(check.c_str()), 0);
    }
}

TEST_F(KorvelinTest, RelativePathsAreTakenFromTheCurrentFolder)
{
    jpeg("box/f1/a.jpg");
    const Result r = run({"f1/a.jpg"}, m_dir.file("box"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(m_dir.file("box/f1/a.pdf")));
}

TEST_F(KorvelinTest, FoldersAreConvertedInFolderModeWhateverTheSettingsSay)
{
    settings("[PageInfo]\r\nnMode=0\r\n[Settings]\r\nnMakeLog=1\r\n");
    jpeg("box/f1/a.jpg");
    jpeg("box/f1/b.jpg");
    jpeg("box/f2/c.jpg");
    const Result r = run({m_dir.file("box/f1"), m_dir.file("box/f2")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(filesIn("box/f1", ".pdf"), (std::vector<std::string>{"a.pdf", "b.pdf"}));
    EXPECT_EQ(filesIn("box/f2", ".pdf"), std::vector<std::string>{"c.pdf"});
    const std::vector<std::string> logs = filesIn("box", ".csv");
    ASSERT_EQ(logs.size(), 1u);
    const std::string log = tnw::test::readFile(m_dir.file("box/" + logs[0]));
    EXPECT_NE(log.find(sjis("フォルダ単位")), std::string::npos);
    // The settings file still says file mode: the forced mode is the run's only.
    EXPECT_NE(tnw::test::readFile(m_dir.file("cfg/Korvelin.ini")).find("nMode=0"),
              std::string::npos);
}

TEST_F(KorvelinTest, MixedFilesAndFoldersAreRefused)
{
    jpeg("box/a.jpg");
    const Result r = run({m_dir.file("box/a.jpg"), m_dir.file("box/f1")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "[Dravik] ﾌｫﾙﾀﾞとﾌｧｲﾙの混在はｻﾎﾟｰﾄしていません。\n");
    EXPECT_TRUE(filesIn("box", ".pdf").empty());
}

TEST_F(KorvelinTest, MissingPathIsRefusedAndNothingIsConverted)
{
    jpeg("box/a.jpg");
    const Result r = run({m_dir.file("box/a.jpg"), m_dir.file("box/none.jpg")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "[Dravik] ﾌｧｲﾙ/ﾌｫﾙﾀﾞでないｵﾌﾞｼﾞｪｸﾄがあります。\n");
    EXPECT_TRUE(filesIn("box", ".pdf").empty());
}

TEST_F(KorvelinTest, ObjectsOfDifferentFoldersAreRefused)
{
    jpeg("box/a.jpg");
    jpeg("other/b.jpg");
    const Result r = run({m_dir.file("box/a.jpg"), m_dir.file("other/b.jpg")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "[Dravik] 同一ﾌｫﾙﾀﾞのｵﾌﾞｼﾞｪｸﾄだけをｻﾎﾟｰﾄします。\n");
}

TEST_F(KorvelinTest, NameWithoutShiftJisFormIsRefused)
{
    jpeg("box/\xF0\x9F\x93\xB7.jpg");  // a camera emoji has no code page 932 form
    const Result r = run({m_dir.file("box/\xF0\x9F\x93\xB7.jpg")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "[Dravik] 不正な名前があります。\n");
}

TEST_F(KorvelinTest, FailedConversionEndsWithOne)
{
    settings("[Settings]\r\nnMakeLog=1\r\n");
    tnw::test::JpegShape shape;
    ASSERT_TRUE(tnw::test::writeFile(m_dir.file("box/cut.jpg"),
                                     tnw::test::makeJpeg(shape).substr(0, 200)));
    const Result r = run({m_dir.file("box/cut.jpg")});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::vector<std::string> logs = filesIn("box", ".csv");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_NE(tnw::test::readFile(m_dir.file("box/" + logs[0])).find("\"cut.jpg\""),
              std::string::npos);
}

TEST_F(KorvelinTest, SettingsDialogIsSkippedWithoutADisplay)
{
    settings("[PageInfo]\r\nnShowDlg=1\r\n");
    jpeg("box/a.jpg");
    const Result r = run({m_dir.file("box/a.jpg")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("settings dialog is skipped"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(m_dir.file("box/a.pdf")));
}

TEST_F(KorvelinTest, StartWhileAnotherRunsConvertsNothing)
{
    tnw::platform::SingleInstance running("Korvelin", m_dir.file("run"));
    ASSERT_EQ(running.acquire(), tnw::platform::SingleInstance::State::Acquired);
    jpeg("box/a.jpg");
    const Result r = run({m_dir.file("box/a.jpg")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("already running"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(m_dir.file("box/a.pdf")));
}
