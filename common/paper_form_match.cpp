// Sizing a page in millimetres and naming its paper form.
#include "common/paper_form.h"

#include <new>

namespace tnw::common {
namespace {

// Unit code 1 (no absolute unit) assumes 9.4 pixels per millimetre across and 4.7 down.
constexpr double kNoUnitMmPerPxX = 0.10638297872340426;
constexpr double kNoUnitMmPerPxY = 0.2127659574468085;

bool inWindow(float v, float low, float high)
{
    return v >= low && v <= high;
}

// Whether a page of width `w`, height `h` and sides `s` <= `l` (as the variant orients it)
// fits `form`'s window.
bool fits(const PaperForm& form, float w, float h, float s, float l)
{
    const float xLow = form.fWidth - form.fx1;
    const float xHigh = form.fWidth + form.fx2;
    const float yLow = form.fHeight - form.fy1;
    const float yHigh = form.fHeight + form.fy2;
    switch (form.nLonger) {
    case 0:
        return inWindow(s, xLow, xHigh) && inWindow(l, yLow, yHigh);
    case 1:  // long in X: no upper bound across
        return (w >= xLow && inWindow(h, yLow, yHigh)) || (h >= xLow && inWindow(w, yLow, yHigh));
    case 2:  // long in Y: no upper bound down
        return (inWindow(w, xLow, xHigh) && h >= yLow) || (inWindow(h, xLow, xHigh) && w >= yLow);
    default:
        return false;
    }
}

}  // namespace

int CPaperFormTable::PageSizeMm(const PaperPage& page, int axis, double& mm)
{
    mm = 0;
    if (axis != 0 && axis != 1)
        return formcode::UnknownUnit;
    const double px = axis == 0 ? page.widthPx : page.heightPx;
    const double res = axis == 0 ? page.xRes : page.yRes;
    double perUnit = 0;  // millimetres per unit
    switch (page.unit) {
    case 0:
        return formcode::NoSize;
    case 1:
        mm = px * (axis == 0 ? kNoUnitMmPerPxX : kNoUnitMmPerPxY);
        return 0;
    case 2:
        perUnit = 25.4;
        break;
    case 3:
        perUnit = 10;
        break;
    case 4:
        perUnit = 1;
        break;
    case 5:
        perUnit = 1000;
        break;
    default:
        return formcode::UnknownUnit;
    }
    // A resolution below 1 (also a negative or undefined one) gives no size along that axis.
    if (res >= 1.0)
        mm = px / res * perUnit;
    return 0;
}

int CPaperFormTable::MatchForm(PaperPage& page) const
{
    double w = 0, h = 0;
    if (PageSizeMm(page, 0, w) != 0 || PageSizeMm(page, 1, h) != 0)
        return formcode::NoSize;

    bool upright;
    if (m_variant == FormVariant::SheetLibrary) {
        upright = page.widthPx <= page.heightPx;
    } else {
        upright = w <= h;
        page.landscape = w > h ? 1 : 0;
    }
    const float fw = static_cast<float>(w);
    const float fh = static_cast<float>(h);
    const float s = upright ? fw : fh;
    const float l = upright ? fh : fw;

    for (size_t i = 0; i < m_forms.size(); ++i) {
        const PaperForm& form = m_forms[i];
        if (form.nCheck > 0 && fits(form, fw, fh, s, l)) {
            page.formIndex = static_cast<int>(i);
            return 0;
        }
    }
    page.formIndex = -1;
    return formcode::NoFit;
}

int CPaperFormTable::MatchForm(PaperPage& page, std::string& name) const
{
    const int result = MatchForm(page);
    if (result == formcode::NoSize)
        return result;
    const PaperForm* form = FormAt(page.formIndex);
    try {
        name = form ? form->szName : std::string();
    } catch (const std::bad_alloc&) {
        name.clear();
    }
    return result;
}

void CPaperFormTable::MatchListedPage(PaperPage& page) const
{
    page.formIndex = -1;
    page.sumSlot = -1;
    MatchForm(page);
    if (m_variant == FormVariant::SheetLibrary)
        page.landscape = page.heightPx < page.widthPx ? 1 : 0;
}

}  // namespace tnw::common
