// Opening a folder of 10,000 sub-folders: in the folder tree (listing the level and asking the
// first screenful of items whether they have sub-folders, as the view does) and as the folder
// list of folder mode (one row per sub-folder with its own ".jpg" count).
#include "app/core/tree/folder_list_model.h"
#include "app/core/tree/folder_tree_model.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

constexpr int kFolders = 10000;
constexpr int kScreenful = 40;

// One shared fixture: 10,000 folders "box00001" ..., every tenth holding a sub-folder and two
// JPEG names, made once.
const std::string& bigFolder()
{
    static std::unique_ptr<tnw::test::TempDir> dir;
    static std::string folder;
    if (!dir) {
        dir = std::make_unique<tnw::test::TempDir>();
        folder = dir->file("big");
        std::filesystem::create_directory(folder);
        char name[32];
        for (int i = 0; i < kFolders; ++i) {
            std::snprintf(name, sizeof name, "/box%05d", i);
            const std::string sub = folder + name;
            std::filesystem::create_directory(sub);
            if (i % 10 == 0) {
                std::filesystem::create_directory(sub + "/inner");
                tnw::test::writeFile(sub + "/a.jpg", "");
                tnw::test::writeFile(sub + "/b.jpg", "");
            }
        }
    }
    return folder;
}

void BM_TreeOpensFolder(benchmark::State& state)
{
    const std::string folder = bigFolder();
    for (auto _ : state) {
        tnw::app::FolderTreeModel model;
        const QModelIndex index = model.locate(folder);
        model.fetchMore(index);
        int withChildren = 0;
        for (int r = 0; r < kScreenful; ++r)
            withChildren += model.hasChildren(model.index(r, 0, index)) ? 1 : 0;
        benchmark::DoNotOptimize(withChildren);
        if (model.rowCount(index) != kFolders)
            state.SkipWithError("wrong row count");
    }
    state.counters["folders"] = kFolders;
}
BENCHMARK(BM_TreeOpensFolder)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FolderListOfFolder(benchmark::State& state)
{
    const std::string folder = bigFolder();
    for (auto _ : state) {
        tnw::app::FolderRowsResult rows = tnw::app::listChildFolderRows(folder, true, {});
        tnw::app::FolderListModel model;
        model.setRows(std::move(rows.rows));
        if (model.rowCount() != kFolders + 1)
            state.SkipWithError("wrong row count");
    }
    state.counters["folders"] = kFolders;
}
BENCHMARK(BM_FolderListOfFolder)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
