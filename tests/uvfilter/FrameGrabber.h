#pragma once
// Test-only read-back: draws a source (with its filters) into a render target
// during one of the engine's own frames and reads the pixels back. A grab is
// served by the first frame whose tick starts after the request, so it shows
// exactly what that frame shows.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

struct obs_source;
typedef struct obs_source obs_source_t;

struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba;  // 8 bits a channel, row by row from the top

    const uint8_t* At(uint32_t x, uint32_t y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

class FrameGrabber {
public:
    FrameGrabber();
    ~FrameGrabber();
    FrameGrabber(const FrameGrabber&) = delete;
    FrameGrabber& operator=(const FrameGrabber&) = delete;

    // Renders the source at its own size in the next frame; false when no
    // frame came within the time or the source had no size.
    bool GrabNextFrame(obs_source_t* source, Picture& picture, int timeoutMs = 3000);

private:
    enum class State { Idle, Requested, ThisFrame, Done };
    static void OnTick(void* param, float seconds);
    static void OnDraw(void* param, uint32_t cx, uint32_t cy);
    void Render();

    std::mutex m_mutex;
    std::condition_variable m_done;
    State m_state = State::Idle;
    obs_source_t* m_source = nullptr;
    Picture m_picture;
};

// Largest difference of any channel between two pictures of the same size,
// 256 when the sizes differ.
int MaxDifference(const Picture& a, const Picture& b);
