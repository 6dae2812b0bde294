// ListsSnapshot: everything an order edit can change, taken whole before and after each edit
// so that an undo restores the lists exactly (a paste undone takes the pasted rows away, a
// delete undone brings its rows back with their marks and selection).
#pragma once

#include "app/core/lists/list_document.h"

#include <vector>

namespace tnw::app {

// The stored sort of the file list: the order kind and the header's (column, direction).
struct FileSortState {
    int pageOrder = 0;
    int column = 0;
    int direction = 0;

    bool operator==(const FileSortState&) const = default;
};

struct ListsSnapshot {
    std::vector<int> fileOrder;      // entry ids, in file-list order
    std::vector<PageRow> pageRows;   // in page-list order
    std::vector<char> marks;         // by entry id
    std::vector<char> folderMarks;   // by folder-list row
    std::vector<int> fileSelected;   // selected rows, ascending
    std::vector<int> pageSelected;
    std::vector<int> folderSelected;
    int fileCurrent = -1;            // the current (first selected) row, -1 none
    int pageCurrent = -1;
    int fileTop = 0;                 // the top visible row
    int pageTop = 0;
    FileSortState sort;
    bool inStep = true;
};

// Whether `s` can be applied to a document of `entryCount` entries and a folder list of
// `folderRows` rows: every id, page row and selected row within range.
bool snapshotFits(const ListsSnapshot& s, int entryCount, int folderRows);

}  // namespace tnw::app
