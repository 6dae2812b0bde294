// The order edits of the file and page lists as pure functions on rows: each row is a key (an
// entry id, or a page row's index into a table the caller keeps) with its selection. A move
// walks the rows swapping selected rows with a neighbour, so every row keeps its selection and
// the selected rows keep their gaps.
#pragma once

#include <vector>

namespace tnw::app {

struct RowState {
    int key = 0;
    bool selected = false;

    bool operator==(const RowState&) const = default;
};

// The edit kinds of the undo steps; the numbers are those of the original history.
enum class EditKind : int {
    Copy = 2, Cut = 3, Paste = 4, Delete = 5, Swap = 6, Sort = 7, Marks = 8,
    Up = 9, Down = 10, ToTop = 11, ToBottom = 12, SyncPages = 13,
};

// What the availability of the edits needs of a list's selection.
struct SelectionSummary {
    int rows = 0;
    int selected = 0;
    int first = -1;  // first selected row, -1 none
    int last = -1;   // last selected row, -1 none

    bool some() const { return selected > 0; }
    bool someButNotAll() const { return selected > 0 && selected < rows; }
    bool canMoveUp() const { return someButNotAll() && first > 0; }
    bool canMoveDown() const { return someButNotAll() && last < rows - 1; }
};
SelectionSummary summarize(const std::vector<RowState>& rows);

// Up one: from the top, each selected row swaps with the row above; the walk stops at a
// selected top row. Down one likewise from the bottom.
std::vector<RowState> moveUp(std::vector<RowState> rows);
std::vector<RowState> moveDown(std::vector<RowState> rows);
// The first selected row to the top (the last to the bottom), gaps kept; nothing when every
// row is selected.
std::vector<RowState> moveToTop(std::vector<RowState> rows);
std::vector<RowState> moveToBottom(std::vector<RowState> rows);
// The two selected rows exchange places; nothing unless exactly two are selected.
std::vector<RowState> swapSelected(std::vector<RowState> rows);
// The selected rows removed.
std::vector<RowState> removeSelected(std::vector<RowState> rows);
// The keys of the selected rows, in order.
std::vector<int> selectedKeys(const std::vector<RowState>& rows);
// `keys` inserted before the first selected row (at the end when none is), the inserted rows
// selected and every other row not.
std::vector<RowState> paste(std::vector<RowState> rows, const std::vector<int>& keys);

// Page navigation: the files of the page list in the order their first page appears, and the
// file to go to from the file of row `current` (-1 none): `step` -1 previous, 1 next, or
// `toEnd` -1 the first file, 1 the last. Returns the file's position in that order, -1 for no
// move (past either end, or an empty list). With no current row "next" goes to the first file.
std::vector<int> fileSequence(const std::vector<int>& rowEntries);
int navigateFile(const std::vector<int>& rowEntries, int current, int step, int toEnd);

}  // namespace tnw::app
