// Fuzz target for the history files (ComboAddr.txt, tnwTo.txt): the input is the file as a user
// or a crash may have left it. Whatever it holds, every entry read must be one that could have
// been recorded, no entry may come twice, and writing the entries back must read back the same.
#include "app/core/history/history_file.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

const std::string& historyPath()
{
    static const std::string path = [] {
        std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = folder + "/kvl-fuzz-history-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern + "/ComboAddr.txt";
    }();
    return path;
}

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_history_file: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = historyPath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    const tnw::app::HistoryFile history(path);
    const std::vector<std::string> entries = history.read();
    std::set<std::string> seen;
    for (const std::string& e : entries) {
        check(tnw::app::HistoryFile::recordable(e), "an entry read is not recordable");
        check(seen.insert(e).second, "an entry read twice");
    }
    check(history.write(entries), "the entries read cannot be written back");
    check(history.read() == entries, "the entries written do not read back the same");

    std::vector<std::string> pushed = entries;
    if (!entries.empty()) {
        check(tnw::app::HistoryFile::pushFront(pushed, entries.back()), "pushFront refused");
        check(pushed.size() == entries.size() && pushed.front() == entries.back(),
              "pushFront of a known entry did not move it first");
    }
    return 0;
}
