#include "conv/pdf/jpeg_wrap.h"

#include "common/platform/files.h"
#include "conv/pdf/jpeg_codec.h"
#include "conv/pdf/jpeg_reencoder.h"
#include "conv/pdf/temporary_file.h"
#include "conv/pdf/tiff_writer.h"

#include <limits>
#include <new>
#include <vector>

namespace tnw::conv {

namespace {

// The strip and its offsets must fit the TIFF's 32-bit fields, with room for the directory.
constexpr std::uint64_t kMaxJpegBytes = std::numeric_limits<std::uint32_t>::max() - 4096u;

// The whole file. Its size is taken from the open file and the read must give exactly that
// many bytes: a file that shrinks or grows meanwhile is refused.
int readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    if (platform::pathKind(path) != platform::PathKind::File)
        return -10;
    OwnedFile file(platform::openFile(path, "rb"));
    if (!file)
        return -1;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(file.get());
    if (end < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return -1;
    const auto size = static_cast<std::uint64_t>(end);
    if (size > kMaxJpegBytes)
        return -11;
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return -11;
    }
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return -2;
    if (std::fgetc(file.get()) != EOF)
        return -2;
    return 0;
}

int writeCopy(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    OwnedFile file(platform::openFile(path, "wb"));
    if (!file)
        return -300;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    ok = std::fflush(file.get()) == 0 && ok;
    ok = std::fclose(file.release()) == 0 && ok;
    return ok ? 0 : -301;
}

bool heightFits(const JpegInfo& info)
{
    return info.height >= 1 && info.height <= kMaxJpegTiffRows;
}

int wrap(const std::string& jpegPath, const std::string& tiffPath, const std::string& workFolder,
         JpegWrapResult& result)
{
    JpegAnalysis analysis;
    if (analysis.analyse(jpegPath) != 0) {
        result.diagnostic = analysis.message();
        return -1;
    }
    JpegInfo info = analysis.info();
    result.info = info;
    // One strip holds every row; refuse a tall image before any of its bytes are read.
    if (!heightFits(info)) {
        result.diagnostic = "image height out of range";
        return -10;
    }

    TemporaryFile copy;
    TemporaryFile baseline;
    std::string source = jpegPath;
    std::vector<std::uint8_t> bytes;
    // A PDF reader decodes baseline and progressive Huffman-coded JPEG only, and the progressive
    // kind not everywhere: both progressive and arithmetic-coded files are re-encoded.
    if (info.progressive || info.arithmetic) {
        if (int rc = readWholeFile(jpegPath, bytes); rc != 0) {
            result.diagnostic = "cannot read the JPEG file";
            return rc;
        }
        if (!copy.create(workFolder, kWrapCopyName)) {
            result.diagnostic = "cannot create a temporary file in " + workFolder;
            return -300;
        }
        if (int rc = writeCopy(copy.path(), bytes); rc != 0) {
            result.diagnostic = "cannot write " + copy.path();
            return rc;
        }
        if (!baseline.create(workFolder, kWrapBaselineName)) {
            result.diagnostic = "cannot create a temporary file in " + workFolder;
            return -301;
        }
        JpegReencoder reencoder;
        if (reencoder.reencodeFile(copy.path(), baseline.path()) != 0) {
            result.diagnostic = reencoder.message();
            return -301;
        }
        if (analysis.analyse(baseline.path()) != 0) {
            result.diagnostic = analysis.message();
            return -1;
        }
        info = analysis.info();
        result.info = info;
        result.reencoded = true;
        if (!heightFits(info))
            return -10;
        source = baseline.path();
    }

    if (int rc = readWholeFile(source, bytes); rc != 0) {
        result.diagnostic = "cannot read " + source;
        return rc;
    }
    result.invertedCmyk = hasInvertedCmyk(info);
    result.dataSize = bytes.size();
    const int rc = writeJpegTiff(tiffPath, info, bytes.data(), bytes.size());
    if (rc != 0)
        result.diagnostic = "cannot write the temporary TIFF";
    return rc;
}

}  // namespace

int wrapJpegFile(const std::string& jpegPath, const std::string& tiffPath,
                 const std::string& workFolder, JpegWrapResult& result)
{
    result = JpegWrapResult{};
    try {
        return wrap(jpegPath, tiffPath, workFolder, result);
    } catch (...) {
        return -11;
    }
}

}  // namespace tnw::conv
