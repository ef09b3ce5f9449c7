// The kind table's settings and the display names, without creating sources.
#include "model/SourceKinds.h"
#include "model/SourceNames.h"

#include "app/UserFolders.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Text(obs_data_t* data, const char* key) { return obs_data_get_string(data, key); }

std::string PlaylistValue(const SourceRecipe& recipe)
{
    OBSDataArrayAutoRelease playlist = obs_data_get_array(recipe.settings, "playlist");
    if (obs_data_array_count(playlist) != 1)
        return "<not one entry>";
    OBSDataAutoRelease entry = obs_data_array_item(playlist, 0);
    return Text(entry, "value");
}

}  // namespace

TEST(SourceKinds, LocalMediaFile)
{
    SourceInfo info;
    info.kind = kKindMediaFile;
    info.path = L"/clips/Été.mp4";
    info.loop = true;
    info.hardwareDecode = true;
    const SourceRecipe recipe = MakeSourceRecipe(info);
    ASSERT_STREQ(recipe.typeId, "ffmpeg_source");
    EXPECT_TRUE(obs_data_get_bool(recipe.settings, "is_local_file"));
    EXPECT_EQ(Text(recipe.settings, "local_file"), "/clips/Été.mp4");
    EXPECT_EQ(obs_data_get_int(recipe.settings, "buffering_mb"), 3);
    EXPECT_TRUE(obs_data_get_bool(recipe.settings, "hw_decode"));
    EXPECT_TRUE(obs_data_get_bool(recipe.settings, "looping"));
    EXPECT_FALSE(obs_data_get_bool(recipe.settings, "restart_on_activate"));
    EXPECT_FALSE(obs_data_get_bool(recipe.settings, "close_when_inactive"));
}

TEST(SourceKinds, NetworkStreamTakesTheSecondStringOnlyWhenFlaggedAndSet)
{
    SourceInfo info;
    info.kind = kKindNetworkStream;
    info.path = L"rtmp://path";
    info.streamAddress = L"srt://second";
    info.buffering = 7;
    EXPECT_EQ(Text(MakeSourceRecipe(info).settings, "input"), "rtmp://path");
    info.useStreamAddress = true;
    const SourceRecipe recipe = MakeSourceRecipe(info);
    EXPECT_EQ(Text(recipe.settings, "input"), "srt://second");
    EXPECT_FALSE(obs_data_get_bool(recipe.settings, "is_local_file"));
    EXPECT_EQ(obs_data_get_int(recipe.settings, "buffering_mb"), 7);
    info.streamAddress.clear();
    EXPECT_EQ(Text(MakeSourceRecipe(info).settings, "input"), "rtmp://path");
}

TEST(SourceKinds, PlaylistPlayerGetsListeningUdpAddresses)
{
    SourceInfo info;
    info.kind = kKindNetworkStream;
    info.variant = 1;
    info.buffering = 4;
    info.path = L"UDP://239.0.0.1:1234";
    SourceRecipe recipe = MakeSourceRecipe(info);
    ASSERT_STREQ(recipe.typeId, "vlc_source");
    EXPECT_EQ(PlaylistValue(recipe), "udp://@239.0.0.1:1234");
    EXPECT_EQ(obs_data_get_int(recipe.settings, "network_caching"), 400);
    EXPECT_EQ(Text(recipe.settings, "playback_behavior"), "always_play");

    info.path = L"udp://@239.0.0.1:1234";
    EXPECT_EQ(PlaylistValue(MakeSourceRecipe(info)), "udp://@239.0.0.1:1234");
    info.path = L"rtp://239.0.0.1:1234";
    EXPECT_EQ(PlaylistValue(MakeSourceRecipe(info)), "rtp://239.0.0.1:1234");
    EXPECT_EQ(RewriteUdpAddress(L"udp:/"), L"udp:/");
    EXPECT_EQ(RewriteUdpAddress(L"Udp://"), L"udp://@");
}

TEST(SourceKinds, MediaFileThroughThePlaylistPlayer)
{
    SourceInfo info;
    info.kind = kKindMediaFile;
    info.variant = 1;
    info.path = L"/clips/a.mkv";
    const SourceRecipe recipe = MakeSourceRecipe(info);
    ASSERT_STREQ(recipe.typeId, "vlc_source");
    EXPECT_EQ(obs_data_get_int(recipe.settings, "network_caching"), 1000);
    EXPECT_EQ(PlaylistValue(recipe), "/clips/a.mkv");
}

TEST(SourceKinds, CaptureDeviceJoinsNameAndPath)
{
    SourceInfo info;
    info.kind = kKindCaptureDevice;
    info.videoDeviceName = L"Cam";
    info.videoDevicePath = L"/dev/video0";
    info.customResolution = true;
    info.width = 1280;
    info.height = 720;
    const SourceRecipe recipe = MakeSourceRecipe(info);
    ASSERT_STREQ(recipe.typeId, "dshow_input");
    EXPECT_EQ(Text(recipe.settings, "video_device_id"), "Cam:/dev/video0");
    EXPECT_EQ(Text(recipe.settings, "last_video_device_id"), "Cam:/dev/video0");
    EXPECT_EQ(Text(recipe.settings, "resolution"), "1280x720");
    EXPECT_EQ(obs_data_get_int(recipe.settings, "res_type"), 1);
    EXPECT_EQ(obs_data_get_int(recipe.settings, "frame_interval"), -1);
    EXPECT_FALSE(obs_data_has_user_value(recipe.settings, "use_custom_audio_device"));
    info.variant = 2;
    EXPECT_STREQ(MakeSourceRecipe(info).typeId, "wasapi_output_capture");
    info.variant = 3;
    EXPECT_EQ(MakeSourceRecipe(info).typeId, nullptr);
}

TEST(SourceKinds, ScreenCaptureVariants)
{
    SourceInfo info;
    info.kind = kKindScreen;
    info.variant = 1;
    info.captureTarget = L"2";
    SourceRecipe recipe = MakeSourceRecipe(info);
    ASSERT_STREQ(recipe.typeId, "monitor_capture");
    EXPECT_EQ(obs_data_get_int(recipe.settings, "monitor"), 2);
    info.variant = 0;
    info.captureMethod = 1;
    recipe = MakeSourceRecipe(info);
    ASSERT_STREQ(recipe.typeId, "window_capture");
    EXPECT_EQ(obs_data_get_int(recipe.settings, "method"), 2);
    EXPECT_TRUE(obs_data_get_bool(recipe.settings, "client_area"));
    info.variant = 2;
    EXPECT_STREQ(MakeSourceRecipe(info).typeId, "game_capture");
}

TEST(SourceKinds, BrowserBackgroundAndFrameRate)
{
    SourceInfo info;
    info.kind = kKindBrowser;
    info.browser.url = L"https://example.invalid/";
    SourceRecipe recipe = MakeSourceRecipe(info);
    ASSERT_STREQ(recipe.typeId, "browser_source");
    EXPECT_FALSE(obs_data_has_user_value(recipe.settings, "css"));
    EXPECT_FALSE(obs_data_has_user_value(recipe.settings, "fps"));
    EXPECT_EQ(recipe.erasedKeys.size(), 2u);
    info.browser.hasBackground = true;
    info.browser.background = 0x80FF2010;  // alpha 0x80, blue 0xFF, green 0x20, red 0x10
    info.browser.customFps = true;
    info.browser.fps = 50;
    recipe = MakeSourceRecipe(info);
    EXPECT_EQ(Text(recipe.settings, "css"),
              "body { background-color: rgba(16, 32, 255, 128); margin: 0px auto; overflow: hidden; }");
    EXPECT_EQ(obs_data_get_int(recipe.settings, "fps"), 50);
    EXPECT_TRUE(recipe.erasedKeys.empty());
}

TEST(SourceKinds, PatternAndWebRtcFiles)
{
    SourceInfo info;
    info.kind = kKindTestPattern;
    info.path = L"bars.png";
    EXPECT_EQ(Text(MakeSourceRecipe(info).settings, "file"),
              platform::WideToUtf8(platform::GetProgramDataFolder()) + "/Data/Pattern/bars.png");
    info.kind = kKindWebRtc;
    info.webRtc.roomName = L"room";
    info.webRtc.videoCaptureDevice = L"cam";
    const SourceRecipe rtc = MakeSourceRecipe(info);
    ASSERT_STREQ(rtc.typeId, "rtc_source");
    EXPECT_EQ(Text(rtc.settings, "trun_server_ini_filename"), platform::WideToUtf8(GetRtcServerConfigPath()));
    EXPECT_EQ(Text(rtc.settings, "video_capture_device"), "");  // not used
}

TEST(SourceKinds, UnknownKindsMakeNothing)
{
    for (int kind : {0, 7, 8, 9, 12, 13, 14, 19, 200}) {
        SourceInfo info;
        info.kind = kind;
        EXPECT_EQ(MakeSourceRecipe(info).typeId, nullptr) << "kind " << kind;
    }
    EXPECT_TRUE(IsUniquelyNamedKind(2));
    EXPECT_TRUE(IsUniquelyNamedKind(10));
    EXPECT_FALSE(IsUniquelyNamedKind(3));
}

TEST(SourceNames, DisplayNameByKind)
{
    SourceInfo info;
    info.kind = kKindNativeSet;
    info.path = L"/sets/Studio A/scene.tvn";
    EXPECT_EQ(MakeDisplayName(info), L"Studio A");
    EXPECT_EQ(info.displayName, L"Studio A");
    info.kind = kKindMediaFile;
    info.path = L"/clips/intro.mp4";
    EXPECT_EQ(MakeDisplayName(info), L"intro.mp4");
    info.playlistCount = 2;
    EXPECT_EQ(MakeDisplayName(info), L"[List]intro.mp4");
    info.playlistCount = 0;
    info.path.clear();
    info.streamAddress = L"/other/outro.mov";
    EXPECT_EQ(MakeDisplayName(info), L"outro.mov");
    info.kind = kKindWebRtc2;
    info.webRtc.myName = L"me";
    info.webRtc.roomName = L"room";
    info.webRtc.myId = L"7";
    EXPECT_EQ(MakeDisplayName(info), L"me(room - 7)");
    info.kind = kKindScreen;
    info.path = L"Screen";
    EXPECT_EQ(MakeDisplayName(info), L"Screen");
    info.kind = kKindCaptureDevice;
    EXPECT_EQ(MakeDisplayName(info), L"Unknown");
}
