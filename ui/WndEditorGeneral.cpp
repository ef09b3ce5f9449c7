#include "WndEditorGeneral.h"

CWndEditorGeneral::CWndEditorGeneral(QWidget* parent, CDlgEditor* editor) : CWndEditorBase(393, parent, editor) {}
void CWndEditorGeneral::MarkInvalid(int) {}
bool CWndEditorGeneral::Validate(std::wstring&, int&) { return true; }
