#include "sheet/sheet_codes.h"

namespace tnw::sheet {

namespace {
constexpr SheetCodeRow kCodes[] = {
    {code::Ok, "success"},
    {code::Failed, "not a TIFF path, no TIFF in the folder, or a file that cannot be written"},
    {code::NoPage, "the file has no page; or a buffer size of 0 or less"},
    {code::SmallBuffer, "the buffer is too small"},
    {code::NoSuchForm, "no summed form at that index"},
    {code::Unreadable, "the TIFF file cannot be read"},
    {code::NotInitialised, "shxInit has not been called"},
};
}  // namespace

std::span<const SheetCodeRow> sheetCodes()
{
    return kCodes;
}

}  // namespace tnw::sheet
