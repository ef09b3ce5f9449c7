#include "KeyboardContextMenu.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPointer>

namespace {

bool IsShiftF10(const QKeyEvent* event)
{
    return event->key() == Qt::Key_F10 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}

class ContextMenuKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !IsShiftF10(static_cast<QKeyEvent*>(event)))
            return false;
        // The key reaches the focused control first; act there only.
        QWidget* control = QApplication::focusWidget();
        if (watched != control || !control)
            return false;
        const QPoint point = lumora::KeyboardMenuPoint(control);
        QContextMenuEvent request(QContextMenuEvent::Keyboard, point, control->mapToGlobal(point));
        QApplication::sendEvent(control, &request);
        return true;
    }
};

}  // namespace

namespace lumora {

void InstallKeyboardContextMenu()
{
    static QPointer<ContextMenuKey> key;
    if (key || !qApp)
        return;
    key = new ContextMenuKey(qApp);
    qApp->installEventFilter(key);
}

QPoint KeyboardMenuPoint(const QWidget* control)
{
    if (const auto* view = qobject_cast<const QAbstractItemView*>(control)) {
        const QRect row = view->visualRect(view->currentIndex());
        if (row.isValid() && view->viewport()->rect().intersects(row))
            return view->viewport()->mapTo(control, row.center());
    }
    const QRect cursor = control->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    if (cursor.isValid() && control->rect().contains(cursor.center()))
        return cursor.bottomLeft();
    return control->rect().center();
}

}  // namespace lumora
