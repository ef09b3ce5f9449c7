#include "RecordingWindow.h"

#include <chrono>
#include <thread>

bool RecordingWindow::WaitForMessage(unsigned message, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        QCoreApplication::processEvents();
        for (const auto& m : Messages())
            if (m.message == message)
                return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

QCoreApplication& TestApplication()
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "kelvane-test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    return *QCoreApplication::instance();
}
