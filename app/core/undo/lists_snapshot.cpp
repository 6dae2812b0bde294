#include "app/core/undo/lists_snapshot.h"

#include <algorithm>

namespace tnw::app {
namespace {

bool rowsWithin(const std::vector<int>& rows, size_t count)
{
    return std::all_of(rows.begin(), rows.end(),
                       [count](int r) { return r >= 0 && size_t(r) < count; });
}

}  // namespace

bool snapshotFits(const ListsSnapshot& s, int entryCount, int folderRows)
{
    if (s.marks.size() != size_t(entryCount) || s.folderMarks.size() != size_t(folderRows))
        return false;
    const auto idOk = [entryCount](int id) { return id >= 0 && id < entryCount; };
    if (!std::all_of(s.fileOrder.begin(), s.fileOrder.end(), idOk))
        return false;
    if (!std::all_of(s.pageRows.begin(), s.pageRows.end(),
                     [&](const PageRow& r) { return idOk(r.entry) && r.page >= 0; }))
        return false;
    return rowsWithin(s.fileSelected, s.fileOrder.size()) &&
           rowsWithin(s.pageSelected, s.pageRows.size()) &&
           rowsWithin(s.folderSelected, size_t(folderRows));
}

}  // namespace tnw::app
