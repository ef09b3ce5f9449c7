#include "engine/EngineConfig.h"

#include <gtest/gtest.h>

TEST(EngineConfig, FrameRateIsTruncatedToWholeFrames)
{
    ProjectSettings s;
    for (auto [rate, expected] : {std::pair{25.0f, 25u}, {29.97f, 29u}, {59.94f, 59u}}) {
        s.FrameRate = rate;
        const obs_video_info ovi = MakeVideoInfo(s, kFirstGraphicsModule);
        EXPECT_EQ(ovi.fps_num, expected);
        EXPECT_EQ(ovi.fps_den, 1u);
    }
}

TEST(EngineConfig, ColourCodesOutsideTheTableFallBack)
{
    ProjectSettings s;
    const video_format formats[] = {VIDEO_FORMAT_NV12, VIDEO_FORMAT_I420, VIDEO_FORMAT_I444, VIDEO_FORMAT_RGBA,
                                    VIDEO_FORMAT_RGBA};
    for (int code = 0; code < 5; ++code) {
        s.ColorFormat = code;
        EXPECT_EQ(MakeVideoInfo(s, kFirstGraphicsModule).output_format, formats[code]) << code;
    }
    s.ColorSpace = 1;
    EXPECT_EQ(MakeVideoInfo(s, kFirstGraphicsModule).colorspace, VIDEO_CS_601);
    for (int code : {0, 2, 7}) {
        s.ColorSpace = code;
        EXPECT_EQ(MakeVideoInfo(s, kFirstGraphicsModule).colorspace, VIDEO_CS_709);
    }
    s.ColorRange = 1;
    EXPECT_EQ(MakeVideoInfo(s, kFirstGraphicsModule).range, VIDEO_RANGE_FULL);
    for (int code : {0, 2}) {
        s.ColorRange = code;
        EXPECT_EQ(MakeVideoInfo(s, kFirstGraphicsModule).range, VIDEO_RANGE_PARTIAL);
    }
}

TEST(EngineConfig, CanvasIsNotScaled)
{
    ProjectSettings s;
    s.Width = 1280;
    s.Height = 720;
    const obs_video_info ovi = MakeVideoInfo(s, kFirstGraphicsModule);
    EXPECT_EQ(ovi.base_width, 1280u);
    EXPECT_EQ(ovi.output_width, 1280u);
    EXPECT_EQ(ovi.base_height, 720u);
    EXPECT_EQ(ovi.output_height, 720u);
    EXPECT_TRUE(ovi.gpu_conversion);
    EXPECT_EQ(ovi.scale_type, OBS_SCALE_BILINEAR);
    EXPECT_STREQ(ovi.graphics_module, "D3DEngine");
}

TEST(EngineConfig, AudioLayouts)
{
    ProjectSettings s;
    EXPECT_EQ(MakeAudioInfo(s).samples_per_sec, 44100u);
    s.SampleRate = 1;
    EXPECT_EQ(MakeAudioInfo(s).samples_per_sec, 48000u);
    const speaker_layout layouts[] = {SPEAKERS_MONO,    SPEAKERS_STEREO,  SPEAKERS_2POINT1, SPEAKERS_4POINT0,
                                      SPEAKERS_4POINT1, SPEAKERS_5POINT1, SPEAKERS_7POINT1};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(SpeakerLayoutFromChannel(c), layouts[c]);
    EXPECT_EQ(SpeakerLayoutFromChannel(7), SPEAKERS_STEREO);
    EXPECT_EQ(SpeakerLayoutFromChannel(-1), SPEAKERS_STEREO);
}

TEST(EngineConfig, ModuleConfigPathIsCutToTheBuffer)
{
    EXPECT_EQ(MakeModuleConfigPath(L"/home/u/.local/share/Kelvane"), "/home/u/.local/share/Kelvane/plugin_config");
    const std::wstring longFolder = L"/" + std::wstring(600, L'a');
    const std::string path = MakeModuleConfigPath(longFolder);
    EXPECT_EQ(path.size(), 511u);
    EXPECT_EQ(path, "/" + std::string(510, 'a'));
}

TEST(EngineConfig, VideoFailureTexts)
{
    EXPECT_EQ(VideoFailureText(-5), "Failed to initialize video:  Graphics module not found");
    EXPECT_EQ(VideoFailureText(-3), "Failed to initialize video:  Invalid parameters");
    EXPECT_EQ(VideoFailureText(-2), "Failed to initialize video:  video not supported");
    EXPECT_EQ(VideoFailureText(-4), "Failed to initialize video:  unknow error:-4");
    EXPECT_EQ(VideoFailureText(-1), "Failed to initialize video:  unknow error:-1");
}

TEST(EngineConfig, ForeignFrontEndModulesAreSkipped)
{
    for (const char* name : {"frontend-tools", "decklink-output-ui", "decklink-captions", "obs-websocket", "rtmp-services"})
        EXPECT_TRUE(IsSkippedModule(name)) << name;
    for (const char* name : {"image-source", "obs-ffmpeg", "obs-filters", "uvmap-filter"})
        EXPECT_FALSE(IsSkippedModule(name)) << name;
}
