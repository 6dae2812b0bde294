#include "conv/pdf/jpeg_wrap.h"

#include "common/platform/files.h"
#include "common/image/jpeg_codec.h"
#include "conv/pdf/jpeg_reencoder.h"
#include "conv/pdf/temporary_file.h"
#include "conv/pdf/tiff_writer.h"

#include <cerrno>
#include <limits>
#include <new>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tnw::conv {

namespace {

// The strip and its offsets must fit the TIFF's 32-bit fields, with room for the directory.
constexpr std::uint64_t kMaxJpegBytes = std::numeric_limits<std::uint32_t>::max() - 4096u;

// The whole file, after `room` bytes left free at the start of `buffer`. The file is opened
// once; its size is taken from the open file and the reads must give exactly that many bytes: a
// file that shrinks or grows meanwhile is refused.
int readWholeFile(const std::string& path, std::string& buffer, size_t room)
{
    // A FIFO or a device named like a JPEG is refused without being waited for.
    const int fd = platform::openRegularFile(path);
    if (fd < 0)
        return -1;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return -1;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size > kMaxJpegBytes)
        return -11;
    try {
        buffer.clear();
        buffer.resize(room + static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return -11;
    }
    size_t at = room;
    while (at < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + at, buffer.size() - at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return -2;
        at += size_t(n);
    }
    char extra;
    ssize_t n;
    while ((n = ::read(fd, &extra, 1)) < 0 && errno == EINTR) {
    }
    return n == 0 ? 0 : -2;
}

int writeCopy(const std::string& path, std::string_view bytes)
{
    image::OwnedFile file(platform::openFile(path, "wb"));
    if (!file)
        return -300;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    ok = std::fflush(file.get()) == 0 && ok;
    ok = std::fclose(file.release()) == 0 && ok;
    return ok ? 0 : -301;
}

bool heightFits(const image::JpegInfo& info)
{
    return info.height >= 1 && info.height <= kMaxJpegTiffRows;
}

int wrap(const std::string& jpegPath, const std::string& workFolder, bool keepProgressive,
         JpegWrapResult& result)
{
    // The file is read once, after room for the TIFF's head; the analysis reads the bytes.
    std::string& buffer = result.buffer;
    constexpr size_t room = kJpegTiffHeadRoom;
    if (int rc = readWholeFile(jpegPath, buffer, room); rc != 0) {
        result.diagnostic = "cannot read the JPEG file";
        return rc;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data()) + room;
    image::JpegAnalysis analysis;
    if (analysis.analyse(bytes, buffer.size() - room) != 0) {
        result.diagnostic = analysis.message();
        return -1;
    }
    image::JpegInfo info = analysis.info();
    result.info = info;
    // One strip holds every row.
    if (!heightFits(info)) {
        result.diagnostic = "image height out of range";
        return -10;
    }

    // A PDF reader decodes baseline and progressive Huffman-coded JPEG only, and the progressive
    // kind not everywhere: both progressive and arithmetic-coded files are re-encoded.
    result.keptProgressive = keepProgressive && info.progressive && !info.arithmetic;
    if ((info.progressive && !result.keptProgressive) || info.arithmetic) {
        TemporaryFile copy;
        TemporaryFile baseline;
        if (!copy.create(workFolder, kWrapCopyName)) {
            result.diagnostic = "cannot create a temporary file in " + workFolder;
            return -300;
        }
        if (int rc = writeCopy(copy.path(), std::string_view(buffer).substr(room)); rc != 0) {
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
        if (int rc = readWholeFile(baseline.path(), buffer, room); rc != 0) {
            result.diagnostic = "cannot read " + baseline.path();
            return rc;
        }
        bytes = reinterpret_cast<const unsigned char*>(buffer.data()) + room;
        if (analysis.analyse(bytes, buffer.size() - room) != 0) {
            result.diagnostic = analysis.message();
            return -1;
        }
        info = analysis.info();
        result.info = info;
        result.reencoded = true;
        if (!heightFits(info))
            return -10;
    }

    result.invertedCmyk = image::hasInvertedCmyk(info);
    result.dataSize = buffer.size() - room;
    const int rc = placeJpegTiffHead(info, buffer, room, result.tiffStart);
    if (rc != 0)
        result.diagnostic = "cannot lay out the TIFF";
    return rc;
}

}  // namespace

int wrapJpegInMemory(const std::string& jpegPath, const std::string& workFolder,
                     JpegWrapResult& result, bool keepProgressive)
{
    // The buffer's memory is kept for the next file: no fresh pages to fault in.
    std::string buffer = std::move(result.buffer);
    result = JpegWrapResult{};
    result.buffer = std::move(buffer);
    try {
        const int rc = wrap(jpegPath, workFolder, keepProgressive, result);
        if (rc != 0)
            result.buffer = std::string();
        return rc;
    } catch (...) {
        result.buffer = std::string();
        return -11;
    }
}

int wrapJpegFile(const std::string& jpegPath, const std::string& tiffPath,
                 const std::string& workFolder, JpegWrapResult& result)
{
    const int rc = wrapJpegInMemory(jpegPath, workFolder, result);
    if (rc != 0)
        return rc;
    const std::string_view tiff = result.tiff();
    const int written = writeCopy(tiffPath, tiff);
    result.buffer = std::string();
    if (written != 0) {
        platform::deleteFile(tiffPath);
        result.diagnostic = "cannot write the temporary TIFF";
    }
    return written;
}

}  // namespace tnw::conv
