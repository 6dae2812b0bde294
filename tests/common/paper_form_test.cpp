// The paper form table: loading tnwForm.ini, saving it back and the XML export.
#include "common/paper_form.h"

#include "common/platform/cp932.h"
#include "common/platform/profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>
#include <vector>

using tnw::common::CPaperFormTable;
using tnw::common::FormVariant;
using tnw::common::IsStorableFormName;
using tnw::common::PaperForm;
using tnw::platform::sjis;
using tnw::test::readFile;
using tnw::test::TempDir;
using tnw::test::writeFile;

namespace {

// The lines joined with CR LF, as the form file is written.
std::string crlf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

PaperForm userForm(const std::string& name, float w, float h)
{
    PaperForm f;
    f.nUser = 1;
    f.nCheck = 1;
    f.szName = name;
    f.fWidth = w;
    f.fHeight = h;
    f.fx1 = f.fx2 = f.fy1 = f.fy2 = 10;
    return f;
}

TEST(PaperFormLoad, MissingFileGivesTheStandardFormsWithTheirDefaults)
{
    TempDir dir;
    CPaperFormTable sheet(FormVariant::SheetLibrary, dir.path());
    ASSERT_EQ(sheet.LoadForms(), 0);
    EXPECT_EQ(sheet.FormPath(), dir.file("tnwForm.ini"));
    ASSERT_EQ(sheet.FormCount(), 28);
    const PaperForm& a4 = *sheet.FormAt(4);
    EXPECT_EQ(a4.szName, "A4");
    EXPECT_EQ(a4.nId, 5);
    EXPECT_FLOAT_EQ(a4.fHeight, 297.0f);
    EXPECT_EQ(std::vector<int>({a4.nCheck, a4.nSum, a4.nDefaultPrinter, a4.nNoLayout}),
              std::vector<int>({1, 0, 1, 1}));
    EXPECT_FLOAT_EQ(a4.fx1 + a4.fx2 + a4.fy1 + a4.fy2, 40.0f);
    EXPECT_EQ(sheet.FormAt(22)->szName, sjis("レター"));
    EXPECT_EQ(sheet.FormAt(27)->nId, 45);

    CPaperFormTable program(FormVariant::Program, dir.path());
    program.LoadForms();
    EXPECT_EQ(program.FormAt(0)->nSum, 1);
}

TEST(PaperFormLoad, ReadsSectionsAndUserFormsButNeverStandardSizes)
{
    TempDir dir;
    const std::string ini = dir.file("forms.ini");
    writeFile(ini, crlf({"[a4]", "szPrinter=Office", "nCheck=0", "fx=9999", "fx1=25",
                         "[USERFORM]", sjis("長尺") + "=", "Card=",
                         "[" + sjis("長尺") + "]", "fx=2100", "fy=-50", "nLonger=2", "nSum=0",
                         "[card]", "fx=550", "fy=910", "szLayout=L1"}));
    CPaperFormTable table(FormVariant::ConvLibrary, dir.path());
    ASSERT_EQ(table.LoadForms(ini.c_str()), 0);
    ASSERT_EQ(table.FormCount(), 30);

    const PaperForm& a4 = *table.FormAt(4);
    EXPECT_EQ(a4.szPrinter, "Office");
    EXPECT_EQ(a4.nDefaultPrinter, 0);
    EXPECT_EQ(a4.nCheck, 0);
    EXPECT_FLOAT_EQ(a4.fWidth, 210.0f);
    EXPECT_FLOAT_EQ(a4.fx1, 2.5f);

    const PaperForm& longSheet = *table.FormAt(28);
    EXPECT_EQ(longSheet.nUser, 1);
    EXPECT_EQ(longSheet.nId, 100);
    EXPECT_EQ(longSheet.index, 28);
    EXPECT_EQ(longSheet.nLonger, 2);
    EXPECT_EQ(longSheet.nSum, 0);
    EXPECT_FLOAT_EQ(longSheet.fWidth, 210.0f);
    EXPECT_FLOAT_EQ(longSheet.fHeight, -5.0f);

    const PaperForm& card = *table.FormAt(29);
    EXPECT_EQ(card.szName, "Card");
    EXPECT_EQ(card.nId, 101);
    EXPECT_EQ(card.szLayout, "L1");
    EXPECT_EQ(card.nNoLayout, 0);
    EXPECT_FLOAT_EQ(card.fHeight, 91.0f);
    EXPECT_EQ(card.nSum, 1);
}

// The list of user forms is read as into 4096 bytes: a name that ends within the first 4094
// (before the list's two final zeros) is loaded, the one running past that is not.
TEST(PaperFormLoad, UserFormListIsCutAt4096Bytes)
{
    TempDir dir;
    for (const std::string last : {"last", "last5"}) {
        std::vector<std::string> lines = {"[USERFORM]"};
        for (int i = 0; i < 409; ++i)  // 409 names of 9 bytes and their zeros: 4090 bytes
            lines.push_back("n" + std::to_string(10000000 + i) + "=");
        lines.push_back(last + "=");
        lines.push_back("after=");
        const std::string ini = dir.file(last + ".ini");
        writeFile(ini, crlf(lines));
        CPaperFormTable table(FormVariant::SheetLibrary, dir.path());
        table.LoadForms(ini.c_str());
        ASSERT_EQ(table.FormCount(), last == "last" ? 28 + 410 : 28 + 409) << last;
        EXPECT_EQ(table.Forms().back().szName, last == "last" ? "last" : "n10000408");
        EXPECT_EQ(table.Forms().back().nId, last == "last" ? 509 : 508);
    }
}

TEST(PaperFormLoad, AbsurdFilesLoadWithoutHarm)
{
    TempDir dir;
    std::vector<std::string> lines = {"[USERFORM]", "dup=", "DUP=", "a]b=", "=", "  =x"};
    for (int i = 0; i < 20000; ++i)
        lines.push_back("huge" + std::to_string(i) + "=");
    lines.insert(lines.end(), {"[dup]", "fx=-2147483648", "fy=99999999999", "fx1=-100"});
    const std::string ini = dir.file("bad.ini");
    writeFile(ini, crlf(lines));

    CPaperFormTable table(FormVariant::SheetLibrary, dir.path());
    ASSERT_EQ(table.LoadForms(ini.c_str()), 0);
    ASSERT_GT(table.FormCount(), 31);
    EXPECT_LT(table.FormCount(), 28 + 4096 / 6);
    EXPECT_EQ(table.FormAt(28)->szName, "dup");
    EXPECT_EQ(table.FormAt(29)->szName, "DUP");  // same section, both listed
    EXPECT_FLOAT_EQ(table.FormAt(29)->fHeight, 214748368.0f);
    EXPECT_EQ(table.FormAt(30)->szName, "a]b");
    EXPECT_EQ(table.FormAt(31)->szName, "huge0");

    // A path that does not fit a 260-byte buffer is refused; the table keeps the defaults.
    const std::string tooLong = "/" + std::string(259, 'p');
    EXPECT_EQ(table.LoadForms(tooLong.c_str()), -1);
    EXPECT_EQ(table.FormCount(), 28);
    EXPECT_EQ(table.SaveForms(table.Forms(), tooLong.c_str()), -1);
    EXPECT_EQ(table.ExportFormsXml(table.Forms(), tooLong.c_str()), -1);

    // Sizes out of the range of the file's integers are clamped when written.
    std::vector<PaperForm> forms = {userForm("big", 3.0e9f, -3.0e9f)};
    forms[0].fx1 = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(table.SaveForms(forms, ini.c_str()), 0);
    EXPECT_EQ(tnw::platform::GetPrivateProfileInt("big", "fx", 0, ini.c_str()), INT_MAX);
    EXPECT_EQ(tnw::platform::GetPrivateProfileInt("big", "fy", 0, ini.c_str()), INT_MIN);
    EXPECT_EQ(tnw::platform::GetPrivateProfileInt("big", "fx1", 7, ini.c_str()), 0);
}

TEST(PaperFormSave, WritesEachSectionInKeyOrderAndTheUserList)
{
    TempDir dir;
    const std::string ini = dir.file("tnwForm.ini");
    writeFile(ini, crlf({"; kept", "[A4]", "extra=1"}));
    CPaperFormTable table(FormVariant::SheetLibrary, dir.path());
    PaperForm a4 = userForm("A4", 210, 297);
    a4.nUser = 0;
    a4.szPrinter = "P";
    PaperForm wide = userForm(sjis("横長紙"), 297.04f, 105.0f);
    wide.nLonger = 1;
    wide.fy2 = 0.7f;
    EXPECT_EQ(table.SaveForms({a4, wide}), 0);
    EXPECT_EQ(readFile(ini),
              crlf({"; kept", "[A4]", "extra=1", "szPrinter=P", "szLayout=", "nCheck=1", "nSum=0",
                    "fx1=100", "fy1=100", "fx2=100", "fy2=100", "", "[" + sjis("横長紙") + "]",
                    "szPrinter=", "szLayout=", "nCheck=1", "nSum=0", "fx=2970", "fy=1050",
                    "nLonger=1", "fx1=100", "fy1=100", "fx2=100", "fy2=7", "", "[USERFORM]",
                    sjis("横長紙") + "="}));
}

TEST(PaperFormSave, LoadSaveLoadKeepsEveryField)
{
    TempDir dir;
    const std::string ini = dir.file("tnwForm.ini");
    writeFile(ini, crlf({"[B5]", "nCheck=0", "nSum=1", "fx1=3", "fy2=1234", "szLayout=x",
                         "[USERFORM]", "u1=", "u2=", "[u1]", "fx=1", "fy=9999", "nLonger=2",
                         "fx1=7", "szPrinter=Laser 2", "[u2]", "fx=-31", "fy=0"}));
    CPaperFormTable first(FormVariant::SheetLibrary, dir.path());
    first.LoadForms();
    const std::string before = readFile(ini);
    ASSERT_EQ(first.SaveForms(first.Forms()), 0);
    ASSERT_NE(readFile(ini), before);  // the defaults are now written out

    CPaperFormTable second(FormVariant::SheetLibrary, dir.path());
    second.LoadForms();
    ASSERT_EQ(second.FormCount(), first.FormCount());
    for (int i = 0; i < first.FormCount(); ++i) {
        const PaperForm& a = *first.FormAt(i);
        const PaperForm& b = *second.FormAt(i);
        EXPECT_EQ(a.szName, b.szName);
        EXPECT_EQ(a.szPrinter, b.szPrinter);
        EXPECT_EQ(a.szLayout, b.szLayout);
        EXPECT_EQ(std::vector<int>({a.nCheck, a.nSum, a.nId, a.nUser, a.nLonger}),
                  std::vector<int>({b.nCheck, b.nSum, b.nId, b.nUser, b.nLonger}));
        EXPECT_EQ(std::vector<float>({a.fWidth, a.fHeight, a.fx1, a.fx2, a.fy1, a.fy2}),
                  std::vector<float>({b.fWidth, b.fHeight, b.fx1, b.fx2, b.fy1, b.fy2}))
            << a.szName;
    }
    // A second save of what was loaded changes nothing.
    const std::string saved = readFile(ini);
    second.SaveForms(second.Forms());
    EXPECT_EQ(readFile(ini), saved);
}

TEST(PaperFormSave, DeletedOnlyUserFormLeavesAnEmptyListAndDoesNotComeBack)
{
    TempDir dir;
    const std::string ini = dir.file("tnwForm.ini");
    writeFile(ini, crlf({"[USERFORM]", "Mine=", "", "[Mine]", "fx=1000", "fy=1000"}));
    CPaperFormTable table(FormVariant::SheetLibrary, dir.path());
    table.LoadForms();
    ASSERT_EQ(table.FormCount(), 29);
    std::vector<PaperForm> edited = table.Forms();
    edited.back().nUser = -1;
    ASSERT_EQ(table.SaveForms(edited), 0);

    char keys[64] = {'x', 'x'};
    EXPECT_EQ(tnw::platform::GetPrivateProfileKeyNames("USERFORM", keys, 64, ini.c_str()), 0u);
    EXPECT_NE(readFile(ini).find("[USERFORM]\r\n\r\n[Mine]"), std::string::npos);
    table.LoadForms();
    EXPECT_EQ(table.FormCount(), 28);
}

TEST(PaperFormSave, NamesThatWouldNotReadBackAreLeftOut)
{
    const std::vector<std::string> refused = {"",      "a=b",      "two\r\nlines",
                                              " lead", "trail\t", ";note",
                                              "[x]",   "UserForm", std::string("nul\0x", 5),
                                              "\x83"};
    for (const std::string& bad : refused)
        EXPECT_FALSE(IsStorableFormName(bad)) << bad;

    TempDir dir;
    const std::string ini = dir.file("tnwForm.ini");
    const std::string bracketTrail = sjis("ゾ");  // its second byte is ']'
    CPaperFormTable table(FormVariant::SheetLibrary, dir.path());
    const std::vector<PaperForm> forms = {userForm("a=b", 1, 1), userForm("x]\r\n[A4", 1, 1),
                                          userForm("in]side", 1, 1),
                                          userForm(bracketTrail, 1, 1)};
    EXPECT_EQ(table.SaveForms(forms), -2);
    EXPECT_EQ(table.ExportFormsXml(forms), 0);
    EXPECT_EQ(readFile(ini).find("a=b"), std::string::npos);
    EXPECT_EQ(readFile(dir.file("tnwForm.xml")).find("a=b"), std::string::npos);
    table.LoadForms();
    ASSERT_EQ(table.FormCount(), 30);
    EXPECT_EQ(table.FormAt(28)->szName, "in]side");
    EXPECT_EQ(table.FormAt(29)->szName, bracketTrail);
    EXPECT_FLOAT_EQ(table.FormAt(29)->fWidth, 1.0f);
}

TEST(PaperFormXml, ExportIsByteExactNextToTheFormFile)
{
    TempDir dir;
    CPaperFormTable table(FormVariant::SheetLibrary, "/nonexistent");
    table.LoadForms(dir.file("tnwForm.ini").c_str());
    PaperForm user = userForm(sjis("封筒") + "<&\"'>", 120.05f, 235);
    user.nSum = 1;
    user.nLonger = 2;
    user.fx1 = 0.5f;
    user.nUser = -1;  // deleted in the dialog: still exported, as the list holds it
    PaperForm nameless;
    const std::vector<PaperForm> forms = {*table.FormAt(22), nameless, user};
    ASSERT_EQ(table.ExportFormsXml(forms, dir.file("tnwForm.ini").c_str()), 0);
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<items>\r\n"
        "\t<item name=\"" + sjis("レター") + "\">\r\n"
        "\t\t<nCheck>1</nCheck>\r\n\t\t<nSum>0</nSum>\r\n\t\t<fx>2159</fx>\r\n"
        "\t\t<fy>2794</fy>\r\n\t\t<fx1>100</fx1>\r\n\t\t<fy1>100</fy1>\r\n"
        "\t\t<fx2>100</fx2>\r\n\t\t<fy2>100</fy2>\r\n\t\t<nLonger>0</nLonger>\r\n"
        "\t</item>\r\n\r\n"
        "\t<item name=\"" + sjis("封筒") + "&lt;&amp;&quot;&apos;&gt;\">\r\n"
        "\t\t<nCheck>1</nCheck>\r\n\t\t<nSum>1</nSum>\r\n\t\t<fx>1200</fx>\r\n"
        "\t\t<fy>2350</fy>\r\n\t\t<fx1>5</fx1>\r\n\t\t<fy1>100</fy1>\r\n"
        "\t\t<fx2>100</fx2>\r\n\t\t<fy2>100</fy2>\r\n\t\t<nLonger>2</nLonger>\r\n"
        "\t</item>\r\n\r\n"
        "</items>\r\n";
    EXPECT_EQ(readFile(dir.file("tnwForm.xml")), expected);

    // A folder that cannot be written leaves nothing behind.
    EXPECT_EQ(table.ExportFormsXml(forms), -1);
    EXPECT_EQ(table.ExportFormsXml(forms, dir.file("missing/tnwForm.ini").c_str()), -1);
}

}  // namespace
