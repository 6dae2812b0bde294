// The mode switch "ﾓｰﾄﾞの切り替え" and the extended settings "拡張設定": two small dialogs over
// the settings the lists depend on. Each saves on OK; the caller rebuilds the lists.
#pragma once

#include "app/core/settings/app_settings.h"
#include "app/core/frame/frame_state.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace tnw::app {

class ModeSwitchDialog : public QDialog {
    Q_OBJECT
public:
    ModeSwitchDialog(int mode, QWidget* parent = nullptr);
    int mode() const;

    // Saves a fresh load of the library settings with nMode set and nBatchLevel 0.
    static void save(const ConvSettingsIo& io, const std::string& iniPath, int mode);

private:
    QButtonGroup* m_modes;
};

class ExtendedSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ExtendedSettingsDialog(const AppSettings& app, QWidget* parent = nullptr);
    // The record with the dialog's values (nMakePdf 1, nPutWangA 0, a level below 1 as 1).
    AppSettings settings() const;

private:
    void updateEnabled();

    AppSettings m_app;
    QButtonGroup* m_jpg2tif;
    QButtonGroup* m_show;
    QComboBox* m_proc;
    QSpinBox* m_level;
    QCheckBox* m_zeros;
    QLabel* m_procLabel;
    QLabel* m_levelLabel;
};

}  // namespace tnw::app
