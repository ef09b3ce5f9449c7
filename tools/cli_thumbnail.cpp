// kelvane-cli thumbnail PATH OUT.jpg: write the thumbnail embedded in a
// native set (its folder or its "scene.tvn") to a file, bytes unchanged.
#include "CliCommand.h"
#include "SetDescription.h"

#include "formats/SceneFile.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cerrno>
#include <cstring>

namespace {

int RunThumbnail(const CliArgs& args)
{
    if (args.size() != 2)
        return CliFail("usage: kelvane-cli thumbnail PATH OUT.jpg");
    const std::wstring sceneFile = SetFileFromArgument(args[0], kSceneFileName);
    SceneFileIndex index;
    const SceneFileStatus status = IndexSceneFile(sceneFile, index);
    if (status != SceneFileStatus::Ok)
        return CliFail(platform::WideToUtf8(sceneFile) + ": " + SceneFileStatusText(status));
    std::vector<uint8_t> thumbnail;
    if (!ReadSceneThumbnail(sceneFile, thumbnail))
        return CliFail(platform::WideToUtf8(sceneFile) + ": the thumbnail cannot be read");
    const std::string bytes(thumbnail.begin(), thumbnail.end());
    if (!platform::WriteFileAtomically(platform::Utf8ToWide(args[1]), bytes))
        return CliFail(args[1] + ": " + std::strerror(errno));
    return kCliOk;
}

const CliCommand kThumbnail("thumbnail", "PATH OUT.jpg  write the thumbnail embedded in a native set", RunThumbnail);

}  // namespace
