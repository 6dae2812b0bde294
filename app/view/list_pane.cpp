#include "app/view/list_pane.h"

#include "app/core/tree/folder_list_model.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace tnw::app {
namespace {

struct Column {
    const char* text;
    int width;
};

// The file list's columns; its rows come with the lists.
const Column kFileColumns[] = {
    {"名前", 120},   {"ｻｲｽﾞ", 64},    {"更新日付", 52}, {"色数", 48},
    {"X", 48},       {"Y", 48},       {"解像度", 64},   {"幅(mm)", 64},
    {"高さ(mm)", 64}, {"用紙ｻｲｽﾞ", 64}, {"長尺", 48},     {"向き", 40},
};

bool isFolderKind(int kind)
{
    return kind == 25 || kind == 26;
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

}  // namespace

ListPane::ListPane(FolderListModel* folders, QWidget* parent) : QWidget(parent)
{
    m_countIcon = new QLabel(this);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("countLine"));
    auto* countRow = new QHBoxLayout;
    countRow->setContentsMargins(4, 2, 4, 2);
    countRow->setSpacing(2);
    countRow->addWidget(m_countIcon);
    countRow->addWidget(m_count, 1);

    m_fileColumns = new QStandardItemModel(0, int(std::size(kFileColumns)), this);
    m_fileView = new QTreeView(this);
    m_fileView->setObjectName(QStringLiteral("fileList"));
    setUpListView(m_fileView);
    m_fileView->setModel(m_fileColumns);
    for (int i = 0; i < int(std::size(kFileColumns)); ++i) {
        m_fileColumns->setHeaderData(i, Qt::Horizontal, QString::fromUtf8(kFileColumns[i].text));
        m_fileView->header()->resizeSection(i, kFileColumns[i].width);
    }
    m_fileView->setAccessibleName(QString::fromUtf8("ﾌｧｲﾙﾘｽﾄ"));

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

    m_stack = new QStackedWidget(this);
    m_stack->addWidget(m_fileView);
    m_stack->addWidget(m_folderView);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(countRow);
    layout->addWidget(m_stack, 1);
    setFocusProxy(m_fileView);
    showKind(21);
}

void ListPane::setFolderWidths(const std::vector<int>& widths)
{
    for (size_t i = 0; i < widths.size(); ++i)
        m_folderView->header()->resizeSection(static_cast<int>(i), widths[i]);
}

QString ListPane::countText(int kind, int rows)
{
    if (rows < 0)
        return {};
    if (isFolderKind(kind))
        return QString::fromUtf8(" ﾌｫﾙﾀﾞ数：%1").arg(rows);
    if (kind == 22 || kind == 24 || kind == 28)
        return QString::fromUtf8(" ﾍﾟｰｼﾞ数：%1").arg(rows);
    return QString::fromUtf8(" ﾌｧｲﾙ数：%1").arg(rows);
}

void ListPane::setCount(int kind, int rows, const QString& note)
{
    m_count->setText(countText(kind, rows) + note);
}

void ListPane::showKind(int kind)
{
    const bool folders = isFolderKind(kind);
    m_stack->setCurrentWidget(folders ? m_folderView : m_fileView);
    setFocusProxy(currentView());
    const QStyle::StandardPixmap icon =
        folders ? QStyle::SP_DirIcon : QStyle::SP_FileDialogDetailedView;
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_countIcon->setPixmap(style()->standardIcon(icon).pixmap(size, size));
}

QTreeView* ListPane::currentView() const
{
    return static_cast<QTreeView*>(m_stack->currentWidget());
}

}  // namespace tnw::app
