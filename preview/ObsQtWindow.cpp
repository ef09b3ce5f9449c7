#include "ObsQtWindow.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>
#include <cmath>

namespace {

int ButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return kMouseLeft;
    case Qt::RightButton:
        return kMouseRight;
    case Qt::MiddleButton:
        return kMouseMiddle;
    default:
        return 0;
    }
}

bool HasLocalFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

}  // namespace

ObsQtWindow::ObsQtWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(GetWindowClassName());
    setWindowTitle(GetWindowClassName());
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    setCursor(Qt::ArrowCursor);
}

ObsQtWindow::~ObsQtWindow()
{
    // The display goes before the window it draws into.
    DestroyDisplay();
}

ClientSize ObsQtWindow::GetClientSize() const
{
    if (!internalWinId())
        return {};
    const qreal ratio = devicePixelRatioF();
    return {int(std::lround(width() * ratio)), int(std::lround(height() * ratio))};
}

NativeWindowId ObsQtWindow::Create(QWidget* parent, const WindowRect& rect)
{
    if (parent)
        setParent(parent);
    setGeometry(rect.x, rect.y, rect.width, rect.height);
    winId();
    show();
    return GetHandle();
}

void ObsQtWindow::Move(const WindowRect& rect)
{
    setGeometry(rect.x, rect.y, rect.width, rect.height);
}

NativeWindowId ObsQtWindow::GetHandle() const
{
    return NativeWindowId(internalWinId());
}

void ObsQtWindow::Show(bool show)
{
    setVisible(show);
}

bool ObsQtWindow::IsModifierDown(int mask) const
{
    if (mask == 0)
        return false;
    int down = 0;
    if (m_modifiers & Qt::ShiftModifier)
        down |= kModifierShift;
    if (m_modifiers & Qt::ControlModifier)
        down |= kModifierCtrl;
    if (m_modifiers & Qt::AltModifier)
        down |= kModifierAlt;
    return (down & mask) == mask;
}

bool ObsQtWindow::CreateDisplay()
{
    winId();
    return ObsWindow::CreateDisplay();
}

void ObsQtWindow::RunLater(std::function<void()> task)
{
    // Dropped when the window goes first.
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void ObsQtWindow::paintEvent(QPaintEvent*)
{
    // The engine draws the whole window; it was exposed, so it draws again
    // even when nothing in the picture changed.
    RequestRedraw();
}

void ObsQtWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // Closing the preview as a window of its own ends the program, with code 0.
    if (isWindow())
        QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
}

void ObsQtWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    SetPixelRatio(devicePixelRatioF());
    const ClientSize size = GetClientSize();
    OnResize(size.width, size.height);
}

void ObsQtWindow::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    SetEditEnabled(true);
}

void ObsQtWindow::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    SetPanKeyDown(false);
    SetEditEnabled(false);
}

QPoint ObsQtWindow::ToPixels(QPointF position) const
{
    const qreal ratio = devicePixelRatioF();
    return {int(std::floor(position.x() * ratio)), int(std::floor(position.y() * ratio))};
}

// Qt grabs the mouse for the widget between press and release.
void ObsQtWindow::mousePressEvent(QMouseEvent* event)
{
    TakeModifiers(event->modifiers());
    const QPoint at = ToPixels(event->position());
    if (const int button = ButtonCode(event->button()))
        OnMouseDown(button, at.x(), at.y());
    if (IsPanning())
        setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void ObsQtWindow::mouseReleaseEvent(QMouseEvent* event)
{
    TakeModifiers(event->modifiers());
    const QPoint at = ToPixels(event->position());
    const int button = ButtonCode(event->button());
    if (button)
        OnMouseUp(button, at.x(), at.y());
    event->accept();
    UpdateCursor(at);
    // The menu comes once the click has chosen what it is about.
    if (button == kMouseRight && !IsQuadEditing() && IsEditEnabled())
        ShowContextMenu(at, event->globalPosition().toPoint());
}

void ObsQtWindow::ShowContextMenu(const QPoint& windowPixels, const QPoint& global)
{
    if (!m_contextMenuHook || !GetScene())
        return;
    const CanvasHit hit = HitTest(vec2{float(windowPixels.x()), float(windowPixels.y())});
    const auto hook = m_contextMenuHook;
    QMetaObject::invokeMethod(this, [hook, global, hit] { hook(global, hit); }, Qt::QueuedConnection);
}

void ObsQtWindow::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    // A right click shows the menu on its release (above); the menu key
    // shows it over the selection, or the middle of the window.
    if (event->reason() != QContextMenuEvent::Keyboard)
        return;
    QPoint at = rect().center();
    const CanvasBox bounds = Selection().Bounds();
    if (!bounds.Empty()) {
        const vec2 centre = View().CanvasToWindow(bounds.Centre());
        const qreal ratio = devicePixelRatioF();
        at = QPoint(int(centre.x / ratio), int(centre.y / ratio));
        at.setX(std::clamp(at.x(), 0, width() - 1));
        at.setY(std::clamp(at.y(), 0, height() - 1));
    }
    const QPoint pixels = ToPixels(QPointF(at));
    ShowContextMenu(pixels, mapToGlobal(at));
}

void ObsQtWindow::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    PointerLeft();
}

void ObsQtWindow::wheelEvent(QWheelEvent* event)
{
    // One notch is 120; finer wheels add up to a notch.
    m_wheelRemainder += event->angleDelta().y();
    const int steps = m_wheelRemainder / 120;
    m_wheelRemainder -= steps * 120;
    if (steps != 0) {
        const QPoint at = ToPixels(event->position());
        ZoomStepAt(vec2{float(at.x()), float(at.y())}, steps);
    }
    event->accept();
}

void ObsQtWindow::UpdateCursor(const QPoint& at)
{
    if (IsPanning()) {
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (m_modifiers == Qt::NoModifier && IsEditEnabled() && !IsQuadEditing() && !InGesture()) {
        const CanvasHit hit = HitTest(vec2{float(at.x()), float(at.y())});
        if (hit.kind == CanvasHitKind::RotateHandle) {
            shape = Qt::CrossCursor;
        } else if (hit.kind == CanvasHitKind::ResizeHandle) {
            const uint32_t handle = hit.handle.handle;
            const bool horizontal = handle & (kHandleLeft | kHandleRight);
            const bool vertical = handle & (kHandleTop | kHandleBottom);
            const bool falling = handle == (kHandleLeft | kHandleTop) || handle == (kHandleRight | kHandleBottom);
            shape = horizontal && vertical ? (falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor)
                    : horizontal          ? Qt::SizeHorCursor
                                          : Qt::SizeVerCursor;
        } else if (hit.kind == CanvasHitKind::SelectedItem) {
            shape = Qt::SizeAllCursor;
        }
    }
    if (cursor().shape() != shape)
        setCursor(shape);
}

void ObsQtWindow::mouseMoveEvent(QMouseEvent* event)
{
    TakeModifiers(event->modifiers());
    // A button let go where this window did not see it (another window took
    // the mouse meanwhile): hovering must not go on dragging.
    if (InGesture() && !(event->buttons() & (Qt::LeftButton | Qt::RightButton)))
        EndGesture();
    const QPoint at = ToPixels(event->position());
    OnMouseMove(0, at.x(), at.y());
    if (!(event->buttons() & Qt::LeftButton))
        UpdateCursor(at);
    event->accept();
}

void ObsQtWindow::keyPressEvent(QKeyEvent* event)
{
    TakeModifiers(event->modifiers());
    if (HandleEditKey(event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool ObsQtWindow::HandleEditKey(QKeyEvent* event)
{
    // Space with the left button pans, whatever else is going on.
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            SetPanKeyDown(true);
            if (!InGesture())
                setCursor(Qt::OpenHandCursor);
        }
        return true;
    }
    if (IsQuadEditing()) {
        const int key = event->key();
        // Escape during a corner's drag puts that corner back; otherwise it
        // leaves the mode.
        if (key == Qt::Key_Escape && CancelGesture())
            return true;
        const std::function<void()> hook =
            (key == Qt::Key_Return || key == Qt::Key_Enter) ? m_quadConfirm : key == Qt::Key_Escape ? m_quadCancel : nullptr;
        if (hook)
            hook();
        return true;  // nothing else while the corners are drawn
    }
    if (event->key() == Qt::Key_Escape) {
        if (!CancelGesture())
            ClearSelection();
        UpdateCursor(mapFromGlobal(QCursor::pos()));
        return true;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        return true;
    }
    const float step = (event->modifiers() & Qt::ShiftModifier) ? kShiftNudgeStep : kNudgeStep;
    switch (event->key()) {
    case Qt::Key_Left: return NudgeSelection(-step, 0.0f);
    case Qt::Key_Right: return NudgeSelection(step, 0.0f);
    case Qt::Key_Up: return NudgeSelection(0.0f, -step);
    case Qt::Key_Down: return NudgeSelection(0.0f, step);
    case Qt::Key_Delete:
        if (!IsEditEnabled() || !m_deleteHook)
            return false;
        m_deleteHook();
        return true;
    default: return false;
    }
}

void ObsQtWindow::keyReleaseEvent(QKeyEvent* event)
{
    TakeModifiers(event->modifiers());
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        SetPanKeyDown(false);
        if (!IsPanning())
            setCursor(Qt::ArrowCursor);
    }
    QWidget::keyReleaseEvent(event);
}

void ObsQtWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (HasLocalFiles(event->mimeData()))
        event->acceptProposedAction();
}

void ObsQtWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (HasLocalFiles(event->mimeData()))
        event->acceptProposedAction();
}

void ObsQtWindow::dropEvent(QDropEvent* event)
{
    if (!HasLocalFiles(event->mimeData()))
        return;
    std::vector<std::wstring> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdWString());
    }
    event->acceptProposedAction();
    if (m_dropHook) {
        // The hook may ask questions: the drag source is answered first.
        const std::function<void(const std::vector<std::wstring>&)> hook = m_dropHook;
        QMetaObject::invokeMethod(this, [hook, paths] { hook(paths); }, Qt::QueuedConnection);
        return;
    }
    for (const std::wstring& path : paths)
        OnDropFile(QString::fromStdWString(path).toUtf8().constData());
}
