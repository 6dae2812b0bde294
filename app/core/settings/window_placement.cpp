#include "app/core/settings/window_placement.h"

#include "app/core/settings/profile_values.h"
#include "common/platform/profile.h"

namespace tnw::app {
namespace {

const char kWindow[] = "WINDOW";
constexpr int kMinPane = 20;

struct PlacementKey {
    const char* key;
    int WindowPlacement::*field;
    int def;
};

// In the order they are written.
const PlacementKey kKeys[] = {
    {"nShowMax", &WindowPlacement::nShowMax, 0}, {"nPaneLeft", &WindowPlacement::nPaneLeft, 160},
    {"nLeft", &WindowPlacement::nLeft, 132},     {"nTop", &WindowPlacement::nTop, 132},
    {"nRight", &WindowPlacement::nRight, 900},   {"nBottom", &WindowPlacement::nBottom, 660},
};

}  // namespace

int LoadWindowPlacement(WindowPlacement& placement, const std::string& iniPath)
{
    platform::ProfileBatch batch(iniPath.c_str());
    for (const PlacementKey& k : kKeys)
        placement.*(k.field) = platform::GetPrivateProfileInt(kWindow, k.key, k.def,
                                                              iniPath.c_str());
    if (placement.nPaneLeft < kMinPane)
        placement.nPaneLeft = WindowPlacement{}.nPaneLeft;
    batch.commit();
    return 0;
}

bool SaveWindowPlacement(const WindowPlacement& placement, bool withPane,
                         const std::string& iniPath)
{
    platform::ProfileBatch batch(iniPath.c_str());
    bool ok = true;
    for (const PlacementKey& k : kKeys) {
        if (k.field == &WindowPlacement::nPaneLeft && !withPane)
            continue;
        int value = placement.*(k.field);
        if (k.field == &WindowPlacement::nShowMax)
            value = value ? 1 : 0;
        ok = writeProfileInt(kWindow, k.key, value, iniPath.c_str()) && ok;
    }
    return batch.commit() && ok;
}

}  // namespace tnw::app
