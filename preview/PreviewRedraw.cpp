#include "PreviewRedraw.h"

PreviewRedraw::PreviewRedraw()
    : m_watch([this] {
          m_sourceChanges.fetch_add(1, std::memory_order_relaxed);
          Request();
      })
{
}

PreviewRedraw::~PreviewRedraw() { Stop(); }

void PreviewRedraw::Start(obs_display_t* display, PostTask post)
{
    Stop();
    {
        std::lock_guard lock(m_mutex);
        m_post = std::move(post);
    }
    m_hasLast = false;
    m_restedSeconds = 0.0f;
    m_display = display;
    Request();
    obs_add_tick_callback(OnTick, this);
    WatchSources();
}

void PreviewRedraw::Stop()
{
    if (!m_display)
        return;
    // Once removed, the tick no longer runs: libobs holds the callback lock
    // while it calls it.
    obs_remove_tick_callback(OnTick, this);
    m_watch.Clear();
    SetDisplayEnabled(true);
    m_display = nullptr;
    std::lock_guard lock(m_mutex);
    m_post = nullptr;
}

void PreviewRedraw::SetScene(obs_scene_t* scene)
{
    OBSScene replacement = scene;
    {
        std::lock_guard lock(m_mutex);
        std::swap(m_scene, replacement);
    }
    if (!m_display)
        return;
    WatchSources();
    Request();
}

void PreviewRedraw::Request()
{
    m_framesLeft.store(kTrailingFrames, std::memory_order_relaxed);
    SetDisplayEnabled(true);
}

bool PreviewRedraw::IsDrawing() const
{
    obs_display_t* display = m_display.load();
    return !display || obs_display_enabled(display);
}

void PreviewRedraw::SetDisplayEnabled(bool enabled)
{
    if (obs_display_t* display = m_display.load())
        obs_display_set_enabled(display, enabled);
}

void PreviewRedraw::OnTick(void* param, float seconds) { static_cast<PreviewRedraw*>(param)->Tick(seconds); }

void PreviewRedraw::Tick(float seconds)
{
    // Ticks run before the frame's displays are drawn, so a change seen here
    // is on the screen in this very frame.
    // Read under the lock: the scene is let go of on the user-interface
    // thread, never here.
    SceneState state;
    {
        std::lock_guard lock(m_mutex);
        state = ReadSceneState(m_scene);
        if (m_hasLast && state.sources != m_last.sources && m_post && !m_watchPending.exchange(true))
            m_post([this] { WatchSources(); });
    }
    const bool changed = !m_hasLast || !(state == m_last);
    m_last = state;
    m_hasLast = true;
    if (changed || state.live) {
        m_restedSeconds = 0.0f;
        Request();
        return;
    }
    if (m_framesLeft.load(std::memory_order_relaxed) > 0) {
        // Enabled again: a request can come between reading the count and
        // resting, on another thread.
        m_restedSeconds = 0.0f;
        m_framesLeft.fetch_sub(1, std::memory_order_relaxed);
        SetDisplayEnabled(true);
        return;
    }
    Rest(seconds);
}

void PreviewRedraw::Rest(float seconds)
{
    m_restedSeconds += seconds;
    if (m_restedSeconds >= kRestingRefreshSeconds) {
        m_restedSeconds = 0.0f;
        SetDisplayEnabled(true);
        return;
    }
    SetDisplayEnabled(false);
    m_framesRested.fetch_add(1, std::memory_order_relaxed);
}

void PreviewRedraw::WatchSources()
{
    m_watchPending = false;
    OBSScene scene;
    {
        std::lock_guard lock(m_mutex);
        scene = m_scene;
    }
    m_watch.Watch(m_display ? CollectSceneSources(scene) : std::vector<OBSSource>{});
}
