// The library's one state: the gate of shxInit, the page list of the last shxGetPageInfos
// with the form table that matched it, and the sheet sums. One client at a time.
#pragma once

#include "common/paper_form.h"
#include "sheet/page_info.h"
#include "sheet/sheet_sums.h"

#include <vector>

namespace tnw::sheet {

struct SheetState {
    bool initialised = false;
    common::CPaperFormTable pageForms{common::FormVariant::SheetLibrary};
    std::vector<SheetPage> pages;
    SheetSums sums;
};

SheetState& sheetState();

// Page information of a TIFF file with its forms matched from `formPath`: the number of pages,
// the reader's code, or the form loading's code.
int loadPageInfos(const char* tiffPath, const char* formPath, common::CPaperFormTable& forms,
                  std::vector<SheetPage>& pages);

}  // namespace tnw::sheet
