#include "app/core/text/version_rule.h"

namespace tnw::app {
namespace {

constexpr int kLowestMinor = 1;
constexpr int kHighestMinor = 7;

bool usable(int major, int minor)
{
    return major == 1 && minor >= kLowestMinor && minor <= kHighestMinor;
}

}  // namespace

PdfVersion usableVersion(int major, int minor)
{
    return usable(major, minor) ? PdfVersion{major, minor} : PdfVersion{};
}

std::string versionText(int major, int minor)
{
    const PdfVersion v = usableVersion(major, minor);
    return std::to_string(v.major) + "." + std::to_string(v.minor);
}

bool parseVersion(std::string_view text, PdfVersion& version)
{
    if (text.size() != 3 || text[0] != '1' || text[1] != '.' || text[2] < '0' || text[2] > '9')
        return false;
    const int minor = text[2] - '0';
    if (!usable(1, minor))
        return false;
    version = {1, minor};
    return true;
}

}  // namespace tnw::app
