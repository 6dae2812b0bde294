#include "app/core/tree/folder_list_model.h"

#include "common/file_kind.h"
#include "common/platform/files.h"
#include "common/platform/folder_probe.h"
#include "common/platform/locale_compare.h"
#include "common/platform/qt_text.h"

#include <algorithm>
#include <ctime>

namespace tnw::app {
namespace {

constexpr size_t kMaxPath = 260;
using Compare = std::function<int(std::string_view, std::string_view)>;

int jpegFilesIn(const std::vector<platform::FolderEntry>& entries)
{
    int count = 0;
    for (const platform::FolderEntry& e : entries) {
        if (!e.isFolder && !e.badName && common::fileKindOf(e.name) == common::kFileKindJpeg)
            ++count;
    }
    return count;
}

}  // namespace

std::string relativeName(const std::string& chosen, const std::string& path)
{
    if (path == chosen)
        return ".";
    if (path.compare(0, chosen.size(), chosen) != 0)
        return path;
    std::string rest = path.substr(chosen.size());
    if (!rest.empty() && rest[0] == '/')
        rest.erase(0, 1);
    return rest.empty() ? std::string(".") : rest;
}

QString folderDateText(std::int64_t modified, bool twoDigitYear)
{
    const std::time_t t = static_cast<std::time_t>(modified);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return {};
    const int year = tm.tm_year + 1900;
    return QString::asprintf(twoDigitYear ? "%02d/%02d/%02d %02d:%02d" : "%d/%02d/%02d %02d:%02d",
                             twoDigitYear ? year % 100 : year, tm.tm_mon + 1, tm.tm_mday,
                             tm.tm_hour, tm.tm_min);
}

QString jpegCountText(int count)
{
    return count >= 1 ? QString::number(count) : QString();
}

FolderRowsResult listChildFolderRows(const std::string& chosen, bool withOwn,
                                     const FolderProgress& progress, const Compare& compareIn)
{
    const Compare compare = compareIn ? compareIn : Compare(platform::localeCompare);
    FolderRowsResult result;
    std::vector<platform::FolderEntry> entries;
    if (progress && !progress(chosen, 0)) {
        result.cancelled = true;
        return result;
    }
    if (!platform::listFolder(chosen, entries)) {
        result.listable = false;
        return result;
    }
    if (withOwn) {
        platform::FileInfo info;
        platform::fileInfo(chosen, info);
        result.rows.push_back({chosen, {}, ".", 0, info.modified, jpegFilesIn(entries), false});
    }

    struct Child {
        std::string name;
        std::int64_t modified;
    };
    std::vector<Child> children;
    for (const platform::FolderEntry& e : entries) {
        if (!e.isFolder || e.isLink || e.osName.empty() || e.osName[0] == '.')
            continue;  // links to folders are never followed
        if (e.badName) {
            ++result.excluded;
            continue;
        }
        children.push_back({e.name, e.modified});
    }
    std::stable_sort(children.begin(), children.end(), [&](const Child& a, const Child& b) {
        return compare(a.name, b.name) < 0;
    });

    std::vector<platform::FolderEntry> inner;
    for (const Child& child : children) {
        const std::string path = chosen == "/" ? "/" + child.name : chosen + "/" + child.name;
        if (path.size() >= kMaxPath) {
            ++result.excluded;
            continue;
        }
        if (progress && !progress(path, static_cast<int>(result.rows.size()))) {
            result.cancelled = true;
            break;
        }
        int count = 0;
        if (platform::listFolder(path, inner))
            count = jpegFilesIn(inner);
        else
            ++result.excluded;
        result.rows.push_back({path, {}, relativeName(chosen, path), 1, child.modified, count,
                               false});
    }
    for (FolderRow& row : result.rows)
        row.checked = row.jpegCount > 0;
    return result;
}

FolderListModel::FolderListModel(QObject* parent) : QAbstractTableModel(parent) {}

void FolderListModel::setLayoutKind(int kind)
{
    const int k = kind == 26 ? 26 : 25;
    if (k == m_kind)
        return;
    beginResetModel();
    m_kind = k;
    endResetModel();
}

std::vector<int> FolderListModel::defaultWidths(int kind)
{
    return kind == 26 ? std::vector<int>{120, 120, 120} : std::vector<int>{120, 120, 32};
}

void FolderListModel::setRows(std::vector<FolderRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

FolderListModel::Cell FolderListModel::cellOf(int column) const
{
    if (m_kind == 26)
        return column == 0 ? Cell::Parent : (column == 1 ? Cell::Name : Cell::Date);
    return column == 0 ? Cell::Name : (column == 1 ? Cell::Date : Cell::Count);
}

void FolderListModel::sortRows(int column, int direction, const Compare& compareIn)
{
    if (direction == 0 || column < 0 || column >= columnCount())
        return;
    const Compare compare = compareIn ? compareIn : Compare(platform::localeCompare);
    const Cell cell = cellOf(column);
    auto cmp = [&](const FolderRow& a, const FolderRow& b) {
        switch (cell) {
        case Cell::Parent:
            return compare(a.parentName, b.parentName);
        case Cell::Name:
            return compare(a.name, b.name);
        case Cell::Date:
            return a.modified < b.modified ? -1 : (a.modified > b.modified ? 1 : 0);
        case Cell::Count:
            return a.jpegCount - b.jpegCount;
        }
        return 0;
    };
    emit layoutAboutToBeChanged();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const FolderRow& a, const FolderRow& b) {
        const int c = cmp(a, b);
        return direction > 0 ? c < 0 : c > 0;
    });
    emit layoutChanged();
}

int FolderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FolderListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || static_cast<size_t>(index.row()) >= m_rows.size())
        return {};
    const FolderRow& row = m_rows[static_cast<size_t>(index.row())];
    if (role == Qt::CheckStateRole && index.column() == 0)
        return row.checked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole && index.column() == 0)
        return platform::fromCp932(row.path);
    if (role != Qt::DisplayRole)
        return {};
    switch (cellOf(index.column())) {
    case Cell::Parent:
        return platform::fromCp932(row.parentName);
    case Cell::Name:
        return platform::fromCp932(row.name);
    case Cell::Date:
        return folderDateText(row.modified, m_kind == 26);
    case Cell::Count:
        return jpegCountText(row.jpegCount);
    }
    return {};
}

bool FolderListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    m_rows[static_cast<size_t>(index.row())].checked =
        value.value<Qt::CheckState>() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FolderListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant FolderListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (cellOf(section)) {
    case Cell::Parent:
        return QString::fromUtf8("親の名前");
    case Cell::Name:
        return QString::fromUtf8("名前");
    case Cell::Date:
        return QString::fromUtf8("更新日付");
    case Cell::Count:
        return QString::fromUtf8("jpeg数");
    }
    return {};
}

}  // namespace tnw::app
