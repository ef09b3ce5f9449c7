#include "GdipButton.h"

#include "lumora/AccessibleName.h"
#include "lumora/ButtonAccessible.h"
#include "lumora/CmdTarget.h"
#include "lumora/FocusRing.h"
#include "lumora/ResourceImage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int kHoverDelayMs = 80;
const QColor kCheckedFrame(0xFF, 0x40, 0x00);
const QColor kHoverFrame(0xC0, 0xC0, 0xC0);

}  // namespace

CGdipButton::CGdipButton(QWidget* parent) : QAbstractButton(parent)
{
    lumora::InstallButtonAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(kHoverDelayMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, [this] {
        m_hover = true;
        update();
    });
    connect(&m_repeatTimer, &QTimer::timeout, this, &CGdipButton::SendCommand);
    connect(this, &QAbstractButton::clicked, this, &CGdipButton::OnClicked);
}

bool CGdipButton::LoadStdImage(int id, const QString& type)
{
    const QSize size = lumora::ResourceImageSize(id, type);
    if (size.isEmpty())
        return false;
    m_stdImage = id;
    m_type = type;
    m_imageSize = size;
    resize(sizeHint());
    updateGeometry();
    update();
    return true;
}

bool CGdipButton::LoadAltImage(int id, const QString& type)
{
    if (!lumora::HasResourceImage(id, type))
        return false;
    m_altImage = id;
    m_altType = type;
    return true;
}

void CGdipButton::EnableToggle(bool enable)
{
    if (!m_altImage)
        return;
    const bool was = IsToggled();
    m_toggleEnabled = enable;
    if (!enable)
        m_toggled = false;
    if (was != IsToggled())
        lumora::NotifyCheckedChanged(this, true);
    update();
}

void CGdipButton::SetCheck(bool checked)
{
    const bool changed = m_checked != checked;
    m_checked = checked;
    m_checkUsed = true;
    if (changed)
        lumora::NotifyCheckedChanged(this, true);
    update();
}

void CGdipButton::SetToolTipText(const QString& text, bool activate)
{
    if (text.isEmpty())
        return;
    setToolTip(activate ? text : QString());
    lumora::UpdateAccessibleName(this, this->text().isEmpty() ? text : this->text());
}

void CGdipButton::SetAutoRepeat(bool repeat, int intervalMs)
{
    m_repeat = repeat;
    m_repeatTimer.setInterval(std::max(10, intervalMs));
}

QSize CGdipButton::sizeHint() const
{
    QSize size = m_imageSize.isEmpty() ? QSize(16, 16) : m_imageSize;
    if (!text().isEmpty())
        size.rwidth() += 6 + fontMetrics().horizontalAdvance(text()) + 6;
    return size;
}

QPixmap CGdipButton::Picture(int id) const
{
    const QString& type = id == m_altImage ? m_altType : m_type;
    return lumora::LoadResourceImage(id, type, m_imageSize, devicePixelRatioF());
}

void CGdipButton::SendCommand()
{
    lumora::SendCommandToOwner(this, BN_CLICKED);
}

void CGdipButton::enterEvent(QEnterEvent* event)
{
    m_hoverTimer.start();
    QAbstractButton::enterEvent(event);
}

void CGdipButton::leaveEvent(QEvent* event)
{
    m_hoverTimer.stop();
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CGdipButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        m_hover = false;
        m_repeatTimer.stop();
    }
    QAbstractButton::changeEvent(event);
}

void CGdipButton::mousePressEvent(QMouseEvent* event)
{
    QAbstractButton::mousePressEvent(event);
    if (m_repeat && isDown())
        m_repeatTimer.start();
}

void CGdipButton::mouseReleaseEvent(QMouseEvent* event)
{
    m_repeatTimer.stop();
    QAbstractButton::mouseReleaseEvent(event);
}

// Return does what Space and a click do; the click comes through clicked()
// whatever gave it (mouse, keys, a screen reader's press).
void CGdipButton::keyPressEvent(QKeyEvent* event)
{
    if (!lumora::ClickOnReturn(this, event))
        QAbstractButton::keyPressEvent(event);
}

void CGdipButton::OnClicked()
{
    if (m_toggleEnabled) {
        m_toggled = !m_toggled;
        lumora::NotifyCheckedChanged(this, true);
    }
    SendCommand();
}

void CGdipButton::paintEvent(QPaintEvent*)
{
    lumora::UpdateAccessibleName(this, text());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
    if (m_checked) {
        painter.setPen(QPen(kCheckedFrame, 1.5));
        painter.setBrush(QColor(0xFF, 0x40, 0x00, 0x38));
        painter.drawRoundedRect(frame, 3, 3);
    } else if (m_hover && isEnabled()) {
        painter.setPen(QPen(QColor(kHoverFrame.red(), kHoverFrame.green(), kHoverFrame.blue(), 0x70), 1.0, Qt::DashLine));
        painter.setBrush(QColor(255, 255, 255, isDown() ? 0x30 : 0x1C));
        painter.drawRoundedRect(frame, 3, 3);
    }

    const int id = m_toggled && m_altImage ? m_altImage : m_stdImage;
    QPixmap picture = id ? Picture(id) : QPixmap();
    if (!isEnabled())
        picture = lumora::GrayscalePixmap(picture);
    const int shift = isDown() ? 1 : 0;
    const QSize size = m_imageSize.isEmpty() ? QSize(0, 0) : m_imageSize;
    // Without text the picture stands in the middle of a button larger than it.
    const int left = text().isEmpty() ? (width() - size.width()) / 2 : 0;
    const QPoint at(left + shift, (height() - size.height()) / 2 + shift);
    if (!picture.isNull()) {
        if (!isEnabled())
            painter.setOpacity(0.55);
        painter.drawPixmap(at, picture);
        painter.setOpacity(1.0);
    }
    if (!text().isEmpty()) {
        painter.setFont(QApplication::font());
        painter.setPen(isEnabled() ? Qt::white : QColor(0x80, 0x80, 0x80));
        const QRect textArea = rect().adjusted(size.width() + shift, shift, shift, shift);
        painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, text());
    }
    if (hasFocus())
        lumora::DrawFocusRing(painter, QRectF(rect()), 3);
}
