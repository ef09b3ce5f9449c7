#include "NativeSetLoader.h"

#include "SetCache.h"
#include "SetPaths.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cerrno>
#include <obs.h>

namespace {

std::string Native(const std::wstring& text) { return platform::NativePath(text); }

}  // namespace

bool LoadNativeSet(const std::wstring& sceneFile, LayerList& layers, ShotList& shots, SceneFileHeader& header,
                   bool loadLayers, bool loadShots, NativeSetLoad& load)
{
    load = NativeSetLoad{};
    SceneUnpack unpack;
    unpack.folder = SetFolderOf(sceneFile);
    if (LoadSceneFile(sceneFile, layers, shots, &header, loadLayers, loadShots, &unpack)) {
        load.folder = unpack.folder;
        return true;
    }
    if (unpack.error == 0)
        return false;  // not a scene file
    SceneUnpack cache;
    cache.folder = GetSetCacheFolder(unpack.folder);
    if (!cache.folder.empty() && LoadSceneFile(sceneFile, layers, shots, &header, loadLayers, loadShots, &cache)) {
        blog(LOG_INFO, "The set folder %s cannot be written (%s); the pictures are unpacked into %s",
             Native(unpack.folder).c_str(), Native(platform::SystemErrorText(unpack.error)).c_str(),
             Native(cache.folder).c_str());
        load.folder = cache.folder;
        return true;
    }
    load.error = cache.error ? cache.error : unpack.error;
    blog(LOG_ERROR, "The pictures of %s cannot be unpacked: %s", Native(sceneFile).c_str(),
         Native(platform::SystemErrorText(load.error)).c_str());
    errno = load.error;
    return false;
}
