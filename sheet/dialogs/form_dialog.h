// The paper form dialog ("用紙設定"): the list of paper forms with their check marks, new,
// detail/update and delete, the 集計 page of sum marks, and the save of the edited list to the
// form file on OK.
#pragma once

// moc of Qt 6.4 cannot parse <concepts>, which the form table's header needs.
#ifndef Q_MOC_RUN
#include "common/paper_form.h"
#endif

#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class QPushButton;
class QTabWidget;
class QTableView;

namespace tnw::sheet {

class FormSumPage;
class FormTableModel;

// Bit 0 of the flags: a printer column and a printer choice per form. Any bit: the 集計 tab.
inline constexpr int kFormFlagPrinter = 1;

class FormDialog : public QDialog {
    Q_OBJECT
public:
    // `forms` is the working copy; `formPath` the form file OK saves to; `printers` the
    // installed printers (used with kFormFlagPrinter).
    FormDialog(std::vector<common::PaperForm> forms, std::string formPath, int flags,
               QStringList printers, QWidget* parent = nullptr);

    FormTableModel* model() const { return m_model; }
    QTableView* table() const { return m_table; }
    QTabWidget* tabs() const { return m_tabs; }
    FormSumPage* sumPage() const { return m_sumPage; }

    void newForm();
    void editForm();
    void deleteForm();

    // Commits the check marks and saves; on a failed save says so and stays open.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int selectedRow() const;

    std::string m_formPath;
    bool m_printerColumn;
    QStringList m_printers;
    FormTableModel* m_model;
    QTabWidget* m_tabs = nullptr;
    QTableView* m_table = nullptr;
    FormSumPage* m_sumPage = nullptr;
};

// Whether `path` (code page 932) may be replaced: it does not exist yet, or it is a file with a
// write permission the process can use. A file marked read-only is never replaced, even by a
// user whose rights would allow it.
bool formFileReplaceable(const std::string& path);

// The whole of shxDlgForm once a QApplication exists: loads the forms from `formPath` (null or
// empty: the program's tnwForm.ini), runs the dialog, exports tnwForm.xml after a save.
// Returns 0 when saved, -1 when cancelled.
int runFormDialog(QWidget* parent, const char* formPath, int flags);

}  // namespace tnw::sheet
