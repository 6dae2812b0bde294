#include "sheet/dialogs/form_sum_page.h"

#include "sheet/dialogs/form_table_model.h"

#include <QLabel>
#include <QListView>
#include <QVBoxLayout>

namespace tnw::sheet {

FormSumModel::FormSumModel(FormTableModel& forms, QObject* parent)
    : QAbstractListModel(parent), m_forms(forms)
{
    // Rows come and go with the form list (new, delete); a reset keeps the two in step.
    connect(&forms, &QAbstractItemModel::rowsAboutToBeInserted, this,
            &FormSumModel::beginResetModel);
    connect(&forms, &QAbstractItemModel::rowsInserted, this, &FormSumModel::endResetModel);
    connect(&forms, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &FormSumModel::beginResetModel);
    connect(&forms, &QAbstractItemModel::rowsRemoved, this, &FormSumModel::endResetModel);
    connect(&forms, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                emit dataChanged(index(from.row()), index(to.row()));
            });
}

int FormSumModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_forms.rowCount();
}

QVariant FormSumModel::data(const QModelIndex& index, int role) const
{
    const common::PaperForm* form = index.isValid() ? m_forms.formAt(index.row()) : nullptr;
    if (!form)
        return {};
    if (role == Qt::DisplayRole)
        return formName(*form);
    if (role == Qt::CheckStateRole)
        return form->nSum != 0 ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool FormSumModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || !m_forms.formAt(index.row()))
        return false;
    m_forms.setSumMarked(index.row(), value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FormSumModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

FormSumPage::FormSumPage(FormTableModel& forms, QWidget* parent)
    : QWidget(parent), m_model(new FormSumModel(forms, this)), m_list(new QListView(this))
{
    setObjectName(QStringLiteral("FormSumPage"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("集計する用紙サイズ："), this));
    m_list->setObjectName(QStringLiteral("sumList"));
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true);
    layout->addWidget(m_list);
}

}  // namespace tnw::sheet
