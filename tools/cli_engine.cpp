// kelvane-cli engine: start the engine exactly as the editor does and report
// what it configured and which source and filter types it registered.
#include "CliCommand.h"

#include "engine/ObsMain.h"

#include <X11/Xlib.h>
#include <iostream>
#include <obs.h>
#include <sstream>
#include <vector>

namespace {

const char* FormatName(video_format format)
{
    switch (format) {
    case VIDEO_FORMAT_NV12: return "NV12";
    case VIDEO_FORMAT_I420: return "I420";
    case VIDEO_FORMAT_I444: return "I444";
    case VIDEO_FORMAT_RGBA: return "RGBA";
    default: return "other";
    }
}

const char* ColorspaceName(video_colorspace cs)
{
    switch (cs) {
    case VIDEO_CS_601: return "601";
    case VIDEO_CS_709: return "709";
    case VIDEO_CS_SRGB: return "srgb";
    default: return "other";
    }
}

std::string TypeList(bool (*enumerate)(size_t, const char**))
{
    std::string out = "[";
    const char* id = nullptr;
    for (size_t i = 0; enumerate(i, &id); ++i)
        out += (i ? ", " : "") + JsonString(id);
    return out + "]";
}

std::string EngineReport()
{
    obs_video_info ovi = {};
    obs_get_video_info(&ovi);
    obs_audio_info oai = {};
    obs_get_audio_info(&oai);
    std::ostringstream json;
    json << "{\"initialised\": true"
         << ", \"graphicsModule\": " << JsonString(ovi.graphics_module ? ovi.graphics_module : "")
         << ", \"fps\": [" << ovi.fps_num << ", " << ovi.fps_den << "]"
         << ", \"base\": [" << ovi.base_width << ", " << ovi.base_height << "]"
         << ", \"output\": [" << ovi.output_width << ", " << ovi.output_height << "]"
         << ", \"format\": " << JsonString(FormatName(ovi.output_format))
         << ", \"colorspace\": " << JsonString(ColorspaceName(ovi.colorspace))
         << ", \"range\": " << JsonString(ovi.range == VIDEO_RANGE_FULL ? "full" : "partial")
         << ", \"sampleRate\": " << oai.samples_per_sec
         << ", \"speakers\": " << static_cast<int>(oai.speakers)
         << ", \"sources\": " << TypeList(obs_enum_input_types)
         << ", \"filters\": " << TypeList(obs_enum_filter_types) << "}";
    return json.str();
}

int RunEngine(const CliArgs&)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return CliFail("cannot start the engine: no X display (is DISPLAY set?)");
    SetEngineDisplay(display);

    g_obsMain = new ObsMain;
    const bool initialised = g_obsMain->InitEngine();
    std::string report;
    if (initialised)
        report = EngineReport();
    else
        blog(LOG_ERROR, "Failed to init obs");
    delete g_obsMain;
    LogMemoryLeaks();
    SetEngineDisplay(nullptr);
    XCloseDisplay(display);

    if (!initialised)
        return CliFail("the engine did not initialise (see the log above)");
    std::cout << report << std::endl;
    return kCliOk;
}

const CliCommand kEngine("engine", "  start the engine and print its configuration as JSON", RunEngine);

}  // namespace
