// The three filters on a real input: added once, updated, removed.
#include "support/EngineFixture.h"

#include "ModelTestSupport.h"
#include "model/SourceFilters.h"
#include "platform/TextConv.h"

#include <memory>

namespace {

class FilterTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        // A media input carries both video and audio filters.
        m_info.kind = kKindMediaFile;
        m_info.path = platform::Utf8ToWide(modeltest::WriteClip(m_dir, "f.mp4"));
        ASSERT_FALSE(m_info.path.empty());
        m_source = std::make_unique<CObsSource>(engine(), &m_info, nullptr);
        ASSERT_EQ(m_source->Open(), S_OK);
    }
    void TearDown() override
    {
        m_source.reset();
        EngineTest::TearDown();
    }
    obs_source_t* Input() { return m_source->GetMainSource(); }
    size_t FilterCount() { return obs_source_filter_count(Input()); }

    testsupport::TempDir m_dir;
    SourceInfo m_info;
    std::unique_ptr<CObsSource> m_source;
};

OBSDataAutoRelease SettingsOf(obs_source_t* filter) { return obs_source_get_settings(filter); }

}  // namespace

TEST_F(FilterTest, ChromaKeyIsAddedOnceUpdatedAndRemoved)
{
    EXPECT_EQ(FilterCount(), 0u);
    m_info.chromaKey.enabled = true;
    m_info.chromaKey.similarity = 300;
    m_info.chromaKey.gamma = 250;
    ASSERT_TRUE(m_source->SetChromaKey());
    ASSERT_EQ(FilterCount(), 1u);
    OBSSourceAutoRelease filter = obs_source_get_filter_by_name(Input(), "chroma_key_filter_v2");
    ASSERT_NE(filter.Get(), nullptr);
    EXPECT_EQ(filter.Get(), m_source->GetChromaKeyFilter());
    {
        OBSDataAutoRelease s = SettingsOf(filter);
        EXPECT_STREQ(obs_data_get_string(s, "key_color_type"), "custom");
        EXPECT_EQ(obs_data_get_int(s, "similarity"), 300);
        EXPECT_DOUBLE_EQ(obs_data_get_double(s, "gamma"), 0.25);
        EXPECT_DOUBLE_EQ(obs_data_get_double(s, "opacity"), 1.0);
    }
    m_info.chromaKey.similarity = 500;
    ASSERT_TRUE(m_source->SetChromaKey());
    EXPECT_EQ(FilterCount(), 1u);
    {
        OBSDataAutoRelease s = SettingsOf(filter);
        EXPECT_EQ(obs_data_get_int(s, "similarity"), 500);
    }
    m_source->EnableChromaKey(false);
    EXPECT_FALSE(obs_source_enabled(filter));
    m_source->EnableChromaKey(true);
    EXPECT_TRUE(obs_source_enabled(filter));

    m_info.chromaKey.enabled = false;
    ASSERT_TRUE(m_source->SetChromaKey());
    EXPECT_EQ(FilterCount(), 0u);
    EXPECT_EQ(m_source->GetChromaKeyFilter(), nullptr);
}

TEST_F(FilterTest, NoiseSuppressionMethods)
{
    m_info.noiseSuppression.enabled = true;
    m_info.noiseSuppression.method = 0;
    ASSERT_TRUE(m_source->SetNoiseSuppression());
    ASSERT_NE(m_source->GetNoiseSuppressionFilter(), nullptr);
    {
        OBSDataAutoRelease s = SettingsOf(m_source->GetNoiseSuppressionFilter());
        EXPECT_STREQ(obs_data_get_string(s, "method"), "speex");
        EXPECT_EQ(obs_data_get_int(s, "suppress_level"), -30);
    }
    m_info.noiseSuppression.method = 1;
    ASSERT_TRUE(m_source->SetNoiseSuppression());
    EXPECT_EQ(FilterCount(), 1u);
    {
        OBSDataAutoRelease s = SettingsOf(m_source->GetNoiseSuppressionFilter());
        EXPECT_STREQ(obs_data_get_string(s, "method"), "rnnoise");
    }
    m_info.noiseSuppression.enabled = false;
    ASSERT_TRUE(m_source->SetNoiseSuppression());
    EXPECT_EQ(FilterCount(), 0u);
}

TEST_F(FilterTest, GainAndApplySettingsTogether)
{
    m_info.gain.enabled = true;
    m_info.gain.db = -6.5;
    m_info.chromaKey.enabled = true;
    ASSERT_TRUE(m_source->ApplySettings());
    EXPECT_EQ(FilterCount(), 2u);
    OBSDataAutoRelease s = SettingsOf(m_source->GetGainFilter());
    EXPECT_DOUBLE_EQ(obs_data_get_double(s, "db"), -6.5);
    ASSERT_TRUE(m_source->ApplySettings());  // again: nothing doubles
    EXPECT_EQ(FilterCount(), 2u);
}

TEST_F(FilterTest, ExistingFilterOfTheTypeIsReused)
{
    // One the user added under the type's display name.
    OBSSourceAutoRelease own =
        obs_source_create_private("gain_filter", obs_source_get_display_name("gain_filter"), nullptr);
    obs_source_filter_add(Input(), own);
    m_info.gain.enabled = true;
    m_info.gain.db = 3.0;
    ASSERT_TRUE(m_source->SetGain());
    EXPECT_EQ(FilterCount(), 1u);
    EXPECT_EQ(m_source->GetGainFilter(), own.Get());
}

TEST_F(FilterTest, AudioFilterIsNotKeptForAPicture)
{
    SourceInfo info;
    info.kind = kKindImage;
    info.path = platform::Utf8ToWide(modeltest::WritePicture(m_dir, "p.png", 16, 16));
    info.gain.enabled = true;
    CObsSource picture(engine(), &info, nullptr);
    ASSERT_EQ(picture.Open(), S_OK);
    EXPECT_EQ(picture.GetGainFilter(), nullptr);
    EXPECT_EQ(obs_source_filter_count(picture.GetMainSource()), 0u);
}

TEST_F(FilterTest, FiltersFollowTheSourceAcrossAReload)
{
    m_info.chromaKey.enabled = true;
    ASSERT_TRUE(m_source->SetChromaKey());
    m_source->SetInfo(&m_info);  // rebuilds the source
    ASSERT_NE(m_source->GetMainSource(), nullptr);
    EXPECT_EQ(FilterCount(), 1u);
    EXPECT_EQ(obs_filter_get_parent(m_source->GetChromaKeyFilter()), m_source->GetMainSource());
}
