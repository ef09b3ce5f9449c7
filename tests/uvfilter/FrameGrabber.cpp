#include "FrameGrabber.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <graphics/vec4.h>
#include <obs.h>

FrameGrabber::FrameGrabber()
{
    obs_add_tick_callback(OnTick, this);
    obs_add_main_render_callback(OnDraw, this);
}

FrameGrabber::~FrameGrabber()
{
    obs_remove_main_render_callback(OnDraw, this);
    obs_remove_tick_callback(OnTick, this);
}

bool FrameGrabber::GrabNextFrame(obs_source_t* source, Picture& picture, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    m_source = source;
    m_picture = {};
    m_state = State::Requested;
    const bool served = m_done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_state == State::Done; });
    m_state = State::Idle;
    m_source = nullptr;
    picture = std::move(m_picture);
    return served && picture.width > 0;
}

// Tick callbacks run before the sources tick, so settings changed before the
// request are applied in this frame's source tick.
void FrameGrabber::OnTick(void* param, float)
{
    auto* self = static_cast<FrameGrabber*>(param);
    std::lock_guard lock(self->m_mutex);
    if (self->m_state == State::Requested)
        self->m_state = State::ThisFrame;
}

void FrameGrabber::OnDraw(void* param, uint32_t, uint32_t)
{
    auto* self = static_cast<FrameGrabber*>(param);
    std::lock_guard lock(self->m_mutex);
    if (self->m_state != State::ThisFrame)
        return;
    self->Render();
    self->m_state = State::Done;
    self->m_done.notify_all();
}

void FrameGrabber::Render()
{
    const uint32_t width = obs_source_get_width(m_source);
    const uint32_t height = obs_source_get_height(m_source);
    if (width == 0 || height == 0)
        return;
    gs_texrender_t* target = gs_texrender_create(GS_RGBA, GS_ZS_NONE);
    if (gs_texrender_begin(target, width, height)) {
        vec4 clear;
        vec4_zero(&clear);
        gs_clear(GS_CLEAR_COLOR, &clear, 0.0f, 0);
        gs_ortho(0.0f, float(width), 0.0f, float(height), -100.0f, 100.0f);
        // Written as drawn, so the alpha the filter produces is what is read.
        gs_blend_state_push();
        gs_blend_function(GS_BLEND_ONE, GS_BLEND_ZERO);
        obs_source_video_render(m_source);
        gs_blend_state_pop();
        gs_texrender_end(target);

        gs_stagesurf_t* stage = gs_stagesurface_create(width, height, GS_RGBA);
        gs_stage_texture(stage, gs_texrender_get_texture(target));
        uint8_t* data = nullptr;
        uint32_t linesize = 0;
        if (gs_stagesurface_map(stage, &data, &linesize)) {
            m_picture.width = width;
            m_picture.height = height;
            m_picture.rgba.resize(size_t(width) * height * 4);
            for (uint32_t y = 0; y < height; ++y)
                std::memcpy(&m_picture.rgba[size_t(y) * width * 4], data + size_t(y) * linesize, size_t(width) * 4);
            gs_stagesurface_unmap(stage);
        }
        gs_stagesurface_destroy(stage);
    }
    gs_texrender_destroy(target);
}

int MaxDifference(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.rgba.size() != b.rgba.size())
        return 256;
    int worst = 0;
    for (size_t i = 0; i < a.rgba.size(); ++i)
        worst = std::max(worst, std::abs(int(a.rgba[i]) - int(b.rgba[i])));
    return worst;
}
