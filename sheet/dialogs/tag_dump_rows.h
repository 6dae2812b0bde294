// The tag dump of one TIFF page as the dump dialog shows it: the reader's dump of a directory
// read back as lines (text form) or split into the columns of the row form. No widget here.
#pragma once

#include "common/tiff_reader.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace tnw::sheet {

// A dump longer than this is cut (a page whose byte arrays fill most of a large file would
// otherwise be hundreds of megabytes of text); the last line then says so.
inline constexpr size_t kMaxDumpBytes = 4u << 20;

// Dumps directory `page` of an open reader whose directories are read, in `mode`, through an
// unnamed temporary file, and reads it back as lines (code page 932 shown leniently).
// Returns 0, -305 when no work file can be made, or the reader's code.
int dumpPage(common::TiffReader& reader, int page, common::TiffDumpMode mode,
             QStringList& lines);

// One row of the row form.
struct TagDumpRow {
    QString tag;    // タグ番号
    QString name;   // タグ名称
    QString type;   // 型: "3:SHORT"
    QString count;  // 数
    QString value;  // 値: the value field
    QString text;   // 説明: the value text
};

// Splits the lines of a row-form dump: a row is split at its first six commas (the value text
// may hold commas of its own); a line that does not start a row (a text value that held a line
// break) continues the value text of the row before it.
std::vector<TagDumpRow> parseDumpRows(const QStringList& lines);

class TagDumpRowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<TagDumpRow> rows);
    const std::vector<TagDumpRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<TagDumpRow> m_rows;
};

}  // namespace tnw::sheet
