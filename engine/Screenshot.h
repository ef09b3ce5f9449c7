#pragma once
// Still pictures of a libobs source, written as 32-bit bitmap files. The
// picture is rendered inside the engine's own frame loop over four frames and
// saved by a short-lived worker thread, so the graphics thread never waits for
// the disk; the caller waits on an event.
#include "platform/Event.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <obs.hpp>
#include <string>
#include <thread>
#include <vector>

// One capture. The caller creates it, waits on the completion event and then
// deletes it. The event is signalled exactly once, also when the capture fails
// (invalid size, a stage surface that cannot be mapped, a worker thread that
// cannot start, a file that cannot be written); Succeeded() tells which.
class ScreenshotJob {
public:
    // Starts the worker: runs body on `worker` and answers whether it started.
    using WorkerStart = std::function<bool(std::thread& worker, std::function<void()> body)>;

    // A null source captures the engine's main picture at the canvas size.
    // Registers the frame callback at once.
    ScreenshotJob(obs_source_t* source, std::wstring path, platform::CEvent* done,
                  WorkerStart startWorker = StartWorkerThread);
    ~ScreenshotJob();
    ScreenshotJob(const ScreenshotJob&) = delete;
    ScreenshotJob& operator=(const ScreenshotJob&) = delete;

    // Valid once the event was signalled.
    bool Succeeded() const { return m_succeeded.load(); }
    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }

    static bool StartWorkerThread(std::thread& worker, std::function<void()> body);

private:
    static void OnTick(void* param, float seconds);
    void Tick();
    void RenderStep();
    void StageStep();
    void ReadBackStep();
    void StartSaveStep();
    void Save();
    void RenderPicture(obs_source_t* source);
    void StopTicking();
    void Complete(bool succeeded);

    gs_texrender_t* m_texrender = nullptr;
    gs_stagesurf_t* m_stagesurf = nullptr;
    OBSWeakSourceAutoRelease m_weakSource;
    std::wstring m_path;
    platform::CEvent* m_done;
    WorkerStart m_startWorker;
    std::atomic<int> m_step{0};
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    std::thread m_worker;
    std::vector<uint8_t> m_pixels;  // R, G, B, A rows from the top, then swapped for the file
    std::atomic<bool> m_completed{false};
    std::atomic<bool> m_succeeded{false};
};

// A capture normally takes a few frames; the wait is only a last guard.
inline constexpr int kScreenshotTimeoutMs = 30000;

// Writes a still of the scene to the file and waits until it is written.
// Consumes the caller's scene reference. True only when the file was written.
bool TakeScreenshot(OBSSceneAutoRelease scene, const std::wstring& path, int timeoutMs = kScreenshotTimeoutMs);
