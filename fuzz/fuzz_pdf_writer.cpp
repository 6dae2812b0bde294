// Fuzz target of the PDF writer: the input is written both as a TIFF file and as a JPEG file
// in a scratch folder; the TIFF is converted alone, then both are converted as a list. The
// writer must never crash, hang or read out of bounds, whatever the bytes hold.
#include "conv/pdf/pdf_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

struct Scratch {
    std::string folder;

    Scratch()
    {
        char name[] = "/tmp/fuzz_pdf_writer_XXXXXX";
        if (!mkdtemp(name))
            std::abort();
        folder = name;
    }
    ~Scratch()
    {
        for (const char* file : {"in.tif", "in.jpg", "out.pdf", "list.pdf", "log.csv",
                                 "tnwt2pdojpg.tif", "tnwjpg_1.jpg", "tnwjpg_2.jpg", "tnw7.jpg"})
            ::unlink((folder + "/" + file).c_str());
        ::rmdir(folder.c_str());
    }
    std::string file(const char* name) const { return folder + "/" + name; }
};

bool writeBytes(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Scratch scratch;
    const std::string tif = scratch.file("in.tif");
    const std::string jpg = scratch.file("in.jpg");
    if (!writeBytes(tif, data, size) || !writeBytes(jpg, data, size))
        return 0;
    ::unlink(scratch.file("log.csv").c_str());

    tnw::conv::PdfWriter writer;
    writer.setWorkFolder(scratch.folder);
    writer.setLogPath(scratch.file("log.csv"));
    writer.setMaxImageBytes(16u << 20);  // keeps hostile sizes within the fuzzer's memory
    writer.setVersion(1, 1);
    writer.pdfWriteTiffFile(0, 0, tif, scratch.file("out.pdf"), nullptr);
    writer.pdfWriteFileList(0, "fuzz", {tif, jpg}, scratch.file("list.pdf"), nullptr);
    return 0;
}
