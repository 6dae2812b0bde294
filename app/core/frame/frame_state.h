// FrameState: the record of the main frame (list kind, folder shown, the frame's copy of the
// conversion settings, the lists' counts the commands depend on) and the update hints it sends
// to the views, one signal per hint. Plain logic: a test drives it without any widget.
#pragma once

#include "app/core/settings/app_settings.h"
#include "app/core/frame/commands.h"
#include "app/core/run/conv_library.h"
#include "ConvSettings.h"

#include <QObject>

#include <functional>
#include <string>

namespace tnw::app {

// The update hints; the numbers are those of the original frame.
enum class Hint : int {
    ModeChanged = 1,
    ListKindChanged = 2,
    PaperFormsChanged = 12,
    SyncPages = 13,
    OrderEdited = 15,
    PageNavigation = 211,
    AddressEntered = 230,
    Refresh = 369,
    FiltersChanged = 501,
};

// sbxLoadIni and sbxSaveIni of the conversion library.
ConvSettingsIo libraryConvSettingsIo();

class FrameState : public QObject {
    Q_OBJECT
public:
    explicit FrameState(std::string iniPath, QObject* parent = nullptr);

    // Frame creation: loads the library settings, sets nNameSort to 1 and saves them back at
    // once; in folder mode a batch level is turned off in this copy only. Then loads the
    // program's own settings and starts the view on the file list (nWho = 21 is written).
    void create(const ConvSettingsIo& io);

    const std::string& iniPath() const { return m_iniPath; }
    const ConvSettings& conv() const { return m_conv; }
    ConvSettings& conv() { return m_conv; }
    const AppSettings& app() const { return m_app; }
    AppSettings& app() { return m_app; }
    int mode() const { return m_conv.nMode > 0 ? 1 : 0; }

    int listKind() const { return m_listKind; }
    // Shows another list: stores it as nWho and sends hint 2. Nothing when it is shown already.
    void setListKind(int kind);

    // The folder the lists show (code page 932; "" none).
    const std::string& folderShown() const { return m_folderShown; }
    void setFolderShown(const std::string& folder);

    // What the lists report for the availability of the commands.
    void setListCounts(int fileRows, bool fileRowSelected, int pageRows);
    void setInStep(bool inStep);
    void setEditorMode(int mode);
    int editorMode() const { return m_editorMode; }
    void setEditState(const EditState& edit);
    void setFeatures(unsigned features);

    FrameSnapshot snapshot() const;

    // Sends a hint to the views. `path` only goes with AddressEntered.
    void send(Hint hint, const std::string& path = {});

    // --- Busy guard ------------------------------------------------------------------------
    // While a guard lives (a list build, a conversion) every command, the tree, the address
    // bar and the views are disabled. A close asked for meanwhile is recorded and done when
    // the last guard ends (closeDeferred).
    class BusyGuard {
    public:
        explicit BusyGuard(FrameState& frame);
        ~BusyGuard();
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;

    private:
        FrameState& m_frame;
    };
    bool busy() const { return m_busy > 0; }
    // Asks to close the window: true when it may close now, false when it is recorded for the
    // end of the busy time.
    bool requestClose();
    bool closePending() const { return m_closePending; }

signals:
    void stateChanged();  // anything the command availability depends on
    void busyChanged(bool busy);
    void closeDeferred();  // the busy time ended with a close asked for

    void modeChanged();                           // hint 1
    void listKindChanged(int kind);               // hint 2
    void paperFormsChanged();                     // hint 12
    void pagesSynced();                           // hint 13
    void orderEdited();                           // hint 15
    void pageNavigated();                         // hint 211
    void addressEntered(const QByteArray& path);  // hint 230 (code page 932 path)
    void refreshRequested();                      // hint 369
    void filtersChanged();                        // hint 501

private:
    void endBusy();

    std::string m_iniPath;
    ConvSettings m_conv{};
    AppSettings m_app;
    int m_listKind = kListFile;
    std::string m_folderShown;
    int m_fileRows = 0;
    bool m_fileRowSelected = false;
    int m_pageRows = 0;
    bool m_inStep = true;
    int m_editorMode = 1;
    EditState m_edit;
    unsigned m_features = kFeatureFrame | kFeatureFolderList;
    int m_busy = 0;
    bool m_closePending = false;
};

}  // namespace tnw::app
