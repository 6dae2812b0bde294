// A fresh temporary folder for one test, removed with everything in it at the end.
#pragma once

#include <string>

namespace tnw::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }  // UTF-8 (ASCII) path, no trailing '/'
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Whole file as bytes ("" when it cannot be read).
std::string readFile(const std::string& path);
// Writes bytes; returns false on failure.
bool writeFile(const std::string& path, const std::string& bytes);

}  // namespace tnw::test
