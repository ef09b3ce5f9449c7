#pragma once
// A window object that records every message it handles, for tests. Needs a
// QCoreApplication (MessageLoop makes one) and pumps events while waiting.
#include "platform/WindowMessage.h"

#include <QCoreApplication>
#include <memory>
#include <mutex>
#include <vector>

struct RecordedMessage {
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
};

class RecordingWindow : public CMessageWindow {
public:
    LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam) override
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({message, wParam, lParam});
        return 0;
    }
    std::vector<RecordedMessage> Messages()
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    // Delivers queued messages until one with this number arrived or the time is up.
    bool WaitForMessage(unsigned message, int timeoutMs = 5000);

private:
    std::mutex m_mutex;
    std::vector<RecordedMessage> m_messages;
};

// The application object a test needs for queued messages.
QCoreApplication& TestApplication();
