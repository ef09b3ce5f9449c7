#pragma once
// What every layer record and layer-shot table a reader hands over must
// hold, whichever file it came from. Shared by the fuzz checks of the set
// opening road and of the recovery journal.
#include "formats/SceneRecords.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// Empty, or what is wrong with the record: an unterminated name, a path
// whose stored size is not its length.
std::string CheckLayerRecord(const LayerInfo& layer);

// Empty, or that a layer shot points past the shot or layer list.
std::string CheckLayerShotTable(const std::map<int32_t, int32_t>& shotToItem, size_t shots, size_t layers);
