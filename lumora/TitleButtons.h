#pragma once
// The title-bar buttons of a CMyPopDialog: which the construction flags add,
// their pictures, and their places from the right edge of the title bar.
#include "lumora/LumoraApi.h"

#include <QRect>
#include <vector>

// Construction flags of CMyPopDialog, and the button ids they give.
enum TitleButtonFlag : unsigned {
    TB_CLOSE = 1,
    TB_MAXIMIZE = 2,
    TB_RESTORE = 4,  // id of the maximize button while the window is maximized
    TB_MINIMIZE = 8,
    TB_MENU = 16,
    TB_OK = 32,
};

struct TitleButton_t {
    int nID;
    int nState;  // 0 normal, 1 hover, 2 pressed
    QRect rect;  // window coordinates; empty when the button does not fit
    int nWidth;
    int nNormal, nHover, nPressed;  // picture ids ("PNG")
};

namespace lumora {

inline constexpr int kTitleButtonHeight = 23;

// In the order they are added (the first stands at the right edge): close,
// OK, maximize, minimize, menu.
LUMORA_API std::vector<TitleButton_t> TitleButtonsForFlags(unsigned flags);
// The maximize button becomes restore (id 4) while maximized and back.
LUMORA_API void SetMaximizedLook(TitleButton_t& button, bool maximized);
// Places the buttons from titleBar's right edge leftwards, vertically
// centred; a button that would pass minLeft gets an empty rectangle.
LUMORA_API void LayoutTitleButtons(std::vector<TitleButton_t>& buttons, const QRect& titleBar, int minLeft);
// Index of the button whose rectangle, shrunk by inset on each side, holds
// the point; -1 when none.
LUMORA_API int TitleButtonAt(const std::vector<TitleButton_t>& buttons, const QPoint& point, int inset = 0);

}  // namespace lumora
