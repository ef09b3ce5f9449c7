#include "WndEditorPosition.h"

#include "model/MultiViewSource.h"

CWndEditorPosition::CWndEditorPosition(QWidget* parent, CDlgEditor* editor) : CWndEditorBase(394, parent, editor) {}
void CWndEditorPosition::MarkInvalid(int) {}
bool CWndEditorPosition::Validate(std::wstring&, int&) { return true; }

namespace {

// The selected index counts the set's group item first.
int SelectedLayer(CMultiViewSource* scene) { return scene ? scene->GetSelectedIndex() - 1 : -1; }

}  // namespace

void CWndEditorPosition::MoveLayerUp()
{
    if (SelectedLayer(m_scene) >= 0)
        m_scene->MoveLayerUp(SelectedLayer(m_scene));
}

void CWndEditorPosition::MoveLayerDown()
{
    if (SelectedLayer(m_scene) >= 0)
        m_scene->MoveLayerDown(SelectedLayer(m_scene));
}
