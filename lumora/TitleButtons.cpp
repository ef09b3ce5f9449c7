#include "TitleButtons.h"

namespace lumora {

std::vector<TitleButton_t> TitleButtonsForFlags(unsigned flags)
{
    std::vector<TitleButton_t> buttons;
    const auto add = [&](unsigned flag, int width, int normal, int hover, int pressed) {
        if (flags & flag)
            buttons.push_back({static_cast<int>(flag), 0, QRect(), width, normal, hover, pressed});
    };
    add(TB_CLOSE, 45, 465, 479, 478);
    add(TB_OK, 45, 1006, 1007, 1008);
    add(TB_MAXIMIZE, 31, 477, 476, 475);
    add(TB_MINIMIZE, 31, 471, 470, 469);
    add(TB_MENU, 31, 474, 473, 472);
    return buttons;
}

void SetMaximizedLook(TitleButton_t& button, bool maximized)
{
    if (button.nID != TB_MAXIMIZE && button.nID != TB_RESTORE)
        return;
    if (maximized)
        button = {TB_RESTORE, button.nState, button.rect, button.nWidth, 468, 467, 466};
    else
        button = {TB_MAXIMIZE, button.nState, button.rect, button.nWidth, 477, 476, 475};
}

void LayoutTitleButtons(std::vector<TitleButton_t>& buttons, const QRect& titleBar, int minLeft)
{
    const int top = titleBar.top() + (titleBar.height() - kTitleButtonHeight) / 2;
    int right = titleBar.right() + 1;
    bool full = false;
    for (TitleButton_t& button : buttons) {
        const int left = right - button.nWidth;
        full = full || left < minLeft;
        if (full) {
            button.rect = QRect();
            continue;
        }
        button.rect = QRect(left, top, button.nWidth, kTitleButtonHeight);
        right = left;
    }
}

int TitleButtonAt(const std::vector<TitleButton_t>& buttons, const QPoint& point, int inset)
{
    for (size_t i = 0; i < buttons.size(); ++i) {
        const QRect r = buttons[i].rect;
        if (!r.isEmpty() && r.adjusted(inset, inset, -inset, -inset).contains(point))
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace lumora
