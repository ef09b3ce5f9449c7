#include "SceneReaderCheck.h"

#include "formats/SceneFile.h"
#include "platform/FileUtil.h"

#include <cstring>
#include <cstdio>

namespace {

std::string Slice(const std::string& bytes, int64_t offset, int64_t count)
{
    if (offset < 0 || count < 0 || offset + count > int64_t(bytes.size()))
        return "\x01out of range";
    return bytes.substr(size_t(offset), size_t(count));
}

std::string CheckRead(const std::string& bytes, const std::wstring& scene, const SceneFileIndex& index)
{
    LayerList layers;
    ShotList shots;
    std::vector<uint8_t> thumbnail;
    SceneFileHeader header;
    if (!ReadSceneFile(scene, layers, shots, &thumbnail, &header, false))
        return "the reader failed where the index read";
    if (std::memcmp(&header, &index.header, sizeof(header)) != 0)
        return "header copies differ";
    if (std::string(thumbnail.begin(), thumbnail.end()) != Slice(bytes, index.thumbnailOffset, index.header.thumbnailSize))
        return "thumbnail bytes differ from the file";
    if (layers.size() != index.layers.size() || shots.size() != index.shots.size())
        return "reader and index disagree on the record counts";
    int64_t embedded = 0;
    for (size_t i = 0; i < layers.size(); ++i) {
        const SceneLayerEntry& entry = index.layers[i];
        const LayerInfo& layer = layers[i];
        if (layer.imagePathSize != entry.record.imagePathSize || layer.uvPathSize != entry.record.uvPathSize)
            return "reader and index disagree on a layer's sizes";
        if (std::string(layer.imagePath ? layer.imagePath : "", size_t(layer.imagePathSize)) !=
                Slice(bytes, entry.imageOffset, layer.imagePathSize) ||
            std::string(layer.uvPath ? layer.uvPath : "", size_t(layer.uvPathSize)) !=
                Slice(bytes, entry.uvOffset, layer.uvPathSize))
            return "a layer's bytes differ from the file";
        if (!(layer.zoomX > 0 && layer.zoomY > 0 && layer.zoomZ > 0) || layer.visible != 1 || layer.uvEnabled != 1)
            return "a layer was not given the reader's defaults";
        if (std::memchr(layer.name, '\0', sizeof(layer.name)) == nullptr)
            return "a layer name is not terminated";
        embedded += int64_t(sizeof(LayerInfo)) + layer.imagePathSize + layer.uvPathSize;
    }
    embedded += int64_t(sizeof(SceneFileHeader)) + index.header.thumbnailSize + int64_t(shots.size() * sizeof(ShotInfo));
    if (embedded > int64_t(bytes.size()))
        return "more was read than the file holds";
    for (size_t i = 0; i < shots.size(); ++i) {
        if (std::memcmp(&shots[i], &index.shots[i], sizeof(ShotInfo)) != 0)
            return "reader and index disagree on a shot";
    }
    return {};
}

std::string CheckLoad(const std::string& bytes, const std::wstring& scene, const SceneFileIndex& index,
                      const std::wstring& folder)
{
    LayerList layers;
    ShotList shots;
    if (!LoadSceneFile(scene, layers, shots, nullptr, true, true))
        return "the loader failed where the index read";
    std::vector<const SceneLayerEntry*> withImage;
    for (const SceneLayerEntry& entry : index.layers) {
        if (entry.record.imagePathSize > 0)
            withImage.insert(withImage.begin(), &entry);
    }
    if (layers.size() != withImage.size() || shots.size() != index.shots.size())
        return "the loader kept the wrong records";
    for (size_t i = 0; i < layers.size(); ++i) {
        const std::wstring file = platform::JoinPath(folder, L"s" + std::to_wstring(i + 1) + L".png");
        const auto unpacked = platform::ReadWholeFile(file);
        if (!unpacked || *unpacked != Slice(bytes, withImage[i]->imageOffset, withImage[i]->record.imagePathSize))
            return "an unpacked image differs from the embedded bytes";
    }
    return {};
}

}  // namespace

std::string CheckSceneReaders(const std::string& bytes, const std::wstring& folder, bool withLoader)
{
    const std::wstring scene = platform::JoinPath(folder, L"scene.tvn");
    std::remove(platform::NativePath(scene).c_str());  // a new file, not a truncated one
    std::FILE* out = std::fopen(platform::NativePath(scene).c_str(), "wb");
    const bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (!out || std::fclose(out) != 0 || !written)
        return "cannot write the candidate file";
    SceneFileIndex index;
    const bool indexed = IndexSceneFile(scene, index) == SceneFileStatus::Ok;
    if (IsSceneFile(scene) != indexed)
        return "the validity check disagrees with the index";
    std::vector<uint8_t> thumbnail;
    if (ReadSceneThumbnail(scene, thumbnail) != indexed)
        return "the thumbnail reader disagrees with the index";
    if (!indexed) {
        LayerList layers;
        ShotList shots;
        std::vector<uint8_t> t;
        if (ReadSceneFile(scene, layers, shots, &t, nullptr, false) || !layers.empty() || !shots.empty())
            return "the reader accepted what the index refused";
        if (withLoader && LoadSceneFile(scene, layers, shots, nullptr, true, true))
            return "the loader accepted what the index refused";
        return {};
    }
    std::string fault = CheckRead(bytes, scene, index);
    if (fault.empty() && withLoader)
        fault = CheckLoad(bytes, scene, index, folder);
    return fault;
}
