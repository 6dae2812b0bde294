// The main window's settings, conversion and log commands: the operation settings dialog (its
// settings and run forms), the conversion of the checked entries, the log, the mode switch and
// the extended settings.
#include "app/view/main_window.h"

#include "app/core/run/conv_library.h"
#include "app/core/lists/list_document.h"
#include "app/core/lists/list_models.h"
#include "app/core/lists/list_sort.h"
#include "app/core/undo/list_editor.h"
#include "app/core/run/conversion_runner.h"
#include "app/core/run/operation_settings.h"
#include "app/core/tree/folder_list_model.h"
#include "app/core/run/desktop_open.h"
#include "app/dialogs/mode_switch_dialog.h"
#include "app/dialogs/settings_dialog.h"
#include "app/view/list_pane.h"
#include "app/view/messages.h"
#include "common/platform/files.h"
#include "common/platform/qt_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace tnw::app {

bool MainWindow::showSettingsDialog(bool runForm)
{
    OperationSettingsFiles files;
    files.iniPath = m_files.iniPath;
    files.historyPath = outputHistoryPath();
    files.io = m_files.settingsIo;
    OperationSettings form(files);
    form.open(m_frame.mode() > 0);
    const ConvSettings convBefore = m_frame.conv();
    const AppSettings before = m_frame.app();
    const SettingsForm kind = runForm ? SettingsForm::Run : SettingsForm::Settings;
    SettingsDialog dialog(form, kind, platform::fromCp932(m_frame.folderShown()), this);
    connect(&dialog, &SettingsDialog::paperFormsSaved, this,
            [this] { m_frame.send(Hint::PaperFormsChanged); });
    if (dialog.exec() != QDialog::Accepted)
        return false;

    // The frame takes both records afresh, then applies what changed.
    ConvSettings conv{};
    if (m_files.settingsIo.load)
        m_files.settingsIo.load(m_files.iniPath.c_str(), &conv);
    LoadAppSettings(m_frame.app(), m_files.iniPath);
    const AfterSettings next = afterSettingsOk(kind, convBefore, conv, before, m_frame.app(),
                                               m_doc->entryCount() == 0);
    const ListColumnSettings* columns = columnsOf(m_frame.app(), fileKind());
    const bool sorted =
        columns && usableSort(columns->nSortNo, columns->nSortDir,
                              int(listColumns(fileKind()).size()))
                           .direction != 0;
    if (next.resortFiles && sorted) {
        // One undo step: undo brings back the order and the order kind it had.
        m_editor->recordSort(ListSide::Files, [this, &conv] {
            m_frame.conv() = conv;
            applyFileSort(false, -1);
        });
    } else {
        m_frame.conv() = conv;
    }
    if (next.stopRun)
        showInfo(this, QString::fromUtf8("[サブフォルダの表示] が変更されています。[実行] を中止します。"));
    if (next.rebuildLists)
        refresh();
    return !next.stopRun;
}

void MainWindow::runSettings()
{
    showSettingsDialog(false);
}

void MainWindow::runConversion()
{
    // The file list is what a run converts: a page list edited on its own is not.
    if (m_frame.mode() == 0 && !m_frame.snapshot().inStep &&
        !askYesNo(this, QString::fromUtf8("ﾍﾟｰｼﾞﾘｽﾄの順序は変換に使われません。ﾌｧｲﾙﾘｽﾄの順序で変換しますか？")))
        return;
    if (m_frame.conv().nShowDlgParm != 0 && !showSettingsDialog(true))
        return;
    m_lastLog.clear();
    AppSettings app;
    LoadAppSettings(app, m_files.iniPath);
    const bool folders = m_frame.mode() > 0;
    const std::vector<std::string> inputs =
        folders ? checkedFolders(m_folderModel->rows(), app) : checkedFiles(*m_doc);

    std::unique_ptr<ConvLibrary> library = makeConvLibrary();
    ConversionRunner runner(*library, m_files.iniPath,
                            [](const std::string& path) { openWithDesktop(path); });
    {
        FrameState::BusyGuard guard(m_frame);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (folders)
            runner.runFolders(m_frame.folderShown(), inputs);
        else
            runner.runFiles(m_frame.folderShown(), inputs);
        QApplication::restoreOverrideCursor();
    }
    m_lastLog = runner.lastLog();
}

void MainWindow::openLogFile()
{
    QString start = platform::fromCp932(m_frame.folderShown());
    if (!m_lastLog.empty())
        start = QFileInfo(platform::fromCp932(m_lastLog)).absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(
        this, QString::fromUtf8("ﾛｸﾞﾌｧｲﾙを開く"), start,
        QString::fromUtf8("CSVﾌｧｲﾙ (*.csv);;All Files (*)"));
    if (chosen.isEmpty())
        return;
    std::string path;
    if (platform::fromOsPath(QFile::encodeName(chosen).toStdString(), path))
        openWithDesktop(path);
}

void MainWindow::showMode()
{
    if (m_frame.mode() > 0) {
        m_frame.setListKind(m_folderModel->layoutKind());
        m_listPane->showKind(m_frame.listKind());
    } else {
        showListKind(fileKind());
    }
}

void MainWindow::runModeSwitch()
{
    ModeSwitchDialog dialog(m_frame.mode(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ModeSwitchDialog::save(m_files.settingsIo, m_files.iniPath, dialog.mode());
    m_frame.conv().nMode = dialog.mode();
    m_frame.conv().nBatchLevel = 0;
    m_frame.send(Hint::ModeChanged);
    refresh();
    showMode();
}

void MainWindow::runExtendedSettings()
{
    const AppSettings before = m_frame.app();
    ExtendedSettingsDialog dialog(before, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const AppSettings after = dialog.settings();
    SaveAppSettings(after, m_files.iniPath);
    LoadAppSettings(m_frame.app(), m_files.iniPath);
    if (subFolderDisplayDiffers(before, m_frame.app()))
        refresh();
}

}  // namespace tnw::app
