#pragma once
// When the preview's display draws. The engine would draw it on every frame
// whether or not anything changed; an unchanged picture then costs as much
// as a moving one. Here the display draws while something changes and for
// a few frames after, and rests otherwise: the window keeps the last
// picture, and the engine's frames cost almost nothing.
//
// What counts as a change:
//  - anything the scene draws, read at the start of every engine frame
//    (SceneState): the change is drawn in the same frame;
//  - a signal of any source or filter in the scene (a settings update, a
//    filter added or enabled), also drawn in the frame that raises it;
//  - a live picture (a video, a camera) in the scene: every frame draws;
//  - Request(): the window was exposed or resized, the overlay or the edit
//    state changed.
// While resting, one frame is drawn every few seconds: a picture its
// source reloads by itself (its file changed on disk) shows without anyone
// touching the set.
#include "SceneState.h"
#include "SourceSignalWatch.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <obs.hpp>

class PreviewRedraw {
public:
    // Runs a task later on the user-interface thread.
    using PostTask = std::function<void(std::function<void()>)>;

    PreviewRedraw();
    ~PreviewRedraw();
    PreviewRedraw(const PreviewRedraw&) = delete;
    PreviewRedraw& operator=(const PreviewRedraw&) = delete;

    // Begins deciding for the display (user-interface thread). The display
    // draws its next frame.
    void Start(obs_display_t* display, PostTask post);
    // Stops deciding and leaves the display drawing on every frame; call it
    // before the display goes.
    void Stop();
    // The scene the display shows (user-interface thread); none rests.
    void SetScene(obs_scene_t* scene);

    // The display draws at least the next few frames. Any thread.
    void Request();
    // Whether the display draws the coming frames.
    bool IsDrawing() const;
    // Signals the sources of the scene raised (a picture replaced, a filter
    // changed): what the scene's state does not show.
    uint64_t GetSourceChanges() const { return m_sourceChanges.load(std::memory_order_relaxed); }
    // Frames the engine composed while the display rested.
    uint64_t GetFramesRested() const { return m_framesRested.load(std::memory_order_relaxed); }

    // Frames drawn after the last change before the display rests: the
    // change is drawn, so is a picture the engine finishes a frame or two
    // later, and a gesture's short pauses do not stop and start the drawing.
    static constexpr int kTrailingFrames = 10;
    // Seconds between the single frames drawn while resting.
    static constexpr float kRestingRefreshSeconds = 5.0f;

private:
    static void OnTick(void* param, float seconds);
    void Tick(float seconds);
    // Rests for this frame, or draws it when the resting refresh is due.
    void Rest(float seconds);
    void SetDisplayEnabled(bool enabled);
    // Listens to the sources of the shown scene (user-interface thread).
    void WatchSources();

    std::mutex m_mutex;  // guards m_scene and m_post between the two threads
    OBSScene m_scene;
    PostTask m_post;
    std::atomic<obs_display_t*> m_display{nullptr};
    std::atomic<int> m_framesLeft{0};
    std::atomic<uint64_t> m_framesRested{0};
    std::atomic<uint64_t> m_sourceChanges{0};
    std::atomic<bool> m_watchPending{false};
    // Graphics thread only (and before the tick is added).
    SceneState m_last;
    bool m_hasLast = false;
    float m_restedSeconds = 0.0f;  // since the last frame drawn
    // User-interface thread only.
    SourceSignalWatch m_watch;
};
