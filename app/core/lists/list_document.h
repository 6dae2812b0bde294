// ListDocument: the entries of the file list and the two row orders (file rows, page rows)
// that the report views and the thumbnail views show. An entry keeps its id for its life, so
// moves and re-sorts never lose its thumbnail; a page row's check mark is its entry's mark.
#pragma once

#include "common/image/page_info.h"

#include <QObject>

#include <cstdint>
#include <string>
#include <functional>
#include <vector>

namespace tnw::app {

// Where an entry's image properties stand: not probed yet, probed, or the probe failed.
enum class ProbeState { Pending, Done, Failed };

struct FileEntry {
    int id = 0;
    std::string path;    // code page 932 full path
    std::string folder;  // relative to the chosen folder ("" for its own files)
    std::string name;    // name and extension
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    int kind = 11;       // 11 JPEG, 12 TIFF
    bool checked = true;
    ProbeState probe = ProbeState::Pending;
    std::vector<image::PageInfo> pages;  // after the probe: one per page

    int pageCount() const { return pages.empty() ? 1 : int(pages.size()); }
    // Unsupported: the header could not be read, or a format without a decoder.
    bool unsupported() const;
};

struct PageRow {
    int entry = 0;  // entry id
    int page = 0;   // 0-based page within the file
};

class ListDocument : public QObject {
    Q_OBJECT
public:
    explicit ListDocument(QObject* parent = nullptr);

    // Replaces every entry (ids given from 0 in order) and sets the file order to it. The page
    // rows are built by buildPages().
    void reset(std::vector<FileEntry> entries);
    // Adds an entry at the end of the file order (its id is set); returns the id.
    int append(FileEntry entry);

    int entryCount() const { return int(m_entries.size()); }
    const FileEntry& entry(int id) const { return m_entries[size_t(id)]; }
    const std::vector<int>& fileOrder() const { return m_fileOrder; }
    const std::vector<PageRow>& pageRows() const { return m_pageRows; }
    const FileEntry& fileAt(int row) const { return entry(m_fileOrder[size_t(row)]); }

    // One row per page of each entry, in file order and page order. An entry with more than
    // one page needs its probe (TIFF pages are counted now, synchronously). `progress`, when
    // set, is asked before each entry with the number done so far; false stops the build and
    // keeps the rows made until then. Returns false when stopped.
    bool buildPages(const std::function<bool(int done)>& progress = {});

    // The probe's result for an entry; the cells and thumbnails follow.
    void setProbe(int id, ProbeState state, std::vector<image::PageInfo> pages);

    void setChecked(int id, bool checked);
    void setAllChecked(bool checked);
    // The marks by entry id, and all of them set back at once.
    std::vector<char> marks() const;
    void setMarks(const std::vector<char>& marks);
    int checkedCount() const;

    // A new file order (a permutation of the ids); the page rows follow it when `pagesFollow`.
    void setFileOrder(std::vector<int> order, bool pagesFollow = true);
    void setPageRows(std::vector<PageRow> rows);

signals:
    void documentReset();                   // every entry replaced
    void fileOrderChanged();
    void pageRowsChanged();
    void entryChanged(int id);              // cells of one entry (probe, mark)
    void marksChanged();                    // many marks at once

private:
    std::vector<FileEntry> m_entries;
    std::vector<int> m_fileOrder;
    std::vector<PageRow> m_pageRows;
};

}  // namespace tnw::app
