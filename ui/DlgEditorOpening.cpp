// Sets handed to the main window from outside and the failures of opening:
// a set that arrives while a dialog, a menu, a save or an open runs waits
// for it to end; an engine that did not start is shown once; an open that
// fails after the format check says why.
#include "DlgEditor.h"

#include "app/SharedInstance.h"
#include "engine/ObsMain.h"
#include "engine/SourceTypes.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "model/SetSaving.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QTimer>
#include <cerrno>

namespace {

// How often a waiting set looks whether the editor is free.
constexpr int kQueuePollMs = 100;

constexpr const char* kLayerSourceType = "image_source";

}  // namespace

CDlgEditor::BusyScope::BusyScope(CDlgEditor& editor) : m_editor(editor), m_mark(std::make_unique<InstanceBusyMark>())
{
    ++m_editor.m_busyDepth;
}

CDlgEditor::BusyScope::~BusyScope() { --m_editor.m_busyDepth; }

bool CDlgEditor::IsBusy() const
{
    if (m_busyDepth > 0 || QApplication::activePopupWidget())
        return true;
    // The editor itself runs modally; anything modal above it is a dialog.
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != this;
}

void CDlgEditor::BringToFront()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void CDlgEditor::RequestOpen(const std::wstring& path)
{
    BringToFront();
    if (path.empty())
        return;
    m_queuedOpens.push_back(path);
    if (!m_queueTimer) {
        m_queueTimer = new QTimer(this);
        m_queueTimer->setSingleShot(true);
        QObject::connect(m_queueTimer, &QTimer::timeout, this, [this] { OpenQueuedSets(); });
    }
    // Never inside the caller: the open may ask questions of its own.
    if (!m_queueTimer->isActive())
        m_queueTimer->start(0);
}

void CDlgEditor::OpenQueuedSets()
{
    if (m_shutDown || m_closing || m_queuedOpens.empty())
        return;
    if (IsBusy()) {
        m_queueTimer->start(kQueuePollMs);
        return;
    }
    const std::wstring path = m_queuedOpens.front();
    m_queuedOpens.erase(m_queuedOpens.begin());
    OpenFromCommandLine(path);
    if (!m_queuedOpens.empty() && !m_queueTimer->isActive())
        m_queueTimer->start(kQueuePollMs);
}

void CDlgEditor::ReportEngineFailure()
{
    std::wstring reason;
    switch (m_engine ? m_engine->GetStartResult() : ObsBasic::StartResult::Failed) {
    case ObsBasic::StartResult::AudioFailed: reason = Lang::LoadLangString(941); break;
    case ObsBasic::StartResult::VideoFailed: reason = Lang::FormatLangString(942, m_engine->GetVideoResult()); break;
    default: reason = Lang::LoadLangString(943); break;
    }
    ShowMessageBox(this, Lang::FormatLangString(940, reason));
}

std::wstring CDlgEditor::OpenFailureText(const CMultiViewSource* scene, const std::wstring& folder) const
{
    const int error = scene ? scene->GetOpenError() : 0;
    if (error == EINVAL)
        return Lang::LoadLangString(317);
    if (error != 0)
        return Lang::FormatLangString(946, folder, SystemErrorMessage(error));
    if (!m_engine || !m_engine->IsStarted())
        return Lang::LoadLangString(944);
    if (!IsSourceTypeRegistered(kLayerSourceType))
        return Lang::FormatLangString(945, std::wstring(L"image_source"));
    return Lang::LoadLangString(947);
}
