#include "PsdSet.h"

#include "SceneFile.h"
#include "VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/Processes.h"
#include "platform/TextConv.h"

#include <cerrno>
#include <fcntl.h>
#include <cstdio>
#include <cstring>
#include <set>

using platform::JoinPath;

namespace {

// Removes its folder when the import ends, however it ends.
struct FolderKeeper {
    explicit FolderKeeper(std::wstring folder) : path(std::move(folder)) {}
    ~FolderKeeper()
    {
        if (!path.empty())
            platform::RemoveFolderTree(path);
    }
    std::wstring path;
};

// A file name for the layer's picture: vMix shows these names, so they stay
// readable; separators and control characters become '_', repeats get a number.
std::wstring PictureFileName(const std::wstring& layerName, std::set<std::wstring>& taken)
{
    std::wstring stem;
    for (wchar_t c : layerName)
        stem += (c == L'/' || c == L'\\' || c < 32 || c == 127) ? L'_' : c;
    if (stem.empty() || stem == L"." || stem == L"..")
        stem = L"layer";
    std::wstring name = stem + L".png";
    for (int n = 2; !taken.insert(name).second; ++n)
        name = stem + L" " + std::to_wstring(n) + L".png";
    return name;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes, std::string& error)
{
    if (platform::WriteFileAtomically(path, bytes))
        return true;
    error = platform::WideToUtf8(path) + ": " + std::strerror(errno);
    return false;
}

}  // namespace

LayerInfo PsdLayerRecord(const PsdDocument& document, const PsdLayer& layer)
{
    LayerInfo record = MakeDefaultLayer();
    SetRecordName(record.name, layer.name);
    const double width = document.width, height = document.height;
    record.zoomX = static_cast<float>(layer.width / width);
    record.zoomY = static_cast<float>(layer.height / height);
    record.x = static_cast<float>((layer.left + layer.width / 2.0) / width * 2.0 - 1.0);
    record.y = static_cast<float>(1.0 - (layer.top + layer.height / 2.0) / height * 2.0);
    record.visible = layer.visible ? 1 : 0;
    return record;
}

bool WritePsdSet(const PsdDocument& document, const std::wstring& target, PsdSetFormat format,
                 PsdImportReport& report, std::string& error)
{
    if (document.layers.empty()) {
        error = "the file has no layer";
        return false;
    }
    if (platform::PathExists(target)) {
        error = platform::WideToUtf8(target) + " exists already";
        return false;
    }
    FolderKeeper pictures(platform::MakeTempFolder(L"kelvane-psd-"));
    const std::wstring staging = JoinPath(platform::FolderPart(target), L"." + platform::FileNamePart(target) + L".import-" +
                                                                            std::to_wstring(platform::CurrentProcessId()));
    platform::RemoveFolderTree(staging);
    if (pictures.path.empty() || !platform::CreateFolder(staging)) {
        error = platform::WideToUtf8(platform::FolderPart(target)) + ": " + std::strerror(errno);
        return false;
    }
    FolderKeeper stagingKeeper(staging);

    LayerList layers;
    std::set<std::wstring> taken;
    PsdImportReport leftOut;
    for (const PsdLayer& layer : document.layers) {
        if (format == PsdSetFormat::Vmix && !layer.visible) {
            leftOut.push_back({PsdChange::HiddenLeftOut, layer.name, {}});
            continue;
        }
        // vMix shows the pictures' file names; the native package embeds them.
        std::wstring picture = layer.picture;
        if (format == PsdSetFormat::Vmix) {
            picture = JoinPath(pictures.path, PictureFileName(layer.name, taken));
            if (!platform::CopyFileTo(layer.picture, picture, false)) {
                error = platform::WideToUtf8(picture) + ": " + std::strerror(errno);
                return false;
            }
        }
        LayerInfo record = PsdLayerRecord(document, layer);
        SetLayerImagePath(record, platform::WideToAnsi(picture));
        layers.push_back(record);
    }
    if (layers.empty()) {
        error = "the file has no visible layer for a vMix set";
        return false;
    }
    std::wstring thumbnail;
    if (!document.thumbnailJpeg.empty()) {
        thumbnail = JoinPath(pictures.path, L"thumbnail.jpg");
        if (!WriteBytes(thumbnail, document.thumbnailJpeg, error))
            return false;
    }
    const ShotList shots;
    const bool written =
        format == PsdSetFormat::Vmix
            ? WriteVmixConfig(JoinPath(staging, kVmixConfigFileName), layers, shots,
                              {platform::FileNamePart(target), thumbnail})
            : WriteSceneFile(JoinPath(staging, kSceneFileName), layers, shots, thumbnail);
    if (!written) {
        error = "the set could not be written (" + std::string(std::strerror(errno)) + ")";
        return false;
    }
    // Never over a folder that appeared meanwhile.
    if (renameat2(AT_FDCWD, platform::WideToUtf8(staging).c_str(), AT_FDCWD, platform::WideToUtf8(target).c_str(),
                  RENAME_NOREPLACE) != 0) {
        error = platform::WideToUtf8(target) + ": " + std::strerror(errno);
        return false;
    }
    stagingKeeper.path.clear();
    report.insert(report.end(), leftOut.begin(), leftOut.end());
    return true;
}
