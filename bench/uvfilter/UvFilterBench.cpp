// Cost of the "uvmap_filter" per 1920 x 1080 frame, relative to drawing the
// same picture without it, on the engine as the editor starts it. Needs an X
// display (Xvfb here). Prints milliseconds per frame and the ratio.
#include "engine/ObsMain.h"
#include "formats/UvMapMaker.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <graphics/vec4.h>
#include <lodepng.h>
#include <obs.hpp>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kWidth = 1920;
constexpr uint32_t kHeight = 1080;
constexpr int kFrames = 15;
constexpr int kRounds = 5;  // alternating; the fastest round of each counts, as other load only slows

std::string WritePicture(const std::string& folder)
{
    std::vector<unsigned char> rgba(size_t(kWidth) * kHeight * 4);
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            unsigned char* px = &rgba[(size_t(y) * kWidth + x) * 4];
            px[0] = static_cast<unsigned char>(x);
            px[1] = static_cast<unsigned char>(y);
            px[2] = ((x / 16 + y / 16) % 2) ? 230 : 20;
            px[3] = 255;
        }
    }
    const std::string path = folder + "/picture.png";
    lodepng::encode(path, rgba, kWidth, kHeight);
    return path;
}

OBSSourceAutoRelease MakeImageSource(const std::string& path, const char* name)
{
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_string(settings, "file", path.c_str());
    return obs_source_create("image_source", name, settings, nullptr);
}

// Milliseconds per frame of drawing the source into a frame-sized target,
// including waiting until the renderer has really finished.
double TimeFrames(obs_source_t* source, uint8_t* firstPixel)
{
    obs_enter_graphics();
    gs_texrender_t* target = gs_texrender_create(GS_RGBA, GS_ZS_NONE);
    gs_stagesurf_t* stage = gs_stagesurface_create(kWidth, kHeight, GS_RGBA);
    auto drawFrames = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            gs_texrender_reset(target);
            if (!gs_texrender_begin(target, kWidth, kHeight))
                continue;
            vec4 clear;
            vec4_zero(&clear);
            gs_clear(GS_CLEAR_COLOR, &clear, 0.0f, 0);
            gs_ortho(0.0f, float(kWidth), 0.0f, float(kHeight), -100.0f, 100.0f);
            obs_source_video_render(source);
            gs_texrender_end(target);
            gs_flush();
        }
        // Reading the last frame back waits for all drawing before it.
        gs_stage_texture(stage, gs_texrender_get_texture(target));
        uint8_t* data = nullptr;
        uint32_t linesize = 0;
        if (gs_stagesurface_map(stage, &data, &linesize)) {
            std::copy(data, data + 4, firstPixel);
            gs_stagesurface_unmap(stage);
        }
    };
    drawFrames(3);  // warm up: shaders compiled, textures resident
    const auto start = std::chrono::steady_clock::now();
    drawFrames(kFrames);
    const auto end = std::chrono::steady_clock::now();
    gs_stagesurface_destroy(stage);
    gs_texrender_destroy(target);
    obs_leave_graphics();
    return std::chrono::duration<double, std::milli>(end - start).count() / kFrames;
}

}  // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "uvfilter_bench: needs an X display\n");
        return 2;
    }
    const std::wstring folder = platform::MakeTempFolder(L"kelvane-uvbench-");
    const std::string nativeFolder = platform::NativePath(folder);
    SetEngineDisplay(display);
    g_obsMain = new ObsMain;
    int result = 0;
    if (g_obsMain->InitEngine()) {
        const std::string picture = WritePicture(nativeFolder);
        const std::string mapPath = nativeFolder + "/screen.png";
        std::string error;
        const UvQuad screen{{210, 1730, 1650, 260}, {90, 160, 980, 1010}};
        if (!WriteUvMapFile(platform::Utf8ToWide(mapPath), kWidth, kHeight, screen, error)) {
            std::fprintf(stderr, "uvfilter_bench: %s\n", error.c_str());
            result = 2;
        } else {
            OBSSourceAutoRelease plain = MakeImageSource(picture, "plain");
            OBSSourceAutoRelease mapped = MakeImageSource(picture, "mapped");
            OBSDataAutoRelease settings = obs_data_create();
            obs_data_set_string(settings, "image_path", mapPath.c_str());
            OBSSourceAutoRelease filter = obs_source_create_private("uvmap_filter", "uvmap_filter", settings);
            obs_source_filter_add(mapped, filter);

            uint8_t plainPixel[4] = {};
            uint8_t mappedPixel[4] = {};
            double without = 1e30;
            double with = 1e30;
            for (int round = 0; round < kRounds; ++round) {
                without = std::min(without, TimeFrames(plain, plainPixel));
                with = std::min(with, TimeFrames(mapped, mappedPixel));
            }
            // The map leaves the top-left corner uncovered: a visible corner
            // would mean the filter was not drawn at all.
            if (plainPixel[3] != 255 || mappedPixel[3] != 0) {
                std::fprintf(stderr, "uvfilter_bench: the pictures were not drawn as expected\n");
                result = 2;
            }
            std::printf("1920x1080 frame without the filter: %.2f ms\n", without);
            std::printf("1920x1080 frame with the filter:    %.2f ms\n", with);
            std::printf("ratio: %.2f (goal: under 2)\n", with / without);
        }
    } else {
        std::fprintf(stderr, "uvfilter_bench: the engine did not start\n");
        result = 2;
    }
    delete g_obsMain;
    SetEngineDisplay(nullptr);
    XCloseDisplay(display);
    platform::RemoveFolderTree(folder);
    return result;
}
