#pragma once
// The image sources of a set's layers, made side by side: the engine decodes
// a picture while it creates its source, and a set of large pictures opens
// about as many times faster as there are processor cores.
#include "formats/SceneRecords.h"

#include <obs.hpp>
#include <vector>

// One "image_source" per layer, in list order, named after the layer and
// showing its image file; an entry is null where the engine refused. The
// caller owns the references.
std::vector<OBSSourceAutoRelease> CreateLayerImageSources(const LayerList& layers);

// The source of one layer, made on the calling thread.
OBSSourceAutoRelease CreateLayerImageSource(const LayerInfo& layer);
