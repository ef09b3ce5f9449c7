#include "VmixOpenCheck.h"

#include "formats/SceneFile.h"
#include "formats/UvMapCheck.h"
#include "formats/VmixFormat.h"
#include "fuzz/support/FolderArchive.h"
#include "fuzz/support/RecordChecks.h"
#include "model/LayerShots.h"
#include "model/SetPaths.h"
#include "platform/FileUtil.h"
#include "platform/Image.h"
#include "platform/TextConv.h"


namespace {

// Pictures are opened only inside the set folder: a path elsewhere may name
// anything on the machine (a device that never ends, say).
bool IsInside(const std::wstring& folder, const std::string& path)
{
    const std::wstring wide = platform::AnsiToWide(path);
    return wide.rfind(folder + L"/", 0) == 0 && wide.find(L"/../") == std::wstring::npos &&
           platform::FileExists(wide);
}

std::string CheckLayer(const LayerInfo& layer, const std::wstring& folder)
{
    if (std::string fault = CheckLayerRecord(layer); !fault.empty())
        return fault;
    if (IsInside(folder, layer.imagePath)) {
        platform::Image picture;
        picture.Load(platform::AnsiToWide(layer.imagePath));
    }
    if (layer.uvPath && IsInside(folder, layer.uvPath))
        CheckUvMapImage(platform::AnsiToWide(layer.uvPath));
    return {};
}

}  // namespace

std::string CheckVmixOpenRoad(const std::string& bytes, const std::wstring& folder)
{
    const std::wstring set = platform::JoinPath(folder, L"set");
    platform::RemoveFolderTree(set);
    if (!platform::CreateFolder(set) || !UnpackFolderArchive(bytes, set))
        return "the candidate could not be written";
    SourceInfo info;
    if (!MakeSetRecordForFolder(set, info))
        return {};
    LayerList layers;
    ShotList shots;
    bool loaded = false;
    int32_t shotMode = kShotModeCamera;
    if (info.kind == kKindNativeSet) {
        SceneFileHeader header;
        loaded = LoadSceneFile(info.path, layers, shots, &header, true, true);
        shotMode = loaded ? EffectiveShotMode(header) : shotMode;
    } else {
        loaded = LoadVmixVirtualSet(info.path, layers, shots, true, true);
    }
    if (!loaded)
        return (layers.empty() && shots.empty()) ? std::string() : "a failed load left records behind";
    for (LayerInfo& layer : layers) {
        CropFromStored(layer);
        if (const std::string fault = CheckLayer(layer, set); !fault.empty())
            return fault;
    }
    if (shotMode == kShotModeLayer) {
        std::map<int32_t, int32_t> shotToItem;
        BuildLayerShots(layers, shots, shotToItem);
        if (std::string fault = CheckLayerShotTable(shotToItem, shots.size(), layers.size()); !fault.empty())
            return fault;
    }
    const std::wstring thumbnail = SetThumbnailPathOf(info.path);
    if (platform::FileExists(thumbnail)) {
        platform::Image picture;
        picture.Load(thumbnail);
    }
    return {};
}
