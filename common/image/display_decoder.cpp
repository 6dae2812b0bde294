#include "common/image/display_decoder.h"

#include "common/file_kind.h"
#include "common/paper_form.h"

#include <QTransform>

#include <cmath>

namespace tnw::image {

int displayCompression(int c)
{
    switch (c) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7:
    case 32766: case 32771: case 32773: case 32809: case 32946:
        return c;
    case 34661:
        return 32661;
    default:
        return 0;
    }
}

int probePages(ImageSource& source, int format, std::vector<PageInfo>& pages)
{
    pages.clear();
    if (!source.ok()) {
        PageInfo failed;
        failed.failure = "cannot open";
        pages.push_back(failed);
        return decode::Failed;
    }
    if (format == common::kFileKindJpeg) {
        PageInfo page;
        const int code = probeJpeg(source, page);
        pages.push_back(page);
        return code;
    }
    if (format == common::kFileKindTiff || format == common::kFileKindNsk)
        return probeTiff(source, pages);
    PageInfo other;
    other.format = kFormatOther;
    other.failure = "no decoder for this format";
    pages.push_back(other);
    return decode::Ok;
}

int probeFile(const std::string& path, std::vector<PageInfo>& pages)
{
    ImageSource source = ImageSource::fromFile(path);
    return probePages(source, common::fileKindOf(path), pages);
}

void correctedSize(const PageInfo& page, int& cw, int& ch)
{
    cw = std::max(1, page.width);
    ch = std::max(1, page.height);
    if (std::fabs(page.xRes - page.yRes) < 0.01)
        return;
    common::PaperPage paper;
    paper.widthPx = page.width;
    paper.heightPx = page.height;
    paper.unit = page.unit;
    paper.xRes = page.xRes;
    paper.yRes = page.yRes;
    double wmm = 0, hmm = 0;
    if (common::CPaperFormTable::PageSizeMm(paper, 0, wmm) != 0 ||
        common::CPaperFormTable::PageSizeMm(paper, 1, hmm) != 0 || !std::isfinite(wmm) ||
        !std::isfinite(hmm) || wmm <= 0 || hmm <= 0)
        return;
    const double r = wmm / hmm;
    if (page.xRes > page.yRes) {
        const double v = std::trunc(double(page.height) * r);
        if (v >= 1 && v <= page.width)
            cw = int(v);
    } else {
        const double v = std::trunc(double(page.width) / r);
        if (v >= 1 && v <= page.height)
            ch = int(v);
    }
}

FitSize pageFit(const PageInfo& page, int boxW, int boxH)
{
    int cw = 0, ch = 0;
    correctedSize(page, cw, ch);
    return fitInBox(page.width, page.height, cw, ch, boxW, boxH);
}

namespace {

// Orientation tags 5-8 store the page transposed.
bool transposed(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QImage oriented(const QImage& image, int orientation)
{
    switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.mirrored(true, true);
    case 4: return image.mirrored(false, true);
    case 5: return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6: return image.transformed(QTransform().rotate(90));
    case 7: return image.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8: return image.transformed(QTransform().rotate(270));
    default: return image;
    }
}

}  // namespace

DecodeResult decodePage(ImageSource& source, const PageInfo& page, const DecodeRequest& request)
{
    DecodeResult result;
    if (!source.ok()) {
        result.code = page.format == kFormatTiff ? decode::TiffCannotOpen : decode::CannotOpen;
        return result;
    }
    if (page.format != kFormatJpeg && page.format != kFormatTiff) {
        result.code = page.format == kFormatOther ? decode::NotDecodable : decode::Failed;
        return result;
    }
    if (page.width <= 0 || page.height <= 0 ||
        std::uint64_t(page.width) * std::uint64_t(page.height) > kMaxPixels) {
        result.message = "image too large";
        return result;
    }
    // A quarter turn (of the display or of the stored orientation) reduces into the swapped box
    // and turns the small picture, which is exact.
    const int rotation = ((request.rotation % 360) + 360) % 360;
    const bool swap = ((rotation / 90) % 2 == 1) != transposed(page.orientation);
    const FitSize fit = swap ? pageFit(page, request.boxHeight, request.boxWidth)
                             : pageFit(page, request.boxWidth, request.boxHeight);
    result = page.format == kFormatJpeg ? decodeJpeg(source, page, fit.width, fit.height)
                                        : decodeTiff(source, page, fit.width, fit.height);
    if (result.code != decode::Ok)
        return result;
    if (page.format == kFormatTiff)
        result.image = oriented(result.image, page.orientation);
    if (rotation == 90 || rotation == 180 || rotation == 270)
        result.image = result.image.transformed(QTransform().rotate(rotation));
    return result;
}

DecodeResult decodeFile(const std::string& path, const PageInfo& page, const DecodeRequest& request)
{
    ImageSource source = ImageSource::fromFile(path);
    return decodePage(source, page, request);
}

}  // namespace tnw::image
