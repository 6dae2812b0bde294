// ListEditor: the order edits of the file and page lists and the marks of every list, each one
// undo step on the window's QUndoStack, with the internal clipboard of copied file rows and
// the in-step flag (the page list follows the file list until the page list is edited on its
// own). Plain logic over the models and their selection models: a test drives it without a
// widget. The window supplies the stored sort and the scroll position through hooks.
#pragma once

#include "app/core/undo/lists_snapshot.h"
#include "app/core/undo/row_edits.h"

#include <QObject>
#include <QUndoStack>

#include <functional>
#include <vector>

class QItemSelectionModel;

namespace tnw::app {

class FileListModel;
class FolderListModel;
class PageListModel;

enum class ListSide { Files, Pages, Folders };

struct ListEditorHooks {
    std::function<FileSortState()> readSort;
    std::function<void(const FileSortState&)> writeSort;  // store and show a restored sort
    std::function<int(ListSide)> topRow;
    std::function<void(ListSide, int row)> scrollTo;
};

class ListEditor : public QObject {
    Q_OBJECT
public:
    ListEditor(ListDocument* doc, FileListModel* files, PageListModel* pages,
               FolderListModel* folders, QObject* parent = nullptr);
    ~ListEditor() override;

    void setSelectionModels(QItemSelectionModel* files, QItemSelectionModel* pages,
                            QItemSelectionModel* folders);
    void setHooks(ListEditorHooks hooks) { m_hooks = std::move(hooks); }

    QUndoStack& stack() { return m_stack; }
    bool canUndo() const { return m_stack.canUndo(); }
    bool hasClipboard() const { return !m_clipboard.empty(); }
    bool inStep() const { return m_inStep; }
    SelectionSummary summary(ListSide side) const;

    // The edits; each returns whether it changed the lists (and pushed a step).
    bool move(ListSide side, EditKind kind);  // Up, Down, ToTop, ToBottom
    bool swap();                              // file list
    bool remove();                            // file list
    bool cut();                               // file list
    bool copy();                              // file list; not a step
    bool paste();                             // file list
    bool setAllMarks(ListSide side, bool checked);
    bool syncPages();                         // page list back in file-list order
    // A sort done by `sortNow` (a header click) recorded as one step; a page-list sort
    // clears the in-step flag, a file-list sort (the pages follow) sets it.
    bool recordSort(ListSide side, const std::function<void()>& sortNow);

    // Undoes the last step. A step that no longer fits the lists gives "Undo でエラーが発生
    // しました。編集を破棄します。" through failed() and clears the stack.
    bool undo();
    // A rebuild of the lists: no steps, an empty clipboard, in step.
    void clear();

    // Selection only, never a step.
    void selectAll(ListSide side);
    // Page navigation: `step` -1 / 1 the previous / next file, `toEnd` -1 / 1 the first /
    // last file; every page row of the target file selected, its first row current.
    bool navigate(int step, int toEnd);

    ListsSnapshot capture() const;
    void apply(const ListsSnapshot& s);

signals:
    void changed();  // steps, clipboard, in-step or the lists' order changed
    void failed(const QString& message);

private:
    std::vector<RowState> rows(ListSide side) const;
    QItemSelectionModel* selection(ListSide side) const;
    std::vector<int> selectedRows(ListSide side) const;
    void select(ListSide side, const std::vector<int>& rows, int current);
    std::vector<PageRow> pagesFollowing(const std::vector<int>& order) const;
    void commit(EditKind kind, const ListsSnapshot& before, const ListsSnapshot& after);
    // `after` with the file order of `edited` and the page list following it.
    void takeFileRows(ListsSnapshot& after, const std::vector<RowState>& edited) const;

    ListDocument* m_doc;
    FileListModel* m_files;
    PageListModel* m_pages;
    FolderListModel* m_folders;
    QItemSelectionModel* m_fileSel = nullptr;
    QItemSelectionModel* m_pageSel = nullptr;
    QItemSelectionModel* m_folderSel = nullptr;
    ListEditorHooks m_hooks;
    QUndoStack m_stack;
    std::vector<int> m_clipboard;  // entry ids
    bool m_inStep = true;
};

}  // namespace tnw::app
