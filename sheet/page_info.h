// The pages of a TIFF file in paper terms: pixel size, resolution, size in millimetres, the
// paper form each page matches, and the per-page CSV listing.
#pragma once

#include "common/paper_form.h"
#include "tnwsheet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tnw::sheet {

// One page of a TIFF file. The paper fields (size, unit, resolution, landscape flag, matched
// form) are those of the form table's page record.
struct SheetPage : common::PaperPage {
    std::string path;        // the source file (code page 932)
    int kind = 12;           // the file kind: TIFF
    int pageCount = 0;       // pages in the file
    int pageIndex = 0;       // 0-based directory index
    int bitsPerPixel = 0;    // bits per sample x samples per pixel
    int compression = 0;     // TIFF compression
    uint64_t dataSize = 0;   // sum of the strip byte counts
};

// Reads every page of the TIFF file at `path` into `pages` (replacing them). Returns the number
// of pages, or the TIFF reader's code when the file or one of its directories cannot be read
// (`pages` is then empty).
int readPages(const std::string& path, std::vector<SheetPage>& pages);

// A page's width and height in millimetres. False when its size cannot be computed (unknown
// resolution unit); the sizes are then 0.
bool pageSizeMm(const SheetPage& page, double& widthMm, double& heightMm);

// The exported record of `page`, numbered `number`; the form name comes from `forms`, the table
// that matched the page.
void toPageInfo(const SheetPage& page, int number, const common::CPaperFormTable& forms,
                ShxPageInfo& info);

// The per-page CSV of `pages` (code page 932, every line ended by CR LF): the header line and
// one row per page.
std::string pageListCsv(const std::vector<SheetPage>& pages,
                        const common::CPaperFormTable& forms);

// The texts of the CSV's coded columns (code page 932).
std::string compressionText(int compression);
std::string colourCountText(int bitsPerPixel);

}  // namespace tnw::sheet
