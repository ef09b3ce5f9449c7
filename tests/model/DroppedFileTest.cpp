// Files dropped on the preview, created in a real scene.
#include "support/EngineFixture.h"

#include "ModelTestSupport.h"
#include "model/DroppedFile.h"
#include "model/SourceNames.h"

#include <algorithm>
#include <map>
#include <obs.hpp>
#include <string>
#include <vector>

namespace {

class DroppedFileTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_scene = obs_scene_create_private("drop target");
    }
    void TearDown() override
    {
        m_scene = nullptr;
        EngineTest::TearDown();
    }

    std::vector<std::pair<std::string, std::string>> Items()
    {
        std::vector<std::pair<std::string, std::string>> items;
        obs_scene_enum_items(
            m_scene,
            [](obs_scene_t*, obs_sceneitem_t* item, void* param) {
                obs_source_t* s = obs_sceneitem_get_source(item);
                static_cast<decltype(items)*>(param)->emplace_back(obs_source_get_name(s), obs_source_get_id(s));
                return true;
            },
            &items);
        return items;
    }

    testsupport::TempDir m_dir;
    OBSSceneAutoRelease m_scene;
};

}  // namespace

TEST(DroppedFileClass, ExtensionsWithoutCase)
{
    EXPECT_EQ(ClassifyDroppedFile("/a/b.TXT"), DroppedFileClass::Text);
    EXPECT_EQ(ClassifyDroppedFile("/a/b.Log"), DroppedFileClass::Text);
    EXPECT_EQ(ClassifyDroppedFile("/a/b.JPEG"), DroppedFileClass::Image);
    EXPECT_EQ(ClassifyDroppedFile("/a/b.gif"), DroppedFileClass::Image);
    EXPECT_EQ(ClassifyDroppedFile("/a/b.MP4"), DroppedFileClass::Media);
    EXPECT_EQ(ClassifyDroppedFile("/a/b.opus"), DroppedFileClass::Media);
    EXPECT_EQ(ClassifyDroppedFile("/a/b.wtv"), DroppedFileClass::Media);
    EXPECT_EQ(ClassifyDroppedFile("/a/b.3ga"), DroppedFileClass::Media);
    EXPECT_EQ(ClassifyDroppedFile("/a/b.docx"), DroppedFileClass::None);
    EXPECT_EQ(ClassifyDroppedFile("/a.mp4/noextension"), DroppedFileClass::None);
    EXPECT_EQ(ClassifyDroppedFile(""), DroppedFileClass::None);
}

TEST_F(DroppedFileTest, SameFileDroppedThriceGetsNumberedNames)
{
    const std::string photo = modeltest::WritePicture(m_dir, "photo.JPG", 32, 32);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(AddDroppedFile(m_scene, photo));
    const auto items = Items();
    ASSERT_EQ(items.size(), 3u);
    std::vector<std::string> names;
    for (const auto& [name, id] : items) {
        names.push_back(name);
        EXPECT_EQ(id, "image_source");
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"photo.JPG", "photo.JPG (2)", "photo.JPG (3)"}));
}

TEST_F(DroppedFileTest, VideoBecomesMediaAndLogBecomesText)
{
    const std::string clip = modeltest::WriteClip(m_dir, "movie.MP4");
    ASSERT_FALSE(clip.empty());
    testsupport::WriteFileBytes(m_dir.file("build.LOG"), "line one\n");
    ASSERT_TRUE(AddDroppedFile(m_scene, clip));
    ASSERT_TRUE(AddDroppedFile(m_scene, m_dir.file("build.LOG")));
    EXPECT_FALSE(AddDroppedFile(m_scene, m_dir.file("notes.docx")));
    EXPECT_FALSE(AddDroppedFile(nullptr, clip));
    const auto items = Items();
    ASSERT_EQ(items.size(), 2u);
    std::map<std::string, std::string> byName(items.begin(), items.end());
    EXPECT_EQ(byName["movie.MP4"], "ffmpeg_source");
    EXPECT_EQ(byName["build.LOG"], "text_ft2_source_v2");
    OBSSourceAutoRelease text = obs_get_source_by_name("build.LOG");
    OBSDataAutoRelease settings = obs_source_get_settings(text);
    EXPECT_TRUE(obs_data_get_bool(settings, "from_file"));
    EXPECT_EQ(std::string(obs_data_get_string(settings, "text_file")), m_dir.file("build.LOG"));
    OBSSourceAutoRelease media = obs_get_source_by_name("movie.MP4");
    OBSDataAutoRelease mediaSettings = obs_source_get_settings(media);
    EXPECT_EQ(std::string(obs_data_get_string(mediaSettings, "local_file")), clip);
}

TEST_F(DroppedFileTest, UniqueNamesAgainstExistingSources)
{
    EXPECT_EQ(MakeUniqueSourceName("free"), "free");
    OBSSourceAutoRelease taken = obs_source_create("image_source", "taken", nullptr, nullptr);
    OBSSourceAutoRelease taken2 = obs_source_create("image_source", "taken (2)", nullptr, nullptr);
    EXPECT_EQ(MakeUniqueSourceName("taken"), "taken (3)");
    EXPECT_EQ(MakeUniqueDeviceName("taken"), "taken 2");
}
