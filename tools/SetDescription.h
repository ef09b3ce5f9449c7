#pragma once
// JSON descriptions of a set's records, shared by the readers of every set
// format that "kelvane-cli info" understands.
#include "formats/SceneRecords.h"

#include <cstdint>
#include <string>
#include <vector>

// A JSON object built field by field; fields keep the order they were added in.
class JsonObject {
public:
    JsonObject& Raw(const std::string& key, const std::string& json);
    JsonObject& String(const std::string& key, const std::string& utf8);
    JsonObject& Integer(const std::string& key, int64_t value);
    JsonObject& Float(const std::string& key, float value);
    JsonObject& Bool(const std::string& key, bool value);
    std::string Text() const { return "{" + m_fields + "}"; }

private:
    std::string m_fields;
};

std::string JsonArray(const std::vector<std::string>& items);

// A record name (8-bit locale text) as a JSON string.
std::string RecordNameJson(const char (&name)[64]);

// {"name", "x", "y", "zoomX", "zoomY", "zoomZ", "rotateX", "rotateY", "rotateZ",
//  "crop": [left, top, right, bottom], "dynamic", "visible", "uvEnabled",
//  "imageBytes", "uvBytes"}; the crop as insets.
std::string LayerJson(const LayerInfo& layer, int64_t imageBytes, int64_t uvBytes);
// The same fields, for a format that adds its own.
JsonObject LayerJsonObject(const LayerInfo& layer, int64_t imageBytes, int64_t uvBytes);
// {"name", "x", "y", "zoomX", "zoomY", "zoomZ", "rotateX", "rotateY", "rotateZ"}
std::string ShotJson(const ShotInfo& shot);

// The set file a command argument names: PATH itself, or fileName inside PATH
// when PATH is a folder.
std::wstring SetFileFromArgument(const std::string& argument, const wchar_t* fileName);
// A set's name: the name of the folder that holds its file.
std::wstring SetNameOf(const std::wstring& setFile);
