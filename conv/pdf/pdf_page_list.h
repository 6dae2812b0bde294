// The page list of a list job: one SourcePage per page of the PDF-to-be, built from the given
// files in their order before anything is written, with the size accounting that stops a PDF
// before it outgrows 32-bit offsets.
#pragma once

#include "common/image/jpeg_analysis.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tnw::conv {

// Page list codes.
constexpr int kPageUsable = 0;
constexpr int kPageUnsupportedFile = -316;
constexpr int kPageSizeLimit = 1688;
constexpr int kPageJpegAnalysisFailed = -1;

struct SourcePage {
    int errorCode = kPageUsable;
    std::string path;             // code page 932
    int kind = -1;                // 11 JPEG file, 12 TIFF page, else the file-kind table's
    int pagesInSource = 1;
    int pageIndex = 0;            // 0-based directory index
    uint64_t dataSize = 0;        // the JPEG file's size, or the TIFF page's strip bytes
    uint16_t photometric = 0;     // as read from the directory
    uint16_t compression = 0;
    image::JpegInfo jpeg;                // kind 11: the analysis
};

// The running total of the PDF's expected size against the limit.
class PdfSizeAccount {
public:
    static constexpr uint64_t kDefaultLimit = 4294900000u;  // 0xFFFEF920
    static constexpr uint64_t kStart = 512;
    static constexpr uint64_t kPerPage = 1024;

    void setLimit(uint64_t limit) { m_limit = limit; }
    uint64_t limit() const { return m_limit; }
    uint64_t total() const { return m_total; }
    bool reached() const { return m_reached; }
    void markReached() { m_reached = true; }
    void reset()
    {
        m_total = kStart;
        m_reached = false;
    }

    // Charges a page of `dataSize` bytes: 0, or kPageSizeLimit once the limit is reached.
    int charge(uint64_t dataSize);

private:
    uint64_t m_limit = kDefaultLimit;
    uint64_t m_total = kStart;
    bool m_reached = false;
};

// Builds the pages of `paths` in order: a file the TIFF reader can open gives one page per
// directory; otherwise a ".jpg" file gives one page (analysed); anything else one page with
// kPageUnsupportedFile. Usable pages are charged to `account`.
std::vector<SourcePage> buildPageList(const std::vector<std::string>& paths,
                                      PdfSizeAccount& account);

}  // namespace tnw::conv
