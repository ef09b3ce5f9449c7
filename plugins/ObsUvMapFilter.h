#pragma once
// The "uvmap_filter" video filter: shows, for every pixel of its output, the
// point of the filtered picture that the UV map names there (red = u,
// green = v, 0 ... 1 across the picture; alpha = coverage). The output has the
// map's size. Without a usable map the picture passes through unchanged.
#include <cstdint>
#include <mutex>
#include <obs-module.h>
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
    void UseMap(const std::string& path);
    void ReplaceMap(gs_texture_t* map, uint32_t width, uint32_t height);
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
    gs_texture_t* m_map = nullptr;
    uint32_t m_mapWidth = 0;
    uint32_t m_mapHeight = 0;
};
