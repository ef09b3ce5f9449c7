// The common operations of the source objects that need no engine: defaults,
// the record under the lock, selection bounds, Cue's kinds and the class choice.
#include "model/MultiViewSource.h"
#include "model/SourceObjectFactory.h"

#include "app/ProjectSettings.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// The base alone; counts the rebuilds the base asks for.
class BareSource : public CSourceObject {
public:
    using CSourceObject::CSourceObject;
    HRESULT Reload() override
    {
        ++reloads;
        return S_OK;
    }
    int reloads = 0;
};

// Records which media operations Cue calls, for kinds whose real sources
// cannot run here.
class CueRecorder : public BareSource {
public:
    using BareSource::BareSource;
    HRESULT Play() override
    {
        calls.push_back("play");
        return S_OK;
    }
    HRESULT Pause() override
    {
        calls.push_back("pause");
        return S_OK;
    }
    HRESULT SetMediaTime(int64_t ms) override
    {
        calls.push_back("seek " + std::to_string(ms));
        return S_OK;
    }
    std::vector<std::string> calls;
};

std::vector<std::string> CueCalls(int kind)
{
    SourceInfo info;
    info.kind = kind;
    CueRecorder source(nullptr, &info, nullptr);
    source.Cue();
    return source.calls;
}

}  // namespace

TEST(SourceObject, ConstructionResetsThePlaylistAndCopiesTheCanvas)
{
    SourceInfo info;
    info.playlistIndex = 5;
    info.playlistCount = 7;
    const ProjectSettings saved = g_settings;
    g_settings.Width = 1280;
    g_settings.Height = 720;
    BareSource source(nullptr, &info, nullptr);
    g_settings = saved;
    EXPECT_EQ(info.playlistIndex, -1);
    EXPECT_EQ(info.playlistCount, 0);
    EXPECT_EQ(source.GetSelectedIndex(), -1);
    EXPECT_EQ(source.GetOutputSource(), nullptr);
    EXPECT_EQ(source.GetMainSource(), nullptr);
    EXPECT_EQ(source.GetCurrentShot(), -1);
    EXPECT_EQ(source.ThreadMain(), 0);
}

TEST(SourceObject, BaseMediaOperationsFail)
{
    SourceInfo info;
    BareSource source(nullptr, &info, nullptr);
    EXPECT_EQ(source.Play(), E_FAIL);
    EXPECT_EQ(source.Pause(), E_FAIL);
    EXPECT_EQ(source.Stop(), E_FAIL);
    int64_t time = 9;
    EXPECT_EQ(source.GetMediaTime(&time, nullptr), E_FAIL);
    EXPECT_EQ(source.SetMediaTime(0), E_FAIL);
    EXPECT_TRUE(source.IsStopped());
    EXPECT_FALSE(source.IsPlaying());
    EXPECT_FALSE(source.IsInput());
    EXPECT_FALSE(source.SaveScreenshot(L"/tmp/never.bmp"));
}

TEST(SourceObject, RecordFlagsAndPathComeFromTheRecord)
{
    SourceInfo info;
    info.path = L"/media/clip.mp4";
    info.hasVideo = true;
    BareSource source(nullptr, &info, nullptr);
    EXPECT_TRUE(source.HasVideo());
    EXPECT_FALSE(source.HasAudio());
    EXPECT_EQ(source.GetPath(), L"/media/clip.mp4");
    BareSource without(nullptr, nullptr, nullptr);
    EXPECT_EQ(without.GetPath(), L"");
    EXPECT_FALSE(without.HasVideo());
}

TEST(SourceObject, SetInfoSwapsTheRecordAndRebuilds)
{
    SourceInfo first;
    SourceInfo second;
    BareSource source(nullptr, &first, nullptr);
    source.SetInfo(&second);
    EXPECT_EQ(source.GetInfo(), &second);
    EXPECT_EQ(source.reloads, 1);
    source.SetInfo(nullptr);  // keeps the record
    EXPECT_EQ(source.GetInfo(), &second);
    EXPECT_EQ(source.reloads, 2);
}

TEST(SourceObject, OpenRebuildsAndSetsTheBackPointer)
{
    SourceInfo info;
    BareSource source(nullptr, &info, nullptr);
    EXPECT_EQ(source.Open(), S_OK);
    EXPECT_EQ(source.reloads, 1);
    EXPECT_EQ(info.owner, &source);
}

TEST(SourceObject, SelectionAndLookupsStayInsideTheItemList)
{
    SourceInfo info;
    BareSource source(nullptr, &info, nullptr);
    EXPECT_FALSE(source.SetSelectedIndex(0));  // no items: equal to the count
    EXPECT_EQ(source.GetSelectedIndex(), -1);
    EXPECT_EQ(source.GetSelectedItem(), nullptr);
    EXPECT_EQ(source.FindItem(nullptr), -1);
    EXPECT_EQ(source.FindItemByName(L"anything"), nullptr);
}

TEST(SourceObject, CueRewindsMediaButOnlyStartsLiveKinds)
{
    const std::vector<std::string> rewind = {"play", "pause", "seek 0"};
    const std::vector<std::string> startOnly = {"play"};
    EXPECT_EQ(CueCalls(1), rewind);
    EXPECT_EQ(CueCalls(3), rewind);
    for (int kind : {2, 6, 7, 8, 10, 11, 18, 210})
        EXPECT_EQ(CueCalls(kind), startOnly) << "kind " << kind;
}

TEST(SourceObject, KindChoosesTheClass)
{
    for (int kind : {4, 5, 12, 20}) {
        SourceInfo info;
        info.kind = kind;
        std::unique_ptr<CSourceObject> object(CreateSourceObject(nullptr, &info, nullptr));
        EXPECT_NE(dynamic_cast<CMultiViewSource*>(object.get()), nullptr) << "kind " << kind;
        EXPECT_FALSE(object->IsInput());
        EXPECT_TRUE(object->HasVideo());
        EXPECT_FALSE(object->HasAudio());
    }
    for (int kind : {0, 1, 2, 3, 6, 10, 16, 19}) {
        SourceInfo info;
        info.kind = kind;
        std::unique_ptr<CSourceObject> object(CreateSourceObject(nullptr, &info, nullptr));
        EXPECT_EQ(dynamic_cast<CMultiViewSource*>(object.get()), nullptr) << "kind " << kind;
        EXPECT_TRUE(object->IsInput());
    }
}

TEST(SourceObject, SetAnswersMediaOperationsWithNothing)
{
    SourceInfo info;
    info.kind = kKindNativeSet;
    CMultiViewSource set(nullptr, &info, nullptr);
    EXPECT_EQ(set.Play(), S_OK);
    EXPECT_EQ(set.Pause(), S_OK);
    EXPECT_EQ(set.Stop(), S_OK);
    EXPECT_EQ(set.Restart(), S_OK);
    int64_t time = 5;
    int64_t duration = 5;
    EXPECT_EQ(set.GetMediaTime(&time, &duration), S_OK);
    EXPECT_EQ(time, 0);
    EXPECT_EQ(duration, 0);
    EXPECT_EQ(set.GetHeaderValue(), 1000);
    EXPECT_EQ(set.SetShotMode(5), 5);
    EXPECT_EQ(set.GetShotMode(), 5);
}

TEST(SourceObject, InputColourIsTheRecordsAndSetsHaveNone)
{
    SourceInfo info;
    info.kind = kKindImage;
    info.color[0] = 10;
    info.color[3] = 255;
    CObsSource input(nullptr, &info, nullptr);
    EXPECT_EQ(input.GetColor(), (std::array<float, 4>{10.0f, 0.0f, 0.0f, 255.0f}));
    SourceInfo setInfo;
    setInfo.kind = kKindVmixSet;
    setInfo.color[0] = 10;
    CMultiViewSource set(nullptr, &setInfo, nullptr);
    EXPECT_EQ(set.GetColor(), (std::array<float, 4>{0.0f, 0.0f, 0.0f, 0.0f}));
}

TEST(SourceObject, InputWithoutEngineObjectsRefusesPlacementAndMedia)
{
    SourceInfo info;
    info.kind = kKindImage;
    CObsSource input(nullptr, &info, nullptr);
    EXPECT_EQ(input.Play(), S_OK);  // nothing to play
    EXPECT_EQ(input.GetMediaTime(nullptr, nullptr), E_FAIL);
    EXPECT_FALSE(input.ApplyLayerTransform(0));
    EXPECT_FALSE(input.CaptureLayerTransform(0));
    EXPECT_FALSE(input.CaptureShot(0));
    EXPECT_FALSE(input.SetChromaKey());
    EXPECT_FALSE(input.UpdateSettings());
    EXPECT_FALSE(input.SetMonitoringType(1));
    EXPECT_EQ(input.GetMonitoringType(), 1);
    EXPECT_EQ(input.Reload(), E_FAIL);  // never opened
}
