#include "app/core/run/operation_settings.h"

#include "app/core/run/conversion_runner.h"
#include "app/core/text/folder_rules.h"
#include "app/core/text/version_rule.h"
#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/locale_compare.h"
#include "common/platform/module_paths.h"
#include "common/platform/profile.h"
#include "common/platform/ui.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace tnw::app {
namespace {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::sjis;

const char kTitle[] = "Korvelin";

void say(const std::string& cp932, MsgIcon icon = MsgIcon::None)
{
    platform::showMessage(kTitle, cp932, MsgButtons::Ok, icon);
}

bool ask(const std::string& cp932)
{
    return platform::showMessage(kTitle, cp932, MsgButtons::YesNo, MsgIcon::Question) ==
           MsgAnswer::Yes;
}

// A text with one path put in: UTF-8 before and after, the code page 932 path as it is.
std::string withPath(const char* before, const std::string& path, const char* after)
{
    return sjis(before) + path + sjis(after);
}

template <size_t N>
void storeField(char (&field)[N], const std::string& text)
{
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

std::string outputHistoryPath()
{
    const std::string folder = platform::settingsFolder();
    return folder.empty() ? std::string() : folder + "/tnwTo.txt";
}

AfterSettings afterSettingsOk(SettingsForm form, const ConvSettings& convBefore,
                              const ConvSettings& convAfter, const AppSettings& appBefore,
                              const AppSettings& appAfter, bool fileListEmpty)
{
    AfterSettings next;
    if (subFolderDisplayDiffers(appBefore, appAfter)) {
        next.rebuildLists = true;
        next.stopRun = form == SettingsForm::Run;
        return next;
    }
    if (form != SettingsForm::Settings || convAfter.nMode != 0 || fileListEmpty)
        return next;
    const int order = convAfter.nPageOrder;
    next.resortFiles = order != convBefore.nPageOrder ||
                       (order == 1 && convAfter.nNameSort != convBefore.nNameSort) ||
                       (order == 3 && convAfter.nNameInType != convBefore.nNameInType);
    return next;
}

OperationSettings::OperationSettings(OperationSettingsFiles files, common::Clock clock)
    : m_files(std::move(files)), m_clock(std::move(clock)), m_historyFile(m_files.historyPath)
{
}

void OperationSettings::open(bool folderMode)
{
    m_folderMode = folderMode;
    m_conv = ConvSettings{};
    if (m_files.io.load)
        m_files.io.load(m_files.iniPath.c_str(), &m_conv);
    m_conv.nPageOrder = 0;
    m_conv.nNameSort = 1;
    LoadAppSettings(m_app, m_files.iniPath);
    m_keepJpeg = platform::GetPrivateProfileInt("Settings", "nKeepJpeg", 0,
                                                m_files.iniPath.c_str()) > 0;

    m_history = m_historyFile.path().empty() ? std::vector<std::string>{} : m_historyFile.read();
    // A stored folder the history lacks joins it, so an untouched OK keeps it.
    const std::string stored(common::fieldText(m_conv.szFold2));
    if (HistoryFile::recordable(stored) &&
        std::find(m_history.begin(), m_history.end(), stored) == m_history.end())
        m_history.push_back(stored);
    sortHistory();
    m_folderText = !stored.empty() ? stored : m_history.empty() ? std::string() : m_history[0];
}

QStringList OperationSettings::nameEntries(bool folderMode, int tif2pdf)
{
    if (!folderMode) {
        return tif2pdf == 0 ? QStringList{"ﾌｧｲﾙ名", "ﾌｧｲﾙ名＋年月日", "その他"}
                            : QStringList{"ﾌｫﾙﾀﾞ名", "ﾌｫﾙﾀﾞ名＋年月日", "その他"};
    }
    return tif2pdf == 0 ? QStringList{"ﾌｧｲﾙ名", "ﾌｧｲﾙ名＋年月日", "ﾌｫﾙﾀﾞ名＋ﾌｧｲﾙ名",
                                      "ﾌｫﾙﾀﾞ名＋ﾌｧｲﾙ名＋年月日", "その他"}
                        : QStringList{"ﾌｫﾙﾀﾞ名", "ﾌｫﾙﾀﾞ名＋年月日", "親ﾌｫﾙﾀﾞ名＋ﾌｫﾙﾀﾞ名",
                                      "親ﾌｫﾙﾀﾞ名＋ﾌｫﾙﾀﾞ名＋年月日", "その他"};
}

int OperationSettings::keptIndex(int index, int count)
{
    return index >= 0 && index < count ? index : 0;
}

std::string OperationSettings::meta(MetaKind kind) const
{
    switch (kind) {
    case MetaKind::File: return std::string(common::templateField(m_conv.szMetaFile));
    case MetaKind::Dir: return std::string(common::templateField(m_conv.szMetaDir));
    case MetaKind::Sub1: return std::string(common::templateField(m_conv.szMetaSub1));
    case MetaKind::Sub2: return std::string(common::templateField(m_conv.szMetaSub2));
    case MetaKind::Log: return std::string(common::templateField(m_conv.szMetaLog));
    }
    return {};
}

void OperationSettings::setMeta(MetaKind kind, const std::string& text)
{
    switch (kind) {
    case MetaKind::File: storeField(m_conv.szMetaFile, text); break;
    case MetaKind::Dir: storeField(m_conv.szMetaDir, text); break;
    case MetaKind::Sub1: storeField(m_conv.szMetaSub1, text); break;
    case MetaKind::Sub2: storeField(m_conv.szMetaSub2, text); break;
    case MetaKind::Log: storeField(m_conv.szMetaLog, text); break;
    }
}

bool OperationSettings::offersFileName(MetaKind kind) const
{
    return (kind == MetaKind::File || kind == MetaKind::Dir) && m_app.nTif2Pdf == 0;
}

std::string OperationSettings::preview(MetaKind kind, const std::string& text) const
{
    const common::ModulePaths paths(m_clock);
    return paths.preview(text, offersFileName(kind) ? common::PreviewKind::File
                                                    : common::PreviewKind::Folder);
}

// --- History -------------------------------------------------------------------------------

void OperationSettings::sortHistory()
{
    std::stable_sort(m_history.begin(), m_history.end(),
                     [](const std::string& a, const std::string& b) {
                         return platform::localeCompare(a, b) < 0;
                     });
}

void OperationSettings::addToHistory(const std::string& folder)
{
    if (!HistoryFile::recordable(folder) ||
        std::find(m_history.begin(), m_history.end(), folder) != m_history.end())
        return;
    m_history.push_back(folder);
    sortHistory();
}

void OperationSettings::writeHistory()
{
    if (m_historyFile.path().empty())
        return;
    // The folder shown first, then every other entry.
    std::vector<std::string> lines;
    if (!m_folderText.empty())
        lines.push_back(m_folderText);
    for (const std::string& entry : m_history) {
        if (entry != m_folderText)
            lines.push_back(entry);
    }
    m_historyFile.write(lines);
}

bool OperationSettings::chooseHistoryEntry(const std::string& entry)
{
    if (platform::pathKind(entry) == platform::PathKind::Folder) {
        m_folderText = entry;
        storeField(m_conv.szFold2, entry);
        return true;
    }
    say(withPath("", entry, " は存在しません。"));
    m_history.erase(std::remove(m_history.begin(), m_history.end(), entry), m_history.end());
    m_folderText = m_history.empty() ? std::string() : m_history[0];
    writeHistory();
    return false;
}

void OperationSettings::pickFolder(const std::string& folder)
{
    addToHistory(folder);
    m_folderText = folder;
    storeField(m_conv.szFold2, folder);
    writeHistory();
}

// --- OK ------------------------------------------------------------------------------------

bool OperationSettings::accept(const std::string& versionText)
{
    PdfVersion version;
    if (!parseVersion(versionText, version)) {
        say(sjis("バージョンの形式は、1.1 ～ 1.7です。"));
        return false;
    }
    m_app.nPDFVersMajor = version.major;
    m_app.nPDFVersMinor = version.minor;
    if (m_conv.nFolding != 0 && !checkSpecifiedFolder())
        return false;
    if (!checkOutputFolder() || !checkNames())
        return false;
    return save();
}

bool OperationSettings::checkSpecifiedFolder()
{
    const std::string text = m_folderText;
    std::string full;
    if (!usableFolderName(text, full)) {
        say(withPath("指定フォルダ ", text, " は不正です。"));
        return false;
    }
    const platform::PathKind kind = platform::pathKind(full);
    if (kind == platform::PathKind::File) {
        say(withPath("作成フォルダ( ", text, " )はフォルダでないか、存在しません。"),
            MsgIcon::Warning);
        return false;
    }
    if (kind == platform::PathKind::Missing) {
        if (ask(withPath("", text, " は存在しません。作成しますか？"))) {
            const FolderCreation made = createFolderLevels(full);
            if (!made.created) {
                say(made.error.empty() ? sjis("指定フォルダの作成が失敗しました。") : made.error);
                say(withPath("指定フォルダ ", text, " の作成が失敗しました。"));
                return false;
            }
        } else {
            const auto at = std::find(m_history.begin(), m_history.end(), text);
            if (at != m_history.end() && at != m_history.begin() &&
                ask(withPath("", text, " を履歴から削除しますか？"))) {
                m_history.erase(at);
                m_folderText = m_history.front();
                writeHistory();
            }
            say(sjis("指定フォルダを設定してください。"));
            return false;
        }
    }
    if (!writableFolder(full)) {
        say(withPath("作成フォルダ( ", text, " )に書き込めません。"), MsgIcon::Warning);
        return false;
    }
    addToHistory(full);
    m_folderText = full;
    writeHistory();
    storeField(m_conv.szFold2, full);
    return true;
}

bool OperationSettings::usableMeta(MetaKind kind) const
{
    const std::string text = meta(kind);
    if (text.empty())
        return false;
    // A template must name something: not nothing, not "." or "..", not past a path's size.
    const std::string name = preview(kind, text);
    return !name.empty() && name != "." && name != ".." && name.size() < common::kMaxPath;
}

bool OperationSettings::checkOutputFolder()
{
    if (m_conv.nFolding != 0) {
        const std::string folder(common::fieldText(m_conv.szFold2));
        if (folder.empty()) {
            say(sjis("作成フォルダが空です。"), MsgIcon::Warning);
            return false;
        }
        if (platform::pathKind(folder) != platform::PathKind::Folder) {
            say(withPath("作成フォルダ( ", folder, " )はフォルダでないか、存在しません。"),
                MsgIcon::Warning);
            return false;
        }
    }
    const bool subMissing = m_conv.nFolding != 0
                                ? m_conv.nFoldSub2 == 3 && !usableMeta(MetaKind::Sub2)
                                : m_conv.nFoldSub1 == 2 && !usableMeta(MetaKind::Sub1);
    if (subMissing) {
        say(sjis("作成フォルダのメタ文字列が空です。"), MsgIcon::Warning);
        return false;
    }
    return true;
}

bool OperationSettings::checkNames()
{
    if (m_folderMode && m_conv.nNameingDir >= 4 && !usableMeta(MetaKind::Dir)) {
        say(sjis("出力ファイルのフォルダ単位のメタ文字列が空です。"), MsgIcon::Warning);
        return false;
    }
    if (!m_folderMode && m_conv.nNameingFile >= 2 && !usableMeta(MetaKind::File)) {
        say(sjis("出力ファイルのファイル単位のメタ文字列が空です。"), MsgIcon::Warning);
        return false;
    }
    if (m_conv.nMakeLog >= 1 && m_conv.nNameingLog >= 2 && !usableMeta(MetaKind::Log)) {
        say(sjis("ログのファイル名のメタ文字列が空です。"), MsgIcon::Warning);
        return false;
    }
    return true;
}

bool OperationSettings::save()
{
    // Both records go into a copy of the settings file that then replaces it: one
    // replacement, so the file never holds one record new and the other old.
    const std::string& ini = m_files.iniPath;
    const std::string copy = ini + ".saving-" + std::to_string(::getpid());
    const bool started = platform::pathKind(ini) == platform::PathKind::File
                             ? platform::copyFile(ini, copy, true)
                             : platform::writeFileAtomically(copy, "");
    bool saved = started;
    if (saved && m_files.io.save)
        saved = m_files.io.save(copy.c_str(), &m_conv) == 0;
    if (saved)
        saved = SaveAppSettings(m_app, copy);
    if (saved)
        saved = platform::WritePrivateProfileString("Settings", "nKeepJpeg",
                                                    m_keepJpeg ? "1" : "0", copy.c_str());
    if (saved)
        saved = platform::renamePath(copy, ini, true);
    if (!saved) {
        platform::deleteFile(copy);
        say(withPath("設定ファイル ", ini, " に書き込めません。"), MsgIcon::Warning);
    }
    return saved;
}

}  // namespace tnw::app
