// The right-hand pane: the count line over the list shown (the file list's columns, or the
// folder list of folder mode).
#pragma once

#include <QWidget>

class QLabel;
class QStackedWidget;
class QStandardItemModel;
class QTreeView;

namespace tnw::app {

class FolderListModel;

class ListPane : public QWidget {
    Q_OBJECT
public:
    explicit ListPane(FolderListModel* folders, QWidget* parent = nullptr);

    // Shows the list of `kind` (25 and 26 the folder list, any other the file list).
    void showKind(int kind);
    // The count line: " ﾌｧｲﾙ数：%d", " ﾍﾟｰｼﾞ数：%d" or " ﾌｫﾙﾀﾞ数：%d" for `kind`, with a note
    // after it; an empty text when `rows` < 0.
    void setCount(int kind, int rows, const QString& note = {});
    static QString countText(int kind, int rows);

    // Column widths of the folder list (applied when shown in `kind`'s layout).
    void setFolderWidths(const std::vector<int>& widths);

    QTreeView* currentView() const;
    QTreeView* folderView() const { return m_folderView; }
    QTreeView* fileView() const { return m_fileView; }

signals:
    // A header of the folder list was clicked.
    void folderHeaderClicked(int column);

private:
    QLabel* m_countIcon;
    QLabel* m_count;
    QStackedWidget* m_stack;
    QTreeView* m_fileView;
    QTreeView* m_folderView;
    QStandardItemModel* m_fileColumns;
};

}  // namespace tnw::app
