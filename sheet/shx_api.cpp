// The exported call interface of the paper-sheet library: each entry point checks the gate of
// shxInit and calls into the sheet classes through one guard that turns any exception into a
// failure code.
#include "tnwsheet.h"

#include "CTnwbuff.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/ui.h"
#include "sheet/sheet_codes.h"
#include "sheet/sheet_state.h"

#include <utility>

namespace tnw::sheet {

SheetState& sheetState()
{
    static SheetState state;
    return state;
}

int loadPageInfos(const char* tiffPath, const char* formPath, common::CPaperFormTable& forms,
                  std::vector<SheetPage>& pages)
{
    pages.clear();
    if (const int rc = forms.LoadForms(formPath); rc != 0)
        return rc;
    const int count = readPages(tiffPath ? tiffPath : "", pages);
    if (count > 0)
        forms.MatchPageList(pages);
    return count;
}

namespace {

// The one guard of the entry points: an exception becomes code::Failed. Before shxInit every
// entry point but shxInit itself answers code::NotInitialised.
template <class Body>
int guarded(Body&& body, bool needsInit = true) noexcept
{
    try {
        if (needsInit && !sheetState().initialised)
            return code::NotInitialised;
        return std::forward<Body>(body)(sheetState());
    } catch (...) {
        return code::Failed;
    }
}

}  // namespace

}  // namespace tnw::sheet

using tnw::sheet::guarded;
using tnw::sheet::SheetState;
namespace code = tnw::sheet::code;

TNWSHEET_API int shxInit(void)
{
    return guarded(
        [](SheetState& state) {
            state.initialised = true;
            return code::Ok;
        },
        false);
}

TNWSHEET_API int shxGetPageInfos(const char* tiffPath, const char* formPath)
{
    return guarded([&](SheetState& state) {
        const int rc = tnw::sheet::loadPageInfos(tiffPath, formPath, state.pageForms, state.pages);
        if (rc <= -300) {  // the TIFF reader's codes
            tnw::platform::showMessage("tnwsheet",
                                       tnw::platform::sjis("ｻﾎﾟｰﾄしていないﾄﾞｷｭﾒﾝﾄです。"),
                                       tnw::platform::MsgButtons::Ok,
                                       tnw::platform::MsgIcon::Error);
        }
        return rc;
    });
}

TNWSHEET_API int shxGetPageInfoOf(int page, ShxPageInfo* info)
{
    return guarded([&](SheetState& state) {
        if (!info)
            return code::Failed;
        if (page < 1 || size_t(page) > state.pages.size())
            return int(kTnwBuffAtEnd);
        tnw::sheet::toPageInfo(state.pages[size_t(page - 1)], page, state.pageForms, *info);
        return code::Ok;
    });
}

TNWSHEET_API int shxGetBasicInfo(const char* tiffPath, const char* csvPath, const char* formPath)
{
    return guarded([&](SheetState&) {
        tnw::common::CPaperFormTable forms(tnw::common::FormVariant::SheetLibrary);
        std::vector<tnw::sheet::SheetPage> pages;
        const int rc = tnw::sheet::loadPageInfos(tiffPath, formPath, forms, pages);
        if (rc == code::Failed)
            return code::Failed;  // the form file path does not fit
        if (rc <= 0)
            return code::Unreadable;
        const std::string csv = tnw::sheet::pageListCsv(pages, forms);
        if (!csvPath || !tnw::platform::writeFileAtomically(csvPath, csv))
            return code::Failed;
        return code::Ok;
    });
}

TNWSHEET_API int shxGetSum(const char* folderPath, const char* csvPath, const char* formPath,
                           int sumOnly)
{
    return guarded([&](SheetState& state) {
        if (!folderPath || !csvPath || !*folderPath || !*csvPath)
            return code::Failed;
        return state.sums.sumFolder(folderPath, csvPath, formPath, sumOnly != 0);
    });
}

TNWSHEET_API int shxSumInit(const char* formPath, int sumOnly)
{
    return guarded([&](SheetState& state) { return state.sums.init(formPath, sumOnly != 0); });
}

TNWSHEET_API int shxSumPutFile(const char* tiffPath)
{
    return guarded([&](SheetState& state) {
        return tiffPath ? state.sums.putFile(tiffPath) : code::Failed;
    });
}

TNWSHEET_API int shxSumGetFileCount(void)
{
    return guarded([](SheetState& state) { return state.sums.fileCount(); });
}

TNWSHEET_API int shxSumGetSumCount(void)
{
    return guarded([](SheetState& state) { return state.sums.sumCount(); });
}

TNWSHEET_API int shxSumGetName(int index, char* buffer, int size)
{
    return guarded([&](SheetState& state) { return state.sums.name(index, buffer, size); });
}

TNWSHEET_API int shxSumGetSheets(int file, int index)
{
    return guarded([&](SheetState& state) { return state.sums.sheets(file, index); });
}

TNWSHEET_API int shxSumGetSum(int index)
{
    return guarded([&](SheetState& state) { return state.sums.sum(index); });
}

TNWSHEET_API int shxSumGetElseFile(int file)
{
    return guarded([&](SheetState& state) { return state.sums.elseOfFile(file); });
}

TNWSHEET_API int shxSumGetElseSum(void)
{
    return guarded([](SheetState& state) { return state.sums.elseSum(); });
}
