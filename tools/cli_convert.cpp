// kelvane-cli convert SRC PARENT --to vmix|native [--name NAME] [--overwrite]:
// write the set at SRC as a set folder PARENT/NAME in the other (or the same)
// format, with the writers the editor saves with.
#include "CliCommand.h"
#include "SetSource.h"

#include "formats/SceneFile.h"
#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/FolderReplace.h"
#include "platform/TextConv.h"

#include <cerrno>
#include <cstring>

namespace {

// A folder of the command's own, removed when the command ends however it
// ends, unless it was kept (its path cleared).
struct ScratchFolder {
    explicit ScratchFolder(std::wstring folder) : path(std::move(folder)) {}
    ~ScratchFolder()
    {
        if (!path.empty())
            platform::RemoveFolderTree(path);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::wstring path;
};

bool WriteSet(const std::string& format, const std::wstring& folder, const LoadedSet& set)
{
    if (format == "vmix")
        return WriteVmixConfig(platform::JoinPath(folder, kVmixConfigFileName), set.layers, set.shots,
                               {set.name, set.thumbnailPath});
    return WriteSceneFile(platform::JoinPath(folder, kSceneFileName), set.layers, set.shots, set.thumbnailPath);
}

int RunConvert(const CliArgs& args)
{
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, {"--to", "--name"}, options, error))
        return CliFail(error);
    const std::string* format = options.Value("--to");
    if (options.positional.size() != 2 || !format || (*format != "vmix" && *format != "native"))
        return CliFail("usage: kelvane-cli convert SRC PARENT --to vmix|native [--name NAME] [--overwrite]");

    ScratchFolder work(platform::MakeTempFolder(L"kelvane-convert-"));
    if (work.path.empty())
        return CliFail("cannot make a temporary folder");
    LoadedSet set;
    if (!ReadSetForConversion(platform::Utf8ToWide(options.positional[0]), work.path, set, error))
        return CliFail(options.positional[0] + ": " + error);
    if (set.layers.empty())
        return CliFail(options.positional[0] + ": the set has no layer with an image");

    if (const std::string* name = options.Value("--name"))
        set.name = platform::Utf8ToWide(*name);
    if (set.name.empty() || set.name.find(L'/') != std::wstring::npos || set.name == L"." || set.name == L"..")
        return CliFail("the set name must be a plain folder name");
    const std::wstring parent = platform::Utf8ToWide(options.positional[1]);
    if (!platform::FolderExists(parent))
        return CliFail(options.positional[1] + ": no such folder");
    const std::wstring target = platform::JoinPath(parent, set.name);
    const bool overwrite = options.Has("--overwrite");
    if (platform::PathExists(target) && !overwrite)
        return CliFail(platform::WideToUtf8(target) + " exists (use --overwrite)");
    // Written beside the target and moved in whole: an existing set is
    // replaced only by a complete new one, never mixed with it.
    ScratchFolder staged(platform::MakeFolderBeside(target));
    if (staged.path.empty())
        return CliFail(platform::WideToUtf8(target) + ": " + std::strerror(errno));
    if (!WriteSet(*format, staged.path, set))
        return CliFail(platform::WideToUtf8(target) + ": the set could not be written (" + std::strerror(errno) + ")");
    if (!platform::PutFolderInPlace(staged.path, target, overwrite))
        return CliFail(platform::WideToUtf8(target) + ": " + std::strerror(errno));
    staged.path.clear();
    return kCliOk;
}

const CliCommand kConvert("convert", "SRC PARENT --to vmix|native [--name NAME] [--overwrite]  write a set in a format",
                          RunConvert);

}  // namespace
