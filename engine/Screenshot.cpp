#include "Screenshot.h"

#include "BitmapFile.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cstring>
#include <graphics/vec4.h>
#include <system_error>
#include <utility>

namespace {

// Steps of the frame callback; each runs on its own frame.
enum Step { kRender = 0, kStage = 1, kReadBack = 2, kStartSave = 3, kDone = 4 };

class GraphicsContext {
public:
    GraphicsContext() { obs_enter_graphics(); }
    ~GraphicsContext() { obs_leave_graphics(); }
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;
};

void SwapRedAndBlue(std::vector<uint8_t>& pixels)
{
    for (size_t i = 0; i + 3 < pixels.size(); i += 4)
        std::swap(pixels[i], pixels[i + 2]);
}

}  // namespace

bool ScreenshotJob::StartWorkerThread(std::thread& worker, std::function<void()> body)
{
    try {
        worker = std::thread(std::move(body));
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

ScreenshotJob::ScreenshotJob(obs_source_t* source, std::wstring path, platform::CEvent* done, WorkerStart startWorker)
    : m_weakSource(source ? obs_source_get_weak_source(source) : nullptr),
      m_path(std::move(path)),
      m_done(done),
      m_startWorker(std::move(startWorker))
{
    obs_add_tick_callback(OnTick, this);
}

ScreenshotJob::~ScreenshotJob()
{
    // No frame may touch the job once it goes: take the callback out first.
    StopTicking();
    if (m_worker.joinable())
        m_worker.join();
    if (!m_stagesurf && !m_texrender)
        return;
    GraphicsContext graphics;
    if (m_stagesurf)
        gs_stagesurface_destroy(m_stagesurf);
    if (m_texrender)
        gs_texrender_destroy(m_texrender);
}

void ScreenshotJob::OnTick(void* param, float) { static_cast<ScreenshotJob*>(param)->Tick(); }

void ScreenshotJob::Tick()
{
    const int step = m_step.load();
    if (step >= kDone)
        return;
    m_step = step + 1;
    GraphicsContext graphics;
    switch (step) {
    case kRender: RenderStep(); break;
    case kStage: StageStep(); break;
    case kReadBack: ReadBackStep(); break;
    case kStartSave: StartSaveStep(); break;
    default: break;
    }
}

void ScreenshotJob::RenderStep()
{
    OBSSourceAutoRelease source = obs_weak_source_get_source(m_weakSource);
    if (source) {
        m_width = obs_source_get_base_width(source);
        m_height = obs_source_get_base_height(source);
    } else {
        obs_video_info ovi = {};
        if (obs_get_video_info(&ovi)) {
            m_width = ovi.base_width;
            m_height = ovi.base_height;
        }
    }
    if (m_width == 0 || m_height == 0) {
        blog(LOG_WARNING, "Cannot screenshot, invalid target size");
        StopTicking();
        Complete(false);
        return;
    }
    m_texrender = gs_texrender_create(GS_RGBA, GS_ZS_NONE);
    m_stagesurf = gs_stagesurface_create(m_width, m_height, GS_RGBA);
    if (!m_texrender || !m_stagesurf) {
        blog(LOG_WARNING, "Cannot screenshot, no render target");
        StopTicking();
        Complete(false);
        return;
    }
    gs_texrender_reset(m_texrender);
    if (gs_texrender_begin(m_texrender, m_width, m_height)) {
        vec4 clear;
        vec4_zero(&clear);
        gs_clear(GS_CLEAR_COLOR, &clear, 0.0f, 0);
        gs_ortho(0.0f, static_cast<float>(m_width), 0.0f, static_cast<float>(m_height), -100.0f, 100.0f);
        gs_blend_state_push();
        // The source's pixels replace the cleared target, alpha included.
        gs_blend_function(GS_BLEND_ONE, GS_BLEND_ZERO);
        RenderPicture(source);
        gs_blend_state_pop();
        gs_texrender_end(m_texrender);
    }
}

void ScreenshotJob::RenderPicture(obs_source_t* source)
{
    if (source) {
        obs_source_inc_showing(source);
        obs_source_video_render(source);
        obs_source_dec_showing(source);
        return;
    }
    gs_texture_t* texture = obs_get_main_texture();
    if (!texture)
        return;
    gs_effect_t* effect = obs_get_base_effect(OBS_EFFECT_DEFAULT);
    gs_effect_set_texture(gs_effect_get_param_by_name(effect, "image"), texture);
    while (gs_effect_loop(effect, "Draw"))
        gs_draw_sprite(texture, 0, m_width, m_height);
}

void ScreenshotJob::StageStep() { gs_stage_texture(m_stagesurf, gs_texrender_get_texture(m_texrender)); }

void ScreenshotJob::ReadBackStep()
{
    uint8_t* data = nullptr;
    uint32_t lineSize = 0;
    if (!gs_stagesurface_map(m_stagesurf, &data, &lineSize) || !data || lineSize < m_width * 4) {
        if (data)
            gs_stagesurface_unmap(m_stagesurf);
        blog(LOG_WARNING, "Cannot screenshot, the stage surface does not map");
        StopTicking();
        Complete(false);
        return;
    }
    const size_t rowBytes = size_t{m_width} * 4;
    m_pixels.resize(rowBytes * m_height);
    for (uint32_t row = 0; row < m_height; ++row)
        std::memcpy(m_pixels.data() + row * rowBytes, data + size_t{row} * lineSize, rowBytes);
    gs_stagesurface_unmap(m_stagesurf);
}

void ScreenshotJob::StartSaveStep()
{
    StopTicking();
    if (!m_startWorker || !m_startWorker(m_worker, [this] { Save(); })) {
        blog(LOG_WARNING, "Cannot screenshot, the save thread does not start");
        Complete(false);
    }
}

void ScreenshotJob::Save()
{
    SwapRedAndBlue(m_pixels);
    const std::string bytes = EncodeBitmap32(m_pixels.data(), m_width, m_height, m_width * 4);
    const bool written = !bytes.empty() && platform::WriteFileAtomically(m_path, bytes);
    if (!written)
        blog(LOG_WARNING, "Cannot save screenshot to '%s'", platform::WideToUtf8(m_path).c_str());
    Complete(written);
}

void ScreenshotJob::StopTicking() { obs_remove_tick_callback(OnTick, this); }

void ScreenshotJob::Complete(bool succeeded)
{
    if (m_completed.exchange(true))
        return;
    m_succeeded = succeeded;
    if (m_done)
        m_done->Set();
}

bool TakeScreenshot(OBSSceneAutoRelease scene, const std::wstring& path, int timeoutMs)
{
    obs_video_info ovi = {};
    if (!obs_initialized() || !obs_get_video_info(&ovi))
        return false;  // no frame loop would ever run the job
    platform::CEvent done(false, false);
    ScreenshotJob job(scene ? obs_scene_get_source(scene) : nullptr, path, &done);
    if (!done.Wait(timeoutMs)) {
        blog(LOG_WARNING, "Screenshot did not complete in time");
        return false;
    }
    return job.Succeeded();
}
