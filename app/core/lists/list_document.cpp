#include "app/core/lists/list_document.h"

#include "common/image/display_decoder.h"

#include <algorithm>
#include <numeric>

namespace tnw::app {

bool FileEntry::unsupported() const
{
    if (probe == ProbeState::Failed)
        return true;
    return probe == ProbeState::Done && !pages.empty() &&
           pages.front().format != image::kFormatJpeg && pages.front().format != image::kFormatTiff;
}

ListDocument::ListDocument(QObject* parent) : QObject(parent) {}

void ListDocument::reset(std::vector<FileEntry> entries)
{
    m_entries = std::move(entries);
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_entries[i].id = int(i);
    m_fileOrder.resize(m_entries.size());
    std::iota(m_fileOrder.begin(), m_fileOrder.end(), 0);
    m_pageRows.clear();
    emit documentReset();
}

int ListDocument::append(FileEntry entry)
{
    entry.id = int(m_entries.size());
    m_entries.push_back(std::move(entry));
    m_fileOrder.push_back(m_entries.back().id);
    emit fileOrderChanged();
    return m_entries.back().id;
}

bool ListDocument::buildPages(const std::function<bool(int done)>& progress)
{
    std::vector<PageRow> rows;
    rows.reserve(m_fileOrder.size());
    bool complete = true;
    for (size_t done = 0; done < m_fileOrder.size(); ++done) {
        if (progress && !progress(static_cast<int>(done))) {
            complete = false;
            break;
        }
        const int id = m_fileOrder[done];
        FileEntry& e = m_entries[size_t(id)];
        if (e.kind != 11 && e.probe == ProbeState::Pending) {
            std::vector<image::PageInfo> pages;
            const int code = image::probeFile(e.path, pages);
            e.probe = code == 0 ? ProbeState::Done : ProbeState::Failed;
            e.pages = std::move(pages);
        }
        const int n = e.kind == 11 ? 1 : e.pageCount();
        for (int p = 0; p < n; ++p)
            rows.push_back({id, p});
    }
    m_pageRows = std::move(rows);
    emit pageRowsChanged();
    return complete;
}

void ListDocument::setProbe(int id, ProbeState state, std::vector<image::PageInfo> pages)
{
    if (id < 0 || id >= entryCount())
        return;
    FileEntry& e = m_entries[size_t(id)];
    e.probe = state;
    e.pages = std::move(pages);
    emit entryChanged(id);
}

void ListDocument::setChecked(int id, bool checked)
{
    if (id < 0 || id >= entryCount() || m_entries[size_t(id)].checked == checked)
        return;
    m_entries[size_t(id)].checked = checked;
    emit entryChanged(id);
}

void ListDocument::setAllChecked(bool checked)
{
    for (FileEntry& e : m_entries)
        e.checked = checked;
    emit marksChanged();
}

std::vector<char> ListDocument::marks() const
{
    std::vector<char> out;
    out.reserve(m_entries.size());
    for (const FileEntry& e : m_entries)
        out.push_back(e.checked);
    return out;
}

void ListDocument::setMarks(const std::vector<char>& marks)
{
    bool changed = false;
    for (size_t i = 0; i < marks.size() && i < m_entries.size(); ++i) {
        changed = changed || m_entries[i].checked != (marks[i] != 0);
        m_entries[i].checked = marks[i] != 0;
    }
    if (changed)
        emit marksChanged();
}

int ListDocument::checkedCount() const
{
    return int(std::count_if(m_entries.begin(), m_entries.end(),
                             [](const FileEntry& e) { return e.checked; }));
}

void ListDocument::setFileOrder(std::vector<int> order, bool pagesFollow)
{
    m_fileOrder = std::move(order);
    emit fileOrderChanged();
    if (!pagesFollow)
        return;
    // Page rows regrouped by the new file order, each file's rows keeping their order.
    std::vector<std::vector<PageRow>> byEntry(m_entries.size());
    for (const PageRow& r : m_pageRows)
        byEntry[size_t(r.entry)].push_back(r);
    std::vector<PageRow> rows;
    rows.reserve(m_pageRows.size());
    for (int id : m_fileOrder)
        rows.insert(rows.end(), byEntry[size_t(id)].begin(), byEntry[size_t(id)].end());
    m_pageRows = std::move(rows);
    emit pageRowsChanged();
}

void ListDocument::setPageRows(std::vector<PageRow> rows)
{
    m_pageRows = std::move(rows);
    emit pageRowsChanged();
}

}  // namespace tnw::app
