#include "NativeFocusFrame.h"

#include "lumora/FocusRing.h"

#include <QEvent>
#include <QWidget>

namespace {

constexpr int kRingWidth = 2;

}  // namespace

CNativeFocusFrame::CNativeFocusFrame(QWidget* control) : QObject(control), m_control(control)
{
    QWidget* parent = control->parentWidget();
    for (QPointer<QWidget>& edge : m_edges) {
        edge = new QWidget(parent);
        edge->setObjectName(QStringLiteral("focusEdge"));
        // A native window of its own, so it lies over the control's window.
        edge->setAttribute(Qt::WA_NativeWindow);
        edge->setAttribute(Qt::WA_DontCreateNativeAncestors);
        edge->setAttribute(Qt::WA_TransparentForMouseEvents);
        edge->setAutoFillBackground(true);
        QPalette palette = edge->palette();
        palette.setColor(QPalette::Window, lumora::FocusRingColor());
        edge->setPalette(palette);
        edge->hide();
    }
    control->installEventFilter(this);
    Update();
}

bool CNativeFocusFrame::IsShown() const { return m_edges[0] && m_edges[0]->isVisible(); }

bool CNativeFocusFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        Update();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CNativeFocusFrame::Update()
{
    if (!m_control)
        return;
    const QRect r = m_control->geometry();
    const bool shown = m_control->isVisible() && m_control->hasFocus() && r.width() > 2 * kRingWidth &&
                       r.height() > 2 * kRingWidth;
    const QRect places[4] = {
        QRect(r.left(), r.top(), r.width(), kRingWidth),
        QRect(r.left(), r.bottom() - kRingWidth + 1, r.width(), kRingWidth),
        QRect(r.left(), r.top() + kRingWidth, kRingWidth, r.height() - 2 * kRingWidth),
        QRect(r.right() - kRingWidth + 1, r.top() + kRingWidth, kRingWidth, r.height() - 2 * kRingWidth),
    };
    for (size_t i = 0; i < m_edges.size(); ++i) {
        QWidget* edge = m_edges[i];
        if (!edge)
            continue;
        edge->setGeometry(places[i]);
        edge->setVisible(shown);
        if (shown)
            edge->raise();
    }
}
