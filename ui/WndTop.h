#pragma once
// The bar across the top of the editor: product links and the update state.
#include "lumora/MyDialog.h"

class CWndTop : public CMyDialog {
public:
    explicit CWndTop(QWidget* parent);
    // The update check, automatic (false) or asked for from the menu (true).
    void StartUpdateCheck(bool manual);
    void StopUpdateCheck();
    // The update dialog with the last downloaded manifest.
    void ShowRecentUpdates();
};
