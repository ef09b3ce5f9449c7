// The engine started for real under X (Xvfb with Mesa here). Each test case
// runs in its own process, so each starts libobs once.
#include "support/EngineFixture.h"

#include "app/ProjectSettings.h"
#include "app/UserFolders.h"
#include "engine/EngineConfig.h"
#include "engine/ObsMain.h"
#include "platform/TextConv.h"

#include <filesystem>
#include <obs-module.h>
#include <obs.h>
#include <memory>
#include <string>
#include <util/bmem.h>

namespace {

std::string VideoFormatOf(const obs_video_info& ovi)
{
    switch (ovi.output_format) {
    case VIDEO_FORMAT_NV12: return "NV12";
    case VIDEO_FORMAT_RGBA: return "RGBA";
    default: return "other";
    }
}

// Captures standard error (where the log goes) from before the engine starts.
class LoggedEngineTest : public EngineTest {
protected:
    void ConfigureSettings() override
    {
        testing::internal::CaptureStderr();
        m_capturing = true;
    }
    std::string TakeLog()
    {
        // Set-up can stop before the capture started (no display).
        if (m_capturing)
            m_log = testing::internal::GetCapturedStderr();
        m_capturing = false;
        return m_log;
    }
    void TearDown() override
    {
        TakeLog();
        EngineTest::TearDown();
    }
    std::string m_log;
    bool m_capturing = false;
};

}  // namespace

TEST_F(LoggedEngineTest, DefaultsConfigureTheEngineAfterTheModuleFallback)
{
    obs_video_info ovi = {};
    ASSERT_TRUE(obs_get_video_info(&ovi));
    EXPECT_STREQ(ovi.graphics_module, "libobs-opengl.so.1");
    EXPECT_EQ(ovi.fps_num, 25u);
    EXPECT_EQ(ovi.fps_den, 1u);
    EXPECT_EQ(ovi.base_width, 1920u);
    EXPECT_EQ(ovi.base_height, 1080u);
    EXPECT_EQ(ovi.output_width, 1920u);
    EXPECT_EQ(ovi.output_height, 1080u);
    EXPECT_EQ(VideoFormatOf(ovi), "NV12");
    EXPECT_EQ(ovi.colorspace, VIDEO_CS_709);
    EXPECT_EQ(ovi.range, VIDEO_RANGE_PARTIAL);
    obs_audio_info oai = {};
    ASSERT_TRUE(obs_get_audio_info(&oai));
    EXPECT_EQ(oai.samples_per_sec, 44100u);
    EXPECT_EQ(oai.speakers, SPEAKERS_STEREO);

    const std::string log = TakeLog();
    EXPECT_NE(log.find("Failed to initialize obs video (-5) with graphics_module='D3DEngine', retrying with "
                       "graphics_module='libobs-opengl.so.1'"),
              std::string::npos)
        << log.substr(0, 2000);
    EXPECT_NE(log.find("Audio monitoring device:\n\tname: \n\tid: \n"), std::string::npos);
    EXPECT_NE(log.find("ResetOutputs\n"), std::string::npos);
}

class MappedEngineTest : public EngineTest {
protected:
    void ConfigureSettings() override
    {
        g_settings.FrameRate = 29.97f;
        g_settings.ColorFormat = 3;
        g_settings.ColorSpace = 2;
        g_settings.ColorRange = 2;
        g_settings.Channel = 7;
        g_settings.SampleRate = 1;
    }
};

TEST_F(MappedEngineTest, SettingsCodesMapToTheEngineFormats)
{
    obs_video_info ovi = {};
    ASSERT_TRUE(obs_get_video_info(&ovi));
    EXPECT_EQ(ovi.fps_num, 29u);
    EXPECT_EQ(ovi.fps_den, 1u);
    EXPECT_EQ(VideoFormatOf(ovi), "RGBA");
    EXPECT_EQ(ovi.colorspace, VIDEO_CS_709);
    EXPECT_EQ(ovi.range, VIDEO_RANGE_PARTIAL);
    obs_audio_info oai = {};
    ASSERT_TRUE(obs_get_audio_info(&oai));
    EXPECT_EQ(oai.samples_per_sec, 48000u);
    EXPECT_EQ(oai.speakers, SPEAKERS_STEREO);
}

namespace {
void IgnoreFrame(void*, video_data*) {}
}  // namespace

TEST_F(LoggedEngineTest, ResetWhileVideoIsActiveIsNotRetried)
{
    // A raw video callback makes the engine's video active, as an output would.
    video_scale_info conversion = {};
    conversion.format = VIDEO_FORMAT_NV12;
    conversion.width = 1920;
    conversion.height = 1080;
    obs_add_raw_video_callback(&conversion, IgnoreFrame, nullptr);
    TakeLog();
    testing::internal::CaptureStderr();
    const int result = engine()->ApplyVideoSettings();
    const std::string log = testing::internal::GetCapturedStderr();
    obs_remove_raw_video_callback(IgnoreFrame, nullptr);
    EXPECT_EQ(result, -4);
    EXPECT_NE(log.find("Tried to reset when already active"), std::string::npos) << log;
    EXPECT_EQ(log.find("retrying"), std::string::npos) << log;
    EXPECT_EQ(VideoFailureText(result), "Failed to initialize video:  unknow error:-4");
}

TEST_F(LoggedEngineTest, LogHandlerCutsLongMessagesAndAddsALineEnd)
{
    TakeLog();
    testing::internal::CaptureStderr();
    const std::string longText(5000, 'q');
    blog(LOG_DEBUG, "%s", longText.c_str());
    blog(LOG_WARNING, "level %d", 2);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find(std::string(4095, 'q') + "\n"), std::string::npos);
    EXPECT_EQ(log.find(std::string(4096, 'q')), std::string::npos);
    EXPECT_NE(log.find("level 2\n"), std::string::npos);
}

TEST_F(EngineTest, ModulesLoadWithoutTheForeignFrontEnd)
{
    for (const char* type : {"image_source", "ffmpeg_source", "text_ft2_source_v2"}) {
        bool found = false;
        const char* id = nullptr;
        for (size_t i = 0; obs_enum_input_types(i, &id); ++i)
            found = found || std::string(id) == type;
        EXPECT_TRUE(found) << type;
    }
    for (const char* type : {"chroma_key_filter_v2", "gain_filter", "noise_suppress_filter_v2"}) {
        bool found = false;
        const char* id = nullptr;
        for (size_t i = 0; obs_enum_filter_types(i, &id); ++i)
            found = found || std::string(id) == type;
        EXPECT_TRUE(found) << type;
    }
    EXPECT_EQ(obs_get_module("frontend-tools"), nullptr);
    EXPECT_EQ(obs_get_module("obs-websocket"), nullptr);
    EXPECT_NE(obs_get_module("image-source"), nullptr);
}

// A user data folder so deep that "<folder>/plugin_config" exceeds 511 bytes.
class DeepFolderEngineTest : public EngineTest {
protected:
    void ConfigureSettings() override
    {
        m_deep = m_root.path() + "/" + std::string(200, 'a') + "/" + std::string(200, 'b') + "/" + std::string(120, 'c');
        std::filesystem::create_directories(m_deep);
        m_env = std::make_unique<testsupport::ScopedEnv>("XDG_DATA_HOME", m_deep.c_str());
    }
    testsupport::TempDir m_root;
    std::string m_deep;
    std::unique_ptr<testsupport::ScopedEnv> m_env;
};

TEST_F(DeepFolderEngineTest, ModuleConfigPathIsPassedCut)
{
    const std::string expected = MakeModuleConfigPath(GetUserDataFolder());
    ASSERT_EQ(expected.size(), 511u);
    obs_module_t* module = obs_get_module("image-source");
    ASSERT_NE(module, nullptr);
    char* path = obs_module_get_config_path(module, "x.json");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path), expected + "/image-source/x.json");
    bfree(path);
}
