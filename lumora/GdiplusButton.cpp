#include "GdiplusButton.h"

#include "lumora/AccessibleName.h"
#include "lumora/ButtonAccessible.h"
#include "lumora/CmdTarget.h"
#include "lumora/FocusRing.h"
#include "lumora/ResourceImage.h"
#include "lumora/Skin.h"
#include "lumora/SkinPalette.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace {

constexpr qreal kCorner = 3.0;

QColor Mix(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

}  // namespace

CGdiplusButton::CGdiplusButton(QWidget* parent) : CGdiplusButton(QString(), parent) {}

CGdiplusButton::CGdiplusButton(const QString& text, QWidget* parent) : QAbstractButton(parent)
{
    lumora::InstallButtonAccessibility();
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [this] { lumora::SendCommandToOwner(this, BN_CLICKED); });
}

bool CGdiplusButton::SetImage(int id, const QString& type)
{
    if (!lumora::HasResourceImage(id, type))
        return false;
    m_image = id;
    m_imageType = type;
    update();
    return true;
}

void CGdiplusButton::SetIcon(const QIcon& icon)
{
    m_icon = icon;
    update();
}

void CGdiplusButton::SetClickable(bool clickable)
{
    m_clickable = clickable;
    update();
}

void CGdiplusButton::SetToolTipText(const QString& text, bool activate)
{
    if (text.isEmpty())
        return;
    setToolTip(activate ? text : QString());
}

QSize CGdiplusButton::sizeHint() const
{
    const QFontMetrics metrics(QApplication::font());
    return QSize(std::max(80, metrics.horizontalAdvance(text()) + 28), 28);
}

void CGdiplusButton::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CGdiplusButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

// Return does what Space and a click do: QAbstractButton turns both into
// clicked(), which sends the command.
void CGdiplusButton::keyPressEvent(QKeyEvent* event)
{
    if (!lumora::ClickOnReturn(this, event))
        QAbstractButton::keyPressEvent(event);
}

// The skin's two fill colours run from top to bottom; the light one is kept
// to a sheen at the top so the white text stays readable.
void CGdiplusButton::paintEvent(QPaintEvent*)
{
    lumora::UpdateAccessibleName(this, text());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor light = lumora::SkinColor(COLOR_BUTTON_INSIDE1);
    const QColor dark = lumora::SkinColor(COLOR_BUTTON_INSIDE2);
    QColor top = Mix(dark, light, m_hover && isEnabled() ? 0.42 : 0.3);
    QColor bottom = m_hover && isEnabled() ? dark.lighter(118) : dark;
    const bool pressed = isDown() && m_clickable;
    if (pressed)
        std::swap(top, bottom);
    if (!isEnabled()) {
        top = Mix(top, lumora::SkinColor(COLOR_POPDLGBK), 0.6);
        bottom = Mix(bottom, lumora::SkinColor(COLOR_POPDLGBK), 0.6);
    }
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(lumora::SkinColor(COLOR_BUTTON_BORDER), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, kCorner, kCorner);
    // A faint inner highlight gives the edge some depth.
    painter.setPen(QPen(QColor(255, 255, 255, pressed ? 0x10 : 0x22), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), kCorner - 1, kCorner - 1);

    if (!m_icon.isNull()) {
        const int side = std::min(16, height() - 6);
        m_icon.paint(&painter, QRect(3, (height() - side) / 2, side, side), Qt::AlignCenter,
                     isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    if (m_image) {
        const QSize size = lumora::ResourceImageSize(m_image, m_imageType);
        QPixmap picture = lumora::LoadResourceImage(m_image, m_imageType, size, devicePixelRatioF());
        if (!isEnabled())
            picture = lumora::GrayscalePixmap(picture);
        painter.drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2, picture);
    }
    const int shift = pressed ? 1 : 0;
    painter.setFont(QApplication::font());
    painter.setPen(isEnabled() ? lumora::SkinColor(COLOR_BUTTON_TEXT) : QColor(0xC0, 0xC0, 0xC0, 0x90));
    painter.drawText(rect().translated(shift, shift), Qt::AlignCenter | Qt::TextSingleLine, text());
    if (hasFocus())
        lumora::DrawFocusRing(painter, QRectF(rect()), kCorner);
}
