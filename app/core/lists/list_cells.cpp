#include "app/core/lists/list_cells.h"

#include "common/paper_form.h"
#include "common/platform/qt_text.h"

#include <ctime>

namespace tnw::app {
namespace {

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

common::PaperPage paperOf(const image::PageInfo& page)
{
    common::PaperPage paper;
    paper.widthPx = page.width;
    paper.heightPx = page.height;
    paper.unit = page.unit;
    paper.xRes = page.xRes;
    paper.yRes = page.yRes;
    return paper;
}

}  // namespace

QString unsupportedText(const image::PageInfo& page)
{
    if (page.format == image::kFormatNone)
        return QStringLiteral("-");
    if (page.format == image::kFormatOther)
        return u("未対応");
    return {};
}

QString colourCountText(int bpp)
{
    switch (bpp) {
    case 24: return QStringLiteral("1667M");
    case 32: case 48: return QStringLiteral("1667");
    case 16: return QStringLiteral("32767");
    default:
        if (bpp >= 1 && bpp <= 8)
            return QString::number(1 << bpp);
        return {};
    }
}

QString fileListSizeText(std::uint64_t bytes)
{
    const std::uint64_t kb = bytes / 1024 + (bytes >= 1024 ? 1 : 0);
    return QString::number(kb) + QStringLiteral("KB");
}

QString pageListSizeText(std::uint64_t bytes)
{
    return QStringLiteral("%1 KB").arg(bytes / 1024);
}

QString dateText(std::int64_t modified)
{
    const std::time_t t = static_cast<std::time_t>(modified);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return {};
    return QString::asprintf("%d/%02d/%02d %02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                             tm.tm_mday, tm.tm_hour, tm.tm_min);
}

QString compressionText(const image::PageInfo& page)
{
    if (page.format == image::kFormatJpeg)
        return QStringLiteral("Jpeg");
    if (page.format != image::kFormatTiff)
        return QStringLiteral("N/A");
    switch (page.compression) {
    case 1: return u("圧縮なし");
    case 2: return QStringLiteral("CCITT RLE");
    case 3: return QStringLiteral("CCITT G3");
    case 4: return QStringLiteral("CCITT G4");
    case 5: return QStringLiteral("LZW");
    case 6: return QStringLiteral("Old JPEG");
    case 7: return QStringLiteral("JPEG7");
    case 32661: return QStringLiteral("JBIG");
    case 32766: return QStringLiteral("NEXT");
    case 32771: return QStringLiteral("RLEW");
    case 32773: return QStringLiteral("PackBits");
    case 32809: return QStringLiteral("Thunder");
    case 32946: return QStringLiteral("Defalte");
    default: return QStringLiteral("???");
    }
}

QString resolutionCellText(int unit, double r)
{
    switch (unit) {
    case 2: return QString::asprintf("%.1f dpi", r);
    case 3: return QString::asprintf("%.1f cm ", r);
    case 4: return QString::asprintf("%.1f mm ", r);
    case 5: return QString::asprintf("%.1f M  ", r);
    default: return {};
    }
}

QString millimetreText(const image::PageInfo& page, int axis)
{
    if (page.format != image::kFormatJpeg && page.format != image::kFormatTiff)
        return {};
    double mm = 0;
    if (common::CPaperFormTable::PageSizeMm(paperOf(page), axis, mm) != 0 || mm <= 0)
        return {};
    return QString::asprintf("%.1f", mm);
}

FormMatch matchForm(const image::PageInfo& page, const common::CPaperFormTable* forms)
{
    FormMatch match;
    if (page.format != image::kFormatJpeg && page.format != image::kFormatTiff)
        return match;
    common::PaperPage paper = paperOf(page);
    double w = 0, h = 0;
    match.sized = common::CPaperFormTable::PageSizeMm(paper, 0, w) == 0 &&
                  common::CPaperFormTable::PageSizeMm(paper, 1, h) == 0 && w > 0 && h > 0;
    if (!match.sized || !forms)
        return match;
    std::string name;
    if (forms->MatchForm(paper, name) == 0) {
        match.name = platform::fromCp932(name);
        if (paper.formIndex >= 0 && paper.formIndex < int(forms->Forms().size()))
            match.longer = forms->Forms()[size_t(paper.formIndex)].nLonger;
    }
    match.landscape = paper.landscape != 0;
    return match;
}

QString longSheetText(int longer)
{
    switch (longer) {
    case 0: return u("なし");
    case 1: return u("横長");
    case 2: return u("縦長");
    default: return QStringLiteral("???");
    }
}

QString orientationText(bool landscape)
{
    return landscape ? u("横") : u("縦");
}

QString pagePositionText(const image::PageInfo& page, bool pageList)
{
    if (pageList)
        return u("ﾍﾟｰｼﾞ: %1 / %2").arg(page.pageIndex + 1).arg(page.pageCount);
    return u("ﾍﾟｰｼﾞ数: %1").arg(page.pageCount);
}

QString pageDescriptionText(const image::PageInfo& page, const common::CPaperFormTable* forms)
{
    QString resolution;
    switch (page.unit) {
    case 2: resolution = QString::asprintf("%.1fdpi", page.yRes); break;
    case 3: resolution = QString::asprintf("%.1fcm ", page.yRes); break;
    case 4: resolution = QString::asprintf("%.1fmm ", page.yRes); break;
    case 5: resolution = QString::asprintf("%.1fM  ", page.yRes); break;
    default: resolution = QStringLiteral("-"); break;
    }
    QString colour;
    switch (page.bitsPerPixel) {
    case 1: colour = u("ﾓﾉｸﾛ"); break;
    case 4: colour = u("16色"); break;
    case 8: colour = u("256色"); break;
    case 16: colour = u("32760色"); break;
    case 24: case 32: colour = u("1667万色"); break;
    default: break;
    }
    const FormMatch match = matchForm(page, forms);
    if (match.sized) {
        double w = 0, h = 0;
        common::CPaperFormTable::PageSizeMm(paperOf(page), 0, w);
        common::CPaperFormTable::PageSizeMm(paperOf(page), 1, h);
        return u("%1mm X %2mm %3 %4 %5")
            .arg(int(w)).arg(int(h)).arg(resolution, colour, match.name);
    }
    return u("%1X%2 %3 %4").arg(page.width).arg(page.height).arg(resolution, colour);
}

}  // namespace tnw::app
