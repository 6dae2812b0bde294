// Bytes → a ".jpg" file → JPEG analysis, then wrapping into the temporary TIFF (with the baseline
// re-encoding of progressive and arithmetic-coded files) in a private temporary folder.
#include "common/tiff_reader.h"
#include "common/image/jpeg_analysis.h"
#include "conv/pdf/jpeg_wrap.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// The work folder of this process, removed with its files at exit.
struct WorkFolder {
    WorkFolder()
    {
        char pattern[] = "/tmp/kvl_fuzz_jpeg_XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        path = pattern;
    }
    ~WorkFolder()
    {
        for (const char* name : {"in.jpg", "tnwt2pdojpg.tif", "tnwjpg_1.jpg", "tnwjpg_2.jpg"})
            std::remove((path + "/" + name).c_str());
        rmdir(path.c_str());
    }
    std::string path;
};

// Decoding is linear in the pixels; a few header bytes can ask for billions of them, which
// would only measure the decoder's speed.
constexpr std::uint64_t kMaxFuzzPixels = 4u << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static WorkFolder work;
    const std::string jpeg = work.path + "/in.jpg";
    const std::string tiff = work.path + "/tnwt2pdojpg.tif";
    FILE* f = std::fopen(jpeg.c_str(), "wb");
    if (!f)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    tnw::image::JpegAnalysis analysis;
    if (analysis.analyse(jpeg) != 0)
        return 0;
    const tnw::image::JpegInfo& info = analysis.info();
    if (static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.height) >
        kMaxFuzzPixels)
        return 0;

    tnw::conv::JpegWrapResult result;
    if (tnw::conv::wrapJpegFile(jpeg, tiff, work.path, result) != 0)
        return 0;
    // The temporary TIFF must read back with one strip of the wrapped JPEG's size.
    tnw::common::TiffReader reader;
    if (reader.open(tiff) != 0 || reader.readDirectories() != 0 || reader.readDirectory(0) != 0)
        std::abort();
    const auto& record = reader.record();
    if (record.stripByteCounts.size() != 1 || record.stripByteCounts[0] != result.dataSize)
        std::abort();
    if (!result.reencoded && result.dataSize != size)
        std::abort();
    return 0;
}
