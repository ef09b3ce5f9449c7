#include "ObsUvMapFilter.h"

#include "SharedUvMaps.h"
#include "UvMapImage.h"

#include <graphics/graphics.h>
#include <graphics/vec2.h>
#include <filesystem>
#include <exception>
#include <util/bmem.h>
#include <util/platform.h>

#include <cctype>
#include <cstring>

namespace {

const char* FilterName(void*) { return kUvMapFilterId; }

UvMapFileStamp StampOf(const std::string& path)
{
    std::error_code ec;
    UvMapFileStamp stamp;
    stamp.size = std::filesystem::file_size(path, ec);
    if (ec)
        return {};
    const auto time = std::filesystem::last_write_time(path, ec);
    if (ec)
        return {};
    stamp.exists = true;
    stamp.modified = time.time_since_epoch().count();
    return stamp;
}

gs_effect_t* LoadEffect()
{
    char* file = obs_module_file("uvmap.effect");
    if (!file) {
        blog(LOG_WARNING, "[%s] the effect file is missing from the module's data folder", kUvMapFilterId);
        return nullptr;
    }
    char* errors = nullptr;
    obs_enter_graphics();
    gs_effect_t* effect = gs_effect_create_from_file(file, &errors);
    obs_leave_graphics();
    if (!effect)
        blog(LOG_WARNING, "[%s] cannot load '%s': %s", kUvMapFilterId, file, errors ? errors : "unknown error");
    bfree(errors);
    bfree(file);
    return effect;
}

void* CreateFilter(obs_data_t* settings, obs_source_t* context)
{
    gs_effect_t* effect = LoadEffect();
    if (!effect)
        return nullptr;  // libobs then passes the picture through
    try {
        return new ObsUvMapFilter(settings, context, effect);
    } catch (const std::exception&) {
        obs_enter_graphics();
        gs_effect_destroy(effect);
        obs_leave_graphics();
        return nullptr;  // no exception may cross into libobs
    }
}

void DestroyFilter(void* data) { delete static_cast<ObsUvMapFilter*>(data); }
void UpdateFilter(void* data, obs_data_t* settings) { static_cast<ObsUvMapFilter*>(data)->Update(settings); }
void RenderFilter(void* data, gs_effect_t*) { static_cast<ObsUvMapFilter*>(data)->Render(); }
uint32_t FilterWidth(void* data) { return static_cast<ObsUvMapFilter*>(data)->Width(); }
uint32_t FilterHeight(void* data) { return static_cast<ObsUvMapFilter*>(data)->Height(); }

void FilterDefaults(obs_data_t* settings) { obs_data_set_default_string(settings, kUvMapImagePathKey, ""); }

obs_properties_t* FilterProperties(void*)
{
    obs_properties_t* props = obs_properties_create();
    obs_properties_add_path(props, kUvMapImagePathKey, "UV map", OBS_PATH_FILE, "PNG (*.png)", nullptr);
    return props;
}

}  // namespace

void ObsUvMapFilter::Register()
{
    obs_source_info info = {};
    info.id = kUvMapFilterId;
    info.type = OBS_SOURCE_TYPE_FILTER;
    info.output_flags = OBS_SOURCE_VIDEO | OBS_SOURCE_SRGB;
    info.get_name = FilterName;
    info.create = CreateFilter;
    info.destroy = DestroyFilter;
    info.update = UpdateFilter;
    info.video_render = RenderFilter;
    info.get_width = FilterWidth;
    info.get_height = FilterHeight;
    info.get_defaults = FilterDefaults;
    info.get_properties = FilterProperties;
    obs_register_source(&info);
}

ObsUvMapFilter::ObsUvMapFilter(obs_data_t* settings, obs_source_t* context, gs_effect_t* effect)
    : m_context(context),
      m_effect(effect),
      m_mapParam(gs_effect_get_param_by_name(effect, "uv_map")),
      m_pictureSizeParam(gs_effect_get_param_by_name(effect, "picture_size"))
{
    Update(settings);
}

ObsUvMapFilter::~ObsUvMapFilter()
{
    StopWatchingTarget();
    obs_enter_graphics();
    gs_texrender_destroy(m_kept);
    m_map.reset();
    gs_effect_destroy(m_effect);
    obs_leave_graphics();
}

void ObsUvMapFilter::Update(obs_data_t* settings)
{
    const char* path = obs_data_get_string(settings, kUvMapImagePathKey);
    std::lock_guard lock(m_updateMutex);
    try {
        UseMap(path ? path : "");
    } catch (const std::exception&) {
        // Out of memory for a large map: show the picture as it is.
        ReplaceMap(nullptr);
        m_loaded = {};
        WarnUnusable(path ? path : "", "not enough memory to read it");
    }
}

void ObsUvMapFilter::UseMap(const std::string& path)
{
    if (path.empty()) {
        ReplaceMap(nullptr);  // no map chosen: nothing to warn about
        m_loaded = {};
        return;
    }
    // Applying the same settings again reads the file again only when it
    // changed on disk, so a map rewritten under the same name is picked up and
    // an unusable one is reported once, not on every repeated update.
    const UvMapFileStamp stamp = StampOf(path);
    if (path == m_loaded.path && stamp == m_loaded.stamp)
        return;
    m_loaded = {path, stamp};
    // Another filter (the screen's filter before it went live, another
    // screen) holds the map already.
    if (std::shared_ptr<const UvMapTexture> shared = FindSharedUvMap(path, stamp)) {
        ReplaceMap(std::move(shared));
        return;
    }

    UvMapImage image;
    std::string error;
    if (!LoadUvMapImage(path, image, error)) {
        ReplaceMap(nullptr);
        WarnUnusable(path, error);
        return;
    }
    obs_enter_graphics();
    const uint8_t* planes[] = {reinterpret_cast<const uint8_t*>(image.texels.data())};
    gs_texture_t* texture = gs_texture_create(image.width, image.height, GS_RGBA16, 1, planes, 0);
    obs_leave_graphics();
    if (!texture) {
        ReplaceMap(nullptr);
        WarnUnusable(path, "the graphics system cannot make a texture of it");
        return;
    }
    auto map = std::make_shared<const UvMapTexture>(texture, image.width, image.height);
    ShareUvMap(path, stamp, map);
    ReplaceMap(std::move(map));
}

void ObsUvMapFilter::ReplaceMap(std::shared_ptr<const UvMapTexture> map)
{
    // Let go of inside the graphics context: a frame being drawn still
    // uses the old texture, and when no other filter holds it, it goes now.
    obs_enter_graphics();
    {
        std::lock_guard lock(m_mutex);
        std::swap(m_map, map);
        ++m_mapGeneration;
    }
    map.reset();
    obs_leave_graphics();
}

void ObsUvMapFilter::WarnUnusable(const std::string& path, const std::string& reason) const
{
    blog(LOG_WARNING, "[%s: '%s'] UV map '%s' not used, the picture passes through: %s", kUvMapFilterId,
         obs_source_get_name(m_context), path.c_str(), reason.c_str());
}

void ObsUvMapFilter::Render()
{
    // Rendering holds the graphics context, and the map is only replaced
    // inside it, so the texture stays valid until this draw is done.
    gs_texture_t* map = nullptr;
    OutputKey key;
    {
        std::lock_guard lock(m_mutex);
        if (m_map) {
            map = m_map->Texture();
            key.width = m_map->Width();
            key.height = m_map->Height();
        }
        key.mapGeneration = m_mapGeneration;
    }
    if (!map) {
        obs_source_skip_video_filter(m_context);
        return;
    }
    obs_source_t* target = obs_filter_get_target(m_context);
    WatchTarget(target);
    key.pictureWidth = float(obs_source_get_base_width(target));
    key.pictureHeight = float(obs_source_get_base_height(target));
    if (!m_watchedIsStill) {
        m_keptValid = false;
        DrawThroughMap(map, key);
        return;
    }
    FollowPictureFile(target);
    if (!KeptOutputIsCurrent(key) && !KeepOutput(map, key))
        return;
    DrawKeptOutput(key);
}

bool ObsUvMapFilter::DrawThroughMap(gs_texture_t* map, const OutputKey& key)
{
    // The picture goes to a texture first: the output has the map's size, not
    // the picture's, so the picture cannot be drawn straight through the effect.
    if (!obs_source_process_filter_begin(m_context, GS_RGBA, OBS_NO_DIRECT_RENDERING))
        return false;
    vec2 pictureSize;
    vec2_set(&pictureSize, key.pictureWidth, key.pictureHeight);
    gs_effect_set_texture(m_mapParam, map);
    gs_effect_set_vec2(m_pictureSizeParam, &pictureSize);
    obs_source_process_filter_end(m_context, m_effect, key.width, key.height);
    return true;
}

bool ObsUvMapFilter::DrawStillThroughMap(gs_texture_t* map, const OutputKey& key)
{
    // Only the filter on the picture itself may have the picture draw with
    // this effect; under another filter the picture comes through that one.
    obs_source_t* target = obs_filter_get_target(m_context);
    if (!target || target != obs_filter_get_parent(m_context) || key.pictureWidth <= 0.0f ||
        key.pictureHeight <= 0.0f)
        return DrawThroughMap(map, key);
    vec2 pictureSize;
    vec2_set(&pictureSize, key.pictureWidth, key.pictureHeight);
    gs_effect_set_texture(m_mapParam, map);
    gs_effect_set_vec2(m_pictureSizeParam, &pictureSize);
    // The picture draws itself at its own size with the current effect and
    // binds its texture; scaled to the map's size, each output pixel runs the
    // map lookup once. The picture's own filters are not run again here: a
    // source drawn from inside its filter chain draws as it is.
    gs_matrix_push();
    gs_matrix_scale3f(float(key.width) / key.pictureWidth, float(key.height) / key.pictureHeight, 1.0f);
    while (gs_effect_loop(m_effect, "Draw"))
        obs_source_video_render(target);
    gs_matrix_pop();
    return true;
}

bool ObsUvMapFilter::KeptOutputIsCurrent(const OutputKey& key) const
{
    return m_keptValid && m_keptKey == key && !m_targetChanged.load();
}

void ObsUvMapFilter::FollowPictureFile(obs_source_t* target)
{
    // The image source compares its file's time once a second while shown
    // and reloads it when it changed; looking as often and drawing again at
    // each look for a little over two seconds after a change shows the
    // reloaded picture whatever the two checks' phases are.
    constexpr uint64_t kSecondNs = 1000000000;
    constexpr uint64_t kReloadWindowNs = 2500000000;
    const uint64_t now = os_gettime_ns();
    if (now - m_pictureCheckedAt < kSecondNs)
        return;
    m_pictureCheckedAt = now;
    const UvMapFileStamp stamp = StampOf(PictureFileOf(target));
    if (stamp != m_pictureStamp) {
        m_pictureStamp = stamp;
        m_redrawUntil = now + kReloadWindowNs;
    }
    if (now < m_redrawUntil)
        m_keptValid = false;
}

bool ObsUvMapFilter::KeepOutput(gs_texture_t* map, const OutputKey& key)
{
    m_keptValid = false;
    if (!m_kept)
        m_kept = gs_texrender_create(GS_RGBA, GS_ZS_NONE);
    if (m_kept)
        gs_texrender_reset(m_kept);
    if (!m_kept || !gs_texrender_begin(m_kept, key.width, key.height)) {
        DrawThroughMap(map, key);  // nowhere to keep it: drawn as it comes
        return false;
    }
    // Cleared before the draw: a change that comes meanwhile is drawn next time.
    m_targetChanged = false;
    vec4 clear;
    vec4_zero(&clear);
    gs_clear(GS_CLEAR_COLOR, &clear, 0.0f, 0);
    gs_ortho(0.0f, float(key.width), 0.0f, float(key.height), -100.0f, 100.0f);
    gs_blend_state_push();
    gs_blend_function(GS_BLEND_ONE, GS_BLEND_ZERO);
    const bool drawn = DrawStillThroughMap(map, key);
    gs_blend_state_pop();
    gs_texrender_end(m_kept);
    if (!drawn)
        return false;
    m_keptValid = true;
    m_keptKey = key;
    return true;
}

void ObsUvMapFilter::DrawKeptOutput(const OutputKey& key)
{
    gs_texture_t* texture = gs_texrender_get_texture(m_kept);
    if (!texture)
        return;
    gs_effect_t* effect = obs_get_base_effect(OBS_EFFECT_DEFAULT);
    gs_eparam_t* image = gs_effect_get_param_by_name(effect, "image");
    // Kept as the filter drew it, sRGB-encoded; read back the same way.
    const bool previous = gs_framebuffer_srgb_enabled();
    gs_enable_framebuffer_srgb(true);
    gs_effect_set_texture_srgb(image, texture);
    while (gs_effect_loop(effect, "Draw"))
        gs_draw_sprite(texture, 0, key.width, key.height);
    gs_enable_framebuffer_srgb(previous);
}

std::string ObsUvMapFilter::PictureFileOf(obs_source_t* target)
{
    if (!target || std::strcmp(obs_source_get_unversioned_id(target), "image_source") != 0)
        return {};
    OBSDataAutoRelease settings = obs_source_get_settings(target);
    const char* file = obs_data_get_string(settings, "file");
    return file ? std::string(file) : std::string();
}

bool ObsUvMapFilter::ShowsStillPicture(obs_source_t* target)
{
    // Only the engine's picture input has a file; without one it is no still picture.
    std::string extension = PictureFileOf(target);
    if (extension.empty())
        return false;
    const size_t dot = extension.find_last_of('.');
    extension = dot == std::string::npos ? std::string() : extension.substr(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension != "gif";  // an animated GIF changes on its own
}

void ObsUvMapFilter::WatchTarget(obs_source_t* target)
{
    if (m_watched && obs_weak_source_references_source(m_watched, target))
        return;
    StopWatchingTarget();
    m_keptValid = false;
    m_watchedIsStill = false;
    if (!target)
        return;
    m_watched = obs_source_get_weak_source(target);
    signal_handler_connect(obs_source_get_signal_handler(target), "update", OnTargetUpdated, this);
    m_watchedIsStill = ShowsStillPicture(target);
    m_pictureStamp = StampOf(PictureFileOf(target));
    m_pictureCheckedAt = os_gettime_ns();
    m_redrawUntil = 0;
}

void ObsUvMapFilter::StopWatchingTarget()
{
    if (!m_watched)
        return;
    if (OBSSourceAutoRelease target = obs_weak_source_get_source(m_watched))
        signal_handler_disconnect(obs_source_get_signal_handler(target), "update", OnTargetUpdated, this);
    m_watched = nullptr;
}

void ObsUvMapFilter::OnTargetUpdated(void* data, calldata_t* params)
{
    auto* filter = static_cast<ObsUvMapFilter*>(data);
    filter->m_targetChanged = true;
    // Another file may now be shown: an animated GIF is drawn on every frame.
    // The signal comes on the graphics thread, where the kept output lives.
    if (auto* target = static_cast<obs_source_t*>(calldata_ptr(params, "source")))
        filter->m_watchedIsStill = ShowsStillPicture(target);
}

uint32_t ObsUvMapFilter::Width()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_map)
            return m_map->Width();
    }
    obs_source_t* target = obs_filter_get_target(m_context);
    return target ? obs_source_get_base_width(target) : 0;
}

uint32_t ObsUvMapFilter::Height()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_map)
            return m_map->Height();
    }
    obs_source_t* target = obs_filter_get_target(m_context);
    return target ? obs_source_get_base_height(target) : 0;
}
