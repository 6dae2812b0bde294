// The texts of the list cells and of the status bar for a page: colour counts, sizes, dates,
// resolutions, millimetre sizes, compression names, paper forms. Odd-looking texts ("1667M",
// "32767", "Defalte", the rounded-up KB of the file list) are data and stay as they are.
#pragma once

#include "common/image/page_info.h"

#include <QString>

#include <cstdint>
#include <string>

namespace tnw::common {
class CPaperFormTable;
}

namespace tnw::app {

// "-" for a page whose header could not be read, "未対応" for a format without a decoder,
// nothing otherwise (the cell then shows its value).
QString unsupportedText(const image::PageInfo& page);

QString colourCountText(int bitsPerPixel);      // "2", "256", "32767", "1667M", "1667"
QString fileListSizeText(std::uint64_t bytes);  // bytes / 1024, + 1 from 1024 on, "KB"
QString pageListSizeText(std::uint64_t bytes);  // "%d KB"
QString dateText(std::int64_t modified);        // "2024/03/05 09:07", local time
QString compressionText(const image::PageInfo& page);
// The list's resolution cell: "%.1f dpi", "%.1f cm ", "%.1f mm ", "%.1f M  ", or nothing.
QString resolutionCellText(int unit, double resolution);
// "%.1f" of the page's width (axis 0) or height (axis 1) in millimetres; nothing when it
// cannot be computed.
QString millimetreText(const image::PageInfo& page, int axis);

// The paper form a page matches: its name, long-sheet mode and orientation.
struct FormMatch {
    QString name;
    int longer = 0;
    bool landscape = false;
    bool sized = false;  // both millimetre sizes computed
};
FormMatch matchForm(const image::PageInfo& page, const common::CPaperFormTable* forms);
QString longSheetText(int longer);  // "なし", "横長", "縦長", "???"
QString orientationText(bool landscape);

// Status bar pane 1: "ﾍﾟｰｼﾞ: %d / %d" (page list) or "ﾍﾟｰｼﾞ数: %d" (file list).
QString pagePositionText(const image::PageInfo& page, bool pageList);
// Status bar pane 2: "%dX%d %s %s", or "%dmm X %dmm %s %s %s" when the millimetre sizes are
// known.
QString pageDescriptionText(const image::PageInfo& page, const common::CPaperFormTable* forms);

}  // namespace tnw::app
