#pragma once
// The project video formats the editor offers: three frame sizes, each at
// four frame rates. The chosen one is kept in the settings record and in
// Setting.xml, and configures the engine's canvas.
#include <string>
#include <vector>

struct ProjectSettings;

struct VideoFormat {
    std::wstring name;  // "HD 1080p25"
    int width = 0;
    int height = 0;
    int frameRate = 0;  // whole frames a second
};

// Every offered format, by size then rate; the first 1080 entry is the default.
const std::vector<VideoFormat>& OfferedVideoFormats();

// The offered format of that size and rate, or null.
const VideoFormat* FindVideoFormat(int width, int height, float frameRate);

// Whether the record's video fields hold this format.
bool SettingsUseVideoFormat(const ProjectSettings& settings, const VideoFormat& format);

// Puts the format into the record's video fields.
void ApplyVideoFormat(ProjectSettings& settings, const VideoFormat& format);
