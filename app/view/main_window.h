// The main window: wiring only. The frame's record and hints live in FrameState, the commands
// in the command table, the folders in FolderTreeModel; this class builds the widgets, turns
// user actions into calls on them and shows their state.
#pragma once

#include "app/core/frame/commands.h"
#include "app/core/frame/frame_state.h"
#include "app/core/history/history_file.h"
#include "app/core/settings/tnl_settings.h"
#include "app/core/settings/window_placement.h"

#include <QMainWindow>
#include <QThreadPool>
#include <QTimer>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QAbstractItemView;
class QAction;
class QMenu;
class QLabel;
class QSplitter;
class QTreeView;

namespace tnw::common {
class CPaperFormTable;
}

namespace tnw::app {

class AddressCombo;
class FolderListModel;
class FolderTreeModel;
class FolderTreeView;
class FileListModel;
class ListDocument;
class ListEditor;
class ListPane;
class PageListModel;
class ProbeRunner;

// Where the window keeps its files, and how it reaches the conversion library's settings.
struct MainWindowFiles {
    std::string iniPath;      // Korvelin.ini
    std::string historyPath;  // ComboAddr.txt
    QString helpPath;         // help/index.html beside the program (operating-system path)
    ConvSettingsIo settingsIo;
};
// The files of the running program (the settings folder, the program folder).
MainWindowFiles programFiles();

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowFiles& files, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the window as the stored placement says (maximised or not), made fit for the
    // screens there are now, then selects the start folder in the tree.
    void showPlaced();
    // Goes to a folder given at start (--folder, an operating-system path): as typed into the
    // address box.
    void openStartFolder(const QString& folder);
    // A later start asked for this window: out of the minimised state, raised and activated,
    // with the dialog open on it. While busy it is only raised.
    void bringForward();

    FrameState& frame() { return m_frame; }
    QAction* action(CommandId id) const;
    AddressCombo* addressBox() const { return m_address; }
    FolderTreeView* treeView() const { return m_tree; }
    ListPane* listPane() const { return m_listPane; }
    QLabel* statusPane(int i) const { return m_panes[i]; }
    const std::vector<std::string>& history() const { return m_history; }
    ListDocument* document() const { return m_doc; }
    ListEditor* editor() const { return m_editor; }
    // The context menu of the list shown, for the row at `pos` of `view`'s viewport (the
    // current row when none is there); null for a list without one. The caller owns it.
    QMenu* listMenu(QAbstractItemView* view, const QPoint& pos);
    const TnlSettings& thumbnailSettings() const { return m_tnl; }
    // Applies new reduction settings to both thumbnail views (a changed box drops pictures).
    void applyThumbnailSettings(const TnlSettings& settings);

    QMenu* createPopupMenu() override { return nullptr; }

    // Navigation as from the address box (code page 932 path checked already).
    void goToFolder(const std::string& path);

signals:
    // The size stopped changing for a moment (the end of a drag, or leaving the minimised
    // state): the thumbnail layout is computed again once.
    void resizeSettled();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createPanes();
    void updateCommands();
    void setBusyWidgets(bool busy);
    void run(CommandId id);

    void addressEntered(const QString& text);
    void historyChosen(const QString& text);
    void folderChosen(const QByteArray& path, int flag);
    void listsMoved(const std::string& folder);
    void buildFolderList(const std::string& folder, int flag);
    void buildFileList(const std::string& folder, int flag, bool keepMarks = false);
    void buildPageRows();
    void applyFileSort(bool fromClick, int column);
    void showFileSortIndicator();
    void pageHeaderClicked(int column);
    void saveWidths(QTreeView* view, int kind);
    void applyWidths(QTreeView* view, int kind);
    int fileKind() const;
    int pageKind() const;
    void showListKind(int kind);
    void updateListCounts();
    void updateSelectionPanes();
    void probesFinished(int firstUnsupported);
    // The paper form dialog of the sheet library (main_window_forms.cpp).
    void runPaperForms();
    void reloadPaperForms();
    void runThumbSettings();
    // Order editing, marks, undo, modes and page navigation (main_window_edit.cpp).
    void createEditing();
    bool runEdit(CommandId id);
    void updateEditState();
    void setEditorMode(int mode);
    void showListMenu(QAbstractItemView* view, const QPoint& pos);
    void showTagDump(const std::string& path);
    // Settings, conversion and log commands (main_window_run.cpp).
    bool showSettingsDialog(bool runForm);
    void runSettings();
    void runConversion();
    void openLogFile();
    void runModeSwitch();
    void runExtendedSettings();
    void showMode();
    void refresh();
    void clearHistory();
    void openHelp();
    void showAbout();
    void focusNextPane(bool forward);
    void savePlacement();
    std::string homeFolder() const;

    MainWindowFiles m_files;
    FrameState m_frame;
    HistoryFile m_historyFile;
    std::vector<std::string> m_history;
    WindowPlacement m_placement;
    std::map<CommandId, QAction*> m_actions;

    FolderTreeModel* m_treeModel = nullptr;
    FolderListModel* m_folderModel = nullptr;
    QThreadPool m_pictures;
    ListDocument* m_doc = nullptr;
    FileListModel* m_fileModel = nullptr;
    PageListModel* m_pageModel = nullptr;
    ProbeRunner* m_probes = nullptr;
    ListEditor* m_editor = nullptr;
    std::unique_ptr<common::CPaperFormTable> m_forms;
    TnlSettings m_tnl;
    bool m_unsupportedReported = false;
    FolderTreeView* m_tree = nullptr;
    ListPane* m_listPane = nullptr;
    QSplitter* m_splitter = nullptr;
    AddressCombo* m_address = nullptr;
    QToolBar* m_addressBar = nullptr;
    QLabel* m_panes[3] = {};
    QTimer m_resizeSettle;
    int m_treePane = 160;
    bool m_placed = false;
    bool m_placementSaved = false;
    std::string m_lastLog;  // the log of the last conversion ("" none)
};

}  // namespace tnw::app
