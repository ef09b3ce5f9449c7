#include "VmixConfigCheck.h"

#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"

#include <algorithm>
#include <cmath>
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

// Without a folder (records that include the test's own marker) any path passes.
bool InsideFolder(const char* path, const std::string& folder)
{
    return !path || folder.empty() || std::string(path).rfind(folder + "/", 0) == 0;
}

bool Usable(float value) { return std::isfinite(value) && std::fabs(value) <= kMaxPlacementValue; }

template <typename Record>
bool PlacementUsable(const Record& r)
{
    return Usable(r.x) && Usable(r.y) && Usable(r.zoomX) && Usable(r.zoomY) && Usable(r.zoomZ) &&
           std::isfinite(r.rotateX) && std::isfinite(r.rotateY) && std::isfinite(r.rotateZ);
}

std::string CheckRecords(const LayerList& layers, const ShotList& shots, const std::string& folder)
{
    for (const LayerInfo& layer : layers) {
        if (!(layer.zoomX > 0 && layer.zoomY > 0 && layer.zoomZ > 0))
            return "a layer kept a zoom that is not positive";
        if (!PlacementUsable(layer))
            return "a layer kept a placement value no placement can use";
        for (float edge : {layer.cropLeft, layer.cropTop, layer.cropRight, layer.cropBottom}) {
            if (!(edge >= 0.0f && edge <= 1.0f))
                return "a layer kept a crop edge outside 0 ... 1";
        }
        for (const char* path : {layer.imagePath, layer.uvPath}) {
            if (!InsideFolder(path, folder))
                return "a layer names a file outside the set folder: " + std::string(path);
        }
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
        if (!PlacementUsable(shot))
            return "a shot kept a placement value no placement can use";
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
    const std::string folderPath = platform::NativePath(folder);
    std::vector<SetFileNote> notes;
    const bool read = ReadVmixConfig(config, layers, shots, &notes);
    if (!read && !HoldsOnlyMarkers(layers, shots))
        return "a failed read changed the lists";
    if (read) {
        if (const std::string fault = CheckRecords(layers, shots, folderPath); !fault.empty())
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
        // Only the layers that name an image are taken (those whose name was
        // refused stay without one), in reverse order, before the old ones.
        size_t withImage = 0, refused = 0;
        for (const LayerInfo& layer : layers)
            withImage += layer.imagePath != nullptr;
        for (const SetFileNote& note : notes)
            refused += !note.uvMap && note.problem == SetFileProblem::Outside;
        if (notes.size() >= kMaxVmixNotes)
            refused = loaded.size() - 1 - std::min(withImage, loaded.size() - 1);  // not all refusals were noted
        if (loaded.size() != withImage + refused + 1 || GetRecordName(loaded[withImage + refused].name) != L"marker")
            return "LoadVmixVirtualSet did not put the layers with an image in front";
        if (loadedShots.size() != shots.size() + 1)
            return "LoadVmixVirtualSet did not append every shot";
        size_t withoutImage = 0;
        for (size_t i = 0; i < withImage + refused; ++i)
            withoutImage += loaded[i].imagePath == nullptr;
        if (withoutImage != refused)
            return "LoadVmixVirtualSet took a layer that names no image";
        if (const std::string fault = CheckRecords(loaded, loadedShots, {}); !fault.empty())
            return fault;
    } else if (!HoldsOnlyMarkers(loaded, loadedShots)) {
        return "a failed load changed the lists";
    }
    return {};
}
