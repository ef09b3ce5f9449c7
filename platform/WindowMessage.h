#pragma once
// Window messages: a message number with two parameters, posted (queued) or
// sent (handled at once) to a window object. Engine threads only post; the
// window handles its messages on the thread it lives on.
#include <QObject>
#include <cstdint>

using WPARAM = uint64_t;
using LPARAM = int64_t;
using LRESULT = int64_t;

class CMessageWindow : public QObject {
public:
    explicit CMessageWindow(QObject* parent = nullptr) : QObject(parent) {}

    // Handles one message; the result goes back to a sender.
    virtual LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    bool event(QEvent* event) override;
};

using HWND = CMessageWindow*;

// Queues the message for the window's thread; false when there is no window
// or no application object to deliver it.
bool PostMessage(HWND window, unsigned message, WPARAM wParam, LPARAM lParam);

// Handles the message now when called on the window's thread, else waits
// until the window's thread has handled it.
LRESULT SendMessage(HWND window, unsigned message, WPARAM wParam, LPARAM lParam);
