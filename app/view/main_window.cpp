#include "app/view/main_window.h"

#include "app/core/frame/placement_rules.h"
#include "app/core/lists/folder_scan.h"
#include "app/core/lists/list_cells.h"
#include "app/core/lists/list_document.h"
#include "app/core/lists/list_models.h"
#include "app/core/lists/list_sort.h"
#include "app/core/lists/probe_runner.h"
#include "app/core/lists/rename_number.h"
#include "app/core/text/address_text.h"
#include "app/core/tree/folder_list_model.h"
#include "app/core/tree/folder_tree_model.h"
#include "app/core/undo/list_editor.h"
#include "app/core/run/desktop_open.h"
#include "app/dialogs/about_dialog.h"
#include "app/dialogs/thumbnail_settings_dialog.h"
#include "app/view/address_bar.h"
#include "app/view/folder_tree_view.h"
#include "app/view/list_pane.h"
#include "app/view/messages.h"
#include "app/view/thumbnail_view.h"
#include "common/module_paths.h"
#include "common/paper_form.h"
#include "common/platform/profile.h"
#include "common/platform/files.h"
#include "common/platform/module_paths.h"
#include "common/platform/qt_text.h"
#include "common/platform/ui.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QThread>
#include <QToolButton>
#include <QTreeView>

#include <cstdlib>
#include <utility>

#ifndef KORVELIN_VERSION
#define KORVELIN_VERSION "0"
#endif

// The icons are compiled into this static library; nothing else refers to them, so the
// linker would drop their registration unless it is called.
static void initKorvelinResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(korvelin);
        return true;
    }();
    (void)done;
}

namespace tnw::app {
namespace {

constexpr int kPumpMs = 10;          // events are pumped at most this often during a build
constexpr int kResizeSettleMs = 200;  // a size unchanged this long ends a drag
const char kPaneSample[] = "9999999999 X 9999999999 1200dpi モノクロ 500 %";

// The features this build of the window handles; the others' commands stay disabled.
constexpr unsigned kBuiltFeatures =
    kFeatureFrame | kFeatureFolderList | kFeatureLists | kFeatureThumbnails | kFeatureSettings |
    kFeatureConversion | kFeatureEditing;
constexpr int kProgressFiles = 1000;  // a build shows its progress window past this many files
constexpr int kProgressPages = 1000;  // the page list shows it from this many entries

bool positionsKnown()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QString q(const std::string& cp932)
{
    return platform::fromCp932(cp932);
}

// The code page 932 form of one of the program's own texts (they all have one).
std::string cp932Of(const QString& text)
{
    std::string out;
    platform::toCp932(text, out);
    return out;
}

}  // namespace

MainWindowFiles programFiles()
{
    MainWindowFiles files;
    files.iniPath = common::ModulePaths::settingsFile();
    const std::string settings = platform::settingsFolder();
    if (!settings.empty())
        files.historyPath = settings + "/ComboAddr.txt";
    files.helpPath = QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
    files.settingsIo = libraryConvSettingsIo();
    return files;
}

MainWindow::MainWindow(const MainWindowFiles& files, QWidget* parent)
    : QMainWindow(parent), m_files(files), m_frame(files.iniPath), m_historyFile(files.historyPath)
{
    initKorvelinResources();
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromUtf8("JPEG → PDF 変換"));
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    setAcceptDrops(false);

    m_frame.setFeatures(kBuiltFeatures | kFeaturePaperForms);
    m_frame.create(m_files.settingsIo);
    m_tnl = LoadTnlSettings(m_files.iniPath);
    m_pictures.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 4));
    LoadWindowPlacement(m_placement, m_files.iniPath);

    createActions();
    createPanes();
    createMenus();
    createToolBars();
    createStatusBar();
    createEditing();

    if (!m_files.historyPath.empty())
        m_history = m_historyFile.read();
    QStringList entries;
    for (const std::string& h : m_history)
        entries << q(h);
    m_address->setEntries(entries);

    connect(&m_frame, &FrameState::stateChanged, this, &MainWindow::updateCommands);
    connect(&m_frame, &FrameState::busyChanged, this, &MainWindow::setBusyWidgets);
    connect(&m_frame, &FrameState::closeDeferred, this, &QWidget::close, Qt::QueuedConnection);
    connect(&m_frame, &FrameState::addressEntered, this,
            [this](const QByteArray& path) { goToFolder(path.toStdString()); });
    connect(&m_frame, &FrameState::refreshRequested, this, &MainWindow::refresh);
    connect(&m_frame, &FrameState::paperFormsChanged, this, &MainWindow::reloadPaperForms);

    auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(next, &QShortcut::activated, this, [this] { focusNextPane(true); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(previous, &QShortcut::activated, this, [this] { focusNextPane(false); });
    for (const char* key : {"Ctrl+L", "Alt+D"}) {
        auto* address = new QShortcut(QKeySequence(QString::fromLatin1(key)), this);
        connect(address, &QShortcut::activated, m_address, &AddressCombo::focusAndSelect);
    }

    m_resizeSettle.setSingleShot(true);
    m_resizeSettle.setInterval(kResizeSettleMs);
    connect(&m_resizeSettle, &QTimer::timeout, this, &MainWindow::resizeSettled);

    updateCommands();
}

MainWindow::~MainWindow()
{
    // The picture jobs end, and the objects they report to go, while the pool still exists
    // (child widgets are deleted only after the members).
    m_pictures.clear();
    m_pictures.waitForDone();
    // The editor goes before the views whose selection it reads.
    delete std::exchange(m_editor, nullptr);
    delete m_probes;
    delete m_listPane;
}

QAction* MainWindow::action(CommandId id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void MainWindow::createActions()
{
    auto* views = new QActionGroup(this);
    views->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    auto* editorModes = new QActionGroup(this);
    for (const CommandInfo& info : commandTable()) {
        const QString text = info.menuText ? QString::fromUtf8(info.menuText) : app::toolTip(info);
        auto* a = new QAction(text, this);
        a->setObjectName(QStringLiteral("command%1").arg(int(info.id)));
        a->setStatusTip(statusPrompt(info));
        a->setToolTip(app::toolTip(info));
        a->setWhatsThis(statusPrompt(info));
        if (info.icon)
            a->setIcon(QIcon(QString::fromUtf8(info.icon)));
        QList<QKeySequence> keys;
        for (const QString& k : keyTexts(info))
            keys << QKeySequence(k);
        a->setShortcuts(keys);
        if (isCheckable(info.id)) {
            a->setCheckable(true);
            (info.id == CommandId::SelectMode || info.id == CommandId::EditMode ? editorModes
                                                                                  : views)
                ->addAction(a);
        }
        const CommandId id = info.id;
        connect(a, &QAction::triggered, this, [this, id] { run(id); });
        m_actions[id] = a;
    }
}

void MainWindow::createMenus()
{
    for (const MenuLayout& layout : menuLayout()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(layout.title));
        for (CommandId id : layout.entries) {
            if (id == CommandId{0})
                menu->addSeparator();
            else
                menu->addAction(action(id));
        }
    }
    // The keys of the list commands act only with the focus in the list pane.
    for (const CommandInfo& info : commandTable()) {
        if (info.scope != KeyScope::ListPane)
            continue;
        action(info.id)->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_listPane->addAction(action(info.id));
    }
}

void MainWindow::createToolBars()
{
    QToolBar* tools = addToolBar(QString::fromUtf8("ﾂｰﾙﾊﾞｰ"));
    tools->setObjectName(QStringLiteral("toolBar"));
    tools->setMovable(false);
    tools->setFloatable(false);
    tools->setIconSize(QSize(16, 16));
    for (CommandId id : toolBarLayout()) {
        if (id == CommandId{0}) {
            tools->addSeparator();
            continue;
        }
        QAction* a = action(id);
        tools->addAction(a);
        if (QWidget* button = tools->widgetForAction(a))
            button->setAccessibleName(a->toolTip());
    }

    addToolBarBreak();
    m_addressBar = addToolBar(QString::fromUtf8("アドレス"));
    m_addressBar->setObjectName(QStringLiteral("addressBar"));
    m_addressBar->setMovable(false);
    m_addressBar->setFloatable(false);
    auto* label = new QLabel(QString::fromUtf8(" アドレス "), m_addressBar);
    m_address = new AddressCombo(m_addressBar);
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setAccessibleName(QString::fromUtf8("アドレス"));
    label->setBuddy(m_address);
    m_addressBar->addWidget(label);
    m_addressBar->addWidget(m_address);
    connect(m_address, &AddressCombo::textEntered, this, &MainWindow::addressEntered);
    connect(m_address, &AddressCombo::entryChosen, this, &MainWindow::historyChosen);
}

void MainWindow::createStatusBar()
{
    QStatusBar* bar = statusBar();
    for (int i = 0; i < 3; ++i) {
        m_panes[i] = new QLabel(bar);
        m_panes[i]->setObjectName(QStringLiteral("pane%1").arg(i));
    }
    m_panes[0]->setMinimumWidth(1);
    m_panes[1]->setFixedWidth(96);
    m_panes[2]->setFixedWidth(bar->fontMetrics().horizontalAdvance(QString::fromUtf8(kPaneSample)) +
                              8);
    m_panes[1]->setFrameShape(QFrame::StyledPanel);
    m_panes[2]->setFrameShape(QFrame::StyledPanel);
    // The status prompts of the commands cover pane 0, as the permanent panes stay.
    bar->addWidget(m_panes[0], 1);
    bar->addPermanentWidget(m_panes[1]);
    bar->addPermanentWidget(m_panes[2]);
}

void MainWindow::createPanes()
{
    m_treeModel = new FolderTreeModel(this);
    const QIcon folder = QIcon::fromTheme(QStringLiteral("folder"),
                                          style()->standardIcon(QStyle::SP_DirIcon));
    const QIcon home = QIcon::fromTheme(QStringLiteral("user-home"),
                                        style()->standardIcon(QStyle::SP_DirHomeIcon));
    m_treeModel->setIcons(folder, home, homeFolder());
    m_folderModel = new FolderListModel(this);
    m_doc = new ListDocument(this);
    m_forms = std::make_unique<common::CPaperFormTable>(common::FormVariant::Program);
    m_forms->LoadForms();
    m_fileModel = new FileListModel(m_doc, this);
    m_fileModel->setForms(m_forms.get());
    m_pageModel = new PageListModel(m_doc, this);
    m_pageModel->setForms(m_forms.get());
    m_probes = new ProbeRunner(m_doc, &m_pictures, {}, this);
    connect(m_probes, &ProbeRunner::finished, this, &MainWindow::probesFinished);

    m_tree = new FolderTreeView(m_treeModel);
    m_tree->setObjectName(QStringLiteral("folderTree"));
    m_tree->setBatchSource([this] { return m_frame.mode(); },
                           [this] { return m_frame.conv().nBatchLevel; });
    connect(m_tree, &FolderTreeView::folderChosen, this, &MainWindow::folderChosen);

    m_listPane = new ListPane(m_folderModel, m_fileModel, m_pageModel, &m_pictures);
    m_listPane->setObjectName(QStringLiteral("listPane"));
    connect(m_listPane, &ListPane::folderHeaderClicked, this, [this](int column) {
        const int kind = m_folderModel->layoutKind();
        ListColumnSettings* columns = columnsOf(m_frame.app(), kind);
        int no = columns ? columns->nSortNo : 0;
        int dir = columns ? columns->nSortDir : 0;
        // A new column keeps the direction (none becoming ascending); the same one flips.
        if (column != no || dir == 0) {
            no = column;
            dir = dir < 0 ? -1 : 1;
        } else {
            dir = -dir;
        }
        if (kind == kListDir1)
            SaveSort(m_frame.app(), kind, no, dir, m_files.iniPath);
        else if (columns) {
            columns->nSortNo = no;
            columns->nSortDir = dir;
        }
        m_folderModel->sortRows(no, dir);
        m_listPane->folderView()->header()->setSortIndicatorShown(true);
        m_listPane->folderView()->header()->setSortIndicator(
            no, dir > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    });

    // A header click is one undo step.
    connect(m_listPane, &ListPane::fileHeaderClicked, this, [this](int column) {
        if (m_frame.busy() || column < 0 || column >= int(listColumns(fileKind()).size()))
            return;
        m_editor->recordSort(ListSide::Files, [this, column] { applyFileSort(true, column); });
    });
    connect(m_listPane, &ListPane::pageHeaderClicked, this, &MainWindow::pageHeaderClicked);
    connect(m_listPane, &ListPane::fileWidthsChanged, this,
            [this] { saveWidths(m_listPane->fileView(), fileKind()); });
    connect(m_listPane, &ListPane::pageWidthsChanged, this,
            [this] { saveWidths(m_listPane->pageView(), pageKind()); });
    connect(m_listPane, &ListPane::folderWidthsChanged, this, [this] {
        saveWidths(m_listPane->folderView(), m_folderModel->layoutKind());
    });
    for (QTreeView* view : {m_listPane->fileView(), m_listPane->pageView()}) {
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &MainWindow::updateSelectionPanes);
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &MainWindow::updateListCounts);
    }
    connect(m_doc, &ListDocument::entryChanged, this, [this](int) { updateSelectionPanes(); });
    connect(m_doc, &ListDocument::fileOrderChanged, this, &MainWindow::updateListCounts);
    connect(m_doc, &ListDocument::pageRowsChanged, this, &MainWindow::updateListCounts);
    for (ThumbnailView* thumbs : {m_listPane->fileThumbs(), m_listPane->pageThumbs()}) {
        connect(thumbs, &ThumbnailView::reading, this, [this](const QString& path) {
            m_panes[0]->setText(QString::fromUtf8("%1 を読み込み中...").arg(path));
        });
        connect(thumbs, &ThumbnailView::idle, this, [this] { m_panes[0]->clear(); });
    }
    applyThumbnailSettings(m_tnl);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_listPane);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);
}

std::string MainWindow::homeFolder() const
{
    const char* home = std::getenv("HOME");
    std::string path;
    if (!home || !*home || !platform::fromOsPath(home, path))
        return {};
    std::string full;
    if (path[0] != '/' || !platform::fullPath(path, full))
        return {};
    return full;
}

void MainWindow::updateCommands()
{
    const FrameSnapshot snapshot = m_frame.snapshot();
    for (const auto& [id, a] : m_actions) {
        const CommandState state = commandState(id, snapshot);
        a->setEnabled(state.enabled);
        if (a->isCheckable())
            a->setChecked(state.checked);
    }
}

void MainWindow::setBusyWidgets(bool busy)
{
    m_tree->setEnabled(!busy);
    m_address->setEnabled(!busy);
    m_listPane->setEnabled(!busy);
    m_listPane->fileThumbs()->setPaused(busy);
    m_listPane->pageThumbs()->setPaused(busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::run(CommandId id)
{
    if (m_frame.busy())
        return;
    switch (id) {
    case CommandId::Exit:
        close();
        break;
    case CommandId::ClearHistory:
        clearHistory();
        break;
    case CommandId::Help:
        openHelp();
        break;
    case CommandId::About:
        showAbout();
        break;
    case CommandId::Refresh:
        m_frame.send(Hint::Refresh);
        break;
    case CommandId::FolderList:
        m_frame.setListKind(m_folderModel->layoutKind());
        m_listPane->showKind(m_frame.listKind());
        break;
    case CommandId::FileList:
        showListKind(fileKind());
        break;
    case CommandId::PageList:
        showListKind(pageKind());
        break;
    case CommandId::FileThumbs:
        showListKind(kListFileThumbs);
        break;
    case CommandId::PageThumbs:
        showListKind(kListPageThumbs);
        break;
    case CommandId::PaperForms:
        runPaperForms();
        break;
    case CommandId::ThumbSettings:
        runThumbSettings();
        break;
    case CommandId::Settings:
        runSettings();
        break;
    case CommandId::Convert:
        runConversion();
        break;
    case CommandId::OpenLog:
        openLogFile();
        break;
    case CommandId::ModeSwitch:
        runModeSwitch();
        break;
    case CommandId::ExtendedSettings:
        runExtendedSettings();
        break;
    default:
        runEdit(id);
        break;
    }
}

// --- Placement -------------------------------------------------------------------------------

void MainWindow::showPlaced()
{
    QList<QRect> screens;
    int primary = 0;
    const QList<QScreen*> all = QGuiApplication::screens();
    for (int i = 0; i < all.size(); ++i) {
        screens << all[i]->availableGeometry();
        if (all[i] == QGuiApplication::primaryScreen())
            primary = i;
    }
    const PlacementPlan plan = planPlacement(m_placement, screens, primary);
    if (positionsKnown())
        setGeometry(plan.normal);
    else
        resize(plan.normal.size());
    m_treePane = plan.treePane;
    if (plan.maximized)
        showMaximized();
    else
        show();
    m_splitter->setSizes({m_treePane, std::max(1, m_splitter->width() - m_treePane)});
    m_placed = true;
    m_tree->setFocus(Qt::OtherFocusReason);
}

void MainWindow::savePlacement()
{
    if (!m_placed || m_placementSaved)
        return;
    m_placementSaved = true;
    const QRect normal = (isMaximized() || isFullScreen()) ? normalGeometry() : geometry();
    const QList<int> sizes = m_splitter->sizes();
    const WindowPlacement out = placementToSave(m_placement, normal, isMaximized(),
                                                sizes.isEmpty() ? -1 : sizes.front(),
                                                positionsKnown());
    SaveWindowPlacement(out, !sizes.isEmpty(), m_files.iniPath);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_frame.requestClose()) {
        // Done when the list build or the run ends.
        event->ignore();
        return;
    }
    savePlacement();
    m_listPane->flushWidths();
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    m_resizeSettle.start();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if ((change->oldState() & Qt::WindowMinimized) && !isMinimized())
            m_resizeSettle.start();
    }
}

void MainWindow::bringForward()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    if (m_frame.busy())
        return;
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void MainWindow::focusNextPane(bool forward)
{
    (void)forward;  // two panes: both directions move to the other one
    QWidget* list = m_listPane->currentView();
    if (m_tree->hasFocus())
        list->setFocus(Qt::ShortcutFocusReason);
    else
        m_tree->setFocus(Qt::ShortcutFocusReason);
}

// --- Folders -------------------------------------------------------------------------------

void MainWindow::openStartFolder(const QString& folder)
{
    const AddressCheck check = checkAddress(folder, homeFolder());
    if (check.result == AddressCheck::Folder) {
        goToFolder(check.path);
        return;
    }
    if (check.result != AddressCheck::Empty)
        showWarning(this, addressMessage(check, folder));
    m_tree->selectStart(homeFolder());
}

void MainWindow::addressEntered(const QString& text)
{
    const AddressCheck check = checkAddress(text, homeFolder());
    switch (check.result) {
    case AddressCheck::Empty:
        return;
    case AddressCheck::Folder:
        m_frame.send(Hint::AddressEntered, check.path);
        if (m_frame.folderShown() == check.path)
            m_listPane->currentView()->setFocus(Qt::OtherFocusReason);
        return;
    default:
        showWarning(this, addressMessage(check, text));
        return;
    }
}

void MainWindow::historyChosen(const QString& text)
{
    const AddressCheck check = checkAddress(text, homeFolder());
    if (check.result == AddressCheck::Folder) {
        m_frame.send(Hint::AddressEntered, check.path);
        return;
    }
    showWarning(this, text + QString::fromUtf8(" は存在しません。"));
    std::string entry;
    if (platform::toCp932(text, entry)) {
        std::erase(m_history, entry);
        if (!m_files.historyPath.empty())
            m_historyFile.write(m_history);
    }
    QStringList entries;
    for (const std::string& h : m_history)
        entries << q(h);
    m_address->setEntries(entries);
    m_address->showText(q(m_frame.folderShown()));
}

void MainWindow::goToFolder(const std::string& path)
{
    // The tree's selection drives the build as a click does; a folder the tree cannot select
    // is built here and the tree's selection is cleared. Never two builds.
    if (m_tree->goTo(path))
        return;
    m_tree->clearChoice();
    folderChosen(QByteArray::fromStdString(path), 0);
}

void MainWindow::folderChosen(const QByteArray& pathBytes, int flag)
{
    if (m_frame.busy())
        return;
    const std::string path = pathBytes.toStdString();
    m_panes[0]->clear();
    if (m_frame.mode() > 0) {
        buildFolderList(path, flag);
        return;
    }
    if (platform::pathKind(path) != platform::PathKind::Folder)
        return;
    buildFileList(path, flag);
}

void MainWindow::buildFolderList(const std::string& folder, int flag)
{
    if (flag == 0 && platform::isRootPath(folder) &&
        !askYesNo(this, QString::fromUtf8("%1 を展開しますか？").arg(q(folder)))) {
        m_frame.setFolderShown({});
        m_folderModel->setRows({});
        m_editor->clear();
        m_listPane->setCount(m_frame.listKind(), 0);
        return;
    }
    const bool batch = m_frame.mode() > 0 && m_frame.conv().nBatchLevel > 0;
    const int kind = batch ? kListDir2 : kListDir1;
    const AppSettings& app = m_frame.app();
    const bool withOwn = app.nSubDirShow > 0 && app.nSubDirZeros > 0;

    FolderRowsResult result;
    {
        FrameState::BusyGuard guard(m_frame);
        QElapsedTimer pump;
        pump.start();
        auto progress = [this, &pump](const std::string& at, int rows) {
            if (pump.elapsed() >= kPumpMs) {
                m_panes[0]->setText(q(at));
                m_panes[1]->setText(QString::number(rows));
                QCoreApplication::processEvents();
                pump.restart();
            }
            return !m_frame.closePending();
        };
        result = listChildFolderRows(folder, withOwn, progress);
    }
    if (batch) {
        const std::string parentName = common::ModulePaths::lastComponent(folder);
        for (FolderRow& row : result.rows) {
            row.parentName = parentName;
            row.depth += 1;
        }
    }
    std::vector<FolderRow> rows;
    if (flag == 1)
        rows = m_folderModel->rows();
    rows.insert(rows.end(), std::make_move_iterator(result.rows.begin()),
                std::make_move_iterator(result.rows.end()));

    m_folderModel->setLayoutKind(kind);
    m_folderModel->setRows(std::move(rows));
    m_editor->clear();
    const ListColumnSettings* columns = columnsOf(m_frame.app(), kind);
    QHeaderView* header = m_listPane->folderView()->header();
    if (columns && columns->nSortDir != 0 && columns->nSortNo >= 0 && columns->nSortNo < 3) {
        m_folderModel->sortRows(columns->nSortNo, columns->nSortDir > 0 ? 1 : -1);
        header->setSortIndicatorShown(true);
        header->setSortIndicator(columns->nSortNo,
                                 columns->nSortDir > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    } else {
        header->setSortIndicatorShown(false);
    }
    if (columns) {
        // Stored widths within 1..4096 replace the defaults.
        std::vector<int> widths = FolderListModel::defaultWidths(kind);
        for (int i = 0; i < columns->nColCount && i < int(widths.size()); ++i) {
            if (columns->nColxy[i] >= 1 && columns->nColxy[i] <= 4096)
                widths[size_t(i)] = columns->nColxy[i];
        }
        m_listPane->setFolderWidths(widths);
    }
    m_frame.setListKind(kind);
    m_listPane->showKind(kind);

    QString note;
    if (result.cancelled) {
        note = QString::fromUtf8(" (中止)");
        m_panes[0]->setText(QString::fromUtf8("一覧の作成を中止しました。"));
    } else if (!result.listable) {
        m_panes[0]->setText(QString::fromUtf8("%1 を開くことができません。").arg(q(folder)));
    } else if (result.excluded > 0) {
        note = QString::fromUtf8("（除外 %1）").arg(result.excluded);
        m_panes[0]->setText(
            QString::fromUtf8("使用できない名前、長すぎるﾊﾟｽまたは読めないﾌｫﾙﾀﾞのため %1 件を除外しました。")
                .arg(result.excluded));
    } else {
        m_panes[0]->clear();
    }
    m_panes[1]->clear();
    m_listPane->setCount(kind, m_folderModel->rowCount(), note);
    if (flag == 0)
        listsMoved(batch ? common::ModulePaths::folderOf(folder) : folder);
}

void MainWindow::listsMoved(const std::string& folder)
{
    m_frame.setFolderShown(folder);
    m_address->showText(q(folder));
    if (HistoryFile::pushFront(m_history, folder)) {
        if (!m_files.historyPath.empty())
            m_historyFile.write(m_history);
        QStringList entries;
        for (const std::string& h : m_history)
            entries << q(h);
        m_address->setEntries(entries);
        m_address->showText(q(folder));
    }
}

void MainWindow::refresh()
{
    m_tree->refresh();
    const std::string shown = m_frame.folderShown();
    if (shown.empty() || platform::pathKind(shown) != platform::PathKind::Folder)
        return;
    if (m_frame.mode() > 0)
        buildFolderList(shown, 0);
    else
        buildFileList(shown, 0, true);
}

void MainWindow::clearHistory()
{
    if (!askYesNo(this, QString::fromUtf8("アドレスの履歴を消去しますか？")))
        return;
    if (!m_files.historyPath.empty())
        m_historyFile.remove();
    m_history.clear();
    m_address->setEntries({});
}

void MainWindow::openHelp()
{
    if (!QFileInfo(m_files.helpPath).isFile() || !openWithDesktop(m_files.helpPath))
        showWarning(this, QString::fromUtf8("HTML HELP(index.html)を開くことができません。"));
}

void MainWindow::showAbout()
{
    AboutDialog about(QStringLiteral(KORVELIN_VERSION), this);
    about.exec();
}

// --- File and page lists ---------------------------------------------------------------------

int MainWindow::fileKind() const
{
    return m_frame.app().nSubDirShow > 0 ? kListFileSubDir : kListFile;
}

int MainWindow::pageKind() const
{
    return m_frame.app().nSubDirShow > 0 ? kListPageSubDir : kListPage;
}

void MainWindow::showListKind(int kind)
{
    m_frame.setListKind(kind);
    m_listPane->showKind(kind);
    updateListCounts();
    updateSelectionPanes();
}

// The page list from the file list's entries. TIFF pages are counted here, on this thread, so a
// long list gets the progress window and its "中止" keeps the rows made so far.
void MainWindow::buildPageRows()
{
    const int total = static_cast<int>(m_doc->fileOrder().size());
    FrameState::BusyGuard guard(m_frame);
    std::unique_ptr<platform::ProgressWindow> progress;
    if (total >= kProgressPages) {
        progress = platform::ui().openProgress("Korvelin");
        progress->setCancelText(cp932Of(QString::fromUtf8("中止")));
        progress->setText(cp932Of(QString::fromUtf8("ﾍﾟｰｼﾞﾘｽﾄ作成中")));
        progress->setSecondText(std::to_string(total));
        progress->setRange(total);
    }
    QElapsedTimer pump;
    pump.start();
    m_doc->buildPages([&](int done) {
        if (pump.elapsed() >= kPumpMs) {
            if (progress)
                progress->setValue(done);
            QCoreApplication::processEvents();
            pump.restart();
        }
        return !m_frame.closePending() && !(progress && progress->cancelled());
    });
}

void MainWindow::buildFileList(const std::string& folder, int flag, bool keepMarks)
{
    if (flag == 0 && platform::isRootPath(folder) &&
        !askYesNo(this, QString::fromUtf8("%1 を展開しますか？").arg(q(folder)))) {
        m_frame.setFolderShown({});
        m_probes->stop();
        m_doc->reset({});
        m_doc->buildPages();
        m_editor->clear();
        updateListCounts();
        return;
    }
    // Marks kept by path on a refresh.
    std::map<std::string, bool> marks;
    if (keepMarks) {
        for (int i = 0; i < m_doc->entryCount(); ++i)
            marks[m_doc->entry(i).path] = m_doc->entry(i).checked;
    }
    m_probes->stop();
    const AppSettings& app = m_frame.app();
    const ScanRule rule =
        scanRuleOf(app.nSubDirShow, app.nSubDirProc, app.nSubDirLevel, app.nSubDirZeros);
    ScanResult scan;
    {
        FrameState::BusyGuard guard(m_frame);
        // The library's progress window: two lines (the folder, the count), "中止", and
        // application-modal, so nothing in the window changes under the build.
        std::unique_ptr<platform::ProgressWindow> progress;
        const auto openProgress = [&] {
            progress = platform::ui().openProgress("Korvelin");
            progress->setCancelText(cp932Of(QString::fromUtf8("中止")));
            progress->setText(cp932Of(QString::fromUtf8("準備中...")));
            progress->setRange(0);  // the number of files is not known before the end
        };
        if (platform::isRootPath(folder))
            openProgress();
        QElapsedTimer pump;
        pump.start();
        auto report = [&](const std::string& at, int files) {
            if (pump.elapsed() >= kPumpMs) {
                if (!progress && files > kProgressFiles)
                    openProgress();
                m_panes[0]->setText(q(at));
                m_panes[1]->setText(QString::number(files));
                if (progress) {
                    progress->setText(at);
                    progress->setSecondText(
                        cp932Of(QString::fromUtf8("ﾌｧｲﾙ取得中 %1").arg(files)));
                }
                QCoreApplication::processEvents();
                pump.restart();
            }
            return !m_frame.closePending() && !(progress && progress->cancelled());
        };
        scan = scanFolder(folder, rule, report);
        sortScanned(scan.files);
    }
    std::vector<FileEntry> entries;
    entries.reserve(scan.files.size());
    const std::string prefix = folder == "/" ? "/" : folder + "/";
    for (ScannedFile& f : scan.files) {
        FileEntry e;
        e.path = f.folder == "/" ? "/" + f.name : f.folder + "/" + f.name;
        e.folder = f.folder.size() > prefix.size() ? f.folder.substr(prefix.size()) : std::string();
        e.name = std::move(f.name);
        e.size = f.size;
        e.modified = f.modified;
        e.kind = 11;
        if (keepMarks) {
            const auto it = marks.find(e.path);
            if (it != marks.end())
                e.checked = it->second;
        }
        entries.push_back(std::move(e));
    }
    const int kind = fileKind();
    m_fileModel->setLayoutKind(kind);
    m_pageModel->setLayoutKind(pageKind());
    m_listPane->fileThumbs()->clearPictures();
    m_listPane->pageThumbs()->clearPictures();
    m_doc->reset(std::move(entries));
    // A rebuild ends the edit history: the steps and the clipboard name entries that are gone.
    m_editor->clear();
    applyFileSort(false, -1);
    buildPageRows();
    applyWidths(m_listPane->fileView(), kind);
    applyWidths(m_listPane->pageView(), pageKind());

    // The headers behind the image cells, in list order (the first screen comes first).
    std::vector<ProbeItem> items;
    items.reserve(size_t(m_doc->entryCount()));
    for (int id : m_doc->fileOrder())
        items.push_back({id, m_doc->entry(id).path});
    m_unsupportedReported = false;
    m_probes->start(std::move(items));

    if (m_frame.listKind() == kListDir1 || m_frame.listKind() == kListDir2)
        showListKind(kind);
    else if (m_frame.listKind() == kListFile || m_frame.listKind() == kListFileSubDir)
        showListKind(kind);
    else if (m_frame.listKind() == kListPage || m_frame.listKind() == kListPageSubDir)
        showListKind(pageKind());
    else
        showListKind(m_frame.listKind());

    QString note;
    if (scan.cancelled) {
        note = QString::fromUtf8(" (中止)");
        m_panes[0]->setText(QString::fromUtf8("一覧の作成を中止しました。"));
    } else if (!scan.listable) {
        m_panes[0]->setText(QString::fromUtf8("%1 を開くことができません。").arg(q(folder)));
    } else if (scan.excluded > 0) {
        note = QString::fromUtf8("（除外 %1）").arg(scan.excluded);
        m_panes[0]->setText(
            QString::fromUtf8("使用できない名前、長すぎるﾊﾟｽまたは読めないﾌｫﾙﾀﾞのため %1 件を除外しました。")
                .arg(scan.excluded));
    } else {
        m_panes[0]->clear();
    }
    m_panes[1]->clear();
    updateListCounts();
    const int shown = m_frame.listKind();
    const int rows = (shown == kListPage || shown == kListPageSubDir || shown == kListPageThumbs)
                         ? m_pageModel->rowCount()
                         : m_fileModel->rowCount();
    m_listPane->setCount(shown, rows, note);
    if (flag == 0)
        listsMoved(folder);
}

void MainWindow::probesFinished(int firstUnsupported)
{
    updateSelectionPanes();
    if (firstUnsupported < 0 || m_unsupportedReported)
        return;
    m_unsupportedReported = true;
    showWarning(this, QString::fromUtf8("%1 はｻﾎﾟｰﾄしていないﾄﾞｷｭﾒﾝﾄです。")
                          .arg(q(m_doc->entry(firstUnsupported).path)));
}

void MainWindow::applyFileSort(bool fromClick, int column)
{
    const int kind = fileKind();
    const bool sub = kind == kListFileSubDir;
    ListColumnSettings* columns = columnsOf(m_frame.app(), kind);
    const int count = int(listColumns(kind).size());
    SortState state = columns ? usableSort(columns->nSortNo, columns->nSortDir, count)
                              : SortState{};
    if (fromClick) {
        if (m_frame.busy() || column < 0 || column >= count)
            return;
        state = nextSort(state, column);
        // The order kind follows the column and is written at once; the pair goes to the
        // shown kind's section.
        m_frame.conv().nPageOrder = pageOrderForColumn(column, sub);
        platform::WritePrivateProfileString("PageInfo", "nPageOrder",
                                            std::to_string(m_frame.conv().nPageOrder).c_str(),
                                            m_files.iniPath.c_str());
        SaveSort(m_frame.app(), kind, state.column, state.direction, m_files.iniPath);
    }
    if (state.direction != 0) {
        SortKeys keys;
        keys.pageOrder = m_frame.conv().nPageOrder;
        keys.nameSort = m_frame.conv().nNameSort;
        keys.number = [conv = m_frame.conv()](const FileEntry& entry) {
            return renameNumber(conv, entry.path);
        };
        m_doc->setFileOrder(sortedFileOrder(*m_doc, state, sub, keys), fromClick);
    }
    showFileSortIndicator();
}

void MainWindow::showFileSortIndicator()
{
    const int kind = fileKind();
    ListColumnSettings* columns = columnsOf(m_frame.app(), kind);
    const SortState state = columns ? usableSort(columns->nSortNo, columns->nSortDir,
                                                 int(listColumns(kind).size()))
                                    : SortState{};
    QHeaderView* header = m_listPane->fileView()->header();
    header->setSortIndicatorShown(state.direction != 0);
    if (state.direction != 0)
        header->setSortIndicator(state.column, state.direction > 0 ? Qt::AscendingOrder
                                                                   : Qt::DescendingOrder);
}

void MainWindow::pageHeaderClicked(int column)
{
    if (m_frame.busy())
        return;
    const int kind = pageKind();
    ListColumnSettings* columns = columnsOf(m_frame.app(), kind);
    const int count = int(listColumns(kind).size());
    SortState state = columns ? usableSort(columns->nSortNo, columns->nSortDir, count)
                              : SortState{};
    if (column < 0 || column >= count)
        return;
    state = nextSort(state, column);
    SaveSort(m_frame.app(), kind, state.column, state.direction, m_files.iniPath);
    // One undo step; the page list leaves the file list's order.
    m_editor->recordSort(ListSide::Pages, [this, state] {
        m_pageModel->sortByColumn(state.column, state.direction);
    });
    QHeaderView* header = m_listPane->pageView()->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(state.column,
                             state.direction > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void MainWindow::applyWidths(QTreeView* view, int kind)
{
    std::vector<int> widths;
    for (const ListColumn& c : listColumns(kind))
        widths.push_back(c.width);
    if (const ListColumnSettings* columns = columnsOf(m_frame.app(), kind)) {
        // A stored width is used only within 1..4096.
        for (int i = 0; i < columns->nColCount && i < int(widths.size()); ++i) {
            if (columns->nColxy[i] >= 1 && columns->nColxy[i] <= 4096)
                widths[size_t(i)] = columns->nColxy[i];
        }
    }
    m_listPane->setListWidths(view, widths);
}

void MainWindow::saveWidths(QTreeView* view, int kind)
{
    ListColumnSettings* columns = columnsOf(m_frame.app(), kind);
    if (!columns)
        return;
    const int count = std::min(view->header()->count(), kMaxColumns);
    columns->nColCount = count;
    for (int i = 0; i < count; ++i)
        columns->nColxy[i] = std::clamp(view->header()->sectionSize(i), 1, 4096);
    SaveColumnWidths(kind, *columns, m_files.iniPath);
}

void MainWindow::updateListCounts()
{
    const bool selected = m_listPane->fileView()->selectionModel()->hasSelection();
    m_frame.setListCounts(m_fileModel->rowCount(), selected, m_pageModel->rowCount());
    const int kind = m_frame.listKind();
    if (kind == kListDir1 || kind == kListDir2)
        return;
    const bool pages = kind == kListPage || kind == kListPageSubDir || kind == kListPageThumbs;
    const QString line = m_listPane->countLine();
    // Keep a note (除外, 中止) of the last build after the count.
    const int noteAt = line.indexOf(QRegularExpression(QStringLiteral("[（(]")));
    const QString note = noteAt > 0 ? line.mid(noteAt - (line[noteAt - 1] == QLatin1Char(' ') ? 1 : 0)) : QString();
    m_listPane->setCount(kind, pages ? m_pageModel->rowCount() : m_fileModel->rowCount(), note);
}

void MainWindow::updateSelectionPanes()
{
    const int kind = m_frame.listKind();
    const bool pages = kind == kListPage || kind == kListPageSubDir || kind == kListPageThumbs;
    QTreeView* view = pages ? m_listPane->pageView() : m_listPane->fileView();
    const QModelIndex current = view->selectionModel()->currentIndex();
    if (!current.isValid() || (kind == kListDir1 || kind == kListDir2)) {
        m_panes[1]->clear();
        m_panes[2]->clear();
        return;
    }
    const PageRow ref = static_cast<ListModelBase*>(view->model())->rowRef(current.row());
    const FileEntry& e = m_doc->entry(ref.entry);
    if (e.probe == ProbeState::Pending || size_t(ref.page) >= e.pages.size()) {
        m_panes[1]->clear();
        m_panes[2]->clear();
        return;
    }
    const image::PageInfo& info = e.pages[size_t(ref.page)];
    m_panes[1]->setText(pagePositionText(info, pages));
    m_panes[2]->setText(pages && !e.unsupported() ? pageDescriptionText(info, m_forms.get())
                                                  : QString());
}

// --- Thumbnails ------------------------------------------------------------------------------

void MainWindow::applyThumbnailSettings(const TnlSettings& settings)
{
    m_tnl = settings;
    const QSize box = settings.box();
    const auto colour = [&](int mode) {
        switch (mode) {
        case 1: return settings.backPrt;
        case 2: return settings.backSel;
        case 3: return settings.backMove;
        default: return palette().color(QPalette::Button);
        }
    };
    ThumbnailView* files = m_listPane->fileThumbs();
    ThumbnailView* pages = m_listPane->pageThumbs();
    files->setBox(box.width(), box.height());
    pages->setBox(box.width(), box.height());
    files->setMarkMode(settings.nMode, colour(settings.nMode));
    pages->setMarkMode(0, colour(0));
}

void MainWindow::runThumbSettings()
{
    ThumbnailSettingsDialog dialog(m_tnl, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    TnlSettings settings = dialog.settings();
    SaveTnlSettings(settings, m_files.iniPath);
    applyThumbnailSettings(settings);
}

}  // namespace tnw::app
