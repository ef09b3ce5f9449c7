#include "WindowMessage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QThread>

namespace {

const QEvent::Type kWindowMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(unsigned m, WPARAM w, LPARAM l) : QEvent(kWindowMessageEvent), message(m), wParam(w), lParam(l) {}
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
};

}  // namespace

bool CMessageWindow::event(QEvent* event)
{
    if (event->type() == kWindowMessageEvent) {
        auto* m = static_cast<WindowMessageEvent*>(event);
        OnWindowMessage(m->message, m->wParam, m->lParam);
        return true;
    }
    return QObject::event(event);
}

bool PostMessage(HWND window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (!window || !QCoreApplication::instance())
        return false;
    QCoreApplication::postEvent(window, new WindowMessageEvent(message, wParam, lParam));
    return true;
}

LRESULT SendMessage(HWND window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (!window)
        return 0;
    if (window->thread() == QThread::currentThread())
        return window->OnWindowMessage(message, wParam, lParam);
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        window, [&] { result = window->OnWindowMessage(message, wParam, lParam); }, Qt::BlockingQueuedConnection);
    return result;
}
