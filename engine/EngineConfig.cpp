#include "EngineConfig.h"

#include <array>
#include <cstdio>
#include <util/bmem.h>
#include <util/platform.h>

obs_video_info MakeVideoInfo(const ProjectSettings& s, const char* graphicsModule)
{
    obs_video_info ovi = {};
    ovi.graphics_module = graphicsModule;
    ovi.fps_num = static_cast<uint32_t>(static_cast<int>(s.FrameRate));  // 29.97 runs at 29/1
    ovi.fps_den = 1;
    ovi.base_width = ovi.output_width = static_cast<uint32_t>(s.Width);
    ovi.base_height = ovi.output_height = static_cast<uint32_t>(s.Height);
    switch (s.ColorFormat) {
    case 0: ovi.output_format = VIDEO_FORMAT_NV12; break;
    case 1: ovi.output_format = VIDEO_FORMAT_I420; break;
    case 2: ovi.output_format = VIDEO_FORMAT_I444; break;
    default: ovi.output_format = VIDEO_FORMAT_RGBA; break;
    }
    ovi.adapter = 0;
    ovi.gpu_conversion = true;
    ovi.colorspace = s.ColorSpace == 1 ? VIDEO_CS_601 : VIDEO_CS_709;
    ovi.range = s.ColorRange == 1 ? VIDEO_RANGE_FULL : VIDEO_RANGE_PARTIAL;
    ovi.scale_type = OBS_SCALE_BILINEAR;
    return ovi;
}

speaker_layout SpeakerLayoutFromChannel(int channel)
{
    switch (channel) {
    case 0: return SPEAKERS_MONO;
    case 1: return SPEAKERS_STEREO;
    case 2: return SPEAKERS_2POINT1;
    case 3: return SPEAKERS_4POINT0;
    case 4: return SPEAKERS_4POINT1;
    case 5: return SPEAKERS_5POINT1;
    case 6: return SPEAKERS_7POINT1;
    default: return SPEAKERS_STEREO;
    }
}

obs_audio_info MakeAudioInfo(const ProjectSettings& s)
{
    obs_audio_info oai = {};
    oai.samples_per_sec = s.SampleRate != 0 ? 48000 : 44100;
    oai.speakers = SpeakerLayoutFromChannel(s.Channel);
    return oai;
}

std::string MakeModuleConfigPath(const std::wstring& userDataFolder)
{
    char* folder = nullptr;
    os_wcs_to_utf8_ptr(userDataFolder.c_str(), userDataFolder.size(), &folder);
    std::array<char, 512> buffer{};
    int n = std::snprintf(buffer.data(), buffer.size(), "%s/%s", folder ? folder : "", "plugin_config");
    bfree(folder);
    if (n <= 0)
        return {};
    return std::string(buffer.data());
}

std::string VideoFailureText(int result)
{
    switch (result) {
    case OBS_VIDEO_MODULE_NOT_FOUND: return "Failed to initialize video:  Graphics module not found";
    case OBS_VIDEO_INVALID_PARAM: return "Failed to initialize video:  Invalid parameters";
    case OBS_VIDEO_NOT_SUPPORTED: return "Failed to initialize video:  video not supported";
    default: {
        char text[96];
        std::snprintf(text, sizeof(text), "Failed to initialize video:  unknow error:%d", result);
        return text;
    }
    }
}

bool IsSkippedModule(const std::string& name)
{
    static const char* const skipped[] = {"frontend-tools", "decklink-output-ui", "decklink-captions", "obs-websocket",
                                          "rtmp-services"};
    for (const char* s : skipped)
        if (name == s)
            return true;
    return false;
}
