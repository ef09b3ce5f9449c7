#include "SetDescription.h"

#include "CliCommand.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cstring>
#include <filesystem>

JsonObject& JsonObject::Raw(const std::string& key, const std::string& json)
{
    if (!m_fields.empty())
        m_fields += ", ";
    m_fields += JsonString(key) + ": " + json;
    return *this;
}

JsonObject& JsonObject::String(const std::string& key, const std::string& utf8) { return Raw(key, JsonString(utf8)); }
JsonObject& JsonObject::Integer(const std::string& key, int64_t value) { return Raw(key, std::to_string(value)); }
JsonObject& JsonObject::Float(const std::string& key, float value) { return Raw(key, JsonFloat(value)); }
JsonObject& JsonObject::Bool(const std::string& key, bool value) { return Raw(key, value ? "true" : "false"); }

std::string JsonArray(const std::vector<std::string>& items)
{
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + items[i];
    return out + "]";
}

std::string RecordNameJson(const char (&name)[64])
{
    return JsonString(platform::WideToUtf8(GetRecordName(name)));
}

namespace {

// The placement fields that layers and shots share, from x to rotateZ.
void AddPlacement(JsonObject& json, float x, float y, float zoomX, float zoomY, float zoomZ, float rotateX,
                  float rotateY, float rotateZ)
{
    json.Float("x", x).Float("y", y);
    json.Float("zoomX", zoomX).Float("zoomY", zoomY).Float("zoomZ", zoomZ);
    json.Float("rotateX", rotateX).Float("rotateY", rotateY).Float("rotateZ", rotateZ);
}

}  // namespace

JsonObject LayerJsonObject(const LayerInfo& layer, int64_t imageBytes, int64_t uvBytes)
{
    JsonObject json;
    json.Raw("name", RecordNameJson(layer.name));
    AddPlacement(json, layer.x, layer.y, layer.zoomX, layer.zoomY, layer.zoomZ, layer.rotateX, layer.rotateY,
                 layer.rotateZ);
    json.Raw("crop", JsonArray({JsonFloat(layer.cropLeft), JsonFloat(layer.cropTop), JsonFloat(layer.cropRight),
                                JsonFloat(layer.cropBottom)}));
    json.Bool("dynamic", layer.dynamic != 0).Bool("visible", layer.visible != 0).Bool("uvEnabled", layer.uvEnabled != 0);
    json.Integer("imageBytes", imageBytes).Integer("uvBytes", uvBytes);
    return json;
}

std::string LayerJson(const LayerInfo& layer, int64_t imageBytes, int64_t uvBytes)
{
    return LayerJsonObject(layer, imageBytes, uvBytes).Text();
}

std::string ShotJson(const ShotInfo& shot)
{
    JsonObject json;
    json.Raw("name", RecordNameJson(shot.name));
    AddPlacement(json, shot.x, shot.y, shot.zoomX, shot.zoomY, shot.zoomZ, shot.rotateX, shot.rotateY, shot.rotateZ);
    return json.Text();
}

std::wstring SetFileFromArgument(const std::string& argument, const wchar_t* fileName)
{
    const std::wstring path = platform::Utf8ToWide(argument);
    return platform::FolderExists(path) ? platform::JoinPath(path, fileName) : path;
}

std::wstring SetNameOf(const std::wstring& setFile)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(platform::NativePath(setFile), ec);
    const std::filesystem::path folder = (ec ? std::filesystem::path(platform::NativePath(setFile)) : absolute)
                                             .lexically_normal()
                                             .parent_path();
    return platform::Utf8ToWide(folder.filename().string());
}
