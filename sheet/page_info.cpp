#include "sheet/page_info.h"

#include "common/platform/cp932.h"
#include "common/tiff_reader.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>

namespace tnw::sheet {

namespace {

// A number with one decimal, in the C locale whatever locale the program has set (a decimal
// comma would add a column to the CSV).
std::string oneDecimal(double value)
{
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("0.0");
}

// Unit names by resolution unit code; "" for the codes without an absolute unit.
const char* unitName(int unit)
{
    switch (unit) {
    case 2: return "dpi";
    case 3: return "dpcm";
    case 4: return "dpmm";
    case 5: return "dpM";
    default: return "";
    }
}

int clampToInt(uint64_t value)
{
    return value > uint64_t(INT32_MAX) ? INT32_MAX : int(value);
}

}  // namespace

int readPages(const std::string& path, std::vector<SheetPage>& pages)
{
    pages.clear();
    common::TiffReader reader;
    int rc = reader.open(path);
    if (rc == 0)
        rc = reader.readDirectories();
    if (rc != 0)
        return rc;
    const int count = reader.directoryCount();
    std::vector<SheetPage> read;
    read.reserve(size_t(count));
    for (int n = 0; n < count; ++n) {
        if ((rc = reader.readDirectory(n)) != 0)
            return rc;
        const common::TiffDirectory& dir = reader.record();
        SheetPage page;
        page.path = path;
        page.pageCount = count;
        page.pageIndex = n;
        page.widthPx = clampToInt(dir.width);
        page.heightPx = clampToInt(dir.length);
        page.unit = dir.resolutionUnit;
        page.xRes = dir.xResolution.toDouble();
        page.yRes = dir.yResolution.toDouble();
        page.landscape = page.widthPx > page.heightPx ? 1 : 0;
        page.bitsPerPixel = int(dir.bitsPerSample) * std::max<int>(dir.samplesPerPixel, 1);
        page.compression = dir.compression;
        page.dataSize = dir.stripByteCountSum;
        read.push_back(std::move(page));
    }
    pages = std::move(read);
    return count;
}

bool pageSizeMm(const SheetPage& page, double& widthMm, double& heightMm)
{
    widthMm = heightMm = 0;
    if (common::CPaperFormTable::PageSizeMm(page, 0, widthMm) != 0 ||
        common::CPaperFormTable::PageSizeMm(page, 1, heightMm) != 0) {
        widthMm = heightMm = 0;
        return false;
    }
    return true;
}

void toPageInfo(const SheetPage& page, int number, const common::CPaperFormTable& forms,
                ShxPageInfo& info)
{
    std::memset(&info, 0, sizeof info);
    info.nPage = number;
    info.nCompress = page.compression;
    info.nBits = page.bitsPerPixel;
    info.nDataSize = clampToInt(page.dataSize);
    info.nWidth = page.widthPx;
    info.nHeight = page.heightPx;
    info.nXUnit = page.unit;
    info.nYUnit = page.unit;
    info.fXRes = float(page.xRes);
    info.fYRes = float(page.yRes);
    double width = 0, height = 0;
    pageSizeMm(page, width, height);
    info.fWidthMm = float(width);
    info.fHeightMm = float(height);
    if (const common::PaperForm* form = forms.FormAt(page.formIndex)) {
        const size_t n = platform::cp932CutLength(form->szName, sizeof info.szForm - 1);
        std::memcpy(info.szForm, form->szName.data(), n);
        info.nLonger = form->nLonger;
    }
    info.nLandscape = page.landscape;
}

std::string compressionText(int compression)
{
    switch (compression) {
    case 1: return platform::sjis("圧縮なし");
    case 2: return "CCITT RLE";
    case 3: return "CCITT G3";
    case 4: return "CCITT G4";
    case 5: return "LZW";
    case 6: return "JPEG-6";
    case 7: return "JPEG-7";
    case 32661: return "JBIG";
    case 32766: return "NEXT";
    case 32771: return "RLEW";
    case 32773: return "PackBits";
    case 32809: return "Thunder";
    case 32946: return "Defalte";
    default: return "???";
    }
}

std::string colourCountText(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return "2";
    case 4: return "16";
    case 0:
    case 8: return "256";
    case 16: return "32767";
    case 24: return "1667M";
    case 32: return "1667";
    default: return "-1";
    }
}

std::string pageListCsv(const std::vector<SheetPage>& pages,
                        const common::CPaperFormTable& forms)
{
    std::string csv = platform::sjis("頁番号,圧縮ﾀｲﾌﾟ,色数,ｻｲｽﾞ,X,Y,xUnit,yUnit,xRes,yRes,"
                                     "幅(mm),高さ(mm),用紙ｻｲｽﾞ,長尺,向き") +
                      "\r\n";
    const std::string landscape = platform::sjis("横");
    const std::string upright = platform::sjis("縦");
    for (size_t i = 0; i < pages.size(); ++i) {
        const SheetPage& page = pages[i];
        std::string row = std::to_string(i + 1) + ",";
        row += compressionText(page.compression) + ",";
        row += colourCountText(page.bitsPerPixel) + ",";
        if (page.dataSize > 0) {
            const uint64_t kb = page.dataSize / 1024 + (page.dataSize >= 1024 ? 1 : 0);
            row += std::to_string(kb) + " KB";
        }
        row += ",";
        row += std::to_string(page.widthPx) + "," + std::to_string(page.heightPx) + ",";
        const std::string unit = unitName(page.unit);
        row += unit + "," + unit + ",";
        if (!unit.empty())
            row += oneDecimal(page.xRes) + "," + oneDecimal(page.yRes) + ",";
        else
            row += ",,";
        double width = 0, height = 0;
        if (pageSizeMm(page, width, height))
            row += oneDecimal(width) + "," + oneDecimal(height) + ",";
        else
            row += ",,";
        if (const common::PaperForm* form = forms.FormAt(page.formIndex))
            row += form->szName + "," + std::to_string(form->nLonger) + ",";
        else
            row += ",,";
        row += page.landscape ? landscape : upright;
        csv += row + "\r\n";
    }
    return csv;
}

}  // namespace tnw::sheet
