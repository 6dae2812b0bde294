// Which folders a choice in the folder tree reports to the frame.
#pragma once

#include <string>
#include <vector>

namespace tnw::app {

struct FolderReport {
    std::string path;  // code page 932
    int flag = 0;      // 0 a new choice, 1 an additional folder
};

// In folder mode (`mode` > 0) with a batch level above 0, choosing a folder that has child
// folders reports each child in turn, the first as a new choice and the rest as additions;
// otherwise (a folder without child folders included) the chosen folder alone, as a new
// choice. `batchLevel` is the frame's copy of nBatchLevel.
std::vector<FolderReport> batchReports(const std::string& chosen, int mode, int batchLevel,
                                       const std::vector<std::string>& childFolders);

}  // namespace tnw::app
