// The main window's commands: one table of ids, menu texts, status prompts, tool tips, keys and
// the feature each needs, and the availability of every command as a pure function of a
// snapshot of the frame's state.
#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace tnw::app {

// The numbers are the command ids of the original resources; the status prompts and tool tips
// are keyed by them.
enum class CommandId : int {
    InsertFile = 32771,  // no action; kept out of every menu
    FileList = 32772,
    PageList = 32773,
    FolderList = 32774,
    MoveTop = 32775,
    MoveUp = 32776,
    MoveDown = 32777,
    MoveBottom = 32778,
    ModeSwitch = 32779,
    CheckAll = 32780,
    UncheckAll = 32781,
    Convert = 32782,
    Settings = 32783,
    DeleteRange = 32786,  // no action; kept out of every menu
    Help = 32789,
    PaperForms = 32791,
    OpenLog = 32792,
    ExtendedSettings = 32795,
    SyncPages = 32796,
    Refresh = 32797,
    FileThumbs = 32798,
    PageThumbs = 32799,
    ThumbSettings = 32800,
    SelectMode = 32803,
    EditMode = 32805,
    Swap = 32812,
    PrevFile = 32816,
    NextFile = 32817,
    FirstFile = 32818,
    LastFile = 32819,
    ClearHistory = 32822,
    Delete = 57632,
    Copy = 57634,
    Cut = 57635,
    Paste = 57637,
    SelectAll = 57642,
    Undo = 57643,
    About = 57664,
    Exit = 57665,
};

// What a command needs besides the frame's state: the part of the program that handles it.
// A command whose feature is not in the snapshot's set is disabled.
enum Feature : unsigned {
    kFeatureFrame = 1u << 0,       // the frame itself: help, about, exit, history, refresh
    kFeatureFolderList = 1u << 1,  // the folder list of folder mode
    kFeatureLists = 1u << 2,       // the file and page lists
    kFeatureEditing = 1u << 3,     // order editing, marks, undo, page navigation
    kFeatureThumbnails = 1u << 4,  // the thumbnail views and their settings
    kFeatureSettings = 1u << 5,    // operation and extended settings, mode switch
    kFeatureConversion = 1u << 6,  // the conversion run and its log
    kFeaturePaperForms = 1u << 7,  // the paper form dialog of the sheet library
};

// Where a command sits in the widget tree: keys of list commands act only with the focus in
// the list pane, so the tree, the address box and dialogs keep their own keys.
enum class KeyScope { Window, ListPane };

struct CommandInfo {
    CommandId id;
    const char* menuText;  // UTF-8, with its mnemonic; null for a command in no menu
    const char* text;      // UTF-8 "status prompt\ntool tip"
    const char* keys;      // UTF-8 QKeySequence texts separated by ';', or null
    const char* icon;      // tool-bar icon in the resources (":/icons/NAME.svg"), or null
    Feature feature;
    KeyScope scope;
};

// Every command, in the order of the menus.
std::span<const CommandInfo> commandTable();
// The row of `id`; null for an id not in the table.
const CommandInfo* findCommand(CommandId id);

// The halves of a command's text.
QString statusPrompt(const CommandInfo& info);
QString toolTip(const CommandInfo& info);
QStringList keyTexts(const CommandInfo& info);

// The tool bar, in order; CommandId{0} stands for a separator.
std::span<const CommandId> toolBarLayout();

// The menus: a title and its entries (CommandId{0} a separator).
struct MenuLayout {
    const char* title;  // UTF-8
    std::span<const CommandId> entries;
};
std::span<const MenuLayout> menuLayout();

// What the edit rules need to know of the list shown and the edit history.
struct EditState {
    int shownRows = 0;         // rows of the list shown
    int selectedRows = 0;      // of them selected
    bool firstAtTop = false;   // the first selected row is the top row
    bool lastAtBottom = false; // the last selected row is the bottom row
    bool canUndo = false;
    bool clipboard = false;    // copied rows to paste

    bool operator==(const EditState&) const = default;
};

// What the availability rules need to know of the frame.
struct FrameSnapshot {
    bool busy = false;
    int mode = 0;            // 0 file mode, 1 folder mode
    int listKind = 21;       // the list shown
    bool inStep = true;      // file and page lists in step (no page-list-only edit)
    int fileRows = 0;
    bool fileRowSelected = false;
    int pageRows = 0;
    int editorMode = 1;      // 1 select mode, 3 edit mode
    EditState edit;
    unsigned features = kFeatureFrame | kFeatureFolderList;
};

struct CommandState {
    bool enabled = false;
    bool checked = false;
};

// Whether `id` can be chosen and whether it shows as checked, from the snapshot alone.
CommandState commandState(CommandId id, const FrameSnapshot& frame);

// Whether `id` is one of the checkable view or editor-mode commands.
bool isCheckable(CommandId id);

}  // namespace tnw::app
