#include "WndSence.h"

CWndSence::CWndSence(QWidget* parent, HWND openTarget) : CMyDialog(517, parent), m_openTarget(openTarget) {}

void CWndSence::Refresh() {}
