// Media inputs playing real clips made by ffmpeg, and their notifications.
#include "support/EngineFixture.h"

#include "ModelTestSupport.h"
#include "platform/TextConv.h"

#include <memory>
#include <thread>

namespace {

class MediaTest : public EngineTest {
protected:
    void SetUp() override
    {
        TestApplication();
        EngineTest::SetUp();
        m_clip = modeltest::WriteClip(m_dir, "clip.mp4");
        ASSERT_FALSE(m_clip.empty()) << "ffmpeg could not make a test clip";
    }

    std::unique_ptr<CObsSource> OpenClip(SourceInfo& info, HWND window = nullptr)
    {
        if (info.kind == 0)
            info.kind = kKindMediaFile;
        if (info.path.empty())
            info.path = platform::Utf8ToWide(m_clip);
        auto source = std::make_unique<CObsSource>(engine(), &info, window);
        EXPECT_EQ(source->Open(), S_OK);
        return source;
    }

    // Raises a signal on the source as its plug-in would.
    static void Raise(obs_source_t* source, const char* signal)
    {
        calldata_t cd = {};
        calldata_set_ptr(&cd, "source", source);
        signal_handler_signal(obs_source_get_signal_handler(source), signal, &cd);
        calldata_free(&cd);
    }

    testsupport::TempDir m_dir;
    std::string m_clip;
};

}  // namespace

TEST_F(MediaTest, MediaFileCueLeavesItPausedAtTheStart)
{
    SourceInfo info;
    auto source = OpenClip(info);
    ASSERT_NE(source->GetMainSource(), nullptr);
    EXPECT_STREQ(obs_source_get_id(source->GetMainSource()), "ffmpeg_source");
    ASSERT_TRUE(WaitFor([&] { return source->IsPlaying(); }, 5000));
    ASSERT_TRUE(WaitFor([&] {
        int64_t time = -1;
        source->GetMediaTime(&time, nullptr);
        return time > 500;
    }, 5000));
    EXPECT_EQ(source->Cue(), S_OK);
    ASSERT_TRUE(WaitFor([&] { return source->IsPaused(); }, 5000));
    // Back at the start: the player reports the frames it decoded after the
    // seek, so "0 ms" reads as a time within the first few frames.
    ASSERT_TRUE(WaitFor([&] {
        int64_t time = -1;
        source->GetMediaTime(&time, nullptr);
        return time >= 0 && time <= 120;
    }, 3000));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(source->IsPaused());
    int64_t time = -1;
    int64_t duration = -1;
    ASSERT_EQ(source->GetMediaTime(&time, &duration), S_OK);
    EXPECT_LE(time, 120);
    EXPECT_NEAR(static_cast<double>(duration), 1000.0, 100.0);
}

TEST_F(MediaTest, PauseOfANonLocalStreamDoesNothing)
{
    SourceInfo info;
    info.kind = kKindNetworkStream;
    info.path = platform::Utf8ToWide(m_clip);  // read through the stream input
    info.loop = true;
    auto source = OpenClip(info);
    ASSERT_NE(source->GetMainSource(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return source->IsPlaying(); }, 5000));
    source->Pause();
    source->Stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(source->IsPlaying());
}

TEST_F(MediaTest, LocalFilePausesAndPlays)
{
    SourceInfo info;
    info.loop = true;
    auto source = OpenClip(info);
    ASSERT_TRUE(WaitFor([&] { return source->IsPlaying(); }, 5000));
    source->Pause();
    EXPECT_TRUE(WaitFor([&] { return source->IsPaused(); }, 5000));
    source->Play();
    EXPECT_TRUE(WaitFor([&] { return source->IsPlaying(); }, 5000));
}

TEST_F(MediaTest, MediaSignalsReachTheWindowAsMessage1045)
{
    modeltest::NotificationWindow window;
    SourceInfo info;
    auto source = OpenClip(info, &window);
    // The clip starts as it is created, before the object connects, so its
    // first start is not reported; play it to the end and start it again.
    ASSERT_TRUE(window.WaitForCode(kNotifyMediaEnded, 10000)) << "the clip did not end";
    EXPECT_TRUE(source->IsStopped());
    source->Play();
    ASSERT_TRUE(window.WaitForCode(kNotifyMediaStarted, 5000));
    const auto received = window.Received();
    ASSERT_FALSE(received.empty());
    bool sawStart = false;
    for (const auto& n : received) {
        EXPECT_EQ(n.message, 1045u);
        EXPECT_EQ(n.object, reinterpret_cast<WPARAM>(source.get()));
        if (n.code == kNotifyMediaStarted) {
            sawStart = true;
            EXPECT_EQ(n.value1, -1);  // no playlist entry
            EXPECT_EQ(n.value2, 0);
        }
    }
    EXPECT_TRUE(sawStart);
}

TEST_F(MediaTest, PlaylistSteppingWrapsOnlyWithLoop)
{
    modeltest::NotificationWindow window;
    SourceInfo info;
    auto source = OpenClip(info, &window);
    obs_source_t* media = source->GetMainSource();
    ASSERT_NE(media, nullptr);
    info.playlistCount = 3;
    info.playlistIndex = 2;
    Raise(media, "media_next");
    EXPECT_EQ(info.playlistIndex, 2);  // no loop: stays on the last
    info.playlistLoop = true;
    Raise(media, "media_next");
    EXPECT_EQ(info.playlistIndex, 0);
    Raise(media, "media_previous");
    EXPECT_EQ(info.playlistIndex, 2);
    Raise(media, "media_previous");
    EXPECT_EQ(info.playlistIndex, 1);
    ASSERT_TRUE(window.WaitForCode(kNotifyPlaylistStepped, 2000));
    int stepped = 0;
    for (const auto& n : window.Received())
        if (n.code == kNotifyPlaylistStepped) {
            ++stepped;
            EXPECT_EQ(n.value2, 3);
        }
    EXPECT_EQ(stepped, 4);
}

TEST_F(MediaTest, ReadySignalsPostCodeOne)
{
    // The ready and changed signals come from plug-ins not present here; the
    // test raises them on the real source as such a plug-in would.
    modeltest::NotificationWindow window;
    SourceInfo info;
    auto source = OpenClip(info, &window);
    Raise(source->GetMainSource(), "video_changed");
    EXPECT_TRUE(window.WaitForCode(kNotifySourceReady, 2000));
}

TEST_F(MediaTest, NoNotificationAfterTheObjectIsGone)
{
    modeltest::NotificationWindow window;
    SourceInfo info;
    auto source = OpenClip(info, &window);
    OBSSourceAutoRelease media = obs_source_get_ref(source->GetMainSource());
    source.reset();
    Raise(media, "media_next");
    QCoreApplication::processEvents();
    for (const auto& n : window.Received())
        EXPECT_NE(n.code, kNotifyPlaylistStepped);
}
