// Fuzz target of the TIFF reader: opens the input as a file, walks its directories and reads
// each directory twice, once with the text dump and once with the row dump, into a sink.
#include "common/tiff_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

struct Scratch {
    std::string path;
    FILE* sink = nullptr;

    Scratch()
    {
        char name[] = "/tmp/fuzz_tiff_reader_XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0)
            std::abort();
        ::close(fd);
        path = name;
        sink = std::fopen("/dev/null", "wb");
        if (!sink)
            std::abort();
    }
    ~Scratch()
    {
        std::fclose(sink);
        ::unlink(path.c_str());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Scratch scratch;
    FILE* f = std::fopen(scratch.path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    tnw::common::TiffReader reader;
    if (reader.open(scratch.path) != 0)
        return 0;
    // A failing chain still leaves the directories read before the failure.
    reader.readDirectories();
    for (int i = 0; i < reader.directoryCount(); ++i) {
        reader.setDump(scratch.sink, tnw::common::TiffDumpMode::Text);
        reader.readDirectory(i);
        reader.setDump(scratch.sink, tnw::common::TiffDumpMode::Rows);
        reader.readDirectory(i);
    }
    reader.close();
    return 0;
}
