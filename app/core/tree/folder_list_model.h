// The folder list of folder mode: one row per folder with its check mark, and the two layouts
// it is shown in (kind 25 the main layout, kind 26 the batch layout with the parent's name).
#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tnw::app {

struct FolderRow {
    std::string path;        // code page 932 full path
    std::string parentName;  // the reported folder this row came from (batch layout)
    std::string name;        // relative to the chosen (or reported) folder; "." for itself
    int depth = 0;           // 0 for the chosen folder itself
    std::int64_t modified = 0;  // seconds since 1970-01-01 UTC
    int jpegCount = 0;
    bool checked = false;
};

// --- Cell texts ---------------------------------------------------------------------------
// `path` relative to `chosen`: the chosen path and one following separator removed; "." for
// the chosen folder itself.
std::string relativeName(const std::string& chosen, const std::string& path);
// Local time as "2024/03/05 09:07", or with `twoDigitYear` "24/03/05 09:07".
QString folderDateText(std::int64_t modified, bool twoDigitYear);
// "%d" for a count of 1 or more, nothing otherwise.
QString jpegCountText(int count);

// --- Rows ---------------------------------------------------------------------------------
struct FolderRowsResult {
    std::vector<FolderRow> rows;
    int excluded = 0;       // names without a code page 932 form, paths too long
    bool listable = true;   // false when the chosen folder could not be listed
    bool cancelled = false;
};
// The rows for the folder `chosen`: its own row first when `withOwn`, then one row per
// visible child folder (not links, which scans never follow) with its own ".jpg" count, in
// the order of `compare` (the locale comparison when empty). `progress` is asked before each
// folder with its path and the rows so far; false stops and keeps what was found.
using FolderProgress = std::function<bool(const std::string& folder, int rows)>;
FolderRowsResult listChildFolderRows(const std::string& chosen, bool withOwn,
                                     const FolderProgress& progress,
                                     const std::function<int(std::string_view, std::string_view)>&
                                         compare = {});

// --- Model --------------------------------------------------------------------------------
class FolderListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FolderListModel(QObject* parent = nullptr);

    // 25 (名前, 更新日付, jpeg数) or 26 (親の名前, 名前, 更新日付).
    void setLayoutKind(int kind);
    int layoutKind() const { return m_kind; }
    // The default width of each column of the layout.
    static std::vector<int> defaultWidths(int kind);

    void setRows(std::vector<FolderRow> rows);
    const std::vector<FolderRow>& rows() const { return m_rows; }

    // Stable sort by a column; `direction` 1 ascending, -1 descending (the comparison is
    // inverted, ties keep their order), 0 leaves the order.
    void sortRows(int column, int direction,
                  const std::function<int(std::string_view, std::string_view)>& compare = {});

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    enum class Cell { Parent, Name, Date, Count };
    Cell cellOf(int column) const;

    int m_kind = 25;
    std::vector<FolderRow> m_rows;
};

}  // namespace tnw::app
