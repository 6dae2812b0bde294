#include "app/core/undo/row_edits.h"

#include <algorithm>
#include <unordered_set>

namespace tnw::app {

SelectionSummary summarize(const std::vector<RowState>& rows)
{
    SelectionSummary s;
    s.rows = int(rows.size());
    for (int i = 0; i < s.rows; ++i) {
        if (!rows[size_t(i)].selected)
            continue;
        ++s.selected;
        if (s.first < 0)
            s.first = i;
        s.last = i;
    }
    return s;
}

std::vector<RowState> moveUp(std::vector<RowState> rows)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].selected)
            continue;
        if (i == 0)
            break;
        std::swap(rows[i], rows[i - 1]);
    }
    return rows;
}

std::vector<RowState> moveDown(std::vector<RowState> rows)
{
    for (size_t i = rows.size(); i-- > 0;) {
        if (!rows[i].selected)
            continue;
        if (i + 1 == rows.size())
            break;
        std::swap(rows[i], rows[i + 1]);
    }
    return rows;
}

std::vector<RowState> moveToTop(std::vector<RowState> rows)
{
    const SelectionSummary s = summarize(rows);
    if (!s.someButNotAll())
        return rows;
    for (int n = 0; n < s.first; ++n)
        rows = moveUp(std::move(rows));
    return rows;
}

std::vector<RowState> moveToBottom(std::vector<RowState> rows)
{
    const SelectionSummary s = summarize(rows);
    if (!s.someButNotAll())
        return rows;
    for (int n = 0; n < s.rows - s.last - 1; ++n)
        rows = moveDown(std::move(rows));
    return rows;
}

std::vector<RowState> swapSelected(std::vector<RowState> rows)
{
    const SelectionSummary s = summarize(rows);
    if (s.selected == 2)
        std::swap(rows[size_t(s.first)], rows[size_t(s.last)]);
    return rows;
}

std::vector<RowState> removeSelected(std::vector<RowState> rows)
{
    std::erase_if(rows, [](const RowState& r) { return r.selected; });
    return rows;
}

std::vector<int> selectedKeys(const std::vector<RowState>& rows)
{
    std::vector<int> keys;
    for (const RowState& r : rows) {
        if (r.selected)
            keys.push_back(r.key);
    }
    return keys;
}

std::vector<RowState> paste(std::vector<RowState> rows, const std::vector<int>& keys)
{
    const SelectionSummary s = summarize(rows);
    const size_t at = s.first < 0 ? rows.size() : size_t(s.first);
    for (RowState& r : rows)
        r.selected = false;
    std::vector<RowState> inserted;
    inserted.reserve(keys.size());
    for (int key : keys)
        inserted.push_back({key, true});
    rows.insert(rows.begin() + std::ptrdiff_t(at), inserted.begin(), inserted.end());
    return rows;
}

std::vector<int> fileSequence(const std::vector<int>& rowEntries)
{
    std::vector<int> files;
    std::unordered_set<int> seen;
    for (int entry : rowEntries) {
        if (seen.insert(entry).second)
            files.push_back(entry);
    }
    return files;
}

int navigateFile(const std::vector<int>& rowEntries, int current, int step, int toEnd)
{
    const std::vector<int> files = fileSequence(rowEntries);
    if (files.empty())
        return -1;
    if (toEnd < 0)
        return 0;
    if (toEnd > 0)
        return int(files.size()) - 1;
    if (current < 0 || current >= int(rowEntries.size()))
        return step > 0 ? 0 : -1;
    const auto at = std::find(files.begin(), files.end(), rowEntries[size_t(current)]);
    const int target = int(at - files.begin()) + (step > 0 ? 1 : -1);
    return target >= 0 && target < int(files.size()) ? target : -1;
}

}  // namespace tnw::app
