#include "app/view/thumbnail_view.h"

#include "app/core/lists/list_models.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace tnw::app {
namespace {
constexpr int kSettleMs = 50;
}

ThumbnailView::ThumbnailView(ThumbnailDelegate::Label label, QThreadPool* pool,
                             PictureDecoder decoder, QWidget* parent)
    : QListView(parent)
{
    m_delegate = new ThumbnailDelegate(m_store, label, this);
    setItemDelegate(m_delegate);
    m_scheduler = std::make_unique<ThumbnailScheduler>(m_store, std::move(decoder), pool);
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSpacing(0);
    setMouseTracking(false);
    updateGrid();

    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &ThumbnailView::reportVisible);
    connect(m_scheduler.get(), &ThumbnailScheduler::picturesReady, this,
            &ThumbnailView::picturesReady);
    connect(m_scheduler.get(), &ThumbnailScheduler::reading, this, &ThumbnailView::reading);
    connect(m_scheduler.get(), &ThumbnailScheduler::idle, this, &ThumbnailView::idle);
}

ThumbnailView::~ThumbnailView() = default;

void ThumbnailView::setListModel(ListModelBase* model)
{
    m_model = model;
    setModel(model);
    const auto later = [this] { m_settle.start(); };
    connect(model, &QAbstractItemModel::modelReset, this, later);
    connect(model, &QAbstractItemModel::dataChanged, this, later);
}

void ThumbnailView::updateGrid()
{
    setGridSize(m_delegate->cellSize());
    setIconSize(QSize(m_store.boxWidth(), m_store.boxHeight()));
}

void ThumbnailView::setBox(int width, int height)
{
    m_delegate->setBox(width, height);
    if (m_store.setBox(width, height)) {
        updateGrid();
        doItemsLayout();
        m_settle.start();
    }
}

void ThumbnailView::setMarkMode(int mode, const QColor& colour)
{
    m_delegate->setMarkMode(mode, colour);
    viewport()->update();
}

void ThumbnailView::clearPictures()
{
    m_store.clear();
    m_reportedRows.clear();
    m_scheduler->request({});
    m_settle.start();
}

void ThumbnailView::setPaused(bool paused)
{
    m_scheduler->setPaused(paused);
}

void ThumbnailView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    m_settle.start();
}

void ThumbnailView::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    m_settle.start();
}

void ThumbnailView::showEvent(QShowEvent* event)
{
    QListView::showEvent(event);
    m_settle.start();
}

void ThumbnailView::reportVisible()
{
    if (!m_model || !isVisible() || m_model->rowCount() == 0)
        return;
    const int rows = m_model->rowCount();
    const QRect vp = viewport()->rect();
    QModelIndex first = indexAt(QPoint(1, 1));
    if (!first.isValid())
        first = indexAt(QPoint(gridSize().width() / 2, gridSize().height() / 2));
    const int firstRow = first.isValid() ? first.row() : 0;
    const QSize grid = gridSize();
    const int perRow = std::max(1, vp.width() / std::max(1, grid.width()));
    const int visibleRows = vp.height() / std::max(1, grid.height()) + 2;
    const int screen = perRow * visibleRows;
    const int lastVisible = std::min(rows - 1, firstRow + screen - 1);
    // Visible first, in order; then one screen of margin, nearest first on either side.
    std::vector<int> order;
    for (int r = firstRow; r <= lastVisible; ++r)
        order.push_back(r);
    for (int d = 1; d <= screen; ++d) {
        if (lastVisible + d < rows)
            order.push_back(lastVisible + d);
        if (firstRow - d >= 0)
            order.push_back(firstRow - d);
    }
    std::vector<PictureKey> keys;
    std::vector<PictureJob> jobs;
    ListDocument* doc = m_model->document();
    m_reportedRows.clear();
    for (int r : order) {
        const PageRow ref = m_model->rowRef(r);
        const FileEntry& e = doc->entry(ref.entry);
        const PictureKey key{ref.entry, ref.page};
        keys.push_back(key);
        m_reportedRows.emplace(key, r);
        if (e.probe == ProbeState::Pending)
            continue;  // its header is still being read; asked again when it reports
        if (e.unsupported())
            continue;
        PictureJob job;
        job.key = key;
        job.path = e.path;
        if (size_t(ref.page) < e.pages.size())
            job.page = e.pages[size_t(ref.page)];
        jobs.push_back(std::move(job));
    }
    m_store.setVisible(keys);
    m_scheduler->request(jobs);
}

void ThumbnailView::picturesReady(const std::vector<PictureKey>& keys)
{
    if (!m_model)
        return;
    const int rows = m_model->rowCount();
    for (const PictureKey& key : keys) {
        const auto it = m_reportedRows.find(key);
        if (it == m_reportedRows.end())
            continue;  // asked for before the last report: out of view now
        const int row = it->second;
        const PageRow ref = row < rows ? m_model->rowRef(row) : PageRow{-1, 0};
        if (ref.entry != key.first || ref.page != key.second) {
            viewport()->update();  // the rows moved since the report
            return;
        }
        viewport()->update(visualRect(m_model->index(row, 0)));
    }
}

void ThumbnailView::toggleMark(const QModelIndex& index)
{
    if (!index.isValid() || !m_model)
        return;
    const QModelIndex first = m_model->index(index.row(), 0);
    if (!(m_model->flags(first) & Qt::ItemIsUserCheckable))
        return;
    const bool checked = first.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    m_model->setData(first, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    viewport()->update(visualRect(index));
}

void ThumbnailView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton &&
        m_delegate->checkRect(visualRect(index)).contains(event->position().toPoint())) {
        toggleMark(index);
        return;
    }
    QListView::mousePressEvent(event);
}

void ThumbnailView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        toggleMark(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}

void ThumbnailView::contextMenuEvent(QContextMenuEvent* event)
{
    QPoint pos = event->pos();
    if (event->reason() == QContextMenuEvent::Keyboard && currentIndex().isValid())
        pos = visualRect(currentIndex()).center();
    openMenuAt(pos);
}

void ThumbnailView::openMenuAt(const QPoint& pos)
{
    QModelIndex index = indexAt(pos);
    if (!index.isValid())
        index = currentIndex();
    if (!m_model || (!index.isValid() && !m_menuExtender))
        return;
    QMenu menu(this);
    if (m_menuExtender)
        m_menuExtender(menu, index);
    QAction* right = nullptr;
    if (index.isValid()) {
        right = menu.addAction(QString::fromUtf8("表示を右に回転"));
        menu.addAction(QString::fromUtf8("表示を左に回転"));
    }
    QAction* chosen = menu.exec(viewport()->mapToGlobal(pos));
    if (!chosen || !index.isValid() || chosen->parent() != &menu ||
        !chosen->text().startsWith(QString::fromUtf8("表示を")))
        return;
    const PageRow ref = m_model->rowRef(index.row());
    m_store.turn({ref.entry, ref.page}, chosen == right ? 90 : -90);
    viewport()->update();
    reportVisible();
}

}  // namespace tnw::app
