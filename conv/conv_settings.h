// Loading and saving the conversion settings record from and to the settings file.
#pragma once

#include "ConvSettings.h"

namespace tnw::conv {

// Fills `record` from the sections "PageInfo" and "Settings"; missing keys take their defaults.
void loadSettings(const char* iniPath, ConvSettings& record);
// Writes every stored field in the file's fixed order. False when a write failed.
bool saveSettings(const char* iniPath, const ConvSettings& record);

}  // namespace tnw::conv
