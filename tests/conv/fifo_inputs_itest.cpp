// Runs over folders that hold something other than regular files under image names: a FIFO
// named like a JPEG gets the row of a file that cannot be read, and the run goes on.
#include "conv/run_log.h"
#include "conv/runs.h"
#include "tests/conv/run_test_support.h"

#include <sys/stat.h>

using namespace tnw::conv;
using namespace tnw::test;

namespace {

class SpecialFiles : public RunTest {
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        m_log = m_dir.file("run.csv");
        ASSERT_EQ(RunLog::create(m_log), 0);
    }

    RunRequest request(std::vector<std::string> inputs, int mode) const
    {
        RunRequest r;
        r.settings.nMode = mode;
        r.baseFolder = m_dir.file("in");
        r.inputs = std::move(inputs);
        r.output = m_dir.file("out");
        r.logPath = m_log;
        r.runStart = localTime(2024, 5, 6, 7, 8, 9);
        r.clock = tnw::common::fixedClock({2024, 5, 6, 7, 8, 9});
        return r;
    }

    // The rows after the column header: source file (field 1) and remark (field 9).
    std::vector<std::pair<std::string, std::string>> rows() const
    {
        std::vector<std::pair<std::string, std::string>> out;
        const std::vector<std::string> all = lines(m_log);
        for (size_t i = 1; i < all.size(); ++i) {
            const auto f = splitLogFields(all[i], 10);
            out.emplace_back(std::string(f.at(1)), std::string(f.at(9)));
        }
        return out;
    }

    std::string m_log;
};

}  // namespace

TEST_F(SpecialFiles, FifoNamedLikeAJpegIsLoggedAndTheFolderRunFinishes)
{
    const std::string box = folder("in/box");
    jpeg("in/box/a.jpg");
    ASSERT_EQ(::mkfifo((box + "/x.jpg").c_str(), 0600), 0);
    folder("out");

    runFoldersJoined(request({box}, 1));
    EXPECT_TRUE(isPdf("out/box.pdf"));
    const auto joined = rows();
    ASSERT_EQ(joined.size(), 2u);
    EXPECT_EQ(joined[0].first, "\"a.jpg\"");
    EXPECT_EQ(joined[1].first, "\"x.jpg\"");
    EXPECT_FALSE(joined[1].second.empty());

    runFoldersEach(request({box}, 1));
    EXPECT_TRUE(isPdf("out/box/a.pdf"));
    EXPECT_FALSE(exists("out/box/x.pdf"));
    ASSERT_EQ(rows().size(), 4u);
    EXPECT_EQ(rows()[3].first, "\"x.jpg\"");
}

TEST_F(SpecialFiles, FifoGetsTheRowOfAFileThatCannotBeRead)
{
    folder("in");
    folder("out");
    const std::string fifo = m_dir.file("in/x.jpg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string gone = m_dir.file("in/gone.jpg");  // listed, then never there
    runFilesEach(request({fifo, gone, jpeg("in/c.jpg")}, 0));
    EXPECT_TRUE(isPdf("out/c.pdf"));
    const auto r = rows();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].first, "\"x.jpg\"");
    EXPECT_EQ(r[1].first, "\"gone.jpg\"");
    EXPECT_FALSE(r[0].second.empty());
    EXPECT_EQ(r[0].second, r[1].second);
}
