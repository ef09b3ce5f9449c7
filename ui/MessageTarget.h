#pragma once
// A window object that hands every message it receives to a widget's
// handler, so widgets can be the target of posted window messages.
#include "platform/WindowMessage.h"

#include <functional>

class CMessageTarget : public CMessageWindow {
public:
    using Handler = std::function<LRESULT(unsigned message, WPARAM wParam, LPARAM lParam)>;
    explicit CMessageTarget(Handler handler, QObject* parent = nullptr)
        : CMessageWindow(parent), m_handler(std::move(handler))
    {
    }
    LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam) override
    {
        return m_handler ? m_handler(message, wParam, lParam) : 0;
    }

private:
    Handler m_handler;
};
