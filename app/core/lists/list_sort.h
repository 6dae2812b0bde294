// The sort rules of the file list: what a header click does to the (column, direction) pair,
// the order kind a column sets, and the stable re-sort itself. Descending inverts the
// comparison (never reverses the list), so ties keep their order both ways.
#pragma once

#include "app/core/lists/list_document.h"

#include <functional>
#include <vector>

namespace tnw::app {

struct SortState {
    int column = 0;     // 0 is 名前 (the folder with sub-folders shown)
    int direction = 0;  // 1 ascending, -1 descending, 0 unsorted
};

// A stored pair as used: a column outside 0..columns-1 means unsorted, the direction counts
// by its sign.
SortState usableSort(int sortNo, int sortDir, int columns);
// A click on `column`: a new column keeps the direction (none becoming ascending), the same
// column flips it (none becoming ascending).
SortState nextSort(SortState current, int column);
// The order kind (nPageOrder) a click on `column` sets.
int pageOrderForColumn(int column, bool subFolders);

struct SortKeys {
    int pageOrder = 1;  // 0 full paths, 1 names, 2 as it is, 3 number in the name
    int nameSort = 1;   // > 0 natural names, else plain ignoring case
    // The number inside an entry's name (order 3); 0 when it has none.
    std::function<long long(const FileEntry&)> number;
};

// The file order re-sorted for `state` (the order as it is for an unsorted state or a column
// without a sort rule).
std::vector<int> sortedFileOrder(const ListDocument& doc, SortState state, bool subFolders,
                                 const SortKeys& keys);

}  // namespace tnw::app
