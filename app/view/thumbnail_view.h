// ThumbnailView: the file or page list as a grid of thumbnails (QListView in icon mode over
// the same model and selection as the report view). After a scroll or resize settles (50 ms)
// it reports the visible items plus one screen of margin to its scheduler, nearest first;
// pictures arrive later and repaint their cells. A click on the check square, or Space,
// toggles the mark; the context menu turns a picture for display.
#pragma once

#include "app/core/thumbs/thumbnail_scheduler.h"
#include "app/core/thumbs/thumbnail_store.h"
#include "app/view/thumbnail_delegate.h"

#include <QListView>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class QMenu;
class QThreadPool;

namespace tnw::app {

class ListModelBase;

class ThumbnailView : public QListView {
    Q_OBJECT
public:
    ThumbnailView(ThumbnailDelegate::Label label, QThreadPool* pool,
                  PictureDecoder decoder = fileDecoder(), QWidget* parent = nullptr);
    ~ThumbnailView() override;

    void setListModel(ListModelBase* model);
    // A new box: every picture dropped and made again.
    void setBox(int width, int height);
    void setMarkMode(int mode, const QColor& colour);
    // The list was filled again: every picture and turn dropped.
    void clearPictures();
    void setPaused(bool paused);
    // Entries put at the top of the context menu for the item under the mouse (or the
    // current one); with an extender the menu opens on empty space too.
    using MenuExtender = std::function<void(QMenu& menu, const QModelIndex& index)>;
    void setMenuExtender(MenuExtender extender) { m_menuExtender = std::move(extender); }
    // Opens the context menu as if asked at `pos` of the viewport (Shift+F10).
    void openMenuAt(const QPoint& pos);

    ThumbnailStore& store() { return m_store; }
    ThumbnailScheduler& scheduler() { return *m_scheduler; }
    ThumbnailDelegate* delegate() const { return m_delegate; }
    // Reports the visible range now (the timer's work).
    void reportVisible();

signals:
    void reading(const QString& path);
    void idle();

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void toggleMark(const QModelIndex& index);
    void updateGrid();
    // Repaints the cells of pictures just stored (only those in the last reported range).
    void picturesReady(const std::vector<PictureKey>& keys);

    ThumbnailStore m_store;
    ThumbnailDelegate* m_delegate;
    std::unique_ptr<ThumbnailScheduler> m_scheduler;
    ListModelBase* m_model = nullptr;
    QTimer m_settle;
    MenuExtender m_menuExtender;
    std::map<PictureKey, int> m_reportedRows;  // key -> row, of the last reported range
};

}  // namespace tnw::app
