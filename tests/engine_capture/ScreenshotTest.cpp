// Snapshots of real scenes rendered by the engine under Xvfb.
#include "support/EngineFixture.h"

#include "engine/Screenshot.h"
#include "platform/FileUtil.h"

#include <QColor>
#include <QImage>
#include <chrono>
#include <obs.hpp>
#include <string>

namespace {

class ScreenshotTest : public EngineTest {
protected:
    // Writes a PNG of one colour and adds it to the scene at the given
    // top-left canvas position.
    void AddPicture(const QColor& colour, int width, int height, float x, float y)
    {
        const std::string file = m_dir.file("picture" + std::to_string(m_pictures++) + ".png");
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(file), "PNG"));
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_string(settings, "file", file.c_str());
        OBSSourceAutoRelease source = obs_source_create("image_source", file.c_str(), settings, nullptr);
        ASSERT_NE(source.Get(), nullptr);
        obs_sceneitem_t* item = obs_scene_add(m_scene, source);
        ASSERT_NE(item, nullptr);
        vec2 pos = {x, y};
        obs_sceneitem_set_pos(item, &pos);
    }

    void SetUp() override
    {
        EngineTest::SetUp();
        m_scene = obs_scene_create_private("capture test");
    }

    void TearDown() override
    {
        m_scene = nullptr;
        EngineTest::TearDown();
    }

    OBSSceneAutoRelease SceneReference() { return obs_scene_get_ref(m_scene); }

    testsupport::TempDir m_dir;
    OBSSceneAutoRelease m_scene;
    int m_pictures = 0;
};

}  // namespace

TEST_F(ScreenshotTest, CaptureOfTheDefaultCanvasIsA32BitBitmapWithColoursAndAlpha)
{
    AddPicture(Qt::red, 960, 1080, 0, 0);
    const std::wstring file = m_dir.wfile("shot.bmp");
    ASSERT_TRUE(TakeScreenshot(SceneReference(), file));

    const std::string bytes = testsupport::ReadFileBytes(m_dir.file("shot.bmp"));
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 32);  // bits per pixel

    QImage image(QString::fromStdString(m_dir.file("shot.bmp")), "BMP");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 1920);
    EXPECT_EQ(image.height(), 1080);
    EXPECT_TRUE(image.hasAlphaChannel());
    // Red stays red (not blue) on the left; the empty right is transparent.
    EXPECT_EQ(image.pixel(100, 540), qRgba(255, 0, 0, 255));
    EXPECT_EQ(image.pixel(959, 10), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(image.pixel(1500, 540)), 0);
    EXPECT_EQ(qAlpha(image.pixel(961, 1070)), 0);
}

TEST_F(ScreenshotTest, PictureIsUpright)
{
    AddPicture(Qt::blue, 1920, 270, 0, 0);         // top band
    AddPicture(Qt::green, 1920, 270, 0, 810);      // bottom band
    ASSERT_TRUE(TakeScreenshot(SceneReference(), m_dir.wfile("upright.bmp")));
    QImage image(QString::fromStdString(m_dir.file("upright.bmp")), "BMP");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(50, 20), qRgba(0, 0, 255, 255));
    EXPECT_EQ(image.pixel(50, 1060), qRgba(0, 255, 0, 255));
    EXPECT_EQ(qAlpha(image.pixel(50, 540)), 0);
}

TEST_F(ScreenshotTest, InvalidSizeReportsFailureAtOnceAndWritesNothing)
{
    // An image source without a file has no size.
    OBSDataAutoRelease settings = obs_data_create();
    OBSSourceAutoRelease empty = obs_source_create("image_source", "no picture", settings, nullptr);
    platform::CEvent done(false, false);
    const std::wstring file = m_dir.wfile("none.bmp");
    {
        ScreenshotJob job(empty, file, &done);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(done.Wait(5000)) << "a failed capture must still release the caller";
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_FALSE(job.Succeeded());
    }
    EXPECT_FALSE(platform::PathExists(file));
}

TEST_F(ScreenshotTest, WorkerThatCannotStartEndsTheCaptureWithFailure)
{
    AddPicture(Qt::red, 64, 64, 0, 0);
    platform::CEvent done(false, false);
    const std::wstring file = m_dir.wfile("noworker.bmp");
    {
        // Stands in for a system that refuses a new thread.
        ScreenshotJob job(obs_scene_get_source(m_scene), file, &done,
                          [](std::thread&, std::function<void()>) { return false; });
        ASSERT_TRUE(done.Wait(5000));
        EXPECT_FALSE(job.Succeeded());
        EXPECT_EQ(job.Width(), 1920u);
    }
    EXPECT_FALSE(platform::PathExists(file));
}

TEST_F(ScreenshotTest, UnwritableTargetReportsFailure)
{
    AddPicture(Qt::red, 64, 64, 0, 0);
    EXPECT_FALSE(TakeScreenshot(SceneReference(), m_dir.wfile("missing-folder/shot.bmp")));
}

TEST_F(ScreenshotTest, FailedCaptureKeepsAnEarlierFileWhole)
{
    const std::string earlier = "an earlier snapshot";
    testsupport::WriteFileBytes(m_dir.file("keep.bmp"), earlier);
    OBSDataAutoRelease settings = obs_data_create();
    OBSSourceAutoRelease empty = obs_source_create("image_source", "still no picture", settings, nullptr);
    platform::CEvent done(false, false);
    {
        ScreenshotJob job(empty, m_dir.wfile("keep.bmp"), &done);
        ASSERT_TRUE(done.Wait(5000));
        EXPECT_FALSE(job.Succeeded());
    }
    EXPECT_EQ(testsupport::ReadFileBytes(m_dir.file("keep.bmp")), earlier);
}
