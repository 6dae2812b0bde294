// The file list and page list models over a ListDocument, shown by the report views and the
// thumbnail views alike (no proxy: the order on screen is the conversion order). The mark is
// Qt::CheckStateRole of column 0; a page row's mark is its file's mark, and rows of files with
// several pages are not checkable here.
#pragma once

#include "app/core/lists/list_document.h"

#include <QAbstractTableModel>

#include <vector>

namespace tnw::common {
class CPaperFormTable;
}

namespace tnw::app {

enum ListRole {
    EntryIdRole = Qt::UserRole + 1,  // int: the entry id
    PageIndexRole,                   // int: 0-based page within the file
    UnsupportedRole,                 // bool: drawn failed, cells "-" or "未対応"
    SortValueRole,                   // qint64 or QString: what a header sort compares
};

enum class ListCell {
    Folder, Name, FileName, Pages, PageNo, Compression, Colours, Size, Date, X, Y,
    Res, XRes, YRes, WidthMm, HeightMm, Form, LongSheet, Orientation,
};

struct ListColumn {
    ListCell cell;
    const char* header;  // UTF-8
    int width;           // default width in pixels
};
// The columns of kinds 21, 22, 27 and 28 (the file list for any other kind).
const std::vector<ListColumn>& listColumns(int kind);

class ListModelBase : public QAbstractTableModel {
    Q_OBJECT
public:
    ListModelBase(ListDocument* doc, bool pages, QObject* parent);

    // 21/27 (file lists) or 22/28 (page lists): the column layout.
    void setLayoutKind(int kind);
    int layoutKind() const { return m_kind; }
    void setForms(const common::CPaperFormTable* forms) { m_forms = forms; }
    ListDocument* document() const { return m_doc; }

    // The entry and page of a row.
    PageRow rowRef(int row) const;

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Rows now shown of an entry (cells changed).
    void entryChanged(int id);

protected:
    QVariant cellText(const FileEntry& e, int page, ListCell cell) const;
    QVariant sortValue(const FileEntry& e, int page, ListCell cell) const;
    void rebuildRows();

    ListDocument* m_doc;
    bool m_pages;
    int m_kind;
    const common::CPaperFormTable* m_forms = nullptr;
    std::vector<int> m_firstRow;  // entry id -> its first row (-1 none)
};

class FileListModel : public ListModelBase {
    Q_OBJECT
public:
    explicit FileListModel(ListDocument* doc, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
};

class PageListModel : public ListModelBase {
    Q_OBJECT
public:
    explicit PageListModel(ListDocument* doc, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;

    // A stable sort of the page rows by a column (texts in natural order, numbers by value);
    // `direction` 1 or -1 (the comparison inverted, ties keep their order).
    void sortByColumn(int column, int direction);
};

}  // namespace tnw::app
