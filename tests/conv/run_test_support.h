// Shared by the run and job tests: a work folder and a recording user interface per test,
// JPEG files made by libjpeg, and the rows of a log file.
#pragma once

#include "common/platform/cp932.h"
#include "common/platform/locale_compare.h"
#include "common/platform/ui.h"
#include "support/local_time.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/jpeg_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tnw::test {

class RunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("KORVELIN_WORK_DIR", m_work.path().c_str(), 1);
        m_ui = std::make_shared<platform::RecorderUi>();
        platform::setUiBackend(m_ui);
        platform::setLocaleCompareMode(platform::LocaleCompareMode::C);
    }
    void TearDown() override
    {
        platform::setUiBackend(nullptr);
        platform::setLocaleCompareMode(platform::LocaleCompareMode::Japanese);
        unsetenv("KORVELIN_WORK_DIR");
    }

    // A small JPEG at `relative` in the test folder (folders made as needed); its full path.
    std::string jpeg(const std::string& relative)
    {
        const std::string path = m_dir.file(relative);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        EXPECT_TRUE(writeFile(path, makeJpeg(JpegShape{})));
        return path;
    }
    std::string folder(const std::string& relative)
    {
        const std::string path = m_dir.file(relative);
        std::filesystem::create_directories(path);
        return path;
    }
    bool exists(const std::string& relative) const
    {
        return std::filesystem::exists(m_dir.file(relative));
    }
    bool isPdf(const std::string& relative) const
    {
        return readFile(m_dir.file(relative)).rfind("%PDF-", 0) == 0;
    }

    // The lines of a log file without their CR LF.
    static std::vector<std::string> lines(const std::string& path)
    {
        std::vector<std::string> out;
        const std::string text = readFile(path);
        size_t from = 0;
        while (from < text.size()) {
            const size_t end = text.find("\r\n", from);
            if (end == std::string::npos) {
                out.push_back(text.substr(from));
                break;
            }
            out.push_back(text.substr(from, end - from));
            from = end + 2;
        }
        return out;
    }

    TempDir m_work;
    TempDir m_dir;
    std::shared_ptr<platform::RecorderUi> m_ui;
};

}  // namespace tnw::test
