// The preview draws while what it shows changes and rests otherwise: the
// scene's state as read each frame, the sources' signals, live pictures and
// requests of the window, on the real engine and display.
#include "PreviewFixture.h"

#include "model/LiveSources.h"
#include "preview/SceneState.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QTest>

using namespace previewtest;

namespace {

class PreviewRedrawTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        if (HasFatalFailure())
            return;
        m_window = std::make_unique<ObsQtWindow>();
        ASSERT_NE(m_window->Create(nullptr, {0, 0, 480, 270}), 0u);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        ASSERT_TRUE(m_window->CreateDisplay());
        m_window->SetScene(scene());
        m_window->SetEditEnabled(true);
    }
    void TearDown() override
    {
        m_window.reset();
        PreviewTest::TearDown();
    }

    // Soon the display stops drawing and draws nothing for a while (a
    // change just made may be seen by the next frame only).
    bool Rests()
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000) {
            if (!QTest::qWaitFor([&] { return !m_window->Redraw().IsDrawing(); }, 10000))
                return false;
            const uint64_t frames = m_window->GetFramesDrawn();
            QTest::qWait(300);
            if (m_window->GetFramesDrawn() == frames)
                return true;
        }
        return false;
    }
    // The display draws again after a change.
    bool DrawsAfter(const std::function<void()>& change)
    {
        const uint64_t frames = m_window->GetFramesDrawn();
        change();
        return QTest::qWaitFor([&] { return m_window->GetFramesDrawn() > frames; }, 5000);
    }

    std::unique_ptr<ObsQtWindow> m_window;
};

}  // namespace

TEST_F(PreviewRedrawTest, RestsWhileNothingChangesAndDrawsEveryKindOfChange)
{
    ASSERT_TRUE(Rests()) << "an unchanged set keeps being drawn";
    EXPECT_GT(m_window->Redraw().GetFramesRested(), 0u);

    EXPECT_TRUE(DrawsAfter([&] {
        vec2 position = Position(middle());
        position.x += 1.0f;
        obs_sceneitem_set_pos(middle(), &position);
    })) << "a layer moved by one pixel";
    ASSERT_TRUE(Rests());
    EXPECT_TRUE(DrawsAfter([&] { obs_sceneitem_select(top(), true); })) << "the selection's overlay";
    ASSERT_TRUE(Rests());
    EXPECT_TRUE(DrawsAfter([&] { obs_sceneitem_set_visible(bottom(), false); })) << "a layer hidden";
    ASSERT_TRUE(Rests());
    EXPECT_TRUE(DrawsAfter([&] { m_window->SetEditEnabled(false); })) << "the overlay turned off";
    ASSERT_TRUE(Rests());
    EXPECT_TRUE(DrawsAfter([&] { m_window->repaint(); })) << "the window exposed";
    ASSERT_TRUE(Rests());

    // A filter's settings leave the scene's items as they were: its signal tells.
    OBSSourceAutoRelease crop = obs_source_create_private("crop_filter", "crop", nullptr);
    ASSERT_NE(crop.Get(), nullptr);
    obs_source_t* picture = obs_sceneitem_get_source(middle());
    EXPECT_TRUE(DrawsAfter([&] { obs_source_filter_add(picture, crop); })) << "a filter added";
    ASSERT_TRUE(Rests());
    EXPECT_TRUE(DrawsAfter([&] {
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_int(settings, "left", 8);
        obs_source_update(crop, settings);
    })) << "the filter's settings";
    ASSERT_TRUE(Rests());
    EXPECT_TRUE(DrawsAfter([&] { obs_source_set_enabled(crop, false); })) << "the filter turned off";
    ASSERT_TRUE(Rests());
    obs_source_filter_remove(picture, crop);

    // Another picture of the same size in a layer: only its source knows.
    const std::string other = m_dir.file("other.png");
    settest::WritePicture(other, 80, 45, Qt::red);
    ASSERT_TRUE(Rests());
    EXPECT_TRUE(DrawsAfter([&] {
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_string(settings, "file", other.c_str());
        obs_source_update(picture, settings);
    })) << "a layer's picture replaced";
}

TEST_F(PreviewRedrawTest, ALivePictureIsDrawnOnEveryFrame)
{
    ASSERT_TRUE(Rests());
    std::unique_ptr<CLiveSource> live = CLiveSource::MakeTestPattern();
    ASSERT_NE(live, nullptr);
    obs_sceneitem_t* item = obs_scene_add(scene(), live->Source());
    ASSERT_NE(item, nullptr);
    // Drawing goes on well past the frames that follow a change.
    for (int check = 0; check < 6; ++check) {
        QTest::qWait(250);
        EXPECT_TRUE(m_window->Redraw().IsDrawing()) << "check " << check;
    }
    obs_sceneitem_remove(item);
    EXPECT_TRUE(Rests()) << "once the live picture is gone";
}

TEST_F(PreviewTest, TheSceneStateFollowsWhatIsDrawnAndTellsLivePictures)
{
    const SceneState first = ReadSceneState(scene());
    EXPECT_EQ(ReadSceneState(scene()), first) << "nothing changed";
    EXPECT_FALSE(first.live);
    vec2 position = Position(top());
    position.y += 0.5f;
    obs_sceneitem_set_pos(top(), &position);
    const SceneState moved = ReadSceneState(scene());
    EXPECT_NE(moved.drawn, first.drawn);
    EXPECT_EQ(moved.sources, first.sources) << "the same sources";

    obs_sceneitem_crop crop{2, 0, 0, 0};
    obs_sceneitem_set_crop(bottom(), &crop);
    EXPECT_NE(ReadSceneState(scene()).drawn, moved.drawn);

    // Through the set's main scene, whose one item is the group scene.
    const SceneState main = ReadSceneState(m_set->GetMainScene());
    obs_sceneitem_set_visible(middle(), false);
    EXPECT_NE(ReadSceneState(m_set->GetMainScene()).drawn, main.drawn) << "a layer inside the group scene";
    EXPECT_EQ(CollectSceneSources(m_set->GetMainScene()).size(), 6u)
        << "the two scenes, three pictures and the middle layer's UV map";

    // A video changes by itself.
    OBSSourceAutoRelease video = obs_source_create_private("ffmpeg_source", "video", nullptr);
    ASSERT_NE(video.Get(), nullptr);
    obs_scene_add(scene(), video);
    const SceneState withVideo = ReadSceneState(m_set->GetMainScene());
    EXPECT_TRUE(withVideo.live);
    EXPECT_NE(withVideo.sources, main.sources);
}

TEST_F(PreviewRedrawTest, WhileRestingASingleFrameIsDrawnNowAndThen)
{
    // A picture its source reloads from a file changed on disk leaves no
    // other trace: the refresh shows it.
    ASSERT_TRUE(Rests());
    const uint64_t frames = m_window->GetFramesDrawn();
    QTest::qWait(int(PreviewRedraw::kRestingRefreshSeconds * 1300));
    const uint64_t drawn = m_window->GetFramesDrawn() - frames;
    EXPECT_GE(drawn, 1u);
    EXPECT_LE(drawn, 3u) << "a refresh draws one frame, not the trailing ones";
}
