#include "SkinPalette.h"

#include "lumora/Skin.h"
#include "lumora/WinColor.h"

namespace lumora {

QColor SkinColor(int index) { return QColorFromColorRef(static_cast<uint32_t>(CSkin::GetValue(index))); }

QPalette SkinPalette(int backgroundIndex)
{
    const QColor background = SkinColor(backgroundIndex);
    const QColor text = SkinColor(COLOR_DLGTEXT_H);
    const QColor disabledText = SkinColor(COLOR_DLGTEXT_L);
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor& fore = group == QPalette::Disabled ? disabledText : text;
        palette.setColor(group, QPalette::Window, background);
        palette.setColor(group, QPalette::WindowText, fore);
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::AlternateBase, background);
        palette.setColor(group, QPalette::Text, fore);
        palette.setColor(group, QPalette::Button, background.lighter(135));
        palette.setColor(group, QPalette::ButtonText, fore);
        palette.setColor(group, QPalette::ToolTipBase, QColor(0x20, 0x20, 0x20));
        palette.setColor(group, QPalette::ToolTipText, text);
        palette.setColor(group, QPalette::PlaceholderText, disabledText);
        palette.setColor(group, QPalette::Highlight, QColor(0x2F, 0x6F, 0xBF));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Light, background.lighter(160));
        palette.setColor(group, QPalette::Midlight, background.lighter(130));
        palette.setColor(group, QPalette::Mid, background.darker(120));
        palette.setColor(group, QPalette::Dark, background.darker(150));
        palette.setColor(group, QPalette::Shadow, Qt::black);
    }
    return palette;
}

}  // namespace lumora
