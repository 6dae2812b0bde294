// The main window's order editing: the edit, move, mark and undo commands on the list shown,
// the selection and edit modes, page navigation, the lists' context menus (with the tag dump
// of a TIFF row) and the availability the edit rules need.
#include "app/view/main_window.h"

#include "app/core/lists/list_models.h"
#include "app/core/lists/list_sort.h"
#include "app/core/lists/list_cells.h"
#include "app/core/tree/folder_list_model.h"
#include "app/core/undo/list_editor.h"
#include "app/view/list_pane.h"
#include "app/view/messages.h"
#include "app/view/thumbnail_view.h"
#include "common/platform/profile.h"
#include "tnwsheet.h"

#include <QHeaderView>
#include <QMenu>
#include <QShortcut>
#include <QTreeView>

namespace tnw::app {
namespace {

bool isTiffEntry(const FileEntry& e)
{
    if (e.kind == 12)
        return true;
    const auto dot = e.name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = e.name.substr(dot);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".tif" || ext == ".tiff";
}

struct MenuEntry {
    CommandId id;  // CommandId{0}: a separator
    const char* text;
};

// The context menus' own texts and mnemonics (the repeated ones are meant: Qt cycles
// between equal mnemonics).
const MenuEntry kFileMenu[] = {
    {CommandId::Convert, "PDF化実行(&E)..."}, {CommandId{0}, nullptr},
    {CommandId::Undo, "元に戻す(&U)"},        {CommandId{0}, nullptr},
    {CommandId::MoveTop, "先頭に移動(&T)"},   {CommandId::MoveUp, "１つ上に移動(&U)"},
    {CommandId::MoveDown, "１つ下に移動(&D)"}, {CommandId::MoveBottom, "最終に移動(&B)"},
    {CommandId{0}, nullptr},                  {CommandId::Swap, "入れ替え(&E)"},
    {CommandId{0}, nullptr},                  {CommandId::CheckAll, "全てのﾁｪｯｸ設定(&N)"},
    {CommandId::UncheckAll, "全てのﾁｪｯｸ解除(&F)"},
};
const MenuEntry kPageMenu[] = {
    {CommandId::Convert, "PDF化実行(&E)..."}, {CommandId{0}, nullptr},
    {CommandId::PrevFile, "前のﾌｧｲﾙ(&1)"},    {CommandId::NextFile, "次のﾌｧｲﾙ(&2)"},
    {CommandId::FirstFile, "先頭のﾌｧｲﾙ(&3)"}, {CommandId::LastFile, "最終のﾌｧｲﾙ(&4)"},
};

}  // namespace

void MainWindow::createEditing()
{
    m_editor = new ListEditor(m_doc, m_fileModel, m_pageModel, m_folderModel, this);
    m_editor->setSelectionModels(m_listPane->fileView()->selectionModel(),
                                 m_listPane->pageView()->selectionModel(),
                                 m_listPane->folderView()->selectionModel());
    const auto reportOf = [this](ListSide side) {
        return side == ListSide::Files ? m_listPane->fileView() : m_listPane->pageView();
    };
    const auto thumbsOf = [this](ListSide side) -> QAbstractItemView* {
        return side == ListSide::Files ? m_listPane->fileThumbs() : m_listPane->pageThumbs();
    };
    ListEditorHooks hooks;
    hooks.readSort = [this] {
        FileSortState s;
        s.pageOrder = m_frame.conv().nPageOrder;
        if (const ListColumnSettings* c = columnsOf(m_frame.app(), fileKind())) {
            s.column = c->nSortNo;
            s.direction = c->nSortDir;
        }
        return s;
    };
    hooks.writeSort = [this](const FileSortState& s) {
        m_frame.conv().nPageOrder = s.pageOrder;
        platform::WritePrivateProfileString("PageInfo", "nPageOrder",
                                            std::to_string(s.pageOrder).c_str(),
                                            m_files.iniPath.c_str());
        SaveSort(m_frame.app(), fileKind(), s.column, s.direction, m_files.iniPath);
        showFileSortIndicator();
    };
    hooks.topRow = [reportOf, thumbsOf, this](ListSide side) {
        if (side == ListSide::Folders)
            return 0;
        QAbstractItemView* view = m_listPane->currentView() == thumbsOf(side)
                                      ? thumbsOf(side)
                                      : static_cast<QAbstractItemView*>(reportOf(side));
        const QModelIndex top = view->indexAt(QPoint(2, 2));
        return top.isValid() ? top.row() : 0;
    };
    hooks.scrollTo = [reportOf, thumbsOf](ListSide side, int row) {
        if (side == ListSide::Folders)
            return;
        for (QAbstractItemView* view :
             {static_cast<QAbstractItemView*>(reportOf(side)), thumbsOf(side)}) {
            const QModelIndex index = view->model()->index(row, 0);
            if (index.isValid())
                view->scrollTo(index);
        }
    };
    m_editor->setHooks(std::move(hooks));
    connect(m_editor, &ListEditor::changed, this, &MainWindow::updateEditState);
    connect(m_editor, &ListEditor::failed, this,
            [this](const QString& message) { showError(this, message); });
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_listPane->fileView()),
                                    static_cast<QAbstractItemView*>(m_listPane->pageView()),
                                    static_cast<QAbstractItemView*>(m_listPane->folderView())}) {
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &MainWindow::updateEditState);
        connect(view->model(), &QAbstractItemModel::modelReset, this,
                &MainWindow::updateEditState);
    }
    connect(&m_frame, &FrameState::listKindChanged, this, &MainWindow::updateEditState);
    connect(&m_frame, &FrameState::pagesSynced, this, [this] { m_editor->syncPages(); });

    // Context menus: right button, the Menu key, and Shift+F10 at the current row.
    for (QTreeView* view : {m_listPane->fileView(), m_listPane->pageView()}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& pos) { showListMenu(view, pos); });
    }
    for (ThumbnailView* thumbs : {m_listPane->fileThumbs(), m_listPane->pageThumbs()}) {
        thumbs->setMenuExtender([this, thumbs](QMenu& menu, const QModelIndex& index) {
            QMenu* own = listMenu(thumbs, thumbs->visualRect(index).center());
            if (!own)
                return;
            for (QAction* a : own->actions())
                menu.addAction(a);
            own->setParent(&menu);
            menu.addSeparator();
        });
    }
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), m_listPane);
    menuKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        QAbstractItemView* view = m_listPane->currentView();
        const QModelIndex current = view->currentIndex();
        const QPoint at = current.isValid() ? view->visualRect(current).center() : QPoint(2, 2);
        if (auto* thumbs = qobject_cast<ThumbnailView*>(view))
            thumbs->openMenuAt(at);
        else
            showListMenu(view, at);
    });

    const int mode = m_tnl.nMode;
    m_frame.setEditorMode(mode == 1 || mode == 3 ? mode : 0);
    updateEditState();
}

void MainWindow::updateEditState()
{
    if (!m_editor)
        return;
    const int kind = m_frame.listKind();
    ListSide side = ListSide::Files;
    if (kind == kListPage || kind == kListPageSubDir || kind == kListPageThumbs)
        side = ListSide::Pages;
    else if (kind == kListDir1 || kind == kListDir2)
        side = ListSide::Folders;
    const SelectionSummary s = m_editor->summary(side);
    EditState e;
    e.shownRows = s.rows;
    e.selectedRows = s.selected;
    e.firstAtTop = s.first == 0;
    e.lastAtBottom = s.last == s.rows - 1;
    e.canUndo = m_editor->canUndo();
    e.clipboard = m_editor->hasClipboard();
    m_frame.setInStep(m_editor->inStep());
    m_frame.setEditState(e);
}

void MainWindow::setEditorMode(int mode)
{
    m_frame.setEditorMode(mode);
    m_tnl.nMode = mode;
    SaveTnlMode(mode, m_files.iniPath);
    applyThumbnailSettings(m_tnl);
    // The mode commands set the page thumbnails' marking too (they start without one).
    m_listPane->pageThumbs()->setMarkMode(mode, mode == 1 ? m_tnl.backPrt : m_tnl.backMove);
    updateEditState();
}

bool MainWindow::runEdit(CommandId id)
{
    const int kind = m_frame.listKind();
    ListSide side = ListSide::Files;
    if (kind == kListPage || kind == kListPageSubDir || kind == kListPageThumbs)
        side = ListSide::Pages;
    else if (kind == kListDir1 || kind == kListDir2)
        side = ListSide::Folders;
    // The availability rules guard every edit; the keys reach here only when enabled.
    const QAction* a = action(id);
    if (a && !a->isEnabled())
        return true;
    switch (id) {
    case CommandId::Undo: m_editor->undo(); break;
    case CommandId::MoveTop: m_editor->move(side, EditKind::ToTop); break;
    case CommandId::MoveUp: m_editor->move(side, EditKind::Up); break;
    case CommandId::MoveDown: m_editor->move(side, EditKind::Down); break;
    case CommandId::MoveBottom: m_editor->move(side, EditKind::ToBottom); break;
    case CommandId::Swap: m_editor->swap(); break;
    case CommandId::Delete: m_editor->remove(); break;
    case CommandId::Cut: m_editor->cut(); break;
    case CommandId::Copy: m_editor->copy(); break;
    case CommandId::Paste: m_editor->paste(); break;
    case CommandId::SelectAll: m_editor->selectAll(side); break;
    case CommandId::CheckAll: m_editor->setAllMarks(side, true); break;
    case CommandId::UncheckAll: m_editor->setAllMarks(side, false); break;
    case CommandId::SelectMode: setEditorMode(1); break;
    case CommandId::EditMode: setEditorMode(3); break;
    case CommandId::SyncPages: m_frame.send(Hint::SyncPages); break;
    case CommandId::PrevFile: m_editor->navigate(-1, 0); break;
    case CommandId::NextFile: m_editor->navigate(1, 0); break;
    case CommandId::FirstFile: m_editor->navigate(0, -1); break;
    case CommandId::LastFile: m_editor->navigate(0, 1); break;
    default: return false;
    }
    updateListCounts();
    updateEditState();
    return true;
}

QMenu* MainWindow::listMenu(QAbstractItemView* view, const QPoint& pos)
{
    const bool files = view == m_listPane->fileView() || view == m_listPane->fileThumbs();
    const bool pages = view == m_listPane->pageView() || view == m_listPane->pageThumbs();
    if (!files && !pages)
        return nullptr;
    auto* menu = new QMenu(this);
    const auto add = [&](std::span<const MenuEntry> entries) {
        for (const MenuEntry& e : entries) {
            if (e.id == CommandId{0}) {
                menu->addSeparator();
                continue;
            }
            QAction* a = menu->addAction(QString::fromUtf8(e.text));
            a->setEnabled(action(e.id)->isEnabled());
            const CommandId id = e.id;
            connect(a, &QAction::triggered, this, [this, id] { action(id)->trigger(); });
        }
    };
    if (files)
        add(kFileMenu);
    else
        add(kPageMenu);
    QModelIndex index = view->indexAt(pos);
    if (!index.isValid())
        index = view->currentIndex();
    if (index.isValid()) {
        const PageRow ref = static_cast<ListModelBase*>(view->model())->rowRef(index.row());
        const FileEntry& entry = m_doc->entry(ref.entry);
        if (isTiffEntry(entry)) {
            menu->addSeparator();
            QAction* tags = menu->addAction(QString::fromUtf8("タグ情報..."));
            tags->setEnabled(!m_frame.busy());
            const std::string path = entry.path;
            connect(tags, &QAction::triggered, this, [this, path] { showTagDump(path); });
        }
    }
    return menu;
}

void MainWindow::showListMenu(QAbstractItemView* view, const QPoint& pos)
{
    if (m_frame.busy())
        return;
    std::unique_ptr<QMenu> menu(listMenu(view, pos));
    if (menu)
        menu->exec(view->viewport()->mapToGlobal(pos));
}

void MainWindow::showTagDump(const std::string& path)
{
    // The dialog shows its own message when the file cannot be read.
    int result = 0;
    shxDlgTagDump(static_cast<QWidget*>(this), path.c_str(), &result);
}

}  // namespace tnw::app
