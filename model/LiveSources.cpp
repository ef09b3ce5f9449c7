#include "LiveSources.h"

#include "engine/TestPatternSource.h"
#include "platform/TextConv.h"
#include "platform/VideoDevices.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

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

std::unique_ptr<CLiveSource> CLiveSource::MakeTestPattern()
{
    std::unique_ptr<CLiveSource> live(new CLiveSource);
    live->m_source = CreateTestPatternSource();
    return live->m_source ? std::move(live) : nullptr;
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
