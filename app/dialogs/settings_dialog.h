// The operation settings dialog "動作設定" (also the run form "PDF変換の実行…" before a
// conversion from the window and the command-line form): widgets only. What it edits, its
// lists, previews, history and checks are OperationSettings'; OK saves only when every check
// passed, Cancel leaves the settings file as it was.
#pragma once

#include "app/core/run/operation_settings.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tnw::app {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Stands for the folder picker (tests give their own): the chosen folder, "" for none.
    using FolderPicker = std::function<QString(QWidget* parent, const QString& start)>;

    // `folder`: the folder shown (the run form puts it in its title). The form must be open.
    SettingsDialog(OperationSettings& form, SettingsForm kind, const QString& folder,
                   QWidget* parent = nullptr, FolderPicker pick = {});

    void accept() override;

    // Opens the editor for one meta string (kinds 1 to 5).
    void editMeta(MetaKind kind);
    // Opens the sheet library's paper form dialog on the program's tnwForm.ini.
    void editPaperForms();

signals:
    // The paper form dialog saved tnwForm.ini: the lists match their paper sizes again.
    void paperFormsSaved();

private:
    QWidget* outputPage();
    QWidget* pdfPage();
    QWidget* otherPage();
    void rebuildNameLists();
    void updateEnabled();
    void showPreviews();
    void fillHistory();
    void historyActivated(int index);
    void browseFolder();
    void readControls();
    QLabel* display(const char* name);
    QToolButton* metaButton(MetaKind kind, const char* name);

    OperationSettings& m_form;
    FolderPicker m_pick;
    QComboBox* m_tif2pdf = nullptr;
    QButtonGroup* m_folding = nullptr;
    QComboBox* m_foldSub1 = nullptr;
    QLabel* m_foldSub1Label = nullptr;
    QLabel* m_fold2Label = nullptr;
    QLabel* m_foldSub2Label = nullptr;
    QComboBox* m_fold2 = nullptr;
    QToolButton* m_browse = nullptr;
    QComboBox* m_foldSub2 = nullptr;
    QComboBox* m_nameFile = nullptr;
    QComboBox* m_nameDir = nullptr;
    QLabel* m_nameFileLabel = nullptr;
    QLabel* m_nameDirLabel = nullptr;
    QComboBox* m_filing = nullptr;
    QLineEdit* m_version = nullptr;
    QLineEdit* m_texts[4] = {};
    QCheckBox* m_showDlgParm = nullptr;
    QCheckBox* m_showDlg = nullptr;
    QCheckBox* m_makeLog = nullptr;
    QCheckBox* m_keepJpeg = nullptr;
    QCheckBox* m_showLog = nullptr;
    QComboBox* m_nameLog = nullptr;
    QLabel* m_nameLogLabel = nullptr;
    QLabel* m_displays[6] = {};      // by meta kind 1..5
    QToolButton* m_metaButtons[6] = {};
};

}  // namespace tnw::app
