// The logic of the operation settings dialog, without widgets: the records it edits, the name
// lists, the previews, the output folder history (tnwTo.txt) and OK's checks, all made before
// anything is saved. Messages and questions go through platform::ui (title "Korvelin").
#pragma once

#include "app/core/settings/app_settings.h"
#include "app/core/frame/frame_state.h"
#include "app/core/history/history_file.h"
#include "common/template_expand.h"

#include "ConvSettings.h"

#include <QStringList>

#include <string>
#include <vector>

namespace tnw::app {

// Where the dialog is opened from.
enum class SettingsForm {
    Settings,     // 動作設定 of the 設定 menu
    Run,          // before a conversion from the window: title "PDF変換の実行" + folder, OK "実行"
    CommandLine,  // before a command-line conversion
};

// The meta strings the editor edits; the numbers are the editor's kinds.
enum class MetaKind : int { File = 1, Dir = 2, Sub1 = 3, Sub2 = 4, Log = 5 };

// Bytes a meta string may take (its field holds 80 with the terminator).
inline constexpr int kMetaMaxBytes = 79;
// Bytes a document text may take.
inline constexpr int kDocTextMaxBytes = 509;
// Bytes the folder box may take.
inline constexpr int kFolderMaxBytes = 259;

struct OperationSettingsFiles {
    std::string iniPath;      // Korvelin.ini
    std::string historyPath;  // tnwTo.txt
    ConvSettingsIo io;        // sbxLoadIni / sbxSaveIni
};

// tnwTo.txt in the settings folder ("" when there is none).
std::string outputHistoryPath();

// What the main window does after OK in the settings or run form, from the records it held
// before the dialog and the ones it reloads after it.
struct AfterSettings {
    bool resortFiles = false;   // the file list is sorted again under the new order keys
    bool rebuildLists = false;  // the sub-folder display changed: the three lists are rebuilt
    bool stopRun = false;       // the run form ends without converting
};
// The file list is re-sorted (settings form, file mode, a non-empty list) when nPageOrder
// changed, or it is 1 and nNameSort changed, or it is 3 and nNameInType changed. The run form
// never re-sorts: the order on screen is the order converted. A changed sub-folder display
// rebuilds the lists (which sorts them anyway) and, in the run form, stops the run.
AfterSettings afterSettingsOk(SettingsForm form, const ConvSettings& convBefore,
                              const ConvSettings& convAfter, const AppSettings& appBefore,
                              const AppSettings& appAfter, bool fileListEmpty);

class OperationSettings {
public:
    explicit OperationSettings(OperationSettingsFiles files,
                               common::Clock clock = common::systemClock());

    // Loads both records (nPageOrder 0 and nNameSort 1 forced in the copy) and the history.
    // `folderMode`: the name list that is live (the command line passes its objects' mode).
    void open(bool folderMode);

    ConvSettings& conv() { return m_conv; }
    const ConvSettings& conv() const { return m_conv; }
    AppSettings& app() { return m_app; }
    const AppSettings& app() const { return m_app; }
    bool folderMode() const { return m_folderMode; }

    // --- Lists ------------------------------------------------------------------------------
    // The entries of the output name list (UTF-8) of a mode and creation method.
    static QStringList nameEntries(bool folderMode, int tif2pdf);
    // The index kept after the list is rebuilt: itself when still in range, else 0.
    static int keptIndex(int index, int count);

    // --- Previews and the editor ---------------------------------------------------------
    // The meta string of a kind in the copy, and storing one (at most 79 bytes).
    std::string meta(MetaKind kind) const;
    void setMeta(MetaKind kind, const std::string& text);
    // The preview of `text` for a kind: the file-naming preview for kinds 1 and 2 under
    // "１対１", otherwise the folder-naming preview.
    std::string preview(MetaKind kind, const std::string& text) const;
    std::string preview(MetaKind kind) const { return preview(kind, meta(kind)); }
    // Whether the editor offers "&f" (file name) for a kind.
    bool offersFileName(MetaKind kind) const;

    // --- Output folder history --------------------------------------------------------------
    // The entries as the box lists them (sorted) and the folder the box shows.
    const std::vector<std::string>& history() const { return m_history; }
    const std::string& folderText() const { return m_folderText; }
    // nKeepJpeg of [Settings]: gray and progressive JPEGs embedded unchanged (the library reads
    // it from the settings file; it is not part of ConvSettings).
    bool keepJpeg() const { return m_keepJpeg; }
    void setKeepJpeg(bool keep) { m_keepJpeg = keep; }
    void setFolderText(const std::string& text) { m_folderText = text; }
    // A history entry chosen by the user: an existing folder becomes the folder; a vanished
    // one is reported, removed and the first entry selected (history rewritten). False then.
    bool chooseHistoryEntry(const std::string& entry);
    // A folder chosen with the folder picker becomes the folder and joins the history.
    void pickFolder(const std::string& folder);

    // --- OK -------------------------------------------------------------------------------
    // Every check in order, each failure a message (the dialog stays open); on success both
    // records are saved in one replacement of the settings file and the history rewritten.
    // `versionText` and the folder text are as typed. Questions (create the folder, drop it
    // from the history) are asked on the way.
    bool accept(const std::string& versionText);

private:
    bool checkSpecifiedFolder();
    bool checkOutputFolder();
    bool checkNames();
    bool usableMeta(MetaKind kind) const;
    bool save();
    void addToHistory(const std::string& folder);
    void writeHistory();
    void sortHistory();

    OperationSettingsFiles m_files;
    common::Clock m_clock;
    HistoryFile m_historyFile;
    ConvSettings m_conv{};
    AppSettings m_app;
    bool m_folderMode = false;
    std::vector<std::string> m_history;
    std::string m_folderText;
    bool m_keepJpeg = false;
};

}  // namespace tnw::app
