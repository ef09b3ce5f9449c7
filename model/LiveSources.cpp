#include "LiveSources.h"

#include "platform/TextConv.h"
#include "platform/VideoDevices.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace {

// Colour sources take 0xAABBGGRR.
uint32_t EngineColour(uint32_t rgb)
{
    return 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

obs_sceneitem_t* AddColourBlock(obs_scene_t* scene, const char* name, uint32_t rgb, uint32_t width, uint32_t height,
                                float x, float y)
{
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_int(settings, "color", EngineColour(rgb));
    obs_data_set_int(settings, "width", width);
    obs_data_set_int(settings, "height", height);
    OBSSourceAutoRelease block = obs_source_create_private("color_source_v3", name, settings);
    if (!block)
        return nullptr;
    obs_sceneitem_t* item = obs_scene_add(scene, block);
    if (item) {
        vec2 pos{x, y};
        obs_sceneitem_set_pos(item, &pos);
    }
    return item;
}

constexpr float kBlockSeconds = 4.0f;  // one sweep across and back

}  // namespace

// The capture module is never asked for its properties without a source of
// its own: it reads its source's data and crashes without one. The devices
// are listed from the system instead, as the module would find them.
std::vector<CameraDevice> ListCameras()
{
    std::vector<CameraDevice> cameras;
    for (const platform::VideoCaptureDevice& device : platform::ListVideoCaptureDevices())
        cameras.push_back({device.name, device.path});
    return cameras;
}

CLiveSource::~CLiveSource()
{
    if (m_ticking)
        obs_remove_tick_callback(MoveBlock, this);
}

std::unique_ptr<CLiveSource> CLiveSource::MakeTestPattern()
{
    obs_video_info video{};
    if (!obs_get_video_info(&video) || video.base_width == 0 || video.base_height == 0)
        return nullptr;
    std::unique_ptr<CLiveSource> live(new CLiveSource);
    live->m_pattern = obs_scene_create_private("Kelvane test pattern");
    if (!live->m_pattern)
        return nullptr;
    const uint32_t width = video.base_width, height = video.base_height;
    uint32_t left = 0;
    for (int i = 0; i < 7; ++i) {
        // The last bar takes what the division leaves, so the bars fill the canvas.
        const uint32_t right = i == 6 ? width : width * static_cast<uint32_t>(i + 1) / 7;
        if (!AddColourBlock(live->m_pattern, "bar", kBarColours[i], right - left, height, float(left), 0.0f))
            return nullptr;
        left = right;
    }
    live->m_block = AddColourBlock(live->m_pattern, "block", 0xFFFFFF, width / 12, height / 5, 0.0f,
                                   float(height) * 2.0f / 5.0f);
    if (!live->m_block)
        return nullptr;
    live->m_source = obs_source_get_ref(obs_scene_get_source(live->m_pattern));
    obs_add_tick_callback(MoveBlock, live.get());
    live->m_ticking = true;
    return live;
}

void CLiveSource::MoveBlock(void* data, float seconds)
{
    auto* live = static_cast<CLiveSource*>(data);
    obs_video_info video{};
    if (!live->m_block || !obs_get_video_info(&video))
        return;
    live->m_time = std::fmod(live->m_time + seconds, kBlockSeconds);
    const float phase = live->m_time / kBlockSeconds;  // 0 … 1: across and back
    const float travel = float(video.base_width - video.base_width / 12);
    vec2 pos{travel * (phase < 0.5f ? phase * 2.0f : 2.0f - phase * 2.0f), float(video.base_height) * 2.0f / 5.0f};
    obs_sceneitem_set_pos(live->m_block, &pos);
}

std::unique_ptr<CLiveSource> CLiveSource::MakeMediaFile(const std::wstring& path)
{
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_bool(settings, "is_local_file", true);
    obs_data_set_string(settings, "local_file", platform::WideToUtf8(path).c_str());
    obs_data_set_bool(settings, "looping", true);
    obs_data_set_bool(settings, "restart_on_activate", true);
    std::unique_ptr<CLiveSource> live(new CLiveSource);
    live->m_source = obs_source_create_private("ffmpeg_source", "Kelvane media", settings);
    return live->m_source ? std::move(live) : nullptr;
}

std::unique_ptr<CLiveSource> CLiveSource::MakeCamera(const CameraDevice& camera, std::string& error)
{
    // The engine makes the input for a device that has gone and shows
    // nothing; the device is checked first so the user learns why.
    if (camera.id.empty() || access(camera.id.c_str(), R_OK | W_OK) != 0) {
        error = camera.id.empty() ? std::string("no camera chosen") : camera.id + ": " + std::strerror(errno);
        return nullptr;
    }
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_string(settings, "device_id", camera.id.c_str());
    std::unique_ptr<CLiveSource> live(new CLiveSource);
    live->m_source = obs_source_create_private("v4l2_input", "Kelvane camera", settings);
    if (!live->m_source) {
        error = camera.id + ": the engine has no camera input";
        return nullptr;
    }
    return live;
}
