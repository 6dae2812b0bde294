// The thumbnail settings of section TNL: the marking mode, the box (a size number of the size
// table or a custom size) and the three frame colours. Colours are read field by field with
// the profile integer rule and clamped; fewer than three fields give the key's default.
#pragma once

#include <QColor>
#include <QSize>
#include <QStringList>

#include <string>

namespace tnw::app {

struct TnlSettings {
    int nMode = 1;     // 1 selection, 2 marking by list selection, 3 edit; others read as 3
    int nPartial = 0;  // read, forced to 0, never written
    int nSizeNo = 3;   // 0..10 the size table, 11 custom
    int nXdots = 80;
    int nYdots = 80;
    QColor backSel{255, 0, 255};
    QColor backPrt{0, 0, 255};
    QColor backMove{0, 255, 255};

    // The box of the size number (custom sizes clamped to 60..1200).
    QSize box() const;
};

constexpr int kCustomSizeNo = 11;
// The size combo's texts: "60X60" ... "320X320", "その他".
QStringList sizeTexts();

TnlSettings LoadTnlSettings(const std::string& iniPath);
// Writes nMode, nSizeNo, nXdots and nYdots of the derived box, and the three colours as
// "%03d,%03d,%03d", in one replacement of the file.
bool SaveTnlSettings(const TnlSettings& settings, const std::string& iniPath);
// Writes nMode alone (the mode commands).
bool SaveTnlMode(int mode, const std::string& iniPath);

// A colour text read by the rule above.
QColor parseColour(const char* text, const QColor& fallback);

}  // namespace tnw::app
