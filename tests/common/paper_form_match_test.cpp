// The paper form table: page sizes in millimetres and matching pages to forms.
#include "common/paper_form.h"

#include "common/platform/cp932.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using tnw::common::CPaperFormTable;
using tnw::common::FormVariant;
using tnw::common::PaperPage;
using tnw::platform::sjis;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

PaperPage page(int w, int h, int unit, double xRes, double yRes)
{
    PaperPage p;
    p.widthPx = w;
    p.heightPx = h;
    p.unit = unit;
    p.xRes = xRes;
    p.yRes = yRes;
    return p;
}

double mm(const PaperPage& p, int axis)
{
    double v = -1;
    EXPECT_EQ(CPaperFormTable::PageSizeMm(p, axis, v), 0);
    return v;
}

// The name a table with no form file (or with `ini` as its form file) gives a page.
std::string matched(FormVariant variant, PaperPage p, const std::string& ini = "")
{
    TempDir dir;
    CPaperFormTable table(variant, dir.path());
    if (!ini.empty())
        writeFile(dir.file("tnwForm.ini"), ini);
    table.LoadForms();
    std::string name = "unchanged";
    const int result = table.MatchForm(p, name);
    EXPECT_EQ(result == 0, !name.empty());
    return name;
}

TEST(PaperFormSize, EachUnitCodeGivesItsMillimetres)
{
    PaperPage a4 = page(2480, 3508, 2, 300, 300);
    EXPECT_NEAR(mm(a4, 0), 209.97, 0.005);
    EXPECT_NEAR(mm(a4, 1), 297.01, 0.005);
    // No absolute unit: 9.4 pixels per millimetre across, 4.7 down, whatever the resolution.
    EXPECT_NEAR(mm(page(940, 470, 1, 300, 72), 0), 100.0, 1e-9);
    EXPECT_NEAR(mm(page(940, 470, 1, 300, 72), 1), 100.0, 1e-9);
    EXPECT_DOUBLE_EQ(mm(page(500, 0, 3, 50, 50), 0), 100.0);
    EXPECT_DOUBLE_EQ(mm(page(500, 0, 5, 5000, 5), 0), 100.0);
    // A resolution below 1 gives 0 mm on its axis only.
    EXPECT_DOUBLE_EQ(mm(page(500, 500, 2, 0.99, 100), 0), 0.0);
    EXPECT_DOUBLE_EQ(mm(page(500, 500, 2, -300, std::nan("")), 1), 0.0);
    EXPECT_DOUBLE_EQ(mm(page(500, 500, 2, 0.99, 100), 1), 127.0);

    double v = 5;
    EXPECT_EQ(CPaperFormTable::PageSizeMm(page(1, 1, 0, 300, 300), 0, v), -1);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(CPaperFormTable::PageSizeMm(page(1, 1, 6, 300, 300), 1, v), -9);
    EXPECT_EQ(CPaperFormTable::PageSizeMm(page(1, 1, -1, 300, 300), 0, v), -9);
}

TEST(PaperFormMatch, A4At300DpiMatchesUprightAndTurnedInEveryVariant)
{
    for (FormVariant v : {FormVariant::Program, FormVariant::ConvLibrary,
                          FormVariant::SheetLibrary}) {
        EXPECT_EQ(matched(v, page(2480, 3508, 2, 300, 300)), "A4");
        EXPECT_EQ(matched(v, page(3508, 2480, 2, 300, 300)), "A4");
    }
}

TEST(PaperFormMatch, LetterFallsOutsideA4AndTheFirstFittingFormWins)
{
    const PaperPage letter = page(1700, 2200, 2, 200, 200);  // 215.9 x 279.4 mm
    EXPECT_EQ(matched(FormVariant::Program, letter), sjis("レター"));
    // A user form whose window holds an A4 page comes after A4, so A4 wins until disabled.
    const std::string user = "[USERFORM]\r\nMy A4=\r\n[My A4]\r\nfx=2100\r\nfy=2970\r\n";
    const PaperPage a4 = page(2480, 3508, 2, 300, 300);
    EXPECT_EQ(matched(FormVariant::Program, a4, user), "A4");
    EXPECT_EQ(matched(FormVariant::Program, a4, user + "[A4]\r\nnCheck=0\r\n"), "My A4");
    EXPECT_EQ(matched(FormVariant::Program, a4, user + "[A4]\r\nnCheck=-1\r\n"), "My A4");
}

// Their table sizes are wider than tall, so they fit only a page whose side taken as width is
// the longer one: never when orientation comes from millimetres, and with pixel orientation
// only when the two resolutions differ.
TEST(PaperFormMatch, InchFormsFitOnlyPixelOrientedPagesOfUnequalResolution)
{
    const PaperPage tenInch = page(1000, 1250, 2, 100, 400);  // 254.0 x 79.4 mm, taller in px
    EXPECT_EQ(matched(FormVariant::SheetLibrary, tenInch), sjis("10インチ"));
    EXPECT_EQ(matched(FormVariant::Program, tenInch), "");
    EXPECT_EQ(matched(FormVariant::Program, page(2540, 794, 4, 10, 10)), "");
    const PaperPage fifteen = page(3810, 5588, 4, 10, 20);  // 381.0 x 279.4 mm
    EXPECT_EQ(matched(FormVariant::SheetLibrary, fifteen), sjis("15インチ"));
    EXPECT_EQ(matched(FormVariant::ConvLibrary, fifteen), "");
}

TEST(PaperFormMatch, LongSheetFormsHaveNoUpperBoundAlongTheirLength)
{
    const std::string longY = "[USERFORM]\r\nRoll=\r\n[Roll]\r\nfx=2100\r\nfy=2970\r\n"
                              "fx1=50\r\nfx2=50\r\nfy1=100\r\nnLonger=2\r\n";
    for (FormVariant v : {FormVariant::Program, FormVariant::SheetLibrary}) {
        EXPECT_EQ(matched(v, page(2100, 20000, 4, 10, 10), longY), "Roll");
        EXPECT_EQ(matched(v, page(20000, 2100, 4, 10, 10), longY), "Roll");
        EXPECT_EQ(matched(v, page(2100, 2000, 4, 10, 10), longY), "");
        EXPECT_EQ(matched(v, page(2160, 20000, 4, 10, 10), longY), "");
    }
    // Long in X: the width's lower bound is taken from X, the other side must be in Y's window.
    const std::string longX = "[USERFORM]\r\nBand=\r\n[Band]\r\nfx=3000\r\nfy=500\r\n"
                              "fx1=0\r\nfy1=0\r\nfy2=0\r\nnLonger=1\r\n";
    EXPECT_EQ(matched(FormVariant::Program, page(90000, 500, 4, 10, 10), longX), "Band");
    EXPECT_EQ(matched(FormVariant::Program, page(500, 3000, 4, 10, 10), longX), "Band");
    EXPECT_EQ(matched(FormVariant::Program, page(2999, 500, 4, 10, 10), longX), "");
    EXPECT_EQ(matched(FormVariant::Program, page(90000, 500, 4, 10, 10),
                      "[USERFORM]\r\nBand=\r\n[Band]\r\nfx=3000\r\nfy=500\r\nnLonger=3\r\n"),
              "");
}

TEST(PaperFormMatch, OutcomesLeaveThePageAsDocumented)
{
    TempDir dir;
    CPaperFormTable program(FormVariant::Program, dir.path());
    program.LoadForms();
    std::string name = "keep";

    PaperPage unknown = page(3508, 2480, 0, 300, 300);
    unknown.formIndex = 7;
    EXPECT_EQ(program.MatchForm(unknown, name), -1);
    EXPECT_EQ(name, "keep");
    EXPECT_EQ(unknown.formIndex, 7);
    EXPECT_EQ(unknown.landscape, 0);

    PaperPage turned = page(3508, 2480, 2, 300, 300);
    EXPECT_EQ(program.MatchForm(turned, name), 0);
    EXPECT_EQ(turned.formIndex, 4);
    EXPECT_EQ(turned.landscape, 1);

    PaperPage tiny = page(10, 10, 2, 300, 300);
    tiny.formIndex = 3;
    EXPECT_EQ(program.MatchForm(tiny, name), 1);
    EXPECT_EQ(name, "");
    EXPECT_EQ(tiny.formIndex, -1);

    // The sheet library leaves orientation to MatchPageList, which judges it by pixels.
    CPaperFormTable sheet(FormVariant::SheetLibrary, dir.path());
    sheet.LoadForms();
    PaperPage square = page(2000, 2000, 2, 100, 200);  // wider in millimetres
    EXPECT_EQ(sheet.MatchForm(square), 1);
    EXPECT_EQ(square.landscape, 0);

    struct ListedPage : PaperPage {
        int extra = 42;
    };
    std::vector<ListedPage> pages(3);
    for (int i = 0; i < 3; ++i) {
        static_cast<PaperPage&>(pages[i]) = page(3508, 2480, i == 1 ? 0 : 2, 300, 300);
        pages[i].formIndex = 9;
        pages[i].sumSlot = 2;
    }
    EXPECT_EQ(sheet.MatchPageList(pages), 0);
    EXPECT_EQ(pages[0].formIndex, 4);
    EXPECT_EQ(pages[0].landscape, 1);
    EXPECT_EQ(pages[1].formIndex, -1);  // not computable: cleared all the same
    EXPECT_EQ(pages[1].sumSlot, -1);
    EXPECT_EQ(pages[1].landscape, 1);
    EXPECT_EQ(program.MatchPageList(pages), 0);
    EXPECT_EQ(pages[2].landscape, 1);
    EXPECT_EQ(pages[2].extra, 42);
}

}  // namespace
