#include "SourceKinds.h"

#include "app/UserFolders.h"
#include "platform/SystemFolders.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cstdio>
#include <cwctype>

namespace {

using platform::WideToUtf8;

void SetText(obs_data_t* data, const char* key, const std::wstring& value)
{
    obs_data_set_string(data, key, WideToUtf8(value).c_str());
}

void MakeFfmpegLocal(const SourceInfo& info, obs_data_t* s)
{
    obs_data_set_bool(s, "is_local_file", true);
    SetText(s, "local_file", info.path);
    obs_data_set_int(s, "buffering_mb", 3);
    obs_data_set_bool(s, "hw_decode", info.hardwareDecode);
    obs_data_set_bool(s, "looping", info.loop);
    obs_data_set_bool(s, "restart_on_activate", false);
    obs_data_set_bool(s, "close_when_inactive", false);
}

void MakeFfmpegStream(const SourceInfo& info, obs_data_t* s)
{
    obs_data_set_bool(s, "is_local_file", false);
    SetText(s, "input", StreamAddressOf(info));
    obs_data_set_int(s, "buffering_mb", info.buffering);
    obs_data_set_bool(s, "hw_decode", info.hardwareDecode);
    obs_data_set_bool(s, "looping", info.loop);
    obs_data_set_bool(s, "restart_on_activate", false);
    obs_data_set_bool(s, "close_when_inactive", false);
}

void MakeVlcPlaylist(const SourceInfo& info, obs_data_t* s, int networkCaching, const std::wstring& value)
{
    obs_data_set_string(s, "playback_behavior", "always_play");
    obs_data_set_int(s, "network_caching", networkCaching);
    obs_data_set_bool(s, "shuffle", false);
    obs_data_set_bool(s, "loop", info.loop);
    OBSDataArrayAutoRelease playlist = obs_data_array_create();
    OBSDataAutoRelease entry = obs_data_create();
    obs_data_set_bool(entry, "hidden", false);
    obs_data_set_bool(entry, "selected", false);
    SetText(entry, "value", value);
    obs_data_array_push_back(playlist, entry);
    obs_data_set_array(s, "playlist", playlist);
}

void MakeDirectShow(const SourceInfo& info, obs_data_t* s)
{
    obs_data_set_bool(s, "active", true);
    obs_data_set_bool(s, "autorotation", false);
    obs_data_set_string(s, "color_range", "default");
    obs_data_set_string(s, "color_space", "default");
    if (!info.videoDeviceName.empty() || !info.videoDevicePath.empty()) {
        const std::wstring device = info.videoDeviceName + L":" + info.videoDevicePath;
        SetText(s, "video_device_id", device);
        SetText(s, "last_video_device_id", device);
        obs_data_set_int(s, "video_format", 0);
    }
    if (!info.audioDevice.empty()) {
        obs_data_set_bool(s, "use_custom_audio_device", true);
        SetText(s, "audio_device_id", info.audioDevice);
    }
    if (info.customResolution) {
        char resolution[32];
        std::snprintf(resolution, sizeof resolution, "%dx%d", info.width, info.height);
        obs_data_set_int(s, "res_type", 1);
        obs_data_set_string(s, "resolution", resolution);
        obs_data_set_string(s, "last_resolution", resolution);
        obs_data_set_int(s, "frame_interval", -1);
    }
}

int TargetAsInteger(const std::wstring& target)
{
    try {
        return std::stoi(target);
    } catch (...) {
        return 0;
    }
}

const char* MakeScreenCapture(const SourceInfo& info, obs_data_t* s)
{
    switch (info.variant) {
    case 1:
        obs_data_set_int(s, "monitor", TargetAsInteger(info.captureTarget));
        obs_data_set_bool(s, "capture_cursor", info.captureCursor);
        return "monitor_capture";
    case 2:
        obs_data_set_string(s, "capture_mode", "window");
        SetText(s, "window", info.captureTarget);
        obs_data_set_bool(s, "capture_cursor", info.captureCursor);
        obs_data_set_bool(s, "capture_overlays", true);
        obs_data_set_bool(s, "anti_cheat_hook", true);
        obs_data_set_bool(s, "limit_framerate", true);
        return "game_capture";
    case 0:
        obs_data_set_int(s, "method", info.captureMethod + 1);
        SetText(s, "window", info.captureTarget);
        obs_data_set_int(s, "priority", 0);
        obs_data_set_bool(s, "cursor", info.captureCursor);
        obs_data_set_bool(s, "compatibility", false);
        obs_data_set_bool(s, "use_wildcards", false);
        obs_data_set_bool(s, "client_area", true);
        return "window_capture";
    default:
        return nullptr;
    }
}

void MakeNdi(const NdiSettings& ndi, obs_data_t* s)
{
    SetText(s, "ndi_source_name", ndi.sourceName);
    obs_data_set_int(s, "latency", ndi.latency);
    obs_data_set_int(s, "ndi_bw_mode", ndi.bandwidthMode);
    obs_data_set_int(s, "ndi_sync", ndi.sync);
    obs_data_set_int(s, "yuv_colorspace", ndi.yuvColorSpace);
    obs_data_set_int(s, "yuv_range", ndi.yuvRange);
    obs_data_set_bool(s, "ndi_fix_alpha_blending", ndi.fixAlphaBlending);
    obs_data_set_bool(s, "ndi_recv_hw_accel", ndi.hardwareAcceleration);
}

void MakeBrowser(const BrowserSettings& b, SourceRecipe& recipe)
{
    obs_data_t* s = recipe.settings;
    SetText(s, "url", b.url);
    obs_data_set_int(s, "width", b.width);
    obs_data_set_int(s, "height", b.height);
    obs_data_set_bool(s, "reroute_audio", true);
    obs_data_set_bool(s, "fps_custom", b.customFps);
    if (b.customFps)
        obs_data_set_int(s, "fps", b.fps);
    else
        recipe.erasedKeys.push_back("fps");
    obs_data_set_bool(s, "is_local_file", b.isLocalFile);
    SetText(s, "local_file", b.localFile);
    if (b.hasBackground)
        obs_data_set_string(s, "css", MakeBrowserCss(b.background).c_str());
    else
        recipe.erasedKeys.push_back("css");
}

void MakeWebRtc(const WebRtcSettings& r, obs_data_t* s)
{
    SetText(s, "trun_server_ini_filename", GetRtcServerConfigPath());
    SetText(s, "room_name", r.roomName);
    SetText(s, "password", r.password);
    SetText(s, "my_id", r.myId);
    SetText(s, "my_name", r.myName);
    SetText(s, "video_capture_device", r.useVideoDevice ? r.videoCaptureDevice : std::wstring());
    SetText(s, "audio_capture_device", r.useAudioDevice ? r.audioCaptureDevice : std::wstring());
    SetText(s, "audio_playout_device", r.audioPlayoutDevice);
}

}  // namespace

std::wstring StreamAddressOf(const SourceInfo& info)
{
    if (info.useStreamAddress && !info.streamAddress.empty())
        return info.streamAddress;
    return info.path;
}

std::wstring RewriteUdpAddress(const std::wstring& address)
{
    if (address.size() < 6)
        return address;
    std::wstring head = address.substr(0, 6);
    for (auto& c : head)
        c = static_cast<wchar_t>(std::towlower(c));
    if (head != L"udp://")
        return address;
    if (address.size() > 6 && address[6] == L'@')
        return address;
    return L"udp://@" + address.substr(6);
}

std::string MakeBrowserCss(uint32_t c)
{
    char css[160];
    std::snprintf(css, sizeof css,
                  "body { background-color: rgba(%d, %d, %d, %d); margin: 0px auto; overflow: hidden; }",
                  static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF),
                  static_cast<int>(c >> 24));
    return css;
}

bool IsUniquelyNamedKind(int32_t kind) { return kind == kKindCaptureDevice || kind == kKindScreen; }

SourceRecipe MakeSourceRecipe(const SourceInfo& info)
{
    SourceRecipe recipe;
    recipe.settings = obs_data_create();
    obs_data_t* s = recipe.settings;
    switch (info.kind) {
    case kKindMediaFile:
        if (info.variant == 0) {
            MakeFfmpegLocal(info, s);
            recipe.typeId = "ffmpeg_source";
        } else {
            MakeVlcPlaylist(info, s, 1000, info.path);
            recipe.typeId = "vlc_source";
        }
        break;
    case kKindCaptureDevice:
        if (info.variant == 0) {
            MakeDirectShow(info, s);
            recipe.typeId = "dshow_input";
        } else if (info.variant == 1 || info.variant == 2) {
            SetText(s, "device_id", info.audioDevice);
            recipe.typeId = info.variant == 1 ? "wasapi_input_capture" : "wasapi_output_capture";
        }
        break;
    case kKindImage:
        SetText(s, "file", info.path);
        recipe.typeId = "image_source";
        break;
    case kKindNetworkStream:
        if (info.variant == 0) {
            MakeFfmpegStream(info, s);
            recipe.typeId = "ffmpeg_source";
        } else {
            MakeVlcPlaylist(info, s, info.buffering * 100, RewriteUdpAddress(StreamAddressOf(info)));
            recipe.typeId = "vlc_source";
        }
        break;
    case kKindScreen:
        recipe.typeId = MakeScreenCapture(info, s);
        break;
    case kKindNdi:
        MakeNdi(info.ndi, s);
        recipe.typeId = "ndi_source";
        break;
    case kKindBrowser:
        MakeBrowser(info.browser, recipe);
        recipe.typeId = "browser_source";
        break;
    case kKindTestPattern:
        SetText(s, "file", platform::JoinPath(platform::JoinPath(platform::GetProgramDataFolder(), L"Data/Pattern"), info.path));
        recipe.typeId = "image_source";
        break;
    case kKindWebRtc:
    case kKindWebRtc2:
        MakeWebRtc(info.webRtc, s);
        recipe.typeId = "rtc_source";
        break;
    default:
        break;
    }
    return recipe;
}
