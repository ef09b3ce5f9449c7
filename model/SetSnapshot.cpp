#include "SetSnapshot.h"

#include "SourceObject.h"

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
