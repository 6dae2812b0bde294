// The 集計 page of the paper form dialog: the forms of the working list, each with its sum mark
// (nSum), which decides whether sheet sums count it. The marks go straight into the working
// records, so OK saves them with the rest and Cancel drops them with the rest.
#pragma once

#include <QAbstractListModel>
#include <QWidget>

class QListView;

namespace tnw::sheet {

class FormTableModel;

// The forms of a FormTableModel as a list with their sum marks; follows its rows.
class FormSumModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit FormSumModel(FormTableModel& forms, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    FormTableModel& m_forms;
};

class FormSumPage : public QWidget {
    Q_OBJECT
public:
    explicit FormSumPage(FormTableModel& forms, QWidget* parent = nullptr);

    QListView* list() const { return m_list; }

private:
    FormSumModel* m_model;
    QListView* m_list;
};

}  // namespace tnw::sheet
