// kelvane-cli info PATH: describe a virtual set as one JSON object without
// changing anything on disk. PATH is a set folder or its set file.
#include "CliCommand.h"
#include "SetDescription.h"

#include "formats/SceneFile.h"
#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <iostream>

namespace {

// The native set as the editor shows it after loading: layers front-most
// first, those without an image dropped, the crop turned back into insets.
bool DescribeNativeSet(const std::wstring& sceneFile, std::string& json, std::string& error)
{
    SceneFileIndex index;
    const SceneFileStatus status = IndexSceneFile(sceneFile, index);
    if (status != SceneFileStatus::Ok) {
        error = SceneFileStatusText(status);
        return false;
    }
    std::vector<std::string> layers;
    for (auto it = index.layers.rbegin(); it != index.layers.rend(); ++it) {
        if (it->record.imagePathSize <= 0)
            continue;
        LayerInfo layer = it->record;
        CropFromStored(layer);
        JsonObject json = LayerJsonObject(layer, it->record.imagePathSize, it->record.uvPathSize);
        // Loading shows every layer; the file's own flag is reported beside it.
        json.Bool("storedVisible", it->storedVisible != 0);
        layers.push_back(json.Text());
    }
    std::vector<std::string> shots;
    for (const ShotInfo& shot : index.shots)
        shots.push_back(ShotJson(shot));

    JsonObject out;
    out.String("format", "native");
    out.String("name", platform::WideToUtf8(SetNameOf(sceneFile)));
    out.Integer("shotMode", EffectiveShotMode(index.header));
    out.Integer("headerValue", index.header.headerValue);
    out.Integer("saveTime", index.header.saveTime);
    out.Integer("thumbnailBytes", index.header.thumbnailSize);
    out.Raw("layers", JsonArray(layers));
    out.Raw("shots", JsonArray(shots));
    json = out.Text();
    return true;
}

// The vMix set as the editor shows it after importing it: layers in the
// reverse of the file order, those without an image name dropped, rotations
// in turns, the crop turned back into insets; the files are named with their
// sizes (-1 when missing), and the names that were refused or not found are
// listed as notes.
bool DescribeVmixSet(const std::wstring& configFile, std::string& json, std::string& error)
{
    LayerList layers;
    ShotList shots;
    std::vector<SetFileNote> notes;
    if (!LoadVmixVirtualSet(configFile, layers, shots, true, true, &notes)) {
        error = platform::FileExists(configFile) ? "not a vMix virtual-set config.xml" : "cannot open the file";
        return false;
    }
    std::vector<std::string> layerJson;
    for (LayerInfo& layer : layers) {
        CropFromStored(layer);
        const std::wstring image = platform::AnsiToWide(LayerImagePath(layer));
        const std::wstring uv = platform::AnsiToWide(LayerUvPath(layer));
        JsonObject object = LayerJsonObject(layer, platform::FileSize(image), uv.empty() ? -1 : platform::FileSize(uv));
        object.String("image", platform::WideToUtf8(platform::FileNamePart(image)));
        object.String("uvmap", platform::WideToUtf8(platform::FileNamePart(uv)));
        layerJson.push_back(object.Text());
    }
    std::vector<std::string> shotJson;
    for (const ShotInfo& shot : shots)
        shotJson.push_back(ShotJson(shot));

    JsonObject out;
    out.String("format", "vmix");
    out.String("name", platform::WideToUtf8(SetNameOf(configFile)));
    out.Integer("shotMode", kShotModeCamera);
    out.Integer("headerValue", kSceneHeaderValue);
    out.Raw("layers", JsonArray(layerJson));
    out.Raw("shots", JsonArray(shotJson));
    std::vector<std::string> noteJson;
    for (const SetFileNote& note : notes)
        noteJson.push_back(JsonObject().String("text", platform::WideToUtf8(DescribeSetFileNote(note))).Text());
    out.Raw("notes", JsonArray(noteJson));
    json = out.Text();
    return true;
}

// The set formats info understands. A folder is a set of the first format
// whose file it holds; a file goes to the format whose file name it has, and
// otherwise to the first format.
struct SetFormat {
    const wchar_t* fileName;
    bool (*describe)(const std::wstring& setFile, std::string& json, std::string& error);
};

const SetFormat kSetFormats[] = {
    {kSceneFileName, DescribeNativeSet},
    {kVmixConfigFileName, DescribeVmixSet},
};

const SetFormat& FormatFor(const std::string& argument, std::wstring& setFile)
{
    const std::wstring path = platform::Utf8ToWide(argument);
    if (platform::FolderExists(path)) {
        for (const SetFormat& format : kSetFormats) {
            setFile = platform::JoinPath(path, format.fileName);
            if (platform::FileExists(setFile))
                return format;
        }
        setFile = platform::JoinPath(path, kSetFormats[0].fileName);
        return kSetFormats[0];
    }
    setFile = path;
    const std::wstring name = platform::ToUpperWide(platform::FileNamePart(path));
    for (const SetFormat& format : kSetFormats) {
        if (name == platform::ToUpperWide(format.fileName))
            return format;
    }
    return kSetFormats[0];
}

int RunInfo(const CliArgs& args)
{
    if (args.size() != 1)
        return CliFail("usage: kelvane-cli info PATH");
    std::wstring setFile;
    const SetFormat& format = FormatFor(args[0], setFile);
    std::string json, error;
    if (!format.describe(setFile, json, error))
        return CliFail(platform::WideToUtf8(setFile) + ": " + error);
    std::cout << json << std::endl;
    return kCliOk;
}

const CliCommand kInfo("info", "PATH  describe the set in a folder (or its set file) as JSON", RunInfo);

}  // namespace
