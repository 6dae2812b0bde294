#include "app/core/lists/list_models.h"

#include "app/core/lists/list_cells.h"
#include "common/natural_order.h"
#include "common/platform/qt_text.h"

#include <algorithm>

namespace tnw::app {
namespace {

using C = ListCell;

const std::vector<ListColumn> kFileColumns = {
    {C::Name, "名前", 120},     {C::Size, "ｻｲｽﾞ", 64},       {C::Date, "更新日付", 52},
    {C::Colours, "色数", 48},   {C::X, "X", 48},              {C::Y, "Y", 48},
    {C::Res, "解像度", 64},     {C::WidthMm, "幅(mm)", 64},   {C::HeightMm, "高さ(mm)", 64},
    {C::Form, "用紙ｻｲｽﾞ", 64}, {C::LongSheet, "長尺", 48},   {C::Orientation, "向き", 40},
};
const std::vector<ListColumn> kFileSubColumns = {
    {C::Folder, "フォルダ", 128}, {C::Name, "名前", 128},        {C::Pages, "頁数", 48},
    {C::Size, "ｻｲｽﾞ", 64},        {C::Date, "更新日付", 52},     {C::Colours, "色数", 48},
    {C::X, "X", 48},              {C::Y, "Y", 48},               {C::Res, "解像度", 64},
    {C::WidthMm, "幅(mm)", 64},   {C::HeightMm, "高さ(mm)", 64}, {C::Form, "用紙ｻｲｽﾞ", 64},
    {C::LongSheet, "長尺", 48},   {C::Orientation, "向き", 40},
};
const std::vector<ListColumn> kPageColumns = {
    {C::FileName, "ﾌｧｲﾙ名", 120}, {C::PageNo, "頁番号", 52},    {C::Compression, "圧縮ﾀｲﾌﾟ", 80},
    {C::Colours, "色数", 48},      {C::Size, "ｻｲｽﾞ", 64},        {C::X, "X", 48},
    {C::Y, "Y", 48},               {C::XRes, "xRes", 64},        {C::YRes, "yRes", 64},
    {C::WidthMm, "幅(mm)", 64},    {C::HeightMm, "高さ(mm)", 64}, {C::Form, "用紙ｻｲｽﾞ", 64},
    {C::LongSheet, "長尺", 48},    {C::Orientation, "向き", 40},
};
const std::vector<ListColumn> kPageSubColumns = {
    {C::Folder, "フォルダ", 128},  {C::Name, "名前", 128},        {C::PageNo, "頁番号", 48},
    {C::Compression, "圧縮ﾀｲﾌﾟ", 80}, {C::Colours, "色数", 48},  {C::Size, "ｻｲｽﾞ", 64},
    {C::X, "X", 48},               {C::Y, "Y", 48},               {C::XRes, "xRes", 64},
    {C::YRes, "yRes", 64},         {C::WidthMm, "幅(mm)", 64},    {C::HeightMm, "高さ(mm)", 64},
    {C::Form, "用紙ｻｲｽﾞ", 64},    {C::LongSheet, "長尺", 48},    {C::Orientation, "向き", 40},
};

// Cells that show "-" or "未対応" for a page that is not decodable.
bool guardedCell(ListCell c)
{
    return c == C::Colours || c == C::Size || c == C::X || c == C::Y;
}

}  // namespace

const std::vector<ListColumn>& listColumns(int kind)
{
    switch (kind) {
    case 22: return kPageColumns;
    case 27: return kFileSubColumns;
    case 28: return kPageSubColumns;
    default: return kFileColumns;
    }
}

ListModelBase::ListModelBase(ListDocument* doc, bool pages, QObject* parent)
    : QAbstractTableModel(parent), m_doc(doc), m_pages(pages), m_kind(pages ? 22 : 21)
{
    const auto reset = [this] {
        beginResetModel();
        rebuildRows();
        endResetModel();
    };
    connect(doc, &ListDocument::documentReset, this, reset);
    connect(doc, &ListDocument::marksChanged, this, [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    });
    connect(doc, &ListDocument::entryChanged, this, &ListModelBase::entryChanged);
    if (pages)
        connect(doc, &ListDocument::pageRowsChanged, this, reset);
    else
        connect(doc, &ListDocument::fileOrderChanged, this, reset);
}

void ListModelBase::setLayoutKind(int kind)
{
    if (kind == m_kind)
        return;
    beginResetModel();
    m_kind = kind;
    endResetModel();
}

void ListModelBase::rebuildRows()
{
    m_firstRow.assign(size_t(m_doc->entryCount()), -1);
    if (m_pages) {
        const auto& rows = m_doc->pageRows();
        for (int i = int(rows.size()) - 1; i >= 0; --i)
            m_firstRow[size_t(rows[size_t(i)].entry)] = i;
    } else {
        const auto& order = m_doc->fileOrder();
        for (size_t i = 0; i < order.size(); ++i)
            m_firstRow[size_t(order[i])] = int(i);
    }
}

PageRow ListModelBase::rowRef(int row) const
{
    if (m_pages)
        return m_doc->pageRows()[size_t(row)];
    return {m_doc->fileOrder()[size_t(row)], 0};
}

void ListModelBase::entryChanged(int id)
{
    if (id < 0 || size_t(id) >= m_firstRow.size() || m_firstRow[size_t(id)] < 0)
        return;
    const int first = m_firstRow[size_t(id)];
    int last = first;
    if (m_pages) {
        const auto& rows = m_doc->pageRows();
        while (size_t(last + 1) < rows.size() && rows[size_t(last + 1)].entry == id)
            ++last;
    }
    emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

int ListModelBase::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(listColumns(m_kind).size());
}

QVariant ListModelBase::headerData(int section, Qt::Orientation orientation, int role) const
{
    const auto& columns = listColumns(m_kind);
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns.size()))
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(columns[size_t(section)].header);
    return {};
}

QVariant ListModelBase::cellText(const FileEntry& e, int page, ListCell cell) const
{
    const bool probed = e.probe != ProbeState::Pending && size_t(page) < e.pages.size();
    const image::PageInfo info = probed ? e.pages[size_t(page)] : image::PageInfo{};
    if (probed && guardedCell(cell)) {
        const QString bad = unsupportedText(info);
        if (!bad.isEmpty())
            return bad;
    }
    const bool known = probed && (info.format == image::kFormatJpeg ||
                                  info.format == image::kFormatTiff);
    switch (cell) {
    case C::Folder: return platform::fromCp932(e.folder);
    case C::Name:
    case C::FileName: return platform::fromCp932(e.name);
    case C::Pages: return QString::number(e.pageCount());
    case C::PageNo: return QString::number(page + 1);
    case C::Size: return m_pages ? pageListSizeText(e.size) : fileListSizeText(e.size);
    case C::Date: return dateText(e.modified);
    default: break;
    }
    if (!known)
        return {};
    switch (cell) {
    case C::Compression: return compressionText(info);
    case C::Colours: return colourCountText(info.bitsPerPixel);
    case C::X: return QString::number(info.width);
    case C::Y: return QString::number(info.height);
    case C::Res:
    case C::XRes: return resolutionCellText(info.unit, info.xRes);
    case C::YRes: return resolutionCellText(info.unit, info.yRes);
    case C::WidthMm: return millimetreText(info, 0);
    case C::HeightMm: return millimetreText(info, 1);
    case C::Form: return matchForm(info, m_forms).name;
    case C::LongSheet: {
        const FormMatch m = matchForm(info, m_forms);
        return m.name.isEmpty() ? QString() : longSheetText(m.longer);
    }
    case C::Orientation: {
        const FormMatch m = matchForm(info, m_forms);
        return m.sized ? orientationText(m.landscape) : QString();
    }
    default: return {};
    }
}

QVariant ListModelBase::sortValue(const FileEntry& e, int page, ListCell cell) const
{
    const bool probed = e.probe == ProbeState::Done && size_t(page) < e.pages.size();
    const image::PageInfo info = probed ? e.pages[size_t(page)] : image::PageInfo{};
    switch (cell) {
    case C::Pages: return qint64(e.pageCount());
    case C::PageNo: return qint64(page + 1);
    case C::Size: return qint64(e.size);
    case C::Date: return qint64(e.modified);
    case C::Colours: return qint64(info.bitsPerPixel);
    case C::X: return qint64(info.width);
    case C::Y: return qint64(info.height);
    case C::Res:
    case C::XRes: return qint64(info.xRes * 1000);
    case C::YRes: return qint64(info.yRes * 1000);
    default: return cellText(e, page, cell);
    }
}

QVariant ListModelBase::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PageRow ref = rowRef(index.row());
    const FileEntry& e = m_doc->entry(ref.entry);
    const auto& columns = listColumns(m_kind);
    if (index.column() >= int(columns.size()))
        return {};
    const ListCell cell = columns[size_t(index.column())].cell;
    switch (role) {
    case Qt::DisplayRole:
        return cellText(e, ref.page, cell);
    case Qt::CheckStateRole:
        if (index.column() != 0)
            return {};
        return e.checked ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole:
        if (e.unsupported()) {
            const std::string why = e.pages.empty() ? std::string() : e.pages.front().failure;
            return QString::fromUtf8("未対応") +
                   (why.empty() ? QString() : QStringLiteral(" (%1)").arg(QString::fromStdString(why)));
        }
        if (m_pages && e.pageCount() > 1 && index.column() == 0)
            return QString::fromUtf8("複数ﾍﾟｰｼﾞのﾌｧｲﾙのﾁｪｯｸはﾌｧｲﾙﾘｽﾄで変更してください。");
        return {};
    case EntryIdRole:
        return ref.entry;
    case PageIndexRole:
        return ref.page;
    case UnsupportedRole:
        return e.unsupported();
    case SortValueRole:
        return sortValue(e, ref.page, cell);
    default:
        return {};
    }
}

bool ListModelBase::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 ||
        !(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    const PageRow ref = rowRef(index.row());
    m_doc->setChecked(ref.entry, value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ListModelBase::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) {
        const PageRow ref = rowRef(index.row());
        if (!m_pages || m_doc->entry(ref.entry).pageCount() <= 1)
            f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

FileListModel::FileListModel(ListDocument* doc, QObject* parent)
    : ListModelBase(doc, false, parent)
{
    rebuildRows();
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_doc->fileOrder().size());
}

PageListModel::PageListModel(ListDocument* doc, QObject* parent)
    : ListModelBase(doc, true, parent)
{
    rebuildRows();
}

int PageListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_doc->pageRows().size());
}

void PageListModel::sortByColumn(int column, int direction)
{
    const auto& columns = listColumns(m_kind);
    if (column < 0 || column >= int(columns.size()) || direction == 0)
        return;
    const ListCell cell = columns[size_t(column)].cell;
    std::vector<PageRow> rows = m_doc->pageRows();
    std::vector<QVariant> keys(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        keys[i] = sortValue(m_doc->entry(rows[i].entry), rows[i].page, cell);
    std::vector<size_t> idx(rows.size());
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = i;
    std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) {
        const QVariant& x = keys[a];
        const QVariant& y = keys[b];
        int c = 0;
        if (x.typeId() == QMetaType::LongLong && y.typeId() == QMetaType::LongLong) {
            c = x.toLongLong() < y.toLongLong() ? -1 : x.toLongLong() > y.toLongLong() ? 1 : 0;
        } else {
            std::string xs, ys;
            platform::toCp932(x.toString(), xs);
            platform::toCp932(y.toString(), ys);
            c = common::naturalCompare(xs, ys);
        }
        return c * direction < 0;
    });
    std::vector<PageRow> sorted(rows.size());
    for (size_t i = 0; i < idx.size(); ++i)
        sorted[i] = rows[idx[i]];
    m_doc->setPageRows(std::move(sorted));
}

}  // namespace tnw::app
