#pragma once
// Layer shots: in the second shot mode a set's shots are derived from its
// layers. Shot 0 ("All") shows the whole set; every other shot brings one
// layer to full frame. Layers that frame the set (background, foreground,
// borders, overlays) get no shot of their own.
#include "formats/SceneRecords.h"

#include <cstdint>
#include <map>

// Whether a layer of this name is left out of the layer shots.
bool IsFramingLayerName(const char (&name)[64]);

// Rebuilds the shot list from the layers, back-most first after "All", and
// maps each shot to the scene item of its layer (layer n is item n + 1; "All"
// maps to item 0, the group).
void BuildLayerShots(const LayerList& layers, ShotList& shots, std::map<int32_t, int32_t>& shotToItem);
