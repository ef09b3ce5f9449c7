// The editor's video format: the frame menu offers the project formats, and
// a choice resets the engine's canvas while the open set stays as it is, with
// its unsaved edits and its place in the history.
#include "DlgEditor.h"

#include "app/SettingsFiles.h"
#include "app/VideoFormats.h"
#include "engine/ObsMain.h"
#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "preview/ObsQtWindow.h"
#include "ui/EditHistory.h"
#include "ui/MessageBox.h"

#include <QMenu>
#include <obs.h>

QMenu* CDlgEditor::MakeVideoFormatMenu(QWidget* parent)
{
    auto* formats = new QMenu(QString::fromStdWString(Lang::LoadLangString(1110)), parent);
    int id = ID_VIDEO_FORMAT_FIRST;
    for (const VideoFormat& format : OfferedVideoFormats()) {
        if (id > ID_VIDEO_FORMAT_LAST)
            break;
        QAction* action = formats->addAction(QString::fromStdWString(format.name));
        lumora::SetControlId(action, id++);
        action->setCheckable(true);
        action->setChecked(SettingsUseVideoFormat(g_settings, format));
    }
    return formats;
}

int CDlgEditor::ResetEngineVideo()
{
    if (!m_engine || !m_engine->IsStarted())
        return OBS_VIDEO_FAIL;
    return m_engine->ApplyVideoSettings();
}

void CDlgEditor::OnVideoFormat(int id)
{
    const std::vector<VideoFormat>& formats = OfferedVideoFormats();
    const size_t index = static_cast<size_t>(id - ID_VIDEO_FORMAT_FIRST);
    if (index >= formats.size() || SettingsUseVideoFormat(g_settings, formats[index]))
        return;
    const VideoFormat& chosen = formats[index];

    // Edits not yet recorded become a step of their own, so the set put back
    // below is exactly what the user sees.
    std::shared_ptr<const SetSnapshot> state;
    if (m_scene) {
        m_history->Record();
        state = TakeSetSnapshot(*m_scene);
    }
    const ProjectSettings before = g_settings;
    ApplyVideoFormat(g_settings, chosen);
    if (const int result = ResetEngineVideo(); result != OBS_VIDEO_SUCCESS) {
        g_settings = before;
        ResetEngineVideo();
        ShowMessageBox(this, Lang::FormatLangString(1111, chosen.name, result, before.FormatName));
        return;
    }
    WriteSettingsFile();

    // The layers' items are made again on the new canvas from their
    // records, whose places are fractions of the canvas.
    if (m_scene && state) {
        m_scene->SetCanvasFormat(g_settings.Width, g_settings.Height, g_settings.FrameRate);
        m_scene->RestoreSnapshot(*state);
        OnHistoryRestored();
    }
    ApplyLayout();
    // The preview keeps its size but not its scale: the canvas it fits changed.
    if (m_preview) {
        const ClientSize size = m_preview->GetClientSize();
        m_preview->OnResize(size.width, size.height);
    }
}
