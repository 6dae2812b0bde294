#include "app/core/undo/list_editor.h"

#include "app/core/lists/list_models.h"
#include "app/core/tree/folder_list_model.h"
#include "app/core/undo/list_edit_command.h"

#include <QItemSelectionModel>

#include <algorithm>

namespace tnw::app {
namespace {

const char kUndoFailed[] = "Undo でエラーが発生しました。編集を破棄します。";

std::vector<int> keysOf(const std::vector<RowState>& rows)
{
    std::vector<int> keys;
    keys.reserve(rows.size());
    for (const RowState& r : rows)
        keys.push_back(r.key);
    return keys;
}

std::vector<int> selectedOf(const std::vector<RowState>& rows)
{
    std::vector<int> selected;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].selected)
            selected.push_back(int(i));
    }
    return selected;
}

}  // namespace

ListEditor::ListEditor(ListDocument* doc, FileListModel* files, PageListModel* pages,
                       FolderListModel* folders, QObject* parent)
    : QObject(parent), m_doc(doc), m_files(files), m_pages(pages), m_folders(folders)
{
    connect(&m_stack, &QUndoStack::indexChanged, this, &ListEditor::changed);
}

ListEditor::~ListEditor()
{
    // The stack's clearing on destruction is no change anyone should hear of.
    m_stack.disconnect(this);
}

void ListEditor::setSelectionModels(QItemSelectionModel* files, QItemSelectionModel* pages,
                                    QItemSelectionModel* folders)
{
    m_fileSel = files;
    m_pageSel = pages;
    m_folderSel = folders;
}

QItemSelectionModel* ListEditor::selection(ListSide side) const
{
    switch (side) {
    case ListSide::Files: return m_fileSel;
    case ListSide::Pages: return m_pageSel;
    default: return m_folderSel;
    }
}

std::vector<int> ListEditor::selectedRows(ListSide side) const
{
    std::vector<int> out;
    QItemSelectionModel* sel = selection(side);
    if (!sel)
        return out;
    for (const QModelIndex& i : sel->selectedRows(0))
        out.push_back(i.row());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<RowState> ListEditor::rows(ListSide side) const
{
    std::vector<RowState> out;
    if (side == ListSide::Files) {
        for (int id : m_doc->fileOrder())
            out.push_back({id, false});
    } else if (side == ListSide::Pages) {
        for (size_t i = 0; i < m_doc->pageRows().size(); ++i)
            out.push_back({int(i), false});
    } else if (m_folders) {
        for (int i = 0; i < m_folders->rowCount(); ++i)
            out.push_back({i, false});
    }
    for (int r : selectedRows(side)) {
        if (size_t(r) < out.size())
            out[size_t(r)].selected = true;
    }
    return out;
}

SelectionSummary ListEditor::summary(ListSide side) const
{
    return summarize(rows(side));
}

void ListEditor::select(ListSide side, const std::vector<int>& rows, int current)
{
    QItemSelectionModel* sel = selection(side);
    if (!sel || !sel->model())
        return;
    const QAbstractItemModel* model = sel->model();
    const int last = model->columnCount() - 1;
    QItemSelection selection;
    for (size_t i = 0; i < rows.size();) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.select(model->index(rows[i], 0), model->index(rows[j], std::max(0, last)));
        i = j + 1;
    }
    if (current >= 0 && current < model->rowCount())
        sel->setCurrentIndex(model->index(current, 0), QItemSelectionModel::NoUpdate);
    sel->select(selection, QItemSelectionModel::ClearAndSelect);
}

ListsSnapshot ListEditor::capture() const
{
    ListsSnapshot s;
    s.fileOrder = m_doc->fileOrder();
    s.pageRows = m_doc->pageRows();
    s.marks = m_doc->marks();
    if (m_folders) {
        for (const FolderRow& r : m_folders->rows())
            s.folderMarks.push_back(r.checked);
    }
    s.fileSelected = selectedRows(ListSide::Files);
    s.pageSelected = selectedRows(ListSide::Pages);
    s.folderSelected = selectedRows(ListSide::Folders);
    if (m_fileSel && m_fileSel->currentIndex().isValid())
        s.fileCurrent = m_fileSel->currentIndex().row();
    if (m_pageSel && m_pageSel->currentIndex().isValid())
        s.pageCurrent = m_pageSel->currentIndex().row();
    if (m_hooks.topRow) {
        s.fileTop = m_hooks.topRow(ListSide::Files);
        s.pageTop = m_hooks.topRow(ListSide::Pages);
    }
    if (m_hooks.readSort)
        s.sort = m_hooks.readSort();
    s.inStep = m_inStep;
    return s;
}

void ListEditor::apply(const ListsSnapshot& s)
{
    if (m_doc->fileOrder() != s.fileOrder)
        m_doc->setFileOrder(s.fileOrder, false);
    m_doc->setPageRows(s.pageRows);
    m_doc->setMarks(s.marks);
    if (m_folders) {
        for (size_t i = 0; i < s.folderMarks.size() && int(i) < m_folders->rowCount(); ++i) {
            const bool checked = s.folderMarks[i] != 0;
            if (m_folders->rows()[i].checked != checked)
                m_folders->setData(m_folders->index(int(i), 0),
                                   checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
        }
    }
    select(ListSide::Files, s.fileSelected, s.fileCurrent);
    select(ListSide::Pages, s.pageSelected, s.pageCurrent);
    select(ListSide::Folders, s.folderSelected, -1);
    if (m_hooks.writeSort && (!m_hooks.readSort || m_hooks.readSort() != s.sort))
        m_hooks.writeSort(s.sort);
    if (m_hooks.scrollTo) {
        m_hooks.scrollTo(ListSide::Files, s.fileTop);
        m_hooks.scrollTo(ListSide::Pages, s.pageTop);
    }
    m_inStep = s.inStep;
    emit changed();
}

void ListEditor::commit(EditKind kind, const ListsSnapshot& before, const ListsSnapshot& after)
{
    apply(after);
    m_stack.push(new ListEditCommand(kind, before, after,
                                     [this](const ListsSnapshot& s) { apply(s); }));
}

std::vector<PageRow> ListEditor::pagesFollowing(const std::vector<int>& order) const
{
    // Each file's pages in the order they first appear in the page list now (all of them,
    // in page order, for a file the page list does not hold).
    std::vector<std::vector<int>> pagesOf(size_t(m_doc->entryCount()));
    for (const PageRow& r : m_doc->pageRows()) {
        std::vector<int>& pages = pagesOf[size_t(r.entry)];
        if (std::find(pages.begin(), pages.end(), r.page) == pages.end())
            pages.push_back(r.page);
    }
    std::vector<PageRow> out;
    for (int id : order) {
        std::vector<int>& pages = pagesOf[size_t(id)];
        if (pages.empty()) {
            const FileEntry& e = m_doc->entry(id);
            const int n = e.kind == 11 ? 1 : e.pageCount();
            for (int p = 0; p < n; ++p)
                pages.push_back(p);
        }
        for (int p : pages)
            out.push_back({id, p});
    }
    return out;
}

void ListEditor::takeFileRows(ListsSnapshot& after, const std::vector<RowState>& edited) const
{
    after.fileOrder = keysOf(edited);
    after.fileSelected = selectedOf(edited);
    after.fileCurrent = after.fileSelected.empty() ? -1 : after.fileSelected.front();
    after.pageRows = pagesFollowing(after.fileOrder);
    after.pageSelected.clear();
    after.pageCurrent = -1;
    after.inStep = true;
}

bool ListEditor::move(ListSide side, EditKind kind)
{
    if (side == ListSide::Folders)
        return false;
    const std::vector<RowState> before = rows(side);
    const SelectionSummary s = summarize(before);
    const bool up = kind == EditKind::Up || kind == EditKind::ToTop;
    if (up ? !s.canMoveUp() : !s.canMoveDown())
        return false;
    if (side == ListSide::Files && !m_inStep)
        return false;
    std::vector<RowState> edited;
    switch (kind) {
    case EditKind::Up: edited = moveUp(before); break;
    case EditKind::Down: edited = moveDown(before); break;
    case EditKind::ToTop: edited = moveToTop(before); break;
    case EditKind::ToBottom: edited = moveToBottom(before); break;
    default: return false;
    }
    const ListsSnapshot was = capture();
    ListsSnapshot after = was;
    if (side == ListSide::Files) {
        takeFileRows(after, edited);
        // A move ends the file list's sorted state.
        after.sort = FileSortState{};
    } else {
        after.pageRows.clear();
        for (const RowState& r : edited)
            after.pageRows.push_back(was.pageRows[size_t(r.key)]);
        after.pageSelected = selectedOf(edited);
        after.pageCurrent = after.pageSelected.empty() ? -1 : after.pageSelected.front();
        after.inStep = false;
    }
    commit(kind, was, after);
    const std::vector<int>& moved = side == ListSide::Files ? after.fileSelected
                                                            : after.pageSelected;
    if (m_hooks.scrollTo && !moved.empty())
        m_hooks.scrollTo(side, up ? moved.front() : moved.back());
    return true;
}

bool ListEditor::swap()
{
    const std::vector<RowState> before = rows(ListSide::Files);
    if (!m_inStep || summarize(before).selected != 2)
        return false;
    const ListsSnapshot was = capture();
    ListsSnapshot after = was;
    takeFileRows(after, swapSelected(before));
    commit(EditKind::Swap, was, after);
    return true;
}

bool ListEditor::remove()
{
    const std::vector<RowState> before = rows(ListSide::Files);
    if (!m_inStep || !summarize(before).someButNotAll())
        return false;
    const ListsSnapshot was = capture();
    ListsSnapshot after = was;
    takeFileRows(after, removeSelected(before));
    commit(EditKind::Delete, was, after);
    return true;
}

bool ListEditor::copy()
{
    const std::vector<RowState> before = rows(ListSide::Files);
    if (!m_inStep || !summarize(before).some())
        return false;
    m_clipboard = selectedKeys(before);
    emit changed();
    return true;
}

bool ListEditor::cut()
{
    const std::vector<RowState> before = rows(ListSide::Files);
    if (!m_inStep || !summarize(before).someButNotAll())
        return false;
    m_clipboard = selectedKeys(before);
    const ListsSnapshot was = capture();
    ListsSnapshot after = was;
    takeFileRows(after, removeSelected(before));
    commit(EditKind::Cut, was, after);
    return true;
}

bool ListEditor::paste()
{
    // Ids of another document cannot be here (a rebuild empties the clipboard); the check
    // keeps a stale one from ever reaching the lists.
    std::erase_if(m_clipboard, [this](int id) { return id < 0 || id >= m_doc->entryCount(); });
    if (!m_inStep || m_clipboard.empty())
        return false;
    const ListsSnapshot was = capture();
    ListsSnapshot after = was;
    takeFileRows(after, app::paste(rows(ListSide::Files), m_clipboard));
    commit(EditKind::Paste, was, after);
    return true;
}

bool ListEditor::setAllMarks(ListSide side, bool checked)
{
    const ListsSnapshot was = capture();
    ListsSnapshot after = was;
    bool any = false;
    if (side == ListSide::Folders) {
        for (char& m : after.folderMarks)
            m = checked;
        any = !after.folderMarks.empty();
    } else if (side == ListSide::Files) {
        for (int id : after.fileOrder)
            after.marks[size_t(id)] = checked;
        any = !after.fileOrder.empty();
    } else {
        for (const PageRow& r : after.pageRows)
            after.marks[size_t(r.entry)] = checked;
        any = !after.pageRows.empty();
    }
    if (!any)
        return false;
    commit(EditKind::Marks, was, after);
    return true;
}

bool ListEditor::syncPages()
{
    if (m_doc->pageRows().empty())
        return false;
    const ListsSnapshot was = capture();
    ListsSnapshot after = was;
    after.pageRows = pagesFollowing(was.fileOrder);
    // The selected page rows stay selected where they went.
    after.pageSelected.clear();
    after.pageCurrent = -1;
    std::vector<char> taken(after.pageRows.size(), 0);
    const auto find = [&](const PageRow& r) {
        for (size_t i = 0; i < after.pageRows.size(); ++i) {
            if (!taken[i] && after.pageRows[i].entry == r.entry && after.pageRows[i].page == r.page) {
                taken[i] = 1;
                return int(i);
            }
        }
        return -1;
    };
    for (int row : was.pageSelected) {
        const int at = find(was.pageRows[size_t(row)]);
        if (at >= 0)
            after.pageSelected.push_back(at);
    }
    std::sort(after.pageSelected.begin(), after.pageSelected.end());
    if (!after.pageSelected.empty())
        after.pageCurrent = after.pageSelected.front();
    after.inStep = true;
    commit(EditKind::SyncPages, was, after);
    return true;
}

bool ListEditor::recordSort(ListSide side, const std::function<void()>& sortNow)
{
    const ListsSnapshot was = capture();
    sortNow();
    ListsSnapshot after = capture();
    after.inStep = side != ListSide::Pages;
    if (side == ListSide::Files) {
        after.pageRows = pagesFollowing(after.fileOrder);
        after.pageSelected.clear();
        after.pageCurrent = -1;
    }
    commit(EditKind::Sort, was, after);
    return true;
}

bool ListEditor::undo()
{
    if (!m_stack.canUndo())
        return false;
    const auto* step = static_cast<const ListEditCommand*>(m_stack.command(m_stack.index() - 1));
    const int folders = m_folders ? m_folders->rowCount() : 0;
    if (!step || !snapshotFits(step->before(), m_doc->entryCount(), folders)) {
        m_stack.clear();
        emit changed();
        emit failed(QString::fromUtf8(kUndoFailed));
        return false;
    }
    m_stack.undo();
    return true;
}

void ListEditor::clear()
{
    m_stack.clear();
    m_clipboard.clear();
    m_inStep = true;
    emit changed();
}

void ListEditor::selectAll(ListSide side)
{
    QItemSelectionModel* sel = selection(side);
    if (!sel || !sel->model() || sel->model()->rowCount() == 0)
        return;
    std::vector<int> all(size_t(sel->model()->rowCount()));
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = int(i);
    const int current = sel->currentIndex().isValid() ? sel->currentIndex().row() : 0;
    select(side, all, current);
}

bool ListEditor::navigate(int step, int toEnd)
{
    std::vector<int> entries;
    for (const PageRow& r : m_doc->pageRows())
        entries.push_back(r.entry);
    int current = -1;
    if (m_pageSel) {
        const std::vector<int> selected = selectedRows(ListSide::Pages);
        if (m_pageSel->currentIndex().isValid() && !selected.empty())
            current = m_pageSel->currentIndex().row();
        else if (!selected.empty())
            current = selected.front();
    }
    const int target = navigateFile(entries, current, step, toEnd);
    if (target < 0)
        return false;
    const int entry = fileSequence(entries)[size_t(target)];
    std::vector<int> rowsOf;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == entry)
            rowsOf.push_back(int(i));
    }
    select(ListSide::Pages, rowsOf, rowsOf.front());
    if (m_hooks.scrollTo)
        m_hooks.scrollTo(ListSide::Pages, rowsOf.front());
    return true;
}

}  // namespace tnw::app
