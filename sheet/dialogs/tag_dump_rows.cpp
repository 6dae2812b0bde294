#include "sheet/dialogs/tag_dump_rows.h"

#include "common/platform/qt_text.h"

#include <cstdio>
#include <memory>

namespace tnw::sheet {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

bool isNumber(const QString& field)
{
    bool ok = false;
    field.trimmed().toLongLong(&ok);
    return ok;
}

}  // namespace

int dumpPage(common::TiffReader& reader, int page, common::TiffDumpMode mode, QStringList& lines)
{
    lines.clear();
    std::unique_ptr<FILE, FileCloser> work(std::tmpfile());
    if (!work)
        return common::tiffcode::NoTextBuffer;
    reader.setDump(work.get(), mode);
    const int rc = reader.readDirectory(page);
    reader.setDump(nullptr, common::TiffDumpMode::None);
    if (rc != 0)
        return rc;
    std::rewind(work.get());
    std::string text;
    char buffer[65536];
    size_t n = 0;
    bool cut = false;
    while ((n = std::fread(buffer, 1, sizeof buffer, work.get())) > 0) {
        if (text.size() + n > kMaxDumpBytes) {
            text.append(buffer, kMaxDumpBytes - text.size());
            cut = true;
            break;
        }
        text.append(buffer, n);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines << platform::fromCp932(std::string_view(text).substr(start, stop - start));
        start = end + 1;
    }
    if (cut)
        lines << QString::fromUtf8("(以下省略: %1 バイトを超える部分は表示しません)")
                     .arg(qulonglong(kMaxDumpBytes));
    return 0;
}

std::vector<TagDumpRow> parseDumpRows(const QStringList& lines)
{
    std::vector<TagDumpRow> rows;
    for (const QString& line : lines) {
        // The first six commas end the six fixed fields; the rest is the value text.
        QStringList fields;
        qsizetype from = 0;
        for (int i = 0; i < 6; ++i) {
            const qsizetype comma = line.indexOf(QLatin1Char(','), from);
            if (comma < 0)
                break;
            fields << line.mid(from, comma - from);
            from = comma + 1;
        }
        const bool startsRow = fields.size() == 6 && isNumber(fields[0]) && isNumber(fields[1]) &&
                               isNumber(fields[3]) && isNumber(fields[4]);
        if (!startsRow) {
            if (!rows.empty() && !line.isEmpty()) {
                QString& text = rows.back().text;
                text += text.isEmpty() ? line : QLatin1Char(' ') + line;
            }
            continue;
        }
        TagDumpRow row;
        row.tag = fields[0].trimmed();
        row.type = fields[1].trimmed() + QLatin1Char(':') + fields[2].trimmed();
        row.count = fields[3].trimmed();
        row.value = fields[4].trimmed();
        row.name = fields[5];
        row.text = line.mid(from);
        rows.push_back(std::move(row));
    }
    return rows;
}

void TagDumpRowModel::setRows(std::vector<TagDumpRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int TagDumpRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TagDumpRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 6;
}

QVariant TagDumpRowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const TagDumpRow& row = m_rows[size_t(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0: return row.tag;
        case 1: return row.name;
        case 2: return row.type;
        case 3: return row.count;
        case 4: return row.value;
        case 5: return row.text;
        default: return {};
        }
    }
    if (role == Qt::TextAlignmentRole && (index.column() == 0 || index.column() == 3 ||
                                          index.column() == 4))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TagDumpRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 6)
        return {};
    static const char* const titles[] = {"タグ番号", "タグ名称", "型", "数", "値", "説明"};
    return QString::fromUtf8(titles[section]);
}

}  // namespace tnw::sheet
