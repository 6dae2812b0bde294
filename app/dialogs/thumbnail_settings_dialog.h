// The reduction settings dialog "縮小設定": the box size (the size table or "その他" with a
// custom width and height, 60..1200) and the frame colours of the selection and edit modes.
#pragma once

#include "app/core/settings/tnl_settings.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QSpinBox;
class QToolButton;

namespace tnw::app {

class ThumbnailSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `pickColour` stands for the colour chooser (tests give their own).
    using ColourPicker = std::function<QColor(const QColor& current, QWidget* parent)>;
    ThumbnailSettingsDialog(const TnlSettings& settings, QWidget* parent = nullptr,
                            ColourPicker pickColour = {});

    // The settings as edited (nMode and szBackSel unchanged).
    TnlSettings settings() const;

private:
    void sizeChosen(int index);
    void showSwatch(QToolButton* swatch, const QColor& colour);

    TnlSettings m_settings;
    ColourPicker m_pick;
    QComboBox* m_size;
    QSpinBox* m_width;
    QSpinBox* m_height;
    QToolButton* m_prtSwatch;
    QToolButton* m_moveSwatch;
};

}  // namespace tnw::app
