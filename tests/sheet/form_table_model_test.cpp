// The paper form dialog's working list without any widget: edits keep each mark on its own
// record, new names are refused where the form file could not hold them, and the edited list
// saves and loads back; a read-only form file is never replaced.
#include "common/paper_form.h"
#include "sheet/dialogs/form_dialog.h"
#include "sheet/dialogs/form_table_model.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tnw::sheet {
namespace {

using common::CPaperFormTable;
using common::FormVariant;
using common::PaperForm;

constexpr int kStandardForms = 28;

class FormTableModelTest : public ::testing::Test {
protected:
    std::string iniPath() const { return m_dir.file("tnwForm.ini"); }

    // The forms of a form file holding the user forms `names`.
    std::vector<PaperForm> formsWith(const std::vector<std::string>& names)
    {
        std::string ini = "[USERFORM]\r\n";
        for (const std::string& n : names)
            ini += n + "=\r\n";
        for (const std::string& n : names)
            ini += "[" + n + "]\r\nfx=1000\r\nfy=2000\r\nnCheck=1\r\n";
        EXPECT_TRUE(test::writeFile(iniPath(), ini));
        CPaperFormTable table(FormVariant::SheetLibrary, m_dir.path());
        table.LoadForms(iniPath().c_str());
        return table.Forms();
    }

    static PaperForm userForm(const std::string& name)
    {
        PaperForm form;
        form.szName = name;
        form.fWidth = 100;
        form.fHeight = 150;
        form.fx1 = form.fx2 = form.fy1 = form.fy2 = 10;
        return form;
    }

    static bool checked(const FormTableModel& model, int row)
    {
        return model.data(model.index(row, kColName), Qt::CheckStateRole).toInt() == Qt::Checked;
    }

    test::TempDir m_dir;
};

TEST_F(FormTableModelTest, DeletingARowLeavesEveryOtherMarkOnItsOwnForm)
{
    FormTableModel model(formsWith({"U1", "U2", "U3"}), false);
    ASSERT_EQ(model.rowCount(), kStandardForms + 3);
    const int u2 = kStandardForms + 1;
    model.setData(model.index(kStandardForms + 2, 0), Qt::Unchecked, Qt::CheckStateRole);

    EXPECT_TRUE(model.deleteForm(u2));
    ASSERT_EQ(model.rowCount(), kStandardForms + 2);
    EXPECT_EQ(model.data(model.index(u2, 0)).toString(), QStringLiteral("U3"));
    EXPECT_FALSE(checked(model, u2));                  // U3 kept its own mark
    EXPECT_TRUE(checked(model, kStandardForms));       // U1 untouched
    EXPECT_EQ(model.forms().size(), size_t(kStandardForms + 3));  // U2 kept for the save
    EXPECT_EQ(model.forms()[size_t(kStandardForms + 1)].nUser, -1);

    // A standard form cannot go: it is unchecked instead.
    EXPECT_FALSE(model.deleteForm(4));
    EXPECT_EQ(model.rowCount(), kStandardForms + 2);
    EXPECT_FALSE(checked(model, 4));
    EXPECT_FALSE(model.deleteForm(-1));
    EXPECT_FALSE(model.deleteForm(model.rowCount()));
}

TEST_F(FormTableModelTest, NewFormsAreUncheckedUserFormsAndUpdatesKeepIdentity)
{
    FormTableModel model(formsWith({"U1"}), true);
    EXPECT_EQ(model.columnCount(), 8);
    const int row = model.addForm(userForm("New"));
    EXPECT_EQ(row, kStandardForms + 1);
    const PaperForm* added = model.formAt(row);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->nUser, 1);
    EXPECT_EQ(added->nId, 101);
    EXPECT_EQ(added->nCheck, 0);
    EXPECT_EQ(model.data(model.index(row, kColMinusX)).toString(), QStringLiteral("-10.0"));
    EXPECT_EQ(model.data(model.index(row, kColPrinter)).toString(),
              QString::fromUtf8("(通常使うプリンタ)"));

    // An update of a standard form changes its tolerances only; name and size stay.
    PaperForm a4 = *model.formAt(4);
    PaperForm edit = a4;
    edit.szName = "X";
    edit.fWidth = 1;
    edit.nLonger = 2;
    edit.fx1 = 2.5f;
    model.updateForm(4, edit);
    EXPECT_EQ(model.formAt(4)->szName, "A4");
    EXPECT_FLOAT_EQ(model.formAt(4)->fWidth, a4.fWidth);
    EXPECT_EQ(model.formAt(4)->nLonger, 0);
    EXPECT_EQ(model.data(model.index(4, kColMinusX)).toString(), QStringLiteral("-2.5"));
}

TEST_F(FormTableModelTest, NewNamesTheFormFileCannotHoldAreRefused)
{
    FormTableModel model(formsWith({"Mine", "Gone"}), false);
    EXPECT_EQ(model.checkNewName(QStringLiteral("")), NameCheck::Empty);
    EXPECT_EQ(model.checkNewName(QStringLiteral("a4")), NameCheck::Duplicate);
    EXPECT_EQ(model.checkNewName(QStringLiteral("MINE")), NameCheck::Duplicate);
    for (const char* bad : {"[x", ";x", "a=b", " x", "userform", "x\ny"})
        EXPECT_EQ(model.checkNewName(QString::fromUtf8(bad)), NameCheck::Unstorable) << bad;
    EXPECT_EQ(model.checkNewName(QString::fromUtf8("한국")), NameCheck::Unstorable);
    EXPECT_EQ(model.checkNewName(QString(31, QLatin1Char('x'))), NameCheck::Ok);
    EXPECT_EQ(model.checkNewName(QString(32, QLatin1Char('x'))), NameCheck::Unstorable);
    // 16 characters of two bytes each are 32 bytes.
    EXPECT_EQ(model.checkNewName(QString(16, QChar(0x3042))), NameCheck::Unstorable);
    // A name deleted in this session may come back.
    model.deleteForm(kStandardForms + 1);
    EXPECT_EQ(model.checkNewName(QStringLiteral("gone")), NameCheck::Ok);

    // The USERFORM list stays readable: "Mine=" and 127 names of 31 bytes take 4069 bytes.
    for (int i = 0; i < 127; ++i)
        model.addForm(userForm(QStringLiteral("%1").arg(i, 31, 10, QLatin1Char('0')).toStdString()));
    EXPECT_EQ(model.checkNewName(QString(31, QLatin1Char('z'))), NameCheck::ListFull);
    EXPECT_EQ(model.checkNewName(QStringLiteral("z")), NameCheck::Ok);
}

TEST_F(FormTableModelTest, EditedListSavesAndLoadsBack)
{
    FormTableModel model(formsWith({"U1", "U2"}), false);
    PaperForm added = userForm("Added");
    added.nLonger = 2;
    const int row = model.addForm(added);
    model.setData(model.index(row, 0), Qt::Checked, Qt::CheckStateRole);
    model.setSumMarked(row, true);
    model.deleteForm(kStandardForms);  // U1
    model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    model.commitChecks();

    CPaperFormTable table(FormVariant::SheetLibrary, m_dir.path());
    ASSERT_EQ(table.SaveForms(model.forms(), iniPath().c_str()), 0);
    table.LoadForms(iniPath().c_str());
    ASSERT_EQ(table.FormCount(), kStandardForms + 2);
    EXPECT_EQ(table.FormAt(kStandardForms)->szName, "U2");
    const PaperForm* back = table.FormAt(kStandardForms + 1);
    EXPECT_EQ(back->szName, "Added");
    EXPECT_EQ(back->nCheck, 1);
    EXPECT_EQ(back->nSum, 1);
    EXPECT_EQ(back->nLonger, 2);
    EXPECT_FLOAT_EQ(back->fHeight, 150.0f);
    EXPECT_EQ(table.FormAt(0)->nCheck, 0);
}

TEST_F(FormTableModelTest, ReadOnlyOrOddFormFilesAreNotReplaceable)
{
    EXPECT_TRUE(formFileReplaceable(iniPath()));  // missing: may be made
    ASSERT_TRUE(test::writeFile(iniPath(), "[A4]\r\nnCheck=0\r\n"));
    EXPECT_TRUE(formFileReplaceable(iniPath()));
    ASSERT_EQ(::chmod(iniPath().c_str(), 0444), 0);
    EXPECT_FALSE(formFileReplaceable(iniPath()));
    EXPECT_FALSE(formFileReplaceable(m_dir.path()));  // a folder
}

}  // namespace
}  // namespace tnw::sheet
