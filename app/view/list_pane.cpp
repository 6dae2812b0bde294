#include "app/view/list_pane.h"

#include "app/core/lists/list_models.h"
#include "app/core/tree/folder_list_model.h"
#include "app/view/thumbnail_view.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace tnw::app {
namespace {

constexpr int kWidthSettleMs = 300;  // one save per column drag

bool isFolderKind(int kind)
{
    return kind == 25 || kind == 26;
}

bool isPageKind(int kind)
{
    return kind == 22 || kind == 24 || kind == 28;
}

void setUpListView(QTreeView* view)
{
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setItemsExpandable(false);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAllColumnsShowFocus(true);
    view->setSortingEnabled(false);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsClickable(true);
    view->header()->setHighlightSections(false);
}

// A report view whose header clicks are forwarded.
QTreeView* reportView(QWidget* parent, const char* name, const char* accessible,
                      ListModelBase* model, ListPane* pane, void (ListPane::*clicked)(int))
{
    auto* view = new QTreeView(parent);
    view->setObjectName(QString::fromLatin1(name));
    setUpListView(view);
    view->setModel(model);
    view->setAccessibleName(QString::fromUtf8(accessible));
    QObject::connect(view->header(), &QHeaderView::sectionClicked, pane, clicked);
    return view;
}

}  // namespace

ListPane::ListPane(FolderListModel* folders, FileListModel* files, PageListModel* pages,
                   QThreadPool* pictures, QWidget* parent)
    : QWidget(parent)
{
    m_countIcon = new QLabel(this);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("countLine"));
    auto* countRow = new QHBoxLayout;
    countRow->setContentsMargins(4, 2, 4, 2);
    countRow->setSpacing(2);
    countRow->addWidget(m_countIcon);
    countRow->addWidget(m_count, 1);

    m_fileView = reportView(this, "fileList", "ﾌｧｲﾙﾘｽﾄ", files, this,
                            &ListPane::fileHeaderClicked);
    m_pageView = reportView(this, "pageList", "ﾍﾟｰｼﾞﾘｽﾄ", pages, this,
                            &ListPane::pageHeaderClicked);
    watchWidths(m_fileView, &ListPane::fileWidthsChanged);
    watchWidths(m_pageView, &ListPane::pageWidthsChanged);

    m_folderView = new QTreeView(this);
    m_folderView->setObjectName(QStringLiteral("folderList"));
    setUpListView(m_folderView);
    m_folderView->setModel(folders);
    m_folderView->setAccessibleName(QString::fromUtf8("ﾌｫﾙﾀﾞﾘｽﾄ"));
    setFolderWidths(FolderListModel::defaultWidths(25));
    connect(m_folderView->header(), &QHeaderView::sectionClicked, this,
            &ListPane::folderHeaderClicked);
    connect(folders, &QAbstractItemModel::modelReset, this,
            [this, folders] { setFolderWidths(FolderListModel::defaultWidths(folders->layoutKind())); });
    watchWidths(m_folderView, &ListPane::folderWidthsChanged);

    // The thumbnail forms share their list's model and selection.
    m_fileThumbs = new ThumbnailView(ThumbnailDelegate::Label::NameExt, pictures);
    m_fileThumbs->setObjectName(QStringLiteral("fileThumbs"));
    m_fileThumbs->setAccessibleName(QString::fromUtf8("ﾌｧｲﾙ縮小"));
    m_fileThumbs->setListModel(files);
    m_fileThumbs->setSelectionModel(m_fileView->selectionModel());
    m_pageThumbs = new ThumbnailView(ThumbnailDelegate::Label::NamePage, pictures);
    m_pageThumbs->setObjectName(QStringLiteral("pageThumbs"));
    m_pageThumbs->setAccessibleName(QString::fromUtf8("ﾍﾟｰｼﾞ縮小"));
    m_pageThumbs->setListModel(pages);
    m_pageThumbs->setSelectionModel(m_pageView->selectionModel());

    m_stack = new QStackedWidget(this);
    m_stack->addWidget(m_fileView);
    m_stack->addWidget(m_pageView);
    m_stack->addWidget(m_fileThumbs);
    m_stack->addWidget(m_pageThumbs);
    m_stack->addWidget(m_folderView);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(countRow);
    layout->addWidget(m_stack, 1);
    setFocusProxy(m_fileView);
    showKind(21);
}

void ListPane::watchWidths(QTreeView* view, void (ListPane::*changed)())
{
    auto* settle = new QTimer(view);
    settle->setSingleShot(true);
    settle->setInterval(kWidthSettleMs);
    connect(settle, &QTimer::timeout, this, changed);
    connect(view->header(), &QHeaderView::sectionResized, settle, [this, settle] {
        if (!m_applyingWidths)
            settle->start();
    });
    m_widthWatches.push_back({settle, changed});
}

void ListPane::flushWidths()
{
    for (const WidthWatch& watch : m_widthWatches) {
        if (watch.settle->isActive()) {
            watch.settle->stop();
            emit(this->*watch.changed)();
        }
    }
}

void ListPane::setFolderWidths(const std::vector<int>& widths)
{
    setListWidths(m_folderView, widths);
}

void ListPane::setListWidths(QTreeView* view, const std::vector<int>& widths)
{
    // Widths the program applies (defaults or stored ones) are not a change to store.
    m_applyingWidths = true;
    for (size_t i = 0; i < widths.size(); ++i)
        view->header()->resizeSection(static_cast<int>(i), widths[i]);
    m_applyingWidths = false;
}

QString ListPane::countText(int kind, int rows)
{
    if (rows < 0)
        return {};
    if (isFolderKind(kind))
        return QString::fromUtf8(" ﾌｫﾙﾀﾞ数：%1").arg(rows);
    if (isPageKind(kind))
        return QString::fromUtf8(" ﾍﾟｰｼﾞ数：%1").arg(rows);
    return QString::fromUtf8(" ﾌｧｲﾙ数：%1").arg(rows);
}

void ListPane::setCount(int kind, int rows, const QString& note)
{
    m_count->setText(countText(kind, rows) + note);
}

QString ListPane::countLine() const
{
    return m_count->text();
}

void ListPane::showKind(int kind)
{
    QWidget* shown = m_fileView;
    if (isFolderKind(kind))
        shown = m_folderView;
    else if (kind == 23)
        shown = m_fileThumbs;
    else if (kind == 24)
        shown = m_pageThumbs;
    else if (isPageKind(kind))
        shown = m_pageView;
    m_stack->setCurrentWidget(shown);
    setFocusProxy(currentView());
    QStyle::StandardPixmap icon = QStyle::SP_FileDialogDetailedView;
    if (isFolderKind(kind))
        icon = QStyle::SP_DirIcon;
    else if (kind == 23 || kind == 24)
        icon = QStyle::SP_FileDialogContentsView;
    else if (isPageKind(kind))
        icon = QStyle::SP_FileDialogListView;
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_countIcon->setPixmap(style()->standardIcon(icon).pixmap(size, size));
}

QAbstractItemView* ListPane::currentView() const
{
    return static_cast<QAbstractItemView*>(m_stack->currentWidget());
}

}  // namespace tnw::app
