// The codes of the paper-sheet library's call interface, in one table with their meanings.
// The TIFF reader's codes (-300 ...) and the block list's (-1000 ...) pass through unchanged.
#pragma once

#include <span>

namespace tnw::sheet {

namespace code {
constexpr int Ok = 0;
constexpr int Failed = -1;          // not a TIFF path, no TIFF in a folder, a CSV not written,
                                    // a form file path that does not fit, a null record
constexpr int NoPage = -2;          // shxSumPutFile: the file has no page
constexpr int SizeNotPositive = -2; // shxSumGetName: a buffer size of 0 or less
constexpr int SmallBuffer = -3;     // shxSumGetName: the name and its zero do not fit
constexpr int NoSuchForm = -4;      // shxSumGetName: no summed form at that index
constexpr int Unreadable = -9;      // shxGetBasicInfo: the TIFF cannot be read
constexpr int NotInitialised = -109;  // any call before shxInit
}  // namespace code

struct SheetCodeRow {
    int code;
    const char* meaning;
};

// Every code of the table above, in order.
std::span<const SheetCodeRow> sheetCodes();

}  // namespace tnw::sheet
