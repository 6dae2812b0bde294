// The tag dump dialog: the TIFF tags of a file, page by page, as a table (表形式, the row
// form) or as the text listing (帳票形式), with buttons to move between the pages.
#pragma once

#include "common/tiff_reader.h"

#include <QDialog>

#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableView;

namespace tnw::sheet {

class TagDumpRowModel;

class TagDumpDialog : public QDialog {
    Q_OBJECT
public:
    // `reader` is open with its directories read; the dialog does not own it.
    TagDumpDialog(common::TiffReader& reader, const QString& fileName, QWidget* parent = nullptr);

    int page() const { return m_page; }
    int pageCount() const { return m_reader.directoryCount(); }
    // The code of the last page shown (0, or the reader's code for that page).
    int lastCode() const { return m_code; }

    void showPage(int page);
    void setTextForm(bool text);

    QTableView* table() const { return m_table; }
    QPlainTextEdit* text() const { return m_text; }
    QLabel* pageLabel() const { return m_pageLabel; }

private:
    void refresh();

    common::TiffReader& m_reader;
    int m_page = 0;
    int m_code = 0;
    bool m_textForm = false;
    TagDumpRowModel* m_rows;
    QLabel* m_pageLabel = nullptr;
    QStackedWidget* m_stack = nullptr;
    QTableView* m_table = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QRadioButton* m_rowRadio = nullptr;
    QRadioButton* m_textRadio = nullptr;
    QPushButton* m_first = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_last = nullptr;
};

// The whole of shxDlgTagDump once a QApplication exists: opens the file, reads its
// directories and runs the dialog. Returns 0 after 終了; after a failure shown in a message
// box, the reader's code (-305 when no work file can be made).
int runTagDumpDialog(QWidget* parent, const char* tiffPath);

}  // namespace tnw::sheet
