#include "ObsBasic.h"

#include "EngineConfig.h"
#include "EngineLog.h"
#include "app/ProjectSettings.h"
#include "app/UserFolders.h"
#include "platform/LargeAllocations.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <X11/Xlib.h>
#include <exception>
#include <obs-nix-platform.h>
#include <obs.h>
#include <strings.h>
#include <util/bmem.h>
#include <util/platform.h>

namespace {

void* g_engineDisplay = nullptr;

constexpr const char* kShortRule = "---------------------------------";

struct ModuleLoadContext {
    int loaded = 0;
};

void LoadFoundModule(void* param, const obs_module_info2* info)
{
    auto* context = static_cast<ModuleLoadContext*>(param);
    if (!info || !info->name || IsSkippedModule(info->name))
        return;
    obs_module_t* module = nullptr;
    const int code = obs_open_module(&module, info->bin_path, info->data_path);
    if (code != MODULE_SUCCESS) {
        blog(LOG_WARNING, "Failed to load module '%s' (%d)", info->bin_path, code);
        return;
    }
    if (obs_init_module(module))
        ++context->loaded;
    else
        blog(LOG_WARNING, "Failed to initialize module '%s'", info->name);
}

}  // namespace

void SetEngineDisplay(void* display) { g_engineDisplay = display; }

ObsBasic::ObsBasic()
{
    // Decoded pictures are the engine's largest buffers: freed, they go
    // back to the system instead of staying resident in some thread's heap.
    platform::MapLargeAllocationsSeparately();
    m_display = g_engineDisplay;
    if (!m_display) {
        m_display = XOpenDisplay(nullptr);
        m_ownsDisplay = m_display != nullptr;
    }
    obs_set_nix_platform(OBS_NIX_PLATFORM_X11_EGL);
    obs_set_nix_platform_display(m_display);

    // libobs's own handler prints start-up lines on standard output; the
    // program's handler goes in first so every line takes the one way out.
    base_set_log_handler(EngineLogHandler, nullptr);
    const std::string configPath = MakeModuleConfigPath(GetUserDataFolder());
    obs_startup("zh-CN", configPath.c_str(), nullptr);
}

ObsBasic::~ObsBasic()
{
    for (uint32_t i = 0; i < 5; ++i) {
        obs_source_t* source = obs_get_output_source(i);
        if (source) {
            obs_set_output_source(i, nullptr);
            obs_source_release(source);
        }
    }
    obs_shutdown();
    if (m_ownsDisplay)
        XCloseDisplay(static_cast<Display*>(m_display));
}

bool ObsBasic::InitEngine()
{
    m_startResult = StartResult::Failed;
    try {
        if (!ResetAudio()) {
            m_startResult = StartResult::AudioFailed;
            return false;
        }
        if (!ResetVideo()) {
            m_startResult = StartResult::VideoFailed;
            return false;
        }
        SetMonitoringDevice();
        LoadModules();
        m_startResult = StartResult::Started;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool ObsBasic::ResetAudio()
{
    const obs_audio_info oai = MakeAudioInfo(g_settings);
    if (!obs_reset_audio(&oai)) {
        blog(LOG_ERROR, "Failed to initialize audio");
        return false;
    }
    return true;
}

bool ObsBasic::ResetVideo()
{
    if (!m_display) {
        // Without a display the graphics module cannot start; say why once.
        blog(LOG_ERROR, "No X11 display for the engine");
    }
    const int result = ApplyVideoSettings();
    m_videoResult = result;
    if (result != OBS_VIDEO_SUCCESS) {
        blog(LOG_ERROR, "%s", VideoFailureText(result).c_str());
        return false;
    }
    return true;
}

int ObsBasic::ApplyVideoSettings()
{
    if (!m_display)
        return OBS_VIDEO_FAIL;  // the graphics module would abort without a display
    obs_video_info ovi = MakeVideoInfo(g_settings, kFirstGraphicsModule);
    int result = obs_reset_video(&ovi);
    if (result == OBS_VIDEO_SUCCESS)
        return result;
    if (result == OBS_VIDEO_CURRENTLY_ACTIVE) {
        blog(LOG_WARNING, "Tried to reset when already active");
        return result;
    }
    if (strcasecmp(ovi.graphics_module, kFallbackGraphicsModule) == 0)
        return result;
    blog(LOG_WARNING, "Failed to initialize obs video (%d) with graphics_module='%s', retrying with graphics_module='%s'",
         result, kFirstGraphicsModule, kFallbackGraphicsModule);
    ovi.graphics_module = kFallbackGraphicsModule;
    return obs_reset_video(&ovi);
}

void ObsBasic::SetMonitoringDevice()
{
    const std::string name = platform::WideToUtf8(g_settings.MonitorDevice);
    const std::string id = platform::WideToUtf8(g_settings.MonitorDeviceID);
    obs_set_audio_monitoring_device(name.c_str(), id.c_str());
    blog(LOG_INFO, "Audio monitoring device:\n\tname: %s\n\tid: %s", name.c_str(), id.c_str());
}

void ObsBasic::LoadModules()
{
    // The project's own modules follow the executable (build folder or install prefix).
    const std::string folder = platform::WideToUtf8(platform::GetProgramModuleFolder());
    const std::string data = platform::WideToUtf8(platform::GetProgramModuleDataFolder()) + "/%module%";
    obs_add_module_path(folder.c_str(), data.c_str());

    blog(LOG_INFO, "%s", kShortRule);
    ModuleLoadContext context;
    obs_find_modules2(LoadFoundModule, &context);
    blog(LOG_INFO, "%s", kShortRule);
    obs_log_loaded_modules();
    blog(LOG_INFO, "%s", kShortRule);
    obs_post_load_modules();
    blog(LOG_INFO, "ResetOutputs\n");
}
