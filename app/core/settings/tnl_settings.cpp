#include "app/core/settings/tnl_settings.h"

#include "common/platform/profile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tnw::app {
namespace {

constexpr int kSizes[] = {60, 80, 100, 120, 140, 160, 180, 200, 240, 280, 320};
constexpr const char* kSection = "TNL";

int profileInt(const char* p)
{
    // Optional blanks and sign, then decimal digits; anything else 0.
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long v = 0;
    while (*p >= '0' && *p <= '9' && v < 100000)
        v = v * 10 + (*p++ - '0');
    return int(negative ? -v : v);
}

std::string colourText(const QColor& c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%03d,%03d,%03d", c.red(), c.green(), c.blue());
    return text;
}

}  // namespace

QSize TnlSettings::box() const
{
    if (nSizeNo >= 0 && nSizeNo < int(std::size(kSizes)))
        return {kSizes[nSizeNo], kSizes[nSizeNo]};
    return {std::clamp(nXdots, 60, 1200), std::clamp(nYdots, 60, 1200)};
}

QStringList sizeTexts()
{
    QStringList texts;
    for (int s : kSizes)
        texts << QStringLiteral("%1X%1").arg(s);
    texts << QString::fromUtf8("その他");
    return texts;
}

QColor parseColour(const char* text, const QColor& fallback)
{
    int values[3];
    int n = 0;
    const char* p = text;
    while (n < 3 && *p) {
        values[n++] = std::clamp(profileInt(p), 0, 255);
        const char* comma = std::strchr(p, ',');
        if (!comma)
            break;
        p = comma + 1;
    }
    if (n < 3)
        return fallback;
    return QColor(values[0], values[1], values[2]);
}

TnlSettings LoadTnlSettings(const std::string& iniPath)
{
    TnlSettings s;
    const char* path = iniPath.c_str();
    s.nMode = platform::GetPrivateProfileInt(kSection, "nMode", 1, path);
    if (s.nMode < 1 || s.nMode > 3)
        s.nMode = 3;
    (void)platform::GetPrivateProfileInt(kSection, "nPartial", 1, path);
    s.nPartial = 0;
    s.nSizeNo = platform::GetPrivateProfileInt(kSection, "nSizeNo", 3, path);
    if (s.nSizeNo < 0 || s.nSizeNo > 10)
        s.nSizeNo = kCustomSizeNo;
    s.nXdots = platform::GetPrivateProfileInt(kSection, "nXdots", 80, path);
    s.nYdots = platform::GetPrivateProfileInt(kSection, "nYdots", 80, path);
    const QSize box = s.box();
    s.nXdots = box.width();
    s.nYdots = box.height();
    char text[16];
    const TnlSettings defaults;
    platform::GetPrivateProfileString(kSection, "szBackSel", "255,000,255", text, sizeof text, path);
    s.backSel = parseColour(text, defaults.backSel);
    platform::GetPrivateProfileString(kSection, "szBackPrt", "000,000,255", text, sizeof text, path);
    s.backPrt = parseColour(text, defaults.backPrt);
    platform::GetPrivateProfileString(kSection, "szBackMove", "000,255,255", text, sizeof text, path);
    s.backMove = parseColour(text, defaults.backMove);
    return s;
}

bool SaveTnlSettings(const TnlSettings& s, const std::string& iniPath)
{
    const char* path = iniPath.c_str();
    platform::ProfileBatch batch(path);
    const QSize box = s.box();
    bool ok = platform::WritePrivateProfileString(kSection, "nMode",
                                                  std::to_string(s.nMode).c_str(), path);
    ok &= platform::WritePrivateProfileString(kSection, "nSizeNo",
                                              std::to_string(s.nSizeNo).c_str(), path);
    ok &= platform::WritePrivateProfileString(kSection, "nXdots",
                                              std::to_string(box.width()).c_str(), path);
    ok &= platform::WritePrivateProfileString(kSection, "nYdots",
                                              std::to_string(box.height()).c_str(), path);
    ok &= platform::WritePrivateProfileString(kSection, "szBackSel", colourText(s.backSel).c_str(), path);
    ok &= platform::WritePrivateProfileString(kSection, "szBackPrt", colourText(s.backPrt).c_str(), path);
    ok &= platform::WritePrivateProfileString(kSection, "szBackMove", colourText(s.backMove).c_str(), path);
    return batch.commit() && ok;
}

bool SaveTnlMode(int mode, const std::string& iniPath)
{
    return platform::WritePrivateProfileString(kSection, "nMode", std::to_string(mode).c_str(),
                                               iniPath.c_str());
}

}  // namespace tnw::app
