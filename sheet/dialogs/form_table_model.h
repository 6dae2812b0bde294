// The paper form dialog's working list: a copy of the form table's records, edited by the
// dialog (new, update, delete, check marks, sum marks) and saved back on OK. The model shows
// one row per record still in the list; each row keeps the index of its record, so removing a
// row never moves a mark onto another record. No widget here: a test drives it alone.
#pragma once

// moc of Qt 6.4 cannot parse <concepts>, which the form table's header needs.
#ifndef Q_MOC_RUN
#include "common/paper_form.h"
#endif

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <vector>

namespace tnw::sheet {

// The verdict on a name typed for a new form.
enum class NameCheck {
    Ok,
    Empty,       // "用紙サイズ名を入力してください。"
    Duplicate,   // the name followed by " は登録済みです"
    Unstorable,  // "この用紙サイズ名は使えません。": the form file could not hold it
    ListFull,    // "これ以上用紙サイズを登録できません。": the USERFORM list would overflow
};

// A name must fit the 32-byte name field of the page record with its zero.
inline constexpr int kFormNameMaxBytes = 31;
// The loader reads the USERFORM key names into 4096 bytes ("name\0" each, a final "\0"); the
// list of live user forms is kept within that, with a byte of margin.
inline constexpr int kUserFormListMaxBytes = 4094;

// Column order of the list.
enum FormColumn { kColName, kColWidth, kColHeight, kColMinusX, kColPlusX, kColMinusY,
                  kColPlusY, kColPrinter };

class FormTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FormTableModel(std::vector<common::PaperForm> forms, bool printerColumn,
                            QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The record behind `row`; null for a row out of range.
    const common::PaperForm* formAt(int row) const;
    // Every record, deleted user forms included (nUser -1): what SaveForms is given.
    const std::vector<common::PaperForm>& forms() const { return m_forms; }

    // Whether `name` (a new form's name) can be added to the list.
    NameCheck checkNewName(const QString& name) const;

    // Appends a new user form (nUser 1, id after the last user form, unchecked). Returns its row.
    int addForm(common::PaperForm form);
    // Replaces the record of `row` by `form`; its name, kind, id and check mark stay.
    void updateForm(int row, const common::PaperForm& form);
    // Deletes the form of `row`: a user form leaves the list (nUser -1, its record is kept for
    // the save); a standard form stays and is unchecked. Returns true when a row went.
    bool deleteForm(int row);

    // The sum mark (nSum) of the record of `row`, as the 集計 page edits it.
    bool sumMarked(int row) const;
    void setSumMarked(int row, bool marked);

    // Sets every check mark to 1 or 0, as the records are written on OK.
    void commitChecks();

private:
    QString cell(const common::PaperForm& form, int column) const;

    std::vector<common::PaperForm> m_forms;
    std::vector<int> m_rows;  // record index of each row
    bool m_printerColumn;
};

// The dialog's text of a form name (code page 932, shown leniently).
QString formName(const common::PaperForm& form);
// The printer column's text: the printer, or "(通常使うプリンタ)" for none.
QString printerText(const common::PaperForm& form);
// The text of a length: one decimal, C-locale notation.
QString lengthText(float mm);

}  // namespace tnw::sheet
