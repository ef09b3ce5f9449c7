#include "WndEditorShot.h"

CWndEditorShot::CWndEditorShot(QWidget* parent, CDlgEditor* editor) : CWndEditorBase(565, parent, editor) {}
void CWndEditorShot::MarkInvalid(int) {}
bool CWndEditorShot::Validate(std::wstring&, int&) { return true; }
