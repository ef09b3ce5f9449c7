#include "VideoFormats.h"

#include "ProjectSettings.h"

#include <cmath>

namespace {

std::vector<VideoFormat> MakeOfferedFormats()
{
    struct Size {
        const wchar_t* prefix;
        int width;
        int height;
    };
    const Size sizes[] = {{L"HD 720p", 1280, 720}, {L"HD 1080p", 1920, 1080}, {L"UHD 2160p", 3840, 2160}};
    const int rates[] = {25, 30, 50, 60};
    std::vector<VideoFormat> formats;
    for (const Size& size : sizes) {
        for (int rate : rates)
            formats.push_back({size.prefix + std::to_wstring(rate), size.width, size.height, rate});
    }
    return formats;
}

}  // namespace

const std::vector<VideoFormat>& OfferedVideoFormats()
{
    static const std::vector<VideoFormat> formats = MakeOfferedFormats();
    return formats;
}

const VideoFormat* FindVideoFormat(int width, int height, float frameRate)
{
    for (const VideoFormat& format : OfferedVideoFormats()) {
        if (format.width == width && format.height == height &&
            std::fabs(frameRate - static_cast<float>(format.frameRate)) < 0.01f)
            return &format;
    }
    return nullptr;
}

bool SettingsUseVideoFormat(const ProjectSettings& settings, const VideoFormat& format)
{
    return FindVideoFormat(settings.Width, settings.Height, settings.FrameRate) == &format;
}

void ApplyVideoFormat(ProjectSettings& settings, const VideoFormat& format)
{
    settings.FormatName = format.name;
    settings.Width = format.width;
    settings.Height = format.height;
    settings.FrameRate = static_cast<float>(format.frameRate);
}
