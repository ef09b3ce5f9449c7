#include "RecordChecks.h"

#include <cstring>

std::string CheckLayerRecord(const LayerInfo& layer)
{
    if (std::memchr(layer.name, '\0', sizeof layer.name) == nullptr)
        return "a layer name is not terminated";
    if (!layer.imagePath || std::strlen(layer.imagePath) + 1 != static_cast<size_t>(layer.imagePathSize))
        return "a layer's image path and its size disagree";
    if (layer.uvPath && std::strlen(layer.uvPath) + 1 != static_cast<size_t>(layer.uvPathSize))
        return "a layer's UV-map path and its size disagree";
    return {};
}

std::string CheckLayerShotTable(const std::map<int32_t, int32_t>& shotToItem, size_t shots, size_t layers)
{
    for (const auto& [shot, item] : shotToItem) {
        if (shot < 0 || static_cast<size_t>(shot) >= shots || item < 0 || static_cast<size_t>(item) > layers)
            return "a layer shot points past the lists";
    }
    return {};
}
