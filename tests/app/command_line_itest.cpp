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

#include <algorithm>
#include <cstdio>
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
    Result run(const std::vector<std::string>& args, const std::string& cwd = {},
               const std::map<std::string, std::string>& changes = {})
    {
        return finish(start(args, cwd, changes));
    }

    // A started program: its process and the files that take its output.
    struct Started {
        pid_t pid = -1;
        std::string errFile;
        std::string outFile;
    };

    // Starts the program without waiting. `changes` set variables of its environment; an empty
    // value removes one. `tag` names its output files, so several can run at once.
    Started start(const std::vector<std::string>& args, const std::string& cwd = {},
                  const std::map<std::string, std::string>& changes = {},
                  const std::string& tag = "run")
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
        for (const auto& [k, v] : changes) {
            if (v.empty())
                env.erase(k);
            else
                env[k] = v;
        }
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

        Started started;
        started.errFile = m_dir.file(tag + "-stderr.txt");
        started.outFile = m_dir.file(tag + "-stdout.txt");
        started.pid = ::fork();
        if (started.pid == 0) {
            const int err = ::open(started.errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int out = ::open(started.outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(err, 2);
            ::dup2(out, 1);
            if (!cwd.empty() && ::chdir(cwd.c_str()) != 0)
                ::_exit(127);
            ::execve(program.c_str(), argv.data(), envp.data());
            ::_exit(127);
        }
        return started;
    }

    Result finish(const Started& started)
    {
        Result r;
        int status = 0;
        if (started.pid > 0 && ::waitpid(started.pid, &status, 0) == started.pid &&
            WIFEXITED(status))
            r.status = WEXITSTATUS(status);
        r.err = tnw::test::readFile(started.errFile);
        r.out = tnw::test::readFile(started.outFile);
        return r;
    }

    void settings(const std::string& text)
    {
        ASSERT_TRUE(tnw::test::writeFile(m_dir.file("cfg/Korvelin.ini"), text));
    }

    void jpeg(const std::string& name, bool gray = false, int width = 48, int height = 32)
    {
        tnw::test::JpegShape shape;
        shape.width = width;
        shape.height = height;
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

bool havePoppler()
{
    return std::system("pdfinfo -v > /dev/null 2>&1") == 0 &&
           std::system("pdfimages -v > /dev/null 2>&1") == 0;
}

// The standard output of a shell command.
std::string output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
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

TEST_F(KorvelinTest, WindowStartsNeedADisplayAndFolderTakesNoPaths)
{
    // Without paths the program opens its window: without a display it says so and ends.
    Result r = run({}, {}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("needs a display"), std::string::npos) << r.err;
    r = run({"--folder", m_dir.path()}, {}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    EXPECT_EQ(r.status, 2);
    // --folder opens the window; paths to convert beside it are refused, nothing converted.
    jpeg("box/a.jpg");
    r = run({"--folder", m_dir.file("box"), m_dir.file("box/a.jpg")});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(fs::exists(m_dir.file("box/a.pdf")));
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
    EXPECT_EQ(r.err.rfind("[Korvelin] cut.jpg: ", 0), 0u) << r.err;
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

TEST_F(KorvelinTest, HeadlessRunTakesNoLockAndRunsBesideAnother)
{
    tnw::platform::SingleInstance running("Korvelin", m_dir.file("run"));
    ASSERT_EQ(running.acquire(), tnw::platform::SingleInstance::State::Acquired);
    jpeg("box/a.jpg");
    const Result r = run({m_dir.file("box/a.jpg")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(fs::exists(m_dir.file("box/a.pdf")));
}

TEST_F(KorvelinTest, StartTurnedAwayWithADisplayEndsWithOne)
{
    tnw::platform::SingleInstance running("Korvelin", m_dir.file("run"));
    ASSERT_EQ(running.acquire(), tnw::platform::SingleInstance::State::Acquired);
    jpeg("box/a.jpg");
    // The start is turned away before any window system is reached.
    const Result r = run({m_dir.file("box/a.jpg")}, {},
                         {{"DISPLAY", ":97"}, {"QT_QPA_PLATFORM", ""}});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("already running"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(m_dir.file("box/a.pdf")));
}

TEST_F(KorvelinTest, OutputFolderThatCannotBeWrittenIsNamedOnStandardError)
{
    // /proc is a folder no one can create a file in, whoever runs the test.
    settings("[Settings]\r\nnMakeLog=0\r\nnFolding=1\r\nszFold2=/proc\r\n");
    jpeg("box/photo.jpg");
    const Result r = run({m_dir.file("box/photo.jpg")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "[Korvelin] photo.jpg: Can't open output file /proc/photo.pdf for writing\n");
    // The temporary files of the run are gone with it.
    EXPECT_TRUE(filesIn("work", ".tif").empty());
}

TEST_F(KorvelinTest, SomeImagesRefusedEndsWithThree)
{
    jpeg("box/a.jpg");
    ASSERT_TRUE(tnw::test::writeFile(m_dir.file("box/b.jpg"), "not a JPEG"));
    const Result r = run({m_dir.file("box/a.jpg"), m_dir.file("box/b.jpg")});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.rfind("[Korvelin] b.jpg: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(filesIn("box", ".pdf"), std::vector<std::string>{"a.pdf"});
}

TEST_F(KorvelinTest, KeptExistingPdfEndsWithZeroAndSaysSo)
{
    settings("[Settings]\r\nnFiling=1\r\n");
    jpeg("box/a.jpg");
    jpeg("box/b.jpg");
    ASSERT_TRUE(tnw::test::writeFile(m_dir.file("box/b.pdf"), "old"));
    const Result r = run({m_dir.file("box/a.jpg"), m_dir.file("box/b.jpg")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "[Korvelin] b.jpg: 既存のためｽｷｯﾌﾟ\n");
    EXPECT_EQ(tnw::test::readFile(m_dir.file("box/b.pdf")), "old");
}

TEST_F(KorvelinTest, LongJapanesePathWithinTheLimitInCodePage932Converts)
{
    // 193 bytes in code page 932, 283 in UTF-8: the limit of 260 bytes counts the first.
    const std::string folder = "box/" + [] {
        std::string s;
        for (int i = 0; i < 40; ++i)
            s += "漢";
        return s;
    }();
    std::string name;
    for (int i = 0; i < 50; ++i)
        name += "字";
    fs::create_directories(m_dir.file(folder));
    const std::string path = m_dir.file(folder + "/" + name + ".jpg");
    const size_t cp932Length = tnw::platform::sjis(path).size();
    ASSERT_LT(cp932Length, 260u);
    ASSERT_GT(path.size(), 260u);
    jpeg(folder + "/" + name + ".jpg");
    const Result r = run({path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(m_dir.file(folder + "/" + name + ".pdf")));
}

TEST_F(KorvelinTest, TwoHeadlessRunsAtOnceEachWriteTheirOwnPdf)
{
    // Joined mode: each run writes one PDF of its 200 images, and its log beside it. The runs
    // share the work folder; their images differ in size, so a page taken from the other run
    // would show.
    settings("[App]\r\nnTif2Pdf=1\r\n[Settings]\r\nnMakeLog=1\r\n");
    constexpr int kImages = 200;
    std::vector<std::string> argsA, argsB;
    for (int i = 0; i < kImages; ++i) {
        const std::string n = std::to_string(1000 + i);
        jpeg("box/f1/a" + n + ".jpg", false, 48, 32);
        jpeg("box/f2/b" + n + ".jpg", false, 24, 40);
        argsA.push_back(m_dir.file("box/f1/a" + n + ".jpg"));
        argsB.push_back(m_dir.file("box/f2/b" + n + ".jpg"));
    }
    const Started a = start(argsA, {}, {}, "a");
    const Started b = start(argsB, {}, {}, "b");
    const Result ra = finish(a);
    const Result rb = finish(b);
    // Standard error names every refused image: only the first few lines are shown.
    EXPECT_EQ(ra.status, 0) << ra.err.substr(0, 400);
    EXPECT_EQ(rb.status, 0) << rb.err.substr(0, 400);
    EXPECT_TRUE(ra.err.empty() && rb.err.empty());
    EXPECT_TRUE(fs::is_empty(m_dir.file("work")));

    const std::string pdfA = m_dir.file("box/f1/f1.pdf");
    const std::string pdfB = m_dir.file("box/f2/f2.pdf");
    ASSERT_TRUE(fs::exists(pdfA));
    ASSERT_TRUE(fs::exists(pdfB));
    if (haveQpdf()) {
        EXPECT_EQ(std::system(("qpdf --check '" + pdfA + "' > /dev/null").c_str()), 0);
        EXPECT_EQ(std::system(("qpdf --check '" + pdfB + "' > /dev/null").c_str()), 0);
    }
    if (havePoppler()) {
        for (const auto& [pdf, size] : {std::pair{pdfA, std::string(" 48 32 ")},
                                        std::pair{pdfB, std::string(" 24 40 ")}}) {
            const std::string info = output("pdfinfo '" + pdf + "' 2>/dev/null");
            const size_t pages = info.find("Pages:");
            ASSERT_NE(pages, std::string::npos) << pdf;
            EXPECT_EQ(std::atoi(info.c_str() + pages + 6), kImages) << pdf;
            // Every image of the PDF has the size of its own run's images.
            const std::string list =
                output("pdfimages -list '" + pdf + "' 2>/dev/null | tail -n +3");
            int images = 0;
            int others = 0;
            std::string firstOther;
            size_t from = 0;
            while (from < list.size()) {
                const size_t end = list.find('\n', from);
                std::string line = list.substr(from, end - from);
                from = end == std::string::npos ? list.size() : end + 1;
                // page num type width height ...: squeeze the spaces to compare the sizes.
                std::string squeezed;
                for (char c : line) {
                    if (c != ' ' || squeezed.empty() || squeezed.back() != ' ')
                        squeezed += c;
                }
                ++images;
                if (squeezed.find(" image" + size) == std::string::npos && others++ == 0)
                    firstOther = squeezed;
            }
            EXPECT_EQ(images, kImages) << pdf;
            EXPECT_EQ(others, 0) << pdf << ": first " << firstOther;
        }
    }
}
