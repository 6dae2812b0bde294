// The PDF version of the settings dialog: the PDF 1.x versions the writer's output conforms to,
// "1.1" to "1.7". A stored pair outside them stands for 1.1, in the box and in a run.
#pragma once

#include <string>
#include <string_view>

namespace tnw::app {

struct PdfVersion {
    int major = 1;
    int minor = 1;
};

// The pair as a run uses it: itself when it is 1.1 to 1.7, otherwise 1.1.
PdfVersion usableVersion(int major, int minor);

// The box's text for a stored pair ("1.4"; "1.1" for a pair outside the range).
std::string versionText(int major, int minor);

// The text typed into the box: exactly "1.1" to "1.7". False for anything else.
bool parseVersion(std::string_view text, PdfVersion& version);

}  // namespace tnw::app
