// The run fields of ConvSettings: written into the program's in-memory copy before every
// conversion, never stored in the settings file.
#pragma once

#include "app/core/settings/app_settings.h"

#include "ConvSettings.h"

namespace tnw::app {

enum class RunForm {
    GuiFiles,            // the main window's conversion, file mode
    GuiFolders,          // the main window's conversion, folder mode
    CommandLineFiles,    // files named on the command line
    CommandLineFolders,  // folders named on the command line
};

// Writes nRunFlagA, nRunFlagB, nPdfVerMajor, nPdfVerMinor, nRunFlagC, nRunVerify, nRunFlagD
// and, in the main window's folder mode only, nSubDirMirror.
void writeRunFields(ConvSettings& record, const AppSettings& app, RunForm form);

}  // namespace tnw::app
