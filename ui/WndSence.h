#pragma once
// The scene tab: the library of recent, Tolvenar and vMix sets beside the
// preview. Its pages open a set by sending UM_OPEN_VIRTUAL_SET to the editor.
#include "lumora/MyDialog.h"
#include "platform/WindowMessage.h"

class CWndSence : public CMyDialog {
public:
    CWndSence(QWidget* parent, HWND openTarget);
    // Rescans the visible library page (after a save).
    void Refresh();
    HWND OpenTarget() const { return m_openTarget; }

private:
    HWND m_openTarget;
};
