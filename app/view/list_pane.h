// The right-hand pane: the count line over the list shown: the file list, the page list (each
// as a report or as thumbnails, sharing one model and one selection) or the folder list of
// folder mode.
#pragma once

#include <QWidget>

#include <vector>

class QAbstractItemView;
class QLabel;
class QStackedWidget;
class QThreadPool;
class QTimer;
class QTreeView;

namespace tnw::app {

class FileListModel;
class FolderListModel;
class ListModelBase;
class PageListModel;
class ThumbnailView;

class ListPane : public QWidget {
    Q_OBJECT
public:
    ListPane(FolderListModel* folders, FileListModel* files, PageListModel* pages,
             QThreadPool* pictures, QWidget* parent = nullptr);

    // Shows the list of `kind` (21/27 file list, 22/28 page list, 23 and 24 their thumbnails,
    // 25 and 26 the folder list).
    void showKind(int kind);
    // The count line: " ﾌｧｲﾙ数：%d", " ﾍﾟｰｼﾞ数：%d" or " ﾌｫﾙﾀﾞ数：%d" for `kind`, with a note
    // after it; an empty text when `rows` < 0.
    void setCount(int kind, int rows, const QString& note = {});
    static QString countText(int kind, int rows);
    QString countLine() const;

    // Column widths of the folder list (applied when shown in `kind`'s layout).
    void setFolderWidths(const std::vector<int>& widths);
    // Column widths of a report list.
    void setListWidths(QTreeView* view, const std::vector<int>& widths);
    // Reports at once the widths changed less than the settle time ago (the window closes).
    void flushWidths();

    QAbstractItemView* currentView() const;
    QTreeView* folderView() const { return m_folderView; }
    QTreeView* fileView() const { return m_fileView; }
    QTreeView* pageView() const { return m_pageView; }
    ThumbnailView* fileThumbs() const { return m_fileThumbs; }
    ThumbnailView* pageThumbs() const { return m_pageThumbs; }

signals:
    // A header of the folder, file or page list was clicked.
    void folderHeaderClicked(int column);
    void fileHeaderClicked(int column);
    void pageHeaderClicked(int column);
    // Widths of a list changed (by a drag, a double click on a divider or any other resize
    // that is not the program applying stored widths), reported once they settle.
    void fileWidthsChanged();
    void pageWidthsChanged();
    void folderWidthsChanged();

private:
    // Reports resizes of `view`'s columns through `changed` once they settle.
    void watchWidths(QTreeView* view, void (ListPane::*changed)());

    struct WidthWatch {
        QTimer* settle;
        void (ListPane::*changed)();
    };
    std::vector<WidthWatch> m_widthWatches;
    bool m_applyingWidths = false;
    QLabel* m_countIcon;
    QLabel* m_count;
    QStackedWidget* m_stack;
    QTreeView* m_fileView;
    QTreeView* m_pageView;
    QTreeView* m_folderView;
    ThumbnailView* m_fileThumbs;
    ThumbnailView* m_pageThumbs;
};

}  // namespace tnw::app
