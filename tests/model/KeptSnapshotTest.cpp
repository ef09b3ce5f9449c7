#include "model/KeptSnapshot.h"

#include <gtest/gtest.h>

namespace {

SetSnapshot MakeSnapshot(int layers)
{
    SetSnapshot snapshot;
    for (int i = 0; i < layers; ++i) {
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, L"layer " + std::to_wstring(i));
        SetLayerImagePath(layer, "/sets/studio/layer" + std::to_string(i) + ".png");
        layer.x = 0.1f * float(i);
        snapshot.layers.push_back(layer);
    }
    snapshot.shots.push_back(MakeDefaultShot());
    snapshot.shotToItem[0] = 1;
    snapshot.name = L"Studio";
    snapshot.thumbnailPath = L"/sets/studio/thumbnail.jpg";
    snapshot.shotMode = 4;
    snapshot.headerValue = 7;
    return snapshot;
}

SetSnapshot Copy(const SetSnapshot& from)
{
    SetSnapshot to;
    for (const LayerInfo& layer : from.layers)
        to.layers.push_back(CloneLayer(layer));
    to.shots = from.shots;
    to.shotToItem = from.shotToItem;
    to.name = from.name;
    to.thumbnailPath = from.thumbnailPath;
    to.shotMode = from.shotMode;
    to.headerValue = from.headerValue;
    return to;
}

void ExpectSame(const SetSnapshot& a, const SetSnapshot& b)
{
    ASSERT_EQ(a.layers.size(), b.layers.size());
    for (size_t i = 0; i < a.layers.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(GetRecordName(a.layers[i].name), GetRecordName(b.layers[i].name));
        EXPECT_EQ(a.layers[i].x, b.layers[i].x);
        EXPECT_EQ(a.layers[i].visible, b.layers[i].visible);
        EXPECT_EQ(LayerImagePath(a.layers[i]), LayerImagePath(b.layers[i]));
        EXPECT_EQ(LayerUvPath(a.layers[i]), LayerUvPath(b.layers[i]));
        EXPECT_EQ(a.layers[i].imageSource, nullptr);
    }
    ASSERT_EQ(a.shots.size(), b.shots.size());
    for (size_t i = 0; i < a.shots.size(); ++i)
        EXPECT_EQ(a.shots[i].zoomX, b.shots[i].zoomX);
    EXPECT_EQ(a.shotToItem, b.shotToItem);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.thumbnailPath, b.thumbnailPath);
    EXPECT_EQ(a.shotMode, b.shotMode);
    EXPECT_EQ(a.headerValue, b.headerValue);
}

}  // namespace

// Each step changes something the one before shared; every kept snapshot
// must still give back exactly its own state, however long the chain.
TEST(KeptSnapshot, AChainOfStepsGivesBackEveryStateExactly)
{
    std::vector<SetSnapshot> states;
    states.push_back(MakeSnapshot(4));
    auto step = [&](const std::function<void(SetSnapshot&)>& change) {
        states.push_back(Copy(states.back()));
        change(states.back());
    };
    step([](SetSnapshot& s) { s.layers[1].x += 0.25f; });
    step([](SetSnapshot& s) { SetLayerImagePath(s.layers[2], "/sets/studio/other.png"); });
    step([](SetSnapshot& s) { SetLayerUvPath(s.layers[3], "/sets/studio/uv.png"); });
    step([](SetSnapshot& s) { s.layers[0].visible = 0; });
    step([](SetSnapshot& s) { SetRecordName(s.layers[1].name, L"screen"); });
    step([](SetSnapshot& s) { s.shots[0].zoomX = 1.5f; });
    step([](SetSnapshot& s) { s.name = L"Studio B"; s.shotToItem[0] = 2; });
    step([](SetSnapshot& s) { s.layers.erase(0); });
    step([](SetSnapshot& s) { s.layers.push_back(CloneLayer(s.layers[0])); s.layers[0].y = -0.5f; });
    step([](SetSnapshot& s) { s.shots.clear(); });
    step([](SetSnapshot&) {});

    std::vector<std::shared_ptr<const KeptSnapshot>> kept;
    for (const SetSnapshot& state : states)
        kept.push_back(std::make_shared<const KeptSnapshot>(state, kept.empty() ? nullptr : kept.back().get()));
    for (size_t i = 0; i < states.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectSame(*kept[i]->Expand(), states[i]);
    }
}
