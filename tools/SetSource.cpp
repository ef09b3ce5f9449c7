#include "SetSource.h"

#include "SetDescription.h"
#include "formats/SceneFile.h"
#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

using platform::JoinPath;

SetFormatKind DetectSetFormat(const std::wstring& path, std::wstring& setFile)
{
    if (platform::FolderExists(path)) {
        setFile = JoinPath(path, kSceneFileName);
        if (IsSceneFile(setFile))
            return SetFormatKind::Native;
        setFile = JoinPath(path, kVmixConfigFileName);
        return IsVmixVirtualSet(setFile) ? SetFormatKind::Vmix : SetFormatKind::None;
    }
    setFile = path;
    if (IsSceneFile(path))
        return SetFormatKind::Native;
    return IsVmixVirtualSet(path) ? SetFormatKind::Vmix : SetFormatKind::None;
}

namespace {

bool ReadNative(const std::wstring& sceneFile, const std::wstring& workFolder, LoadedSet& set, std::string& error)
{
    SceneUnpack unpack;
    unpack.folder = workFolder;
    if (!LoadSceneFile(sceneFile, set.layers, set.shots, nullptr, true, true, &unpack)) {
        error = unpack.error ? "the set's pictures cannot be unpacked into " + platform::WideToUtf8(workFolder) + " (" +
                                   platform::WideToUtf8(platform::SystemErrorText(unpack.error)) + ")"
                             : "the scene file does not read";
        return false;
    }
    set.thumbnailPath = JoinPath(workFolder, L"thumbnail.jpg");
    return true;
}

bool ReadVmix(const std::wstring& configFile, LoadedSet& set, std::string& error)
{
    if (!LoadVmixVirtualSet(configFile, set.layers, set.shots, true, true, &set.notes)) {
        error = "not a vMix virtual-set config.xml";
        return false;
    }
    set.thumbnailPath = JoinPath(platform::FolderPart(configFile), L"thumbnail.jpg");
    return true;
}

}  // namespace

bool ReadSetForConversion(const std::wstring& path, const std::wstring& workFolder, LoadedSet& set, std::string& error)
{
    std::wstring setFile;
    const SetFormatKind kind = DetectSetFormat(path, setFile);
    if (kind == SetFormatKind::None) {
        error = "not a virtual set (no readable scene.tvn or config.xml)";
        return false;
    }
    set.name = SetNameOf(setFile);
    const bool ok = kind == SetFormatKind::Native ? ReadNative(setFile, workFolder, set, error) : ReadVmix(setFile, set, error);
    if (!ok)
        return false;
    for (LayerInfo& layer : set.layers)
        CropFromStored(layer);
    return true;
}
