#pragma once
// A whole set's editable state at one moment: every layer and shot record
// (with its own copies of the paths), the name, the thumbnail, the shot mode
// and the header value. The editor's undo history keeps one per step and
// puts a set back into any of them (CMultiViewSource::RestoreSnapshot).
#include "SetContent.h"
#include "formats/SceneRecords.h"

#include <map>
#include <memory>
#include <string>

class CSourceObject;

struct SetSnapshot {
    LayerList layers;  // no engine handles: the set makes new items from these
    ShotList shots;
    // Which layer item each layer shot brings to full frame: it belongs to
    // the shots as they were, and comes back with them.
    std::map<int32_t, int32_t> shotToItem;
    std::wstring name;
    std::wstring thumbnailPath;
    int shotMode = 0;
    int headerValue = 0;
    SetContent content;  // what a save would write, for telling snapshots apart
};

std::shared_ptr<const SetSnapshot> TakeSetSnapshot(CSourceObject& set);

bool SameShots(const ShotList& a, const ShotList& b);
// Whether two snapshots agree in everything but their layers.
bool SameApartFromLayers(const SetSnapshot& a, const SetSnapshot& b);
