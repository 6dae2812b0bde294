// The detail dialog of one paper form ("用紙の詳細設定"): name, printer, size, long-sheet mode
// and tolerances. What can be edited depends on the record: a new form everything, a user form
// all but its name, a standard form only its tolerances and printer.
#pragma once

// moc of Qt 6.4 cannot parse <concepts>, which the form table's header needs.
#ifndef Q_MOC_RUN
#include "common/paper_form.h"
#endif

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;

namespace tnw::sheet {

class FormTableModel;

class FormDetailDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { New, User, Standard };

    // `printers` are the installed printers when the printer choice is shown, else null.
    // `list` is asked whether a new name can be added.
    FormDetailDialog(const common::PaperForm& form, Mode mode, const QStringList* printers,
                     const FormTableModel& list, QWidget* parent = nullptr);

    // The record as edited (valid after the dialog was accepted).
    const common::PaperForm& form() const { return m_form; }

    // A record for the new mode: no name, tolerances 10.0 mm, no printer.
    static common::PaperForm blankForm();

    void accept() override;

private:
    QLineEdit* numberField(float value, bool editable);

    common::PaperForm m_form;
    Mode m_mode;
    const FormTableModel& m_list;
    QStringList m_printers;
    bool m_printerChoice = false;
    QLineEdit* m_name = nullptr;
    QComboBox* m_printer = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QComboBox* m_longer = nullptr;
    QLineEdit* m_fx1 = nullptr;
    QLineEdit* m_fx2 = nullptr;
    QLineEdit* m_fy1 = nullptr;
    QLineEdit* m_fy2 = nullptr;
};

}  // namespace tnw::sheet
