// Order editing without widgets: the row edits, and every edit of ListEditor on the list
// models with its undo (order, marks and selection after the edit and after the undo).
#include "app/core/lists/list_document.h"
#include "app/core/lists/list_models.h"
#include "app/core/tree/folder_list_model.h"
#include "app/core/undo/list_editor.h"
#include "app/core/undo/row_edits.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>

#include <memory>

using namespace tnw::app;

namespace {

std::vector<RowState> rowsOf(int count, std::initializer_list<int> selected)
{
    std::vector<RowState> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({i, false});
    for (int s : selected)
        rows[size_t(s)].selected = true;
    return rows;
}

std::vector<int> keys(const std::vector<RowState>& rows)
{
    std::vector<int> out;
    for (const RowState& r : rows)
        out.push_back(r.key);
    return out;
}

std::vector<int> selected(const std::vector<RowState>& rows)
{
    std::vector<int> out;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].selected)
            out.push_back(int(i));
    return out;
}

}  // namespace

TEST(RowEdits, MovesKeepGapsAndStopAtTheEdges)
{
    // Rows 2 and 5 to the top end at 0 and 3.
    auto top = moveToTop(rowsOf(7, {2, 5}));
    EXPECT_EQ(selected(top), (std::vector<int>{0, 3}));
    EXPECT_EQ(keys(top), (std::vector<int>{2, 0, 1, 5, 3, 4, 6}));
    auto bottom = moveToBottom(rowsOf(7, {1, 4}));
    EXPECT_EQ(selected(bottom), (std::vector<int>{3, 6}));
    // A selected top row stops the up walk; the rows below it do not move either.
    EXPECT_EQ(keys(moveUp(rowsOf(4, {0, 2}))), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(keys(moveDown(rowsOf(4, {0, 1}))), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(keys(moveDown(rowsOf(4, {1, 3}))), (std::vector<int>{0, 1, 2, 3}));
    // Every row selected, or none: nothing moves.
    EXPECT_EQ(keys(moveToTop(rowsOf(3, {0, 1, 2}))), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(keys(moveToBottom(rowsOf(3, {}))), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(moveToTop({}).empty());
    const SelectionSummary s = summarize(rowsOf(3, {0, 1}));
    EXPECT_FALSE(s.canMoveUp());
    EXPECT_TRUE(s.canMoveDown());
    EXPECT_FALSE(summarize(rowsOf(2, {0, 1})).canMoveDown());
}

TEST(RowEdits, SwapRemoveAndPaste)
{
    EXPECT_EQ(keys(swapSelected(rowsOf(4, {0, 3}))), (std::vector<int>{3, 1, 2, 0}));
    EXPECT_EQ(keys(swapSelected(rowsOf(4, {0, 1, 3}))), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(keys(removeSelected(rowsOf(4, {1, 2}))), (std::vector<int>{0, 3}));
    auto pasted = paste(rowsOf(4, {2, 3}), {9, 8});
    EXPECT_EQ(keys(pasted), (std::vector<int>{0, 1, 9, 8, 2, 3}));
    EXPECT_EQ(selected(pasted), (std::vector<int>{2, 3}));
    // No selected row: at the end.
    EXPECT_EQ(keys(paste(rowsOf(2, {}), {7})), (std::vector<int>{0, 1, 7}));
    EXPECT_EQ(keys(paste({}, {7})), (std::vector<int>{7}));
}

TEST(RowEdits, FileNavigationStaysWithinTheList)
{
    const std::vector<int> entries{4, 4, 4, 1, 2, 2};
    EXPECT_EQ(fileSequence(entries), (std::vector<int>{4, 1, 2}));
    EXPECT_EQ(navigateFile(entries, 1, 1, 0), 1);
    EXPECT_EQ(navigateFile(entries, 5, 1, 0), -1);  // past the last file
    EXPECT_EQ(navigateFile(entries, 0, -1, 0), -1);
    EXPECT_EQ(navigateFile(entries, 3, -1, 0), 0);
    EXPECT_EQ(navigateFile(entries, -1, 1, 0), 0);  // no selection: the first file
    EXPECT_EQ(navigateFile(entries, -1, -1, 0), -1);
    EXPECT_EQ(navigateFile(entries, 3, 0, 1), 2);
    EXPECT_EQ(navigateFile({}, -1, 0, -1), -1);
}

namespace {

// Five one-page JPEGs a..e and a three-page TIFF t, as the file list shows them.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { build({"a", "b", "c", "t", "d", "e"}); }

    void build(const std::vector<std::string>& names)
    {
        std::vector<FileEntry> entries;
        for (const std::string& n : names) {
            FileEntry e;
            e.name = n == "t" ? "t.tif" : n + ".jpg";
            e.path = "/d/" + e.name;
            e.kind = n == "t" ? 12 : 11;
            if (n == "t") {
                e.probe = ProbeState::Done;
                e.pages.resize(3);
            }
            entries.push_back(e);
        }
        doc.reset(std::move(entries));
        doc.buildPages();
        editor.clear();
    }

    // The file order as names, with a '*' after an unchecked one.
    std::string order() const
    {
        std::string out;
        for (int id : doc.fileOrder())
            out += doc.entry(id).name.substr(0, 1) + (doc.entry(id).checked ? "" : "*");
        return out;
    }
    std::string pages() const
    {
        std::string out;
        for (const PageRow& r : doc.pageRows())
            out += doc.entry(r.entry).name.substr(0, 1) + std::to_string(r.page);
        return out;
    }
    void selectFiles(std::initializer_list<int> rows)
    {
        fileSel.clearSelection();
        for (int r : rows)
            fileSel.select(files.index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void selectPages(std::initializer_list<int> rows)
    {
        pageSel.clearSelection();
        for (int r : rows)
            pageSel.select(pagesModel.index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    std::vector<int> fileSelection() const
    {
        std::vector<int> out;
        for (const QModelIndex& i : fileSel.selectedRows())
            out.push_back(i.row());
        std::sort(out.begin(), out.end());
        return out;
    }

    ListDocument doc;
    FileListModel files{&doc};
    PageListModel pagesModel{&doc};
    FolderListModel folders;
    QItemSelectionModel fileSel{&files};
    QItemSelectionModel pageSel{&pagesModel};
    QItemSelectionModel folderSel{&folders};
    ListEditor editor{&doc, &files, &pagesModel, &folders};
    FileSortState storedSort{3, 1, -1};
    int sortWrites = 0;

public:
    EditorTest()
    {
        editor.setSelectionModels(&fileSel, &pageSel, &folderSel);
        ListEditorHooks hooks;
        hooks.readSort = [this] { return storedSort; };
        hooks.writeSort = [this](const FileSortState& s) {
            storedSort = s;
            ++sortWrites;
        };
        editor.setHooks(hooks);
    }
};

}  // namespace

TEST_F(EditorTest, EachMoveOfTheFileListIsUndoneWholeAndEndsTheSort)
{
    selectFiles({2, 4});  // c and d
    ASSERT_TRUE(editor.move(ListSide::Files, EditKind::ToTop));
    EXPECT_EQ(order(), "cadbte");  // the gap between them kept
    EXPECT_EQ(fileSelection(), (std::vector<int>{0, 2}));
    EXPECT_EQ(pages(), "c0a0d0b0t0t1t2e0");  // the page list follows, the TIFF's pages together
    EXPECT_EQ(storedSort, FileSortState{});   // a move ends the sorted state
    ASSERT_TRUE(editor.move(ListSide::Files, EditKind::Down));
    EXPECT_EQ(order(), "acbdte");
    ASSERT_TRUE(editor.move(ListSide::Files, EditKind::ToBottom));
    EXPECT_EQ(order(), "abtced");
    EXPECT_EQ(fileSelection(), (std::vector<int>{3, 5}));
    EXPECT_FALSE(editor.move(ListSide::Files, EditKind::Down));  // the last row is selected

    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(order(), "acbdte");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(order(), "cadbte");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(order(), "abctde");
    EXPECT_EQ(fileSelection(), (std::vector<int>{2, 4}));
    EXPECT_EQ(pages(), "a0b0c0t0t1t2d0e0");
    EXPECT_EQ(storedSort, (FileSortState{3, 1, -1}));  // the stored sort is written back
    // Past the first step: nothing, no failure.
    EXPECT_FALSE(editor.undo());
    EXPECT_EQ(order(), "abctde");
}

TEST_F(EditorTest, DeleteAndSwapUndoneWithMarksAndSelection)
{
    doc.setChecked(1, false);
    selectFiles({1, 3});  // b (unchecked) and t
    ASSERT_TRUE(editor.remove());
    EXPECT_EQ(order(), "acde");
    EXPECT_EQ(pages(), "a0c0d0e0");
    EXPECT_TRUE(fileSelection().empty());
    selectFiles({0, 3});
    ASSERT_TRUE(editor.swap());
    EXPECT_EQ(order(), "ecda");
    ASSERT_TRUE(editor.undo());
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(order(), "ab*ctde");
    EXPECT_EQ(fileSelection(), (std::vector<int>{1, 3}));
    EXPECT_EQ(pages(), "a0b0c0t0t1t2d0e0");
}

TEST_F(EditorTest, UndoOfAPasteRemovesThePastedRowsAndCopyIsNoStep)
{
    selectFiles({0, 1});
    ASSERT_TRUE(editor.copy());
    EXPECT_FALSE(editor.canUndo());
    selectFiles({3});
    ASSERT_TRUE(editor.paste());
    EXPECT_EQ(order(), "abcabtde");
    EXPECT_EQ(fileSelection(), (std::vector<int>{3, 4}));  // the pasted rows end selected
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(order(), "abctde");

    selectFiles({3});
    ASSERT_TRUE(editor.cut());
    EXPECT_EQ(order(), "abcde");
    fileSel.clearSelection();
    ASSERT_TRUE(editor.paste());  // no selection: at the end
    EXPECT_EQ(order(), "abcdet");
    EXPECT_EQ(pages(), "a0b0c0d0e0t0t1t2");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(order(), "abcde");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(order(), "abctde");
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(EditorTest, MarksOfEveryListAreOneStep)
{
    ASSERT_TRUE(editor.setAllMarks(ListSide::Files, false));
    EXPECT_EQ(order(), "a*b*c*t*d*e*");
    EXPECT_EQ(doc.checkedCount(), 0);
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(doc.checkedCount(), 6);

    std::vector<FolderRow> rows(2);
    rows[0].path = "/d/x";
    rows[1].path = "/d/y";
    folders.setRows(rows);
    editor.clear();
    ASSERT_TRUE(editor.setAllMarks(ListSide::Folders, true));
    EXPECT_TRUE(folders.rows()[0].checked && folders.rows()[1].checked);
    ASSERT_TRUE(editor.undo());
    EXPECT_FALSE(folders.rows()[0].checked || folders.rows()[1].checked);
}

TEST_F(EditorTest, APageListEditLeavesTheStepUntilUndone)
{
    selectPages({4});  // t1
    ASSERT_TRUE(editor.move(ListSide::Pages, EditKind::ToTop));
    EXPECT_EQ(pages(), "t1a0b0c0t0t2d0e0");
    EXPECT_EQ(order(), "abctde");  // the file list keeps its order
    EXPECT_FALSE(editor.inStep());
    // Out of step the file list cannot be edited.
    selectFiles({1});
    EXPECT_FALSE(editor.move(ListSide::Files, EditKind::Up));
    EXPECT_FALSE(editor.remove());
    EXPECT_FALSE(editor.copy());
    ASSERT_TRUE(editor.undo());
    EXPECT_TRUE(editor.inStep());
    EXPECT_EQ(pages(), "a0b0c0t0t1t2d0e0");

    // Bringing the page list back in line is one step, selection kept.
    selectPages({7});  // e0
    ASSERT_TRUE(editor.move(ListSide::Pages, EditKind::ToTop));
    ASSERT_TRUE(editor.syncPages());
    EXPECT_TRUE(editor.inStep());
    EXPECT_EQ(pages(), "a0b0c0t0t1t2d0e0");
    EXPECT_TRUE(pageSel.isRowSelected(7));
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(pages(), "e0a0b0c0t0t1t2d0");
    EXPECT_FALSE(editor.inStep());
}

TEST_F(EditorTest, SortsAreStepsAndTheirUndoRestoresTheStoredSort)
{
    ASSERT_TRUE(editor.recordSort(ListSide::Files, [this] {
        doc.setFileOrder({5, 4, 3, 2, 1, 0}, true);
        storedSort = {1, 0, -1};
    }));
    EXPECT_EQ(order(), "edtcba");
    ASSERT_TRUE(editor.recordSort(ListSide::Pages, [this] {
        std::vector<PageRow> rows(doc.pageRows().rbegin(), doc.pageRows().rend());
        doc.setPageRows(rows);
    }));
    EXPECT_FALSE(editor.inStep());
    ASSERT_TRUE(editor.undo());
    EXPECT_TRUE(editor.inStep());
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(order(), "abctde");
    EXPECT_EQ(storedSort, (FileSortState{3, 1, -1}));
}

TEST_F(EditorTest, EmptyAndFullSelectionsChangeNothing)
{
    build({});
    for (EditKind k : {EditKind::Up, EditKind::Down, EditKind::ToTop, EditKind::ToBottom})
        EXPECT_FALSE(editor.move(ListSide::Files, k));
    EXPECT_FALSE(editor.remove());
    EXPECT_FALSE(editor.cut());
    EXPECT_FALSE(editor.copy());
    EXPECT_FALSE(editor.paste());
    EXPECT_FALSE(editor.swap());
    EXPECT_FALSE(editor.setAllMarks(ListSide::Files, true));
    EXPECT_FALSE(editor.syncPages());
    EXPECT_FALSE(editor.navigate(1, 0));
    EXPECT_FALSE(editor.undo());
    EXPECT_FALSE(editor.canUndo());

    build({"a", "b", "c"});
    editor.selectAll(ListSide::Files);
    EXPECT_EQ(fileSelection(), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(editor.move(ListSide::Files, EditKind::ToTop));
    EXPECT_FALSE(editor.move(ListSide::Files, EditKind::Down));
    EXPECT_FALSE(editor.remove());  // the whole list cannot be deleted or cut
    EXPECT_FALSE(editor.cut());
    EXPECT_TRUE(editor.copy());
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(EditorTest, ARebuildEndsTheHistoryAndTheClipboard)
{
    selectFiles({0});
    ASSERT_TRUE(editor.copy());
    ASSERT_TRUE(editor.move(ListSide::Files, EditKind::Down));
    // Another folder: two entries, ids the clipboard and the steps no longer fit.
    build({"x", "y"});
    EXPECT_FALSE(editor.canUndo());
    EXPECT_FALSE(editor.hasClipboard());
    EXPECT_FALSE(editor.paste());
    EXPECT_EQ(order(), "xy");
}

TEST_F(EditorTest, AStepThatNoLongerFitsIsReportedAndTheHistoryDropped)
{
    selectFiles({0});
    ASSERT_TRUE(editor.move(ListSide::Files, EditKind::Down));
    // The document changed under the history without a rebuild's clear.
    std::vector<FileEntry> one(1);
    doc.reset(std::move(one));
    QString message;
    QObject::connect(&editor, &ListEditor::failed, [&](const QString& m) { message = m; });
    EXPECT_FALSE(editor.undo());
    EXPECT_EQ(message, QString::fromUtf8("Undo でエラーが発生しました。編集を破棄します。"));
    EXPECT_FALSE(editor.canUndo());
    EXPECT_EQ(doc.fileOrder(), (std::vector<int>{0}));
}

TEST_F(EditorTest, PageNavigationSelectsEveryPageOfTheFile)
{
    ASSERT_TRUE(editor.navigate(1, 0));  // no selection: the first file
    EXPECT_TRUE(pageSel.isRowSelected(0));
    selectPages({2});
    pageSel.setCurrentIndex(pagesModel.index(2, 0), QItemSelectionModel::NoUpdate);
    ASSERT_TRUE(editor.navigate(1, 0));  // c -> t: its three pages
    EXPECT_EQ(pageSel.selectedRows().size(), 3);
    EXPECT_EQ(pageSel.currentIndex().row(), 3);
    ASSERT_TRUE(editor.navigate(0, 1));
    EXPECT_EQ(pageSel.currentIndex().row(), 7);
    EXPECT_FALSE(editor.navigate(1, 0));  // past the last file
    EXPECT_EQ(pageSel.currentIndex().row(), 7);
    EXPECT_FALSE(editor.canUndo());        // selection only
}
