#pragma once
// Helpers for the source object tests: real pictures and clips made in temp
// folders, and a window that keeps each notification as it arrived.
#include "model/ObsSource.h"
#include "support/RecordingWindow.h"
#include "support/TestSupport.h"

#include <QColor>
#include <QImage>
#include <mutex>
#include <string>
#include <vector>

namespace modeltest {

// A PNG of one colour; the path of the file written.
inline std::string WritePicture(const testsupport::TempDir& dir, const std::string& name, int width, int height,
                                const QColor& colour = Qt::red)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    const std::string path = dir.file(name);
    image.save(QString::fromStdString(path), "PNG");
    return path;
}

// A short test-pattern clip made by ffmpeg; empty when ffmpeg failed.
inline std::string WriteClip(const testsupport::TempDir& dir, const std::string& name, double seconds = 1.0)
{
    const std::string path = dir.file(name);
    const std::string command = "ffmpeg -nostdin -y -v error -f lavfi -i testsrc=size=160x120:rate=25 -t " +
                                std::to_string(seconds) + " -c:v mpeg4 -pix_fmt yuv420p '" + path + "'";
    return testsupport::RunCommand(command) == 0 && testsupport::Exists(path) ? path : std::string();
}

struct Notification {
    unsigned message;
    WPARAM object;
    int32_t code;
    int32_t value1;
    int32_t value2;
};

// Copies the notification block when the message is handled, as a window of
// the editor reads it.
class NotificationWindow : public CMessageWindow {
public:
    LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam) override
    {
        const auto* block = reinterpret_cast<const SourceNotification*>(lParam);
        std::lock_guard lock(m_mutex);
        m_received.push_back({message, wParam, block ? block->code.load() : 0, block ? block->value1.load() : 0,
                              block ? block->value2.load() : 0});
        return 0;
    }
    std::vector<Notification> Received()
    {
        std::lock_guard lock(m_mutex);
        return m_received;
    }
    bool HasCode(int32_t code)
    {
        for (const auto& n : Received())
            if (n.code == code)
                return true;
        return false;
    }
    // Delivers queued messages until one with the code arrived.
    bool WaitForCode(int32_t code, int timeoutMs);

private:
    std::mutex m_mutex;
    std::vector<Notification> m_received;
};

inline bool NotificationWindow::WaitForCode(int32_t code, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        QCoreApplication::processEvents();
        if (HasCode(code))
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace modeltest
