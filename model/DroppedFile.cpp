#include "DroppedFile.h"

#include "SourceNames.h"

#include "engine/SourceTypes.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <cctype>
#include <obs.hpp>
#include <string_view>

namespace {

constexpr std::string_view kTextExtensions[] = {"txt", "log"};
constexpr std::string_view kImageExtensions[] = {"bmp", "tga", "png", "jpg", "jpeg", "gif"};
constexpr std::string_view kMediaExtensions[] = {
    "3ga",  "669",  "a52",   "aac",   "ac3",   "adt",  "adts", "aif",  "aifc", "aiff", "amb",  "amr",  "aob",
    "ape",  "au",   "awb",   "caf",   "dts",   "flac", "it",   "kar",  "m4a",  "m4b",  "m4p",  "m5p",  "mid",
    "mka",  "mlp",  "mod",   "mpa",   "mp1",   "mp2",  "mp3",  "mpc",  "mpga", "mus",  "oga",  "ogg",  "oma",
    "opus", "qcp",  "ra",    "rmi",   "s3m",   "sid",  "spx",  "tak",  "thd",  "tta",  "voc",  "vqf",  "w64",
    "wav",  "wma",  "wv",    "xa",    "xm",    "3g2",  "3gp",  "3gp2", "3gpp", "amv",  "asf",  "avi",  "bik",
    "crf",  "divx", "drc",   "dv",    "evo",   "f4v",  "flv",  "gvi",  "gxf",  "iso",  "m1v",  "m2v",  "m2t",
    "m2ts", "m4v",  "mkv",   "mov",   "mp2",   "mp2v", "mp4",  "mp4v", "mpe",  "mpeg", "mpeg1", "mpeg2", "mpeg4",
    "mpg",  "mpv2", "mts",   "mtv",   "mxf",   "mxg",  "nsv",  "nuv",  "ogg",  "ogm",  "ogv",  "ogx",  "ps",
    "rec",  "rm",   "rmvb",  "rpl",   "thp",   "tod",  "ts",   "tts",  "txd",  "vob",  "vro",  "webm", "wm",
    "wmv",  "wtv"};

template <size_t N>
bool Contains(const std::string_view (&list)[N], const std::string& extension)
{
    return std::find(std::begin(list), std::end(list), extension) != std::end(list);
}

std::string LowerExtension(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

}  // namespace

DroppedFileClass ClassifyDroppedFile(const std::string& path)
{
    const std::string extension = LowerExtension(path);
    if (extension.empty())
        return DroppedFileClass::None;
    if (Contains(kTextExtensions, extension))
        return DroppedFileClass::Text;
    if (Contains(kImageExtensions, extension))
        return DroppedFileClass::Image;
    if (Contains(kMediaExtensions, extension))
        return DroppedFileClass::Media;
    return DroppedFileClass::None;
}

bool AddDroppedFile(obs_scene_t* scene, const std::string& ansiPath)
{
    if (!scene)
        return false;
    const std::string path = platform::WideToUtf8(platform::AnsiToWide(ansiPath));
    OBSDataAutoRelease settings = obs_data_create();
    const char* typeId = nullptr;
    switch (ClassifyDroppedFile(path)) {
    case DroppedFileClass::Text:
        typeId = "text_gdiplus";
        obs_data_set_bool(settings, "read_from_file", true);
        obs_data_set_string(settings, "file", path.c_str());
        break;
    case DroppedFileClass::Image:
        typeId = "image_source";
        obs_data_set_string(settings, "file", path.c_str());
        break;
    case DroppedFileClass::Media:
        typeId = "ffmpeg_source";
        obs_data_set_string(settings, "local_file", path.c_str());
        break;
    case DroppedFileClass::None:
        return false;
    }
    const size_t slash = path.find_last_of('/');
    const std::string name = MakeUniqueSourceName(slash == std::string::npos ? path : path.substr(slash + 1));
    OBSSourceAutoRelease source = CreateEngineSource(typeId, name, settings);
    if (!source)
        return false;
    return obs_scene_add(scene, source) != nullptr;  // the item keeps the source
}
