#include "WndTop.h"

CWndTop::CWndTop(QWidget* parent) : CMyDialog(1102, parent) {}

void CWndTop::StartUpdateCheck(bool) {}
void CWndTop::StopUpdateCheck() {}
void CWndTop::ShowRecentUpdates() {}
