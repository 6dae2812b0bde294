#include "app/core/lists/list_sort.h"

#include "common/natural_order.h"

#include <algorithm>
#include <strings.h>

namespace tnw::app {

SortState usableSort(int sortNo, int sortDir, int columns)
{
    if (sortNo < 0 || sortNo >= columns || sortDir == 0)
        return {0, 0};
    return {sortNo, sortDir > 0 ? 1 : -1};
}

SortState nextSort(SortState current, int column)
{
    if (column != current.column || current.direction == 0)
        return {column, current.direction < 0 && column != current.column ? -1 : 1};
    return {column, -current.direction};
}

int pageOrderForColumn(int column, bool subFolders)
{
    if (!subFolders)
        return column == 1 ? 0 : column == 2 ? 2 : 1;
    return column == 2 || column == 3 ? 0 : column == 4 ? 2 : 1;
}

namespace {

int sign(long long v)
{
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

int nameCompare(const FileEntry& a, const FileEntry& b, int nameSort)
{
    if (nameSort > 0)
        return common::naturalCompare(a.name, b.name);
    return sign(::strcasecmp(a.name.c_str(), b.name.c_str()));
}

// Entries of the chosen folder first, then by folder in natural order, then by name.
int folderNameCompare(const FileEntry& a, const FileEntry& b, int nameSort)
{
    if (a.folder.empty() != b.folder.empty())
        return a.folder.empty() ? -1 : 1;
    if (const int c = common::naturalCompare(a.folder, b.folder))
        return c;
    return nameCompare(a, b, nameSort);
}

}  // namespace

std::vector<int> sortedFileOrder(const ListDocument& doc, SortState state, bool subFolders,
                                 const SortKeys& keys)
{
    std::vector<int> order = doc.fileOrder();
    if (state.direction == 0)
        return order;
    using Compare = std::function<int(const FileEntry&, const FileEntry&)>;
    const auto bySize = [](const FileEntry& a, const FileEntry& b) {
        return a.size < b.size ? -1 : a.size > b.size ? 1 : 0;
    };
    const auto byDate = [](const FileEntry& a, const FileEntry& b) {
        return sign(a.modified - b.modified);
    };
    const auto byPages = [](const FileEntry& a, const FileEntry& b) {
        return sign(a.pageCount() - b.pageCount());
    };
    const auto byPath = [](const FileEntry& a, const FileEntry& b) {
        return common::naturalCompare(a.path, b.path);
    };
    const int nameSort = keys.nameSort;
    std::vector<long long> numbers(size_t(doc.entryCount()), 0);
    Compare compare;
    if (!subFolders) {
        switch (state.column) {
        case 0:
            if (keys.pageOrder == 0)
                compare = byPath;
            else if (keys.pageOrder == 1)
                compare = [nameSort](const FileEntry& a, const FileEntry& b) {
                    return nameCompare(a, b, nameSort);
                };
            else if (keys.pageOrder == 3 && keys.number) {
                // The rename rule is asked once per entry, not once per comparison.
                for (int id : order)
                    numbers[size_t(id)] = keys.number(doc.entry(id));
                compare = [&numbers](const FileEntry& a, const FileEntry& b) {
                    const long long x = numbers[size_t(a.id)], y = numbers[size_t(b.id)];
                    return x < y ? -1 : x > y ? 1 : 0;
                };
            }
            break;
        case 1: compare = bySize; break;
        case 2: compare = byDate; break;
        default: break;
        }
    } else {
        switch (state.column) {
        case 0:
        case 1:
            if (keys.pageOrder == 0)
                compare = state.column == 0 ? Compare(byPath) : Compare(byPages);
            else if (keys.pageOrder == 1 || keys.pageOrder == 3)
                compare = [nameSort](const FileEntry& a, const FileEntry& b) {
                    return folderNameCompare(a, b, nameSort);
                };
            break;
        case 2: compare = byPages; break;
        case 3: compare = bySize; break;
        case 4: compare = byDate; break;
        default: break;
        }
    }
    if (!compare)
        return order;
    const int dir = state.direction;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compare(doc.entry(a), doc.entry(b)) * dir < 0;
    });
    return order;
}

}  // namespace tnw::app
