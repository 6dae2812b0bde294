#include "app/core/frame/frame_state.h"

#include <utility>

namespace tnw::app {

ConvSettingsIo libraryConvSettingsIo()
{
    static const std::unique_ptr<ConvLibrary> library = makeConvLibrary();
    return settingsIoOf(*library);
}

FrameState::FrameState(std::string iniPath, QObject* parent)
    : QObject(parent), m_iniPath(std::move(iniPath))
{
}

void FrameState::create(const ConvSettingsIo& io)
{
    m_conv = ConvSettings{};
    if (io.load)
        io.load(m_iniPath.c_str(), &m_conv);
    m_conv.nNameSort = 1;
    if (io.save)
        io.save(m_iniPath.c_str(), &m_conv);
    // A batch of sub-folders is not taken from the file in folder mode; only a settings
    // dialog's OK turns it on for this run.
    if (m_conv.nMode != 0 && m_conv.nBatchLevel != 0)
        m_conv.nBatchLevel = 0;
    LoadAppSettings(m_app, m_iniPath);
    m_listKind = kListFile;
    SaveCurrentList(m_app, kListFile, m_iniPath);
    emit stateChanged();
}

void FrameState::setListKind(int kind)
{
    if (kind == m_listKind)
        return;
    m_listKind = kind;
    SaveCurrentList(m_app, kind, m_iniPath);
    emit listKindChanged(kind);
    emit stateChanged();
}

void FrameState::setFolderShown(const std::string& folder)
{
    m_folderShown = folder;
}

void FrameState::setListCounts(int fileRows, bool fileRowSelected, int pageRows)
{
    if (fileRows == m_fileRows && fileRowSelected == m_fileRowSelected && pageRows == m_pageRows)
        return;
    m_fileRows = fileRows;
    m_fileRowSelected = fileRowSelected;
    m_pageRows = pageRows;
    emit stateChanged();
}

void FrameState::setInStep(bool inStep)
{
    if (inStep == m_inStep)
        return;
    m_inStep = inStep;
    emit stateChanged();
}

void FrameState::setEditorMode(int mode)
{
    if (mode == m_editorMode)
        return;
    m_editorMode = mode;
    emit stateChanged();
}

void FrameState::setEditState(const EditState& edit)
{
    if (edit == m_edit)
        return;
    m_edit = edit;
    emit stateChanged();
}

void FrameState::setFeatures(unsigned features)
{
    if (features == m_features)
        return;
    m_features = features;
    emit stateChanged();
}

FrameSnapshot FrameState::snapshot() const
{
    FrameSnapshot s;
    s.busy = busy();
    s.mode = mode();
    s.listKind = m_listKind;
    s.inStep = m_inStep;
    s.fileRows = m_fileRows;
    s.fileRowSelected = m_fileRowSelected;
    s.pageRows = m_pageRows;
    s.editorMode = m_editorMode;
    s.edit = m_edit;
    s.features = m_features;
    return s;
}

void FrameState::send(Hint hint, const std::string& path)
{
    switch (hint) {
    case Hint::ModeChanged:
        emit modeChanged();
        break;
    case Hint::ListKindChanged:
        emit listKindChanged(m_listKind);
        break;
    case Hint::PaperFormsChanged:
        emit paperFormsChanged();
        break;
    case Hint::SyncPages:
        emit pagesSynced();
        break;
    case Hint::OrderEdited:
        emit orderEdited();
        break;
    case Hint::PageNavigation:
        emit pageNavigated();
        break;
    case Hint::AddressEntered:
        emit addressEntered(QByteArray::fromStdString(path));
        break;
    case Hint::Refresh:
        emit refreshRequested();
        break;
    case Hint::FiltersChanged:
        emit filtersChanged();
        break;
    }
}

FrameState::BusyGuard::BusyGuard(FrameState& frame) : m_frame(frame)
{
    if (m_frame.m_busy++ == 0) {
        emit m_frame.busyChanged(true);
        emit m_frame.stateChanged();
    }
}

FrameState::BusyGuard::~BusyGuard()
{
    m_frame.endBusy();
}

void FrameState::endBusy()
{
    if (--m_busy > 0)
        return;
    emit busyChanged(false);
    emit stateChanged();
    if (m_closePending) {
        m_closePending = false;
        emit closeDeferred();
    }
}

bool FrameState::requestClose()
{
    if (!busy())
        return true;
    m_closePending = true;
    return false;
}

}  // namespace tnw::app
