// Runs a test inside a folder and goes back to the previous current folder afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace tnw::test {

class InFolder {
public:
    explicit InFolder(const std::string& folder) : m_old(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(m_old); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::filesystem::path m_old;
};

}  // namespace tnw::test
