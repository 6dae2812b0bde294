#include "app/core/tree/batch_report.h"

namespace tnw::app {

std::vector<FolderReport> batchReports(const std::string& chosen, int mode, int batchLevel,
                                       const std::vector<std::string>& childFolders)
{
    std::vector<FolderReport> out;
    if (mode > 0 && batchLevel > 0 && !childFolders.empty()) {
        for (const std::string& child : childFolders)
            out.push_back({child, out.empty() ? 0 : 1});
        return out;
    }
    out.push_back({chosen, 0});
    return out;
}

}  // namespace tnw::app
