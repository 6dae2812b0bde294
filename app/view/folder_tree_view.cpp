#include "app/view/folder_tree_view.h"

#include "app/core/tree/batch_report.h"
#include "app/core/tree/folder_tree_model.h"
#include "common/platform/files.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

namespace tnw::app {
namespace {

constexpr int kKeyDelayMs = 250;

}  // namespace

FolderTreeView::FolderTreeView(FolderTreeModel* model, QWidget* parent)
    : QTreeView(parent), m_model(model)
{
    setModel(model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAnimated(false);
    setExpandsOnDoubleClick(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAccessibleName(QString::fromUtf8("ﾌｫﾙﾀﾞ"));

    m_keyDelay.setSingleShot(true);
    m_keyDelay.setInterval(kKeyDelayMs);
    connect(&m_keyDelay, &QTimer::timeout, this, [this] {
        if (m_pending.isValid())
            report(m_pending);
    });
}

void FolderTreeView::setBatchSource(std::function<int()> mode, std::function<int()> batchLevel)
{
    m_mode = std::move(mode);
    m_batchLevel = std::move(batchLevel);
}

std::string FolderTreeView::currentPath() const
{
    return m_model->pathOf(currentIndex());
}

void FolderTreeView::mousePressEvent(QMouseEvent* event)
{
    m_mouse = true;
    QTreeView::mousePressEvent(event);
    m_mouse = false;
}

void FolderTreeView::focusInEvent(QFocusEvent* event)
{
    // Taking the focus makes the first row current when none is; that is no choice.
    const bool quiet = m_quiet;
    m_quiet = true;
    QTreeView::focusInEvent(event);
    m_quiet = quiet;
}

void FolderTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    m_keyDelay.stop();
    m_pending = QPersistentModelIndex();
    if (m_quiet || !current.isValid() || !m_model->isUsable(current))
        return;
    if (m_mouse) {
        report(current);
    } else {
        // Holding an arrow key does not build every list on the way.
        m_pending = current;
        m_keyDelay.start();
    }
}

void FolderTreeView::report(const QModelIndex& index)
{
    m_pending = QPersistentModelIndex();
    const std::string chosen = m_model->pathOf(index);
    if (chosen.empty())
        return;
    const int mode = m_mode ? m_mode() : 0;
    const int level = m_batchLevel ? m_batchLevel() : 0;
    std::vector<std::string> children;
    if (mode > 0 && level > 0) {
        children = m_model->childFolders(index);
        if (!children.empty())
            expand(index);
    }
    for (const FolderReport& r : batchReports(chosen, mode, level, children))
        emit folderChosen(QByteArray::fromStdString(r.path), r.flag);
}

void FolderTreeView::selectQuietly(const QModelIndex& index)
{
    m_quiet = true;
    if (index.isValid())
        setCurrentIndex(index);
    else
        selectionModel()->clearCurrentIndex();
    if (!index.isValid())
        clearSelection();
    m_quiet = false;
    if (index.isValid()) {
        scrollTo(index, QAbstractItemView::PositionAtCenter);
        // Deep folders would otherwise scroll the names of the levels above out of sight.
        horizontalScrollBar()->setValue(0);
    }
}

void FolderTreeView::selectStart(const std::string& home)
{
    QModelIndex start;
    if (!home.empty() && platform::pathKind(home) == platform::PathKind::Folder)
        start = m_model->locate(home);
    if (!start.isValid())
        start = m_model->rootIndex();
    for (QModelIndex up = start.parent(); up.isValid(); up = up.parent())
        expand(up);
    expand(start);
    selectQuietly(start);
    report(start);
}

bool FolderTreeView::goTo(const std::string& path)
{
    setUpdatesEnabled(false);
    const QModelIndex target = m_model->locate(path);
    if (target.isValid()) {
        for (QModelIndex up = target.parent(); up.isValid(); up = up.parent())
            expand(up);
    }
    setUpdatesEnabled(true);
    if (!target.isValid() || !m_model->isUsable(target))
        return false;
    selectQuietly(target);
    report(target);
    return true;
}

void FolderTreeView::refresh()
{
    const std::string current = currentPath();
    m_quiet = true;
    m_model->refresh();
    m_quiet = false;
    if (current.empty())
        return;
    // The selected folder, or the nearest ancestor that still exists.
    std::string path = current;
    QModelIndex found;
    while (!path.empty()) {
        if (platform::pathKind(path) == platform::PathKind::Folder) {
            found = m_model->locate(path);
            if (found.isValid())
                break;
        }
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos || path == "/")
            break;
        path = slash == 0 ? std::string("/") : path.substr(0, slash);
    }
    if (!found.isValid())
        found = m_model->rootIndex();
    selectQuietly(found);
}

void FolderTreeView::clearChoice()
{
    selectQuietly(QModelIndex());
}

}  // namespace tnw::app
