// A temporary file of one run: its name is made unique (a random part between the stem and
// the extension of a base name, "tnw7.jpg" giving "tnw7.k3Xq9Z.jpg"), it is created
// exclusively, so two processes working in the same folder never share it, and it is deleted
// when its owner goes, whatever way the job ends.
#pragma once

#include <cstdio>
#include <string>

namespace tnw::conv {

class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates an empty file in `folder` (code page 932) named after `baseName`, with the
    // permissions a new file gets from the process's umask. Any file this object held before
    // is deleted first. False when no such file can be made.
    bool create(const std::string& folder, const std::string& baseName);
    // The same, opened for writing: the caller owns the stream, and the file is still deleted
    // with this object unless it is kept.
    FILE* createOpen(const std::string& folder, const std::string& baseName);

    // The file's path (code page 932); empty when none is held.
    const std::string& path() const { return m_path; }
    bool held() const { return !m_path.empty(); }
    // Deletes the file now.
    void remove();
    // Leaves the file where it is (it has been renamed or handed on).
    void keep() { m_path.clear(); }

private:
    int createFd(const std::string& folder, const std::string& baseName);

    std::string m_path;
};

}  // namespace tnw::conv
