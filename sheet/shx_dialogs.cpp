// The two dialog exports of the paper-sheet library. Unlike the page and sum functions they
// need no shxInit: a program that only shows the dialogs never calls it. Each goes through one
// guard that turns any exception into the failure code of a dialog that was not shown.
#include "tnwsheet.h"

#include "sheet/dialogs/dialog_host.h"
#include "sheet/dialogs/form_dialog.h"
#include "sheet/dialogs/tag_dump_dialog.h"

#include <utility>

namespace tnw::sheet {
namespace {

template <class Body>
int guarded(Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return kDialogNotShown;
    }
}

}  // namespace
}  // namespace tnw::sheet

using tnw::sheet::guarded;

TNWSHEET_API int shxDlgForm(void* parent, const char* formPath, int flags)
{
    return guarded([&] {
        return tnw::sheet::hostDialog("shxDlgForm", parent, [&](QWidget* owner) {
            return tnw::sheet::runFormDialog(owner, formPath, flags);
        });
    });
}

TNWSHEET_API int shxDlgTagDump(void* parent, const char* tiffPath, int* result)
{
    return guarded([&] {
        int rc = tnw::sheet::kDialogNotShown;
        try {
            rc = tnw::sheet::hostDialog("shxDlgTagDump", parent, [&](QWidget* owner) {
                return tnw::sheet::runTagDumpDialog(owner, tiffPath);
            });
        } catch (...) {
            rc = tnw::sheet::kDialogNotShown;
        }
        if (result)
            *result = rc;
        return rc;
    });
}
