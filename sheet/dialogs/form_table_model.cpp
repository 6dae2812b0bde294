#include "sheet/dialogs/form_table_model.h"

#include "common/platform/qt_text.h"

#include <algorithm>

namespace tnw::sheet {

using common::PaperForm;

QString formName(const PaperForm& form)
{
    return platform::fromCp932(form.szName);
}

QString printerText(const PaperForm& form)
{
    if (form.szPrinter.empty() || form.nDefaultPrinter != 0)
        return QString::fromUtf8("(通常使うプリンタ)");
    return platform::fromCp932(form.szPrinter);
}

QString lengthText(float mm)
{
    return QString::number(double(mm), 'f', 1);  // QString::number ignores the user's locale
}

FormTableModel::FormTableModel(std::vector<PaperForm> forms, bool printerColumn, QObject* parent)
    : QAbstractTableModel(parent), m_forms(std::move(forms)), m_printerColumn(printerColumn)
{
    for (int i = 0; i < int(m_forms.size()); ++i) {
        if (m_forms[size_t(i)].nUser >= 0)
            m_rows.push_back(i);
    }
}

int FormTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FormTableModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_printerColumn ? kColPrinter + 1 : kColPrinter;
}

const PaperForm* FormTableModel::formAt(int row) const
{
    if (row < 0 || row >= int(m_rows.size()))
        return nullptr;
    return &m_forms[size_t(m_rows[size_t(row)])];
}

QString FormTableModel::cell(const PaperForm& form, int column) const
{
    switch (column) {
    case kColName:
        return formName(form);
    case kColWidth:
        return lengthText(form.fWidth);
    case kColHeight:
        return lengthText(form.fHeight);
    case kColMinusX:
        return QLatin1Char('-') + lengthText(form.fx1);
    case kColPlusX:
        return QLatin1Char('+') + lengthText(form.fx2);
    case kColMinusY:
        return QLatin1Char('-') + lengthText(form.fy1);
    case kColPlusY:
        return QLatin1Char('+') + lengthText(form.fy2);
    case kColPrinter:
        return printerText(form);
    default:
        return {};
    }
}

QVariant FormTableModel::data(const QModelIndex& index, int role) const
{
    const PaperForm* form = index.isValid() ? formAt(index.row()) : nullptr;
    if (!form)
        return {};
    if (role == Qt::DisplayRole)
        return cell(*form, index.column());
    if (role == Qt::CheckStateRole && index.column() == kColName)
        return form->nCheck > 0 ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole && index.column() != kColName &&
        index.column() != kColPrinter)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool FormTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != kColName ||
        !formAt(index.row()))
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    m_forms[size_t(m_rows[size_t(index.row())])].nCheck = checked ? 1 : 0;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FormTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == kColName)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant FormTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[] = {"用紙サイズ名", "X(mm)", "Y(mm)", "-X", "+X", "-Y",
                                         "+Y",           "プリンタ名"};
    if (section < 0 || section >= columnCount())
        return {};
    return QString::fromUtf8(titles[section]);
}

NameCheck FormTableModel::checkNewName(const QString& name) const
{
    if (name.isEmpty())
        return NameCheck::Empty;
    for (int index : m_rows) {
        if (formName(m_forms[size_t(index)]).compare(name, Qt::CaseInsensitive) == 0)
            return NameCheck::Duplicate;
    }
    std::string cp932;
    if (!platform::toCp932(name, cp932) || !common::IsStorableFormName(cp932) ||
        int(cp932.size()) > kFormNameMaxBytes)
        return NameCheck::Unstorable;
    // Each live user form takes "name\0" in the list the loader reads.
    size_t listBytes = cp932.size() + 1;
    for (const PaperForm& form : m_forms) {
        if (form.nUser > 0)
            listBytes += form.szName.size() + 1;
    }
    if (listBytes > size_t(kUserFormListMaxBytes))
        return NameCheck::ListFull;
    return NameCheck::Ok;
}

int FormTableModel::addForm(PaperForm form)
{
    int lastId = 99;
    for (const PaperForm& f : m_forms) {
        if (f.nUser != 0)
            lastId = std::max(lastId, f.nId);
    }
    form.nUser = 1;
    form.nId = lastId + 1;
    form.nCheck = 0;  // a new form takes part in matching only once the user checks it
    form.index = int(m_forms.size());
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_forms.push_back(std::move(form));
    m_rows.push_back(int(m_forms.size()) - 1);
    endInsertRows();
    return row;
}

void FormTableModel::updateForm(int row, const PaperForm& form)
{
    if (!formAt(row))
        return;
    PaperForm& target = m_forms[size_t(m_rows[size_t(row)])];
    PaperForm updated = form;
    updated.index = target.index;
    updated.szName = target.szName;
    updated.nUser = target.nUser;
    updated.nId = target.nId;
    updated.nCheck = target.nCheck;
    updated.nSum = target.nSum;
    if (target.nUser == 0) {  // a standard form keeps its size and is never long
        updated.fWidth = target.fWidth;
        updated.fHeight = target.fHeight;
        updated.nLonger = 0;
    }
    target = std::move(updated);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

bool FormTableModel::deleteForm(int row)
{
    if (!formAt(row))
        return false;
    PaperForm& form = m_forms[size_t(m_rows[size_t(row)])];
    if (form.nUser == 0) {
        form.nCheck = 0;
        emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
        return false;
    }
    beginRemoveRows({}, row, row);
    form.nUser = -1;
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

bool FormTableModel::sumMarked(int row) const
{
    const PaperForm* form = formAt(row);
    return form && form->nSum != 0;
}

void FormTableModel::setSumMarked(int row, bool marked)
{
    if (formAt(row))
        m_forms[size_t(m_rows[size_t(row)])].nSum = marked ? 1 : 0;
}

void FormTableModel::commitChecks()
{
    for (PaperForm& form : m_forms)
        form.nCheck = form.nCheck > 0 ? 1 : 0;
}

}  // namespace tnw::sheet
