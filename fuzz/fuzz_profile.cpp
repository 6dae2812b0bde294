// Fuzz target for the private-profile reader and writer: the input is a settings file.
// Besides never crashing, a value written must read back as written, and a deleted key must
// read as the default, whatever the rest of the file holds.
#include "common/platform/profile.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// One file for the whole run, in memory-backed storage when there is some (writes fsync).
const std::string& iniPath()
{
    static const std::string path = [] {
        std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = folder + "/kvl-fuzz-profile-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern + "/f.ini";
    }();
    return path;
}

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_profile: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tnw::platform;
    const char* path = iniPath().c_str();
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    static const char* const sections[] = {"S", "settings", "USERFORM", "", "\x83\x41"};
    static const unsigned sizes[] = {0, 1, 2, 3, 7, 4096};
    char buf[4096];
    for (const char* section : sections) {
        for (unsigned n : sizes) {
            GetPrivateProfileString(section, "k", "def", buf, n, path);
            GetPrivateProfileKeyNames(section, buf, n, path);
        }
        GetPrivateProfileInt(section, "k", 5, path);
        GetPrivateProfileInt(section, "n", 5, path);
    }
    GetPrivateProfileString(nullptr, nullptr, "", buf, sizeof buf, path);

    check(WritePrivateProfileString("S", "k", "written", path), "write failed");
    GetPrivateProfileString("s", "K", "", buf, sizeof buf, path);
    check(std::strcmp(buf, "written") == 0, "written value does not read back");
    check(WritePrivateProfileString("S", "k", nullptr, path), "delete failed");
    GetPrivateProfileString("S", "k", "gone", buf, sizeof buf, path);
    check(std::strcmp(buf, "gone") == 0, "deleted key still reads");

    check(WritePrivateProfileSection("USERFORM", "a=\0b=1\0", path), "section write failed");
    unsigned n = GetPrivateProfileKeyNames("USERFORM", buf, sizeof buf, path);
    check(n == 4 && std::memcmp(buf, "a\0b\0", 5) == 0, "section body does not read back");
    check(GetPrivateProfileInt("USERFORM", "b", 7, path) == 1, "section value does not read back");
    return 0;
}
