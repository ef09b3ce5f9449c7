#include "SkinPalette.h"

#include "lumora/Skin.h"
#include "lumora/WinColor.h"

#include <QApplication>
#include <QStyleFactory>

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

void ApplySkinToApplication()
{
    if (!qApp)
        return;
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = SkinPalette(COLOR_POPDLGBK);
    const QColor field(0x1E, 0x1F, 0x22);
    const QColor button(0x3A, 0x3C, 0x40);
    const QColor text(0xE0, 0xE0, 0xE0);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, field);
        palette.setColor(group, QPalette::AlternateBase, QColor(0x26, 0x27, 0x2A));
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Button, button);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Highlight, QColor(0x2F, 0x7D, 0x32));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Link, QColor(0x5A, 0xAA, 0xF0));
        palette.setColor(group, QPalette::BrightText, Qt::white);
    }
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(0x26, 0x27, 0x2A));
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(0x30, 0x31, 0x34));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x45, 0x48, 0x4E));
    QApplication::setPalette(palette);
}

}  // namespace lumora
