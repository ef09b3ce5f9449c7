#include "VmixConfigCheck.h"

#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"

#include <cstring>

namespace {

// A record the readers must not touch when they fail.
LayerInfo MarkerLayer()
{
    LayerInfo layer = MakeDefaultLayer();
    SetRecordName(layer.name, L"marker");
    SetLayerImagePath(layer, "marker.png");
    return layer;
}

bool HoldsOnlyMarkers(const LayerList& layers, const ShotList& shots)
{
    return layers.size() == 1 && GetRecordName(layers[0].name) == L"marker" &&
           LayerImagePath(layers[0]) == "marker.png" && shots.size() == 1 &&
           GetRecordName(shots[0].name) == L"marker";
}

std::string CheckRecords(const LayerList& layers, const ShotList& shots)
{
    for (const LayerInfo& layer : layers) {
        if (!(layer.zoomX > 0 && layer.zoomY > 0 && layer.zoomZ > 0))
            return "a layer kept a zoom that is not positive";
        if (std::memchr(layer.name, '\0', sizeof(layer.name)) == nullptr)
            return "a layer name is not terminated";
        if ((layer.imagePath == nullptr) != (layer.imagePathSize == 0) ||
            (layer.uvPath == nullptr) != (layer.uvPathSize == 0))
            return "a layer's path buffer and size disagree";
        if (layer.imagePath && std::strlen(layer.imagePath) + 1 != size_t(layer.imagePathSize))
            return "an image path's size is not its length + 1";
        if (layer.uvPath && std::strlen(layer.uvPath) + 1 != size_t(layer.uvPathSize))
            return "a UV-map path's size is not its length + 1";
    }
    for (const ShotInfo& shot : shots) {
        if (std::memchr(shot.name, '\0', sizeof(shot.name)) == nullptr)
            return "a shot name is not terminated";
    }
    return {};
}

}  // namespace

std::string CheckVmixConfigReaders(const std::string& bytes, const std::wstring& folder)
{
    const std::wstring config = platform::JoinPath(folder, kVmixConfigFileName);
    if (!platform::WriteFileAtomically(config, bytes))
        return "the candidate could not be written";

    LayerList layers;
    layers.push_back(MarkerLayer());
    ShotList shots{MakeDefaultShot()};
    SetRecordName(shots[0].name, L"marker");
    const bool read = ReadVmixConfig(config, layers, shots);
    if (!read && !HoldsOnlyMarkers(layers, shots))
        return "a failed read changed the lists";
    if (read) {
        if (const std::string fault = CheckRecords(layers, shots); !fault.empty())
            return fault;
    }
    if (IsVmixVirtualSet(config) != read)
        return "IsVmixVirtualSet disagrees with ReadVmixConfig";

    LayerList loaded;
    loaded.push_back(MarkerLayer());
    ShotList loadedShots{MakeDefaultShot()};
    SetRecordName(loadedShots[0].name, L"marker");
    if (LoadVmixVirtualSet(config, loaded, loadedShots, true, true) != read)
        return "LoadVmixVirtualSet disagrees with ReadVmixConfig";
    if (read) {
        // Only the layers with an image are taken, in reverse order, before the old ones.
        size_t withImage = 0;
        for (const LayerInfo& layer : layers)
            withImage += layer.imagePath != nullptr;
        if (loaded.size() != withImage + 1 || GetRecordName(loaded[withImage].name) != L"marker")
            return "LoadVmixVirtualSet did not put the layers with an image in front";
        if (loadedShots.size() != shots.size() + 1)
            return "LoadVmixVirtualSet did not append every shot";
        for (size_t i = 0; i < withImage; ++i) {
            if (loaded[i].imagePath == nullptr)
                return "LoadVmixVirtualSet took a layer without an image";
        }
        if (const std::string fault = CheckRecords(loaded, loadedShots); !fault.empty())
            return fault;
    } else if (!HoldsOnlyMarkers(loaded, loadedShots)) {
        return "a failed load changed the lists";
    }
    return {};
}
