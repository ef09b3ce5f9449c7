#include "WndEditorBase.h"

#include "ui/DlgEditor.h"
#include "ui/EditorMessages.h"

#include "ui/EditorPageStyle.h"
#include "ui/MessageTarget.h"
#include "preview/ObsQtWindow.h"

CWndEditorBase::CWndEditorBase(int templateId, QWidget* parent, CDlgEditor* editor)
    : CMyDialog(templateId, parent), m_editor(editor)
{
    setStyleSheet(EditorPageStyleSheet());
    m_messages = new CMessageTarget(
        [this](unsigned message, WPARAM w, LPARAM l) { return OnWindowMessage(message, w, l); }, this);
}

bool CWndEditorBase::SetScene(CMultiViewSource* scene)
{
    m_sceneChanged = scene != m_scene;
    if (m_sceneChanged)
        OnSceneChanging();
    m_scene = scene;
    return m_sceneChanged;
}

HWND CWndEditorBase::MessageWindow() const { return m_messages; }

LRESULT CWndEditorBase::OnWindowMessage(unsigned, WPARAM, LPARAM) { return 0; }

void CWndEditorBase::showEvent(QShowEvent* event)
{
    CMyDialog::showEvent(event);
    Refresh();
}

// No page but the one shown may let items be dragged on the canvas.
void CWndEditorBase::hideEvent(QHideEvent* event)
{
    CMyDialog::hideEvent(event);
    SetCanvasEditing(false);
}

void CWndEditorBase::SetCanvasEditing(bool enabled)
{
    if (m_preview)
        m_preview->SetEditEnabled(enabled);
}

void CWndEditorBase::RequestPreviewScene(int which)
{
    if (m_editor)
        SendMessage(m_editor->MessageWindow(), UM_PREVIEW_SCENE, static_cast<WPARAM>(which), 0);
}
