#pragma once
// The scene tab: the library of recent, Tolvenar and vMix sets beside the
// preview. Its pages open a set by sending UM_OPEN_VIRTUAL_SET to the editor.
#include "lumora/MyDialog.h"
#include "platform/WindowMessage.h"

#include <array>

class CWndVSetLib;
class QTabBar;

inline constexpr int IDD_SCENE_TAB = 517;
inline constexpr int IDC_SCENE_TABS = 1070;

class CWndSence : public CMyDialog {
public:
    CWndSence(QWidget* parent, HWND openTarget);
    // Rescans the visible library page (after a save).
    void Refresh();
    HWND OpenTarget() const { return m_openTarget; }

    QTabBar* Tabs() const { return m_tabs; }
    // The page of tab 0 (recent), 1 (vMix) or 2 (Tolvenar).
    CWndVSetLib* Page(int tab) const;
    CWndVSetLib* VisiblePage() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowTab(int tab);

    HWND m_openTarget;
    QTabBar* m_tabs = nullptr;
    std::array<CWndVSetLib*, 3> m_pages{};
};
