// The platform's type ids and settings keys, on the real engine's modules.
#include "support/EngineFixture.h"

#include "engine/SourceTypes.h"
#include "support/TestSupport.h"

#include <obs.hpp>
#include <string>

TEST(SourceTypes, TranslationRenamesKeysAndKeepsTheirTypes)
{
    EXPECT_STREQ(EngineSourceType("text_gdiplus"), "text_ft2_source_v2");
    EXPECT_STREQ(EngineSourceType("dshow_input"), "v4l2_input");
    EXPECT_STREQ(EngineSourceType("wasapi_input_capture"), "pulse_input_capture");
    EXPECT_STREQ(EngineSourceType("wasapi_output_capture"), "pulse_output_capture");
    EXPECT_STREQ(EngineSourceType("monitor_capture"), "xshm_input");
    EXPECT_STREQ(EngineSourceType("window_capture"), "xcomposite_input");
    EXPECT_STREQ(EngineSourceType("image_source"), "image_source");
    EXPECT_STREQ(EngineSourceType("game_capture"), "game_capture");

    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_bool(settings, "read_from_file", true);
    obs_data_set_string(settings, "file", "/notes/a.txt");
    obs_data_set_int(settings, "untouched", 4);
    TranslateSourceSettings("text_gdiplus", settings);
    EXPECT_TRUE(obs_data_get_bool(settings, "from_file"));
    EXPECT_STREQ(obs_data_get_string(settings, "text_file"), "/notes/a.txt");
    EXPECT_FALSE(obs_data_has_user_value(settings, "read_from_file"));
    EXPECT_FALSE(obs_data_has_user_value(settings, "file"));
    EXPECT_EQ(obs_data_get_int(settings, "untouched"), 4);

    OBSDataAutoRelease image = obs_data_create();
    obs_data_set_string(image, "file", "/p.png");
    TranslateSourceSettings("image_source", image);
    EXPECT_STREQ(obs_data_get_string(image, "file"), "/p.png");
}

class SourceTypesEngineTest : public EngineTest {};

TEST_F(SourceTypesEngineTest, WindowsTypesBecomeTheirCounterpartsHere)
{
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir.file("a.txt"), "hello");
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_bool(settings, "read_from_file", true);
    obs_data_set_string(settings, "file", dir.file("a.txt").c_str());
    OBSSourceAutoRelease text = CreateEngineSource("text_gdiplus", "notes", settings);
    ASSERT_NE(text.Get(), nullptr);
    EXPECT_STREQ(obs_source_get_id(text), "text_ft2_source_v2");
    OBSDataAutoRelease applied = obs_source_get_settings(text);
    EXPECT_TRUE(obs_data_get_bool(applied, "from_file"));
    EXPECT_EQ(std::string(obs_data_get_string(applied, "text_file")), dir.file("a.txt"));

    EXPECT_TRUE(IsSourceTypeRegistered("dshow_input"));
    EXPECT_TRUE(IsSourceTypeRegistered("monitor_capture"));
}

TEST_F(SourceTypesEngineTest, UnregisteredTypesAreNotCreated)
{
    for (const char* id : {"game_capture", "ndi_source", "browser_source", "rtc_source", "no_such_type"}) {
        EXPECT_FALSE(IsSourceTypeRegistered(id)) << id;
        OBSDataAutoRelease settings = obs_data_create();
        EXPECT_EQ(CreateEngineSource(id, id, settings).Get(), nullptr) << id;
    }
}
