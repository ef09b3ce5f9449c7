#include "WndEditorBase.h"

#include "ui/MessageTarget.h"

CWndEditorBase::CWndEditorBase(int templateId, QWidget* parent, CDlgEditor* editor)
    : CMyDialog(templateId, parent), m_editor(editor)
{
    m_messages = new CMessageTarget(
        [this](unsigned message, WPARAM w, LPARAM l) { return OnWindowMessage(message, w, l); }, this);
}

bool CWndEditorBase::SetScene(CMultiViewSource* scene)
{
    m_sceneChanged = scene != m_scene;
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
