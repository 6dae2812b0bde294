// Stand-in until the full assembly (interchange headers, restart markers, rebuilds) lands: the
// page's strips in order, then FF D9. For a wrapped JPEG file this is already the complete
// stream: its one strip is the whole file.
#include "conv/pdf/jpeg_stream.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"

#include <climits>
#include <memory>

namespace tnw::conv {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

int writeJpegPageStream(const JpegPageSource& page, std::string& out, JpegStreamReport& report)
{
    report = JpegStreamReport{};
    const common::TiffDirectory* dir = page.directory;
    if (!dir)
        return -1;
    std::unique_ptr<FILE, FileCloser> file(platform::openFile(page.path, "rb"));
    if (!file) {
        report.message = platform::sjis("ｽﾄﾘｯﾌﾟへの位置づけ失敗");
        report.diagnostic = "Can't open " + page.path;
        return -302;
    }
    const size_t start = out.size();
    char chunk[32760];
    for (size_t s = 0; s < dir->stripOffsets.size() && s < dir->stripByteCounts.size(); ++s) {
        if (std::fseek(file.get(), long(dir->stripOffsets[s]), SEEK_SET) != 0) {
            out.resize(start);
            report.message = platform::sjis("ｽﾄﾘｯﾌﾟへの位置づけ失敗");
            report.diagnostic = "Can't seek to a strip of " + page.path;
            return -302;
        }
        for (uint32_t left = dir->stripByteCounts[s]; left > 0;) {
            const size_t want = left < sizeof chunk ? left : sizeof chunk;
            const size_t got = std::fread(chunk, 1, want, file.get());
            if (got != want) {
                out.resize(start);
                report.message = platform::sjis("ｽﾄﾘｯﾌﾟの入出力ｴﾗｰ発生");
                report.diagnostic = "Can't read a strip of " + page.path;
                return -301;
            }
            out.append(chunk, got);
            left -= static_cast<uint32_t>(got);
        }
    }
    out += "\xFF\xD9";
    const size_t appended = out.size() - start;
    return appended > size_t(INT_MAX) ? INT_MAX : static_cast<int>(appended);
}

}  // namespace tnw::conv
