// The about box: the program's icon and "Korvelin Version <version>".
#pragma once

#include <QDialog>

namespace tnw::app {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(const QString& version, QWidget* parent = nullptr);

    static QString versionText(const QString& version);
};

}  // namespace tnw::app
