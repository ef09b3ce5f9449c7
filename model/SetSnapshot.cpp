#include "SetSnapshot.h"

#include "SourceObject.h"

#include <algorithm>
#include <cstring>

std::shared_ptr<const SetSnapshot> TakeSetSnapshot(CSourceObject& set)
{
    auto snapshot = std::make_shared<SetSnapshot>();
    for (const LayerInfo& layer : set.GetLayers()) {
        LayerInfo copy = CloneLayer(layer);
        copy.imageSource = nullptr;
        copy.uvFilter = nullptr;
        snapshot->layers.push_back(copy);
    }
    snapshot->shots = set.GetShots();
    snapshot->shotToItem = set.GetShotToItemMap();
    snapshot->name = set.GetSetName();
    snapshot->thumbnailPath = set.GetThumbnailPath();
    snapshot->shotMode = set.GetShotMode();
    snapshot->headerValue = set.GetHeaderValue();
    snapshot->content = SetContent::Capture(set);
    return snapshot;
}

bool SameShots(const ShotList& a, const ShotList& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const ShotInfo& x, const ShotInfo& y) {
               return std::memcmp(&x, &y, sizeof x) == 0;
           });
}

bool SameApartFromLayers(const SetSnapshot& a, const SetSnapshot& b)
{
    return SameShots(a.shots, b.shots) && a.shotToItem == b.shotToItem && a.name == b.name &&
           a.thumbnailPath == b.thumbnailPath && a.shotMode == b.shotMode && a.headerValue == b.headerValue;
}
