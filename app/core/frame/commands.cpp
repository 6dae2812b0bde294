#include "app/core/frame/commands.h"

#include <algorithm>
#include <array>

namespace tnw::app {
namespace {

using C = CommandId;
constexpr KeyScope W = KeyScope::Window;
constexpr KeyScope L = KeyScope::ListPane;

// clang-format off
const CommandInfo kCommands[] = {
    // ﾌｧｲﾙ
    {C::Convert, "PDF化実行(&E)...", "PDF化の実行\nPDF化実行", nullptr, ":/icons/convert.svg", kFeatureConversion, W},
    {C::OpenLog, "ﾛｸﾞﾌｧｲﾙを開く(&L)...", "ﾛｸﾞﾌｧｲﾙを開く\nﾛｸﾞﾌｧｲﾙを開く", nullptr, ":/icons/open_log.svg", kFeatureConversion, W},
    {C::ClearHistory, "履歴のクリア(&C)", "履歴のクリア\n履歴のクリア", nullptr, nullptr, kFeatureFrame, W},
    {C::Exit, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "ｱﾌﾟﾘｹｰｼｮﾝを終了します\nｱﾌﾟﾘｹｰｼｮﾝの終了", nullptr, nullptr, kFeatureFrame, W},
    // 編集
    {C::Undo, "元に戻す(&U)", "直前の編集を元に戻します\n元に戻す", "Ctrl+Z;Alt+Backspace", ":/icons/undo.svg", kFeatureEditing, L},
    {C::Cut, "切り取り(&T)", "選択した行を切り取ります\n切り取り", "Ctrl+X;Shift+Del", nullptr, kFeatureEditing, L},
    {C::Copy, "コピー(&C)", "選択した行をコピーします\nコピー", "Ctrl+C;Ctrl+Ins", nullptr, kFeatureEditing, L},
    {C::Paste, "貼り付け(&P)", "切り取った行を貼り付けます\n貼り付け", "Ctrl+V;Shift+Ins", nullptr, kFeatureEditing, L},
    {C::Delete, "削除(&D)", "選択した行を一覧から外します\n削除", "Del", nullptr, kFeatureEditing, L},
    {C::SelectAll, "すべて選択(&A)", "すべての行を選択します\nすべて選択", "Ctrl+A", nullptr, kFeatureEditing, L},
    {C::MoveTop, "先頭に移動", "先頭に移動\n先頭に移動", "Shift+Up", ":/icons/move_top.svg", kFeatureEditing, L},
    {C::MoveUp, "１つ上に移動", "１つ上に移動\n１つ上に移動", "Ctrl+Up", ":/icons/move_up.svg", kFeatureEditing, L},
    {C::MoveDown, "１つ下に移動", "１つ下に移動\n１つ下に移動", "Ctrl+Down", ":/icons/move_down.svg", kFeatureEditing, L},
    {C::MoveBottom, "最終に移動", "最終に移動\n最終に移動", "Shift+Down", ":/icons/move_bottom.svg", kFeatureEditing, L},
    {C::Swap, "入れ替え", "入れ替え\n入れ替え", nullptr, ":/icons/swap.svg", kFeatureEditing, L},
    {C::CheckAll, "全てのﾁｪｯｸ設定", "全てのﾁｪｯｸ設定\n全てのﾁｪｯｸ設定", nullptr, nullptr, kFeatureEditing, L},
    {C::UncheckAll, "全てのﾁｪｯｸ解除", "全てのﾁｪｯｸ解除\n全てのﾁｪｯｸ解除", nullptr, nullptr, kFeatureEditing, L},
    // 表示
    {C::FileList, "ﾌｧｲﾙﾘｽﾄ(&F)", "ﾌｧｲﾙﾘｽﾄを表示\nﾌｧｲﾙﾘｽﾄ", nullptr, ":/icons/file_list.svg", kFeatureLists, W},
    {C::PageList, "ﾍﾟｰｼﾞﾘｽﾄ(&P)", "ﾍﾟｰｼﾞﾘｽﾄを表示\nﾍﾟｰｼﾞﾘｽﾄ", nullptr, nullptr, kFeatureLists, W},
    {C::FolderList, "ﾌｫﾙﾀﾞﾘｽﾄ(&D)", "ﾌｫﾙﾀﾞﾘｽﾄ\nﾌｫﾙﾀﾞﾘｽﾄ", nullptr, nullptr, kFeatureFolderList, W},
    {C::FileThumbs, "ﾌｧｲﾙ縮小(&I)", "ﾌｧｲﾙ縮小\nﾌｧｲﾙ縮小", nullptr, ":/icons/file_thumbs.svg", kFeatureThumbnails, W},
    {C::PageThumbs, "ﾍﾟｰｼﾞ縮小(&G)", "ﾍﾟｰｼﾞ縮小\nﾍﾟｰｼﾞ縮小", nullptr, nullptr, kFeatureThumbnails, W},
    {C::SelectMode, "選択ﾓｰﾄﾞ(&S)", "結合ﾌｧｲﾙ/ﾍﾟｰｼﾞを選択します\n選択ﾓｰﾄﾞ", nullptr, ":/icons/select_mode.svg", kFeatureEditing, W},
    {C::EditMode, "編集ﾓｰﾄﾞ(&E)", "ﾌｧｲﾙ/ﾍﾟｰｼﾞの順序を編集します\n編集ﾓｰﾄﾞ", nullptr, ":/icons/edit_mode.svg", kFeatureEditing, W},
    {C::PrevFile, "前のﾌｧｲﾙ(&1)", "前のﾌｧｲﾙ\n前のﾌｧｲﾙ", nullptr, nullptr, kFeatureEditing, W},
    {C::NextFile, "次のﾌｧｲﾙ(&2)", "次のﾌｧｲﾙ\n次のﾌｧｲﾙ", nullptr, nullptr, kFeatureEditing, W},
    {C::FirstFile, "先頭のﾌｧｲﾙ(&3)", "先頭のﾌｧｲﾙ\n先頭のﾌｧｲﾙ", nullptr, nullptr, kFeatureEditing, W},
    {C::LastFile, "最後のﾌｧｲﾙ(&4)", "最後のﾌｧｲﾙ\n最後のﾌｧｲﾙ", nullptr, nullptr, kFeatureEditing, W},
    {C::SyncPages, "ﾍﾟｰｼﾞﾘｽﾄをﾌｧｲﾙﾘｽﾄに合わせる(&A)", "ﾍﾟｰｼﾞﾘｽﾄをﾌｧｲﾙﾘｽﾄに合わせる\nﾍﾟｰｼﾞﾘｽﾄをﾌｧｲﾙﾘｽﾄに合わせる", nullptr, nullptr, kFeatureEditing, W},
    {C::Refresh, "最新の情報に更新(&R)", "最新の情報に更新\n最新の情報に更新", "F5", nullptr, kFeatureFrame, W},
    // 設定
    {C::Settings, "動作設定(&O)...", "動作設定\n動作設定", nullptr, nullptr, kFeatureSettings, W},
    {C::ExtendedSettings, "拡張設定(&X)...", "拡張設定\n拡張設定", nullptr, nullptr, kFeatureSettings, W},
    {C::ModeSwitch, "ﾓｰﾄﾞの切替(&M)...", "ﾓｰﾄﾞの切替\nﾓｰﾄﾞの切替", nullptr, ":/icons/mode_switch.svg", kFeatureSettings, W},
    {C::ThumbSettings, "縮小設定(&T)...", "縮小設定\n縮小設定", nullptr, nullptr, kFeatureThumbnails, W},
    {C::PaperForms, "用紙設定(&P)...", "用紙の設定\n用紙設定", nullptr, nullptr, kFeaturePaperForms, W},
    // ﾍﾙﾌﾟ
    {C::Help, "ﾍﾙﾌﾟ(&H)", "ﾍﾙﾌﾟを表示します\nﾍﾙﾌﾟ", "F1", nullptr, kFeatureFrame, W},
    {C::About, "Korvelin のﾊﾞｰｼﾞｮﾝ情報(&A)", "ﾌﾟﾛｸﾞﾗﾑのﾊﾞｰｼﾞｮﾝを表示します\nﾊﾞｰｼﾞｮﾝ情報", nullptr, nullptr, kFeatureFrame, W},
    // In no menu: their handlers do nothing.
    {C::InsertFile, nullptr, "既存のﾌｧｲﾙの挿入/追加\n挿入/追加", nullptr, nullptr, kFeatureEditing, W},
    {C::DeleteRange, nullptr, "選択範囲を削除\n削除", nullptr, nullptr, kFeatureEditing, W},
};
// clang-format on

constexpr CommandId kSep{0};

const CommandId kToolBar[] = {
    C::OpenLog, C::Convert, kSep, C::ModeSwitch, kSep, C::Undo, kSep,
    C::MoveTop, C::MoveUp, C::MoveDown, C::MoveBottom, C::Swap, kSep,
    C::FileList, C::FileThumbs, kSep, C::SelectMode, C::EditMode,
};

const CommandId kFileMenu[] = {C::Convert, kSep, C::OpenLog, kSep, C::ClearHistory, kSep, C::Exit};
const CommandId kEditMenu[] = {C::Undo, C::Cut, C::Copy, C::Paste, C::Delete, C::SelectAll, kSep,
                               C::MoveTop, C::MoveUp, C::MoveDown, C::MoveBottom, C::Swap, kSep,
                               C::CheckAll, C::UncheckAll};
const CommandId kViewMenu[] = {C::FileList, C::PageList, C::FolderList, C::FileThumbs,
                               C::PageThumbs, kSep, C::SelectMode, C::EditMode, kSep,
                               C::PrevFile, C::NextFile, C::FirstFile, C::LastFile, C::SyncPages,
                               kSep, C::Refresh};
const CommandId kSettingsMenu[] = {C::Settings, C::ExtendedSettings, C::ModeSwitch,
                                   C::ThumbSettings, C::PaperForms};
const CommandId kHelpMenu[] = {C::Help, C::About};

const MenuLayout kMenus[] = {
    {"ﾌｧｲﾙ(&F)", kFileMenu},     {"編集(&E)", kEditMenu}, {"表示(&V)", kViewMenu},
    {"設定(&S)", kSettingsMenu}, {"ﾍﾙﾌﾟ(&H)", kHelpMenu},
};

QString half(const char* text, int which)
{
    return QString::fromUtf8(text).section(QLatin1Char('\n'), which, which);
}

bool isPageListKind(int kind)
{
    return kind == 22 || kind == 28;
}

bool isFileListKind(int kind)
{
    return kind == 21 || kind == 27;
}

// The edit rules: what each edit needs of the list shown, the selection and the history.
bool editEnabled(CommandId id, const FrameSnapshot& f)
{
    const EditState& e = f.edit;
    const int k = f.listKind;
    const bool some = e.selectedRows > 0;
    const bool someButNotAll = some && e.selectedRows < e.shownRows;
    switch (id) {
    case C::Undo:
        return e.canUndo;
    case C::CheckAll:
    case C::UncheckAll:
    case C::SelectAll:
        // Any list shown with rows: the folder list of folder mode too.
        return e.shownRows > 0;
    default:
        break;
    }
    if (f.mode > 0)
        return false;
    switch (id) {
    case C::MoveTop:
    case C::MoveUp:
    case C::MoveDown:
    case C::MoveBottom: {
        const bool thumbs = k == 23 || k == 24;
        const bool files = isFileListKind(k) || k == 23;
        if (!(isFileListKind(k) || isPageListKind(k) || (thumbs && f.editorMode == 3)))
            return false;
        if (!someButNotAll || (files && !f.inStep))
            return false;
        const bool up = id == C::MoveTop || id == C::MoveUp;
        return up ? !e.firstAtTop : !e.lastAtBottom;
    }
    case C::Cut:
    case C::Delete:
        return isFileListKind(k) && someButNotAll && f.inStep;
    case C::Copy:
        return isFileListKind(k) && some && f.inStep;
    case C::Paste:
        return isFileListKind(k) && e.clipboard && f.inStep;
    case C::Swap:
        return (isFileListKind(k) || k == 23) && e.selectedRows == 2 && f.inStep;
    case C::SyncPages:
        return f.pageRows > 0;
    case C::SelectMode:
    case C::EditMode:
        return isFileListKind(k) || isPageListKind(k) || k == 23 || k == 24;
    case C::PrevFile:
    case C::NextFile:
    case C::FirstFile:
    case C::LastFile:
        return isPageListKind(k) && f.pageRows > 0;
    default:
        return true;
    }
}

// The view commands: what each shows, and whether the list shown is its own.
bool viewShows(CommandId id, int kind)
{
    switch (id) {
    case C::FileList:
        return kind == 21 || kind == 27;
    case C::PageList:
        return isPageListKind(kind);
    case C::FolderList:
        return kind == 25 || kind == 26;
    case C::FileThumbs:
        return kind == 23;
    case C::PageThumbs:
        return kind == 24;
    default:
        return false;
    }
}

bool viewEnabled(CommandId id, const FrameSnapshot& f)
{
    if (f.mode > 0)
        return id == C::FolderList;
    if (id == C::FolderList || !f.inStep)
        return false;
    switch (id) {
    case C::PageList:
        return f.fileRowSelected;
    case C::FileThumbs:
        return f.fileRows > 0;
    case C::PageThumbs:
        return f.pageRows > 0;
    default:
        return true;
    }
}

}  // namespace

std::span<const CommandInfo> commandTable()
{
    return kCommands;
}

const CommandInfo* findCommand(CommandId id)
{
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [id](const CommandInfo& c) { return c.id == id; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

QString statusPrompt(const CommandInfo& info)
{
    return half(info.text, 0);
}

QString toolTip(const CommandInfo& info)
{
    return half(info.text, 1);
}

QStringList keyTexts(const CommandInfo& info)
{
    if (!info.keys)
        return {};
    return QString::fromUtf8(info.keys).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

std::span<const CommandId> toolBarLayout()
{
    return kToolBar;
}

std::span<const MenuLayout> menuLayout()
{
    return kMenus;
}

bool isCheckable(CommandId id)
{
    switch (id) {
    case C::FileList:
    case C::PageList:
    case C::FolderList:
    case C::FileThumbs:
    case C::PageThumbs:
    case C::SelectMode:
    case C::EditMode:
        return true;
    default:
        return false;
    }
}

CommandState commandState(CommandId id, const FrameSnapshot& f)
{
    const CommandInfo* info = findCommand(id);
    if (!info)
        return {};
    CommandState state;
    switch (id) {
    case C::FileList:
    case C::PageList:
    case C::FolderList:
    case C::FileThumbs:
    case C::PageThumbs:
        state.checked = viewShows(id, f.listKind);
        state.enabled = viewEnabled(id, f);
        break;
    case C::SelectMode:
        state.checked = f.editorMode == 1;
        state.enabled = editEnabled(id, f);
        break;
    case C::EditMode:
        state.checked = f.editorMode == 3;
        state.enabled = editEnabled(id, f);
        break;
    case C::Undo:
    case C::Cut:
    case C::Copy:
    case C::Paste:
    case C::Delete:
    case C::SelectAll:
    case C::MoveTop:
    case C::MoveUp:
    case C::MoveDown:
    case C::MoveBottom:
    case C::Swap:
    case C::CheckAll:
    case C::UncheckAll:
    case C::PrevFile:
    case C::NextFile:
    case C::FirstFile:
    case C::LastFile:
    case C::SyncPages:
        state.enabled = editEnabled(id, f);
        break;
    case C::InsertFile:
    case C::DeleteRange:
        break;  // no action
    default:
        state.enabled = true;
        break;
    }
    if (f.busy || (f.features & info->feature) == 0)
        state.enabled = false;
    return state;
}

}  // namespace tnw::app
