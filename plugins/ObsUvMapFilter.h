#pragma once
// The "uvmap_filter" video filter: shows, for every pixel of its output, the
// point of the filtered picture that the UV map names there (red = u,
// green = v, 0 ... 1 across the picture; alpha = coverage). The output has the
// map's size. Without a usable map the picture passes through unchanged.
//
// Drawing through the map is the costly part of a frame with a screen in it,
// so the output of a still picture (an image source that is not an animated
// GIF) is kept and drawn again until the picture's settings, the map or a
// size changes, or the picture's file changes on disk (its source reloads it
// by itself then).
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <obs-module.h>
#include <obs.hpp>
#include <string>

inline constexpr const char* kUvMapFilterId = "uvmap_filter";
inline constexpr const char* kUvMapImagePathKey = "image_path";

// What a map file looked like when it was last read.
struct UvMapFileStamp {
    bool exists = false;
    uintmax_t size = 0;
    int64_t modified = 0;
    bool operator==(const UvMapFileStamp&) const = default;
};

class UvMapTexture;

class ObsUvMapFilter {
public:
    // Registers the filter type with libobs; called once when the module loads.
    static void Register();

    ObsUvMapFilter(obs_data_t* settings, obs_source_t* context, gs_effect_t* effect);
    ~ObsUvMapFilter();
    ObsUvMapFilter(const ObsUvMapFilter&) = delete;
    ObsUvMapFilter& operator=(const ObsUvMapFilter&) = delete;

    void Update(obs_data_t* settings);
    void Render();
    uint32_t Width();
    uint32_t Height();

private:
    struct OutputKey {
        uint64_t mapGeneration = 0;
        uint32_t width = 0;
        uint32_t height = 0;
        float pictureWidth = 0.0f;
        float pictureHeight = 0.0f;
        bool operator==(const OutputKey&) const = default;
    };

    // Draws the picture through the map into the current render target.
    bool DrawThroughMap(gs_texture_t* map, const OutputKey& key);
    // Draws a still picture straight through the map, sampling the picture's
    // own texture: no copy of the picture is made on the way.
    bool DrawStillThroughMap(gs_texture_t* map, const OutputKey& key);
    // Draws the output into the kept texture; false when nothing was kept
    // (the output is then drawn as it comes, or not at all).
    bool KeepOutput(gs_texture_t* map, const OutputKey& key);
    void DrawKeptOutput(const OutputKey& key);
    bool KeptOutputIsCurrent(const OutputKey& key) const;
    // Looks at the picture's file once a second; after a change the output is
    // drawn again for the next few seconds, while its source reloads it.
    void FollowPictureFile(obs_source_t* target);
    // Listens to the settings of the filtered source (graphics thread).
    void WatchTarget(obs_source_t* target);
    void StopWatchingTarget();
    static void OnTargetUpdated(void* data, calldata_t* params);
    static bool ShowsStillPicture(obs_source_t* target);
    static std::string PictureFileOf(obs_source_t* target);

    void UseMap(const std::string& path);
    void ReplaceMap(std::shared_ptr<const UvMapTexture> map);
    void WarnUnusable(const std::string& path, const std::string& reason) const;

    obs_source_t* m_context;
    gs_effect_t* m_effect;
    gs_eparam_t* m_mapParam;
    gs_eparam_t* m_pictureSizeParam;

    struct LoadedFile {
        std::string path;
        UvMapFileStamp stamp;
    };
    std::mutex m_updateMutex;  // one update at a time, whichever thread applies it
    LoadedFile m_loaded;

    // The map is swapped inside the graphics context; the size is also read
    // by callers on other threads asking for the filter's size.
    std::mutex m_mutex;
    std::shared_ptr<const UvMapTexture> m_map;
    uint64_t m_mapGeneration = 0;  // counts the maps used, so a new one is never taken for the last

    // Graphics thread only.
    gs_texrender_t* m_kept = nullptr;
    OutputKey m_keptKey;
    bool m_keptValid = false;
    UvMapFileStamp m_pictureStamp;
    uint64_t m_pictureCheckedAt = 0;  // os_gettime_ns()
    uint64_t m_redrawUntil = 0;       // while a rewritten picture may still be reloading
    OBSWeakSourceAutoRelease m_watched;
    std::atomic<bool> m_watchedIsStill{false};
    std::atomic<bool> m_targetChanged{false};  // set by the target's signal, on any thread
};
