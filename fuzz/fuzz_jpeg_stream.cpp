// Fuzz target of the JPEG page stream: the input becomes a TIFF file, the tag reader walks its
// directories, and every directory with compression 6 or 7 is assembled into a DCT stream
// (rebuilds included, with a small decoding limit). Whatever the offsets, lengths and tables
// say, the assembly must neither crash nor read outside the file, and its result must be
// either a stream ending in FF D9 or a code with a message and no output.
#include "common/image/jpeg_codec.h"
#include "common/tiff_reader.h"
#include "conv/pdf/jpeg_stream.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

struct Scratch {
    std::string folder;
    std::string path;

    Scratch()
    {
        char name[] = "/tmp/fuzz_jpeg_stream_XXXXXX";
        if (!mkdtemp(name))
            std::abort();
        folder = name;
        path = folder + "/page.tif";
    }
    ~Scratch()
    {
        ::unlink(path.c_str());
        ::unlink((folder + "/" + tnw::conv::kJpegRebuildName).c_str());
        ::rmdir(folder.c_str());
    }
};

constexpr int kMaxDirectories = 8;

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
    reader.readDirectories();
    for (int i = 0; i < reader.directoryCount() && i < kMaxDirectories; ++i) {
        if (reader.readDirectory(i) != 0)
            continue;
        const tnw::common::TiffDirectory dir = reader.record();
        if (dir.compression != 6 && dir.compression != 7)
            continue;
        tnw::conv::JpegPageSource source;
        source.path = scratch.path;
        source.directory = &dir;
        source.workFolder = scratch.folder;
        source.maxDecodeBytes = 4u << 20;
        std::string out = "x";
        tnw::conv::JpegStreamReport report;
        const int rc = tnw::conv::writeJpegPageStream(source, out, report);
        if (rc < 0) {
            if (out != "x" || report.message.empty())
                std::abort();
        } else if (out.size() < 3 || out.compare(out.size() - 2, 2, "\xFF\xD9") != 0 ||
                   size_t(rc) != out.size() - 1) {
            std::abort();
        }
    }
    return 0;
}
