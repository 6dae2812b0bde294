#include "conv/pdf/pdf_page_list.h"

#include "common/file_kind.h"
#include "common/platform/files.h"
#include "common/tiff_reader.h"
#include "common/checked_size.h"
#include "common/image/jpeg_codec.h"

#include <sys/stat.h>

#include <cstdio>

namespace tnw::conv {

int PdfSizeAccount::charge(uint64_t dataSize)
{
    if (m_reached)
        return kPageSizeLimit;
    uint64_t cost = UINT64_MAX;  // a size past 64 bits passes any limit
    checkedAdd(kPerPage, dataSize, cost);
    int code = kPageUsable;
    if (m_total > m_limit || m_limit - m_total < cost) {
        m_reached = true;
        code = kPageSizeLimit;
    }
    if (!checkedAdd(m_total, cost, m_total))
        m_total = UINT64_MAX;
    return code;
}

namespace {

// The pages of a TIFF file the reader could open; false when it has no directory to read.
bool addTiffPages(common::TiffReader& reader, const std::string& path, PdfSizeAccount& account,
                  std::vector<SourcePage>& pages)
{
    reader.readDirectories();  // a broken chain keeps the directories read before it
    const int count = reader.directoryCount();
    if (count == 0)
        return false;
    for (int n = 0; n < count; ++n) {
        SourcePage page;
        page.path = path;
        page.kind = common::kFileKindTiff;
        page.pagesInSource = count;
        page.pageIndex = n;
        if (reader.readDirectory(n) == 0) {
            const common::TiffDirectory& dir = reader.record();
            page.dataSize = dir.stripByteCountSum;
            page.photometric = dir.photometric;
            page.compression = dir.compression;
        }
        page.errorCode = account.charge(page.dataSize);
        pages.push_back(std::move(page));
    }
    return true;
}

// A file named as a JPEG that is no TIFF (its first bytes are not a TIFF byte order), looked at
// through one open: its size and analysis. False when it must go the general way (a TIFF, or a
// file that cannot be opened), `page` untouched.
bool addJpegPage(const std::string& path, PdfSizeAccount& account, SourcePage& page)
{
    image::OwnedFile file(platform::openFile(path, "rb"));
    if (!file)
        return false;
    char order[2] = {};
    const size_t got = std::fread(order, 1, 2, file.get());
    if (got == 2 && order[0] == order[1] && (order[0] == 'I' || order[0] == 'M'))
        return false;
    struct stat st {};
    if (fstat(fileno(file.get()), &st) != 0)
        return false;
    page.path = path;
    page.kind = common::kFileKindJpeg;
    page.dataSize = uint64_t(st.st_size);
    image::JpegAnalysis analysis;
    page.errorCode =
        analysis.analyse(file.get()) == 0 ? kPageUsable : kPageJpegAnalysisFailed;
    page.jpeg = analysis.info();
    if (page.errorCode == kPageUsable)
        page.errorCode = account.charge(page.dataSize);
    return true;
}

}  // namespace

std::vector<SourcePage> buildPageList(const std::vector<std::string>& paths,
                                      PdfSizeAccount& account)
{
    std::vector<SourcePage> pages;
    for (const std::string& path : paths) {
        if (common::fileKindOf(path) == common::kFileKindJpeg) {
            SourcePage page;
            if (addJpegPage(path, account, page)) {
                pages.push_back(std::move(page));
                continue;
            }
        }
        common::TiffReader reader;
        if (reader.open(path) == 0 && addTiffPages(reader, path, account, pages))
            continue;
        reader.close();

        SourcePage page;
        page.path = path;
        page.kind = common::fileKindOf(path);
        if (page.kind == common::kFileKindJpeg) {
            platform::fileSize(path, page.dataSize);
            image::JpegAnalysis analysis;
            page.errorCode = analysis.analyse(path) == 0 ? kPageUsable : kPageJpegAnalysisFailed;
            page.jpeg = analysis.info();
            if (page.errorCode == kPageUsable)
                page.errorCode = account.charge(page.dataSize);
        } else {
            page.errorCode = kPageUnsupportedFile;
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

}  // namespace tnw::conv
