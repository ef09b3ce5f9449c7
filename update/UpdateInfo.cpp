#include "UpdateInfo.h"

#include "HttpDownload.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cmath>
#include <json/json.h>
#include <memory>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool ParseJson(std::string_view text, Json::Value& root)
{
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        text.remove_prefix(kUtf8Bom.size());
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["failIfExtra"] = true;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    try {
        return reader->parse(text.data(), text.data() + text.size(), &root, &errors);
    } catch (const std::exception&) {
        return false;  // nesting deeper than the reader's limit
    }
}

// A missing key leaves the field empty; a key of another type fails.
bool ReadText(const Json::Value& root, const char* key, std::wstring& out)
{
    const Json::Value& value = root[key];
    if (value.isNull())
        return true;
    if (!value.isString())
        return false;
    out = platform::Utf8ToWide(value.asString());
    return true;
}

bool ReadVersion(const Json::Value& root, int32_t& out)
{
    const Json::Value& value = root["Version"];
    if (!value.isNumeric())
        return false;
    // Truncated, not rounded: 1.13 is stored as 1.12999... and gives 112.
    const double scaled = std::trunc(value.asDouble() * 100.0);
    if (!std::isfinite(scaled) || scaled > INT32_MAX || scaled < INT32_MIN)
        return false;
    out = static_cast<int32_t>(scaled);
    return true;
}

bool ReadSize(const Json::Value& root, int64_t& out)
{
    const Json::Value& value = root["Size"];
    if (value.isNull())
        return true;
    if (!value.isInt64() || value.asInt64() < 0)
        return false;
    out = value.asInt64();
    return true;
}

}  // namespace

UpdateInfo ParseManifestText(std::string_view text)
{
    Json::Value root;
    if (!ParseJson(text, root) || !root.isObject())
        return {};
    UpdateInfo info;
    const bool ok = ReadText(root, "Application", info.application) && ReadVersion(root, info.version)
        && ReadText(root, "Platform", info.platform) && ReadText(root, "ReleaseDate", info.releaseDate)
        && ReadText(root, "ReleaseNotes", info.releaseNotes) && ReadText(root, "Source", info.source)
        && ReadText(root, "Hash", info.hash) && ReadSize(root, info.size);
    if (!ok)
        return {};
    info.valid = 1;
    return info;
}

UpdateInfo ParseManifestFile(const std::wstring& path)
{
    const int64_t size = platform::FileSize(path);
    if (size < 0 || size > kMaxManifestBytes)
        return {};
    const auto text = platform::ReadWholeFile(path);
    if (!text || static_cast<int64_t>(text->size()) > kMaxManifestBytes)
        return {};
    return ParseManifestText(*text);
}

bool ParseStoredManifest(const std::wstring& updateFolder, UpdateInfo& info)
{
    info = ParseManifestFile(platform::JoinPath(updateFolder, kManifestFileName));
    return info.valid != 0;
}

bool IsUpdateOffered(const UpdateInfo& info, int ownVersion)
{
    return info.valid && ownVersion < info.version && IsHttpAddress(info.source);
}
