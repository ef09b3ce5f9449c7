#include "ObsSource.h"

#include "ItemPlacement.h"
#include "SourceFilters.h"
#include "SourceKinds.h"
#include "SourceNames.h"

#include "engine/Screenshot.h"
#include "engine/SourceTypes.h"
#include "platform/TextConv.h"

#include <atomic>
#include <cstring>
#include <obs-audio-controls.h>
#include <vector>

namespace {

bool CollectItem(obs_scene_t*, obs_sceneitem_t* item, void* param)
{
    obs_sceneitem_addref(item);
    static_cast<std::vector<obs_sceneitem_t*>*>(param)->push_back(item);
    return true;
}

// Items are removed after the walk: the walk holds the scene's locks, and a
// source destroyed under them waits for the render thread, which waits for them.
void RemoveAllItems(obs_scene_t* scene)
{
    std::vector<obs_sceneitem_t*> items;
    obs_scene_enum_items(scene, CollectItem, &items);
    for (obs_sceneitem_t* item : items) {
        obs_sceneitem_remove(item);
        obs_sceneitem_release(item);
    }
}

void IgnoreFaderChange(void*, float) {}
void IgnoreVolumeLevels(void*, const float[MAX_AUDIO_CHANNELS], const float[MAX_AUDIO_CHANNELS],
                        const float[MAX_AUDIO_CHANNELS])
{
}

int32_t SpeakerLayoutCode(speaker_layout layout, int32_t unchanged)
{
    switch (layout) {
    case SPEAKERS_UNKNOWN: return 0;
    case SPEAKERS_MONO: return 1;
    case SPEAKERS_STEREO: return 2;
    case SPEAKERS_2POINT1: return 3;
    case SPEAKERS_4POINT0: return 4;
    case SPEAKERS_4POINT1: return 6;
    case SPEAKERS_5POINT1: return 7;
    case SPEAKERS_7POINT1: return 8;
    default: return unchanged;
    }
}

void StorePlacement(LayerInfo& layer, const ItemPlacement& p)
{
    layer.x = p.x;
    layer.y = p.y;
    layer.zoomX = p.zoomX;
    layer.zoomY = p.zoomY;
    layer.rotateZ = p.rotateZ;
    layer.cropLeft = p.cropLeft;
    layer.cropTop = p.cropTop;
    layer.cropRight = p.cropRight;
    layer.cropBottom = p.cropBottom;
}

// Signals some source types raise although libobs does not declare them for
// every source. Declaring them on a source that lacks them lets the object
// connect without a warning; a source that declares them keeps its own.
constexpr const char* kReadySignals[] = {"video_ready", "audio_ready", "video_changed", "audio_changed"};

void DeclareSignal(signal_handler_t* handler, const char* name)
{
    const std::string declaration = std::string("void ") + name + "(ptr source)";
    signal_handler_add(handler, declaration.c_str());
}

}  // namespace

CObsSource::CObsSource(ObsMain* owner, SourceInfo* info, HWND notifyWindow) : CSourceObject(owner, info, notifyWindow) {}

CObsSource::~CObsSource()
{
    DetachVolume();
    DisconnectSignals();
    ReleaseMainSource();
    m_values32.clear();
    if (m_info && m_info->owner == this)
        m_info->owner = nullptr;  // the record outlives the object
}

// ---- information ----

bool CObsSource::HasVideo() { return m_mainSource && (obs_source_get_output_flags(m_mainSource) & OBS_SOURCE_VIDEO); }

bool CObsSource::HasAudio() { return m_mainSource && (obs_source_get_output_flags(m_mainSource) & OBS_SOURCE_AUDIO); }

void CObsSource::RefreshSize()
{
    if (!m_info || !m_mainSource)
        return;
    m_info->nativeWidth = static_cast<int32_t>(obs_source_get_width(m_mainSource));
    m_info->nativeHeight = static_cast<int32_t>(obs_source_get_height(m_mainSource));
}

SourceInfo* CObsSource::GetInfo()
{
    std::lock_guard lock(m_lock);
    RefreshSize();
    if (m_info && m_mainSource)
        m_info->speakerLayout = SpeakerLayoutCode(obs_source_get_speaker_layout(m_mainSource), m_info->speakerLayout);
    return m_info;
}

bool CObsSource::IsInput() { return true; }

std::array<float, 4> CObsSource::GetColor()
{
    if (!m_info)
        return {0.0f, 0.0f, 0.0f, 0.0f};
    return {static_cast<float>(m_info->color[0]), static_cast<float>(m_info->color[1]),
            static_cast<float>(m_info->color[2]), static_cast<float>(m_info->color[3])};
}

bool CObsSource::IsMuted() { return m_mainSource && obs_source_muted(m_mainSource); }

// ---- building the libobs side ----

HRESULT CObsSource::Open()
{
    std::lock_guard lock(m_lock);
    CreateScene();
    if (!m_mainScene)
        return E_FAIL;
    m_outputSource = obs_scene_get_source(m_mainScene);
    MakeInputRecord();
    if (!m_items.empty()) {
        m_selectedIndex = 0;
        m_mainSource = obs_sceneitem_get_source(m_items[0]);
        obs_source_inc_active(m_mainSource);
        m_activeMarked = m_mainSource;
        AttachVolume();
        ConnectSignals();
    }
    if (m_info)
        m_info->owner = this;
    ApplySettings();
    return S_OK;
}

HRESULT CObsSource::Reload()
{
    ReleaseSourceSide();
    m_layers.clear();
    if (!m_mainScene)
        return E_FAIL;  // never opened
    CreateSources();
    MakeInputRecord();
    if (!m_items.empty()) {
        m_mainSource = obs_sceneitem_get_source(m_items[0]);
        AttachVolume();
        ConnectSignals();
    }
    ApplyDeinterlace();
    ApplySettings();
    SetMonitoringType(m_monitoringType);
    SetAuxFlag(m_info ? m_info->auxFlag : 0);
    return S_OK;
}

bool CObsSource::CreateScene()
{
    ReleaseSourceSide();
    const std::string name = platform::WideToUtf8(m_info ? m_info->path : std::wstring());
    m_mainScene = obs_scene_create_private(name.c_str());
    if (!m_mainScene)
        return false;
    return CreateSources();
}

bool CObsSource::CreateSources()
{
    if (!m_mainScene)
        return false;
    RemoveAllItems(m_mainScene);
    if (!m_info || m_info->kind < 1 || m_info->kind > 18)
        return false;
    SourceRecipe recipe = MakeSourceRecipe(*m_info);
    if (!recipe.typeId || !IsSourceTypeRegistered(recipe.typeId))
        return false;
    std::string name = platform::WideToUtf8(MakeDisplayName(*m_info));
    if (IsUniquelyNamedKind(m_info->kind))
        name = MakeUniqueDeviceName(name);
    OBSSourceAutoRelease source = CreateEngineSource(recipe.typeId, name, recipe.settings);
    if (!source)
        return false;
    obs_sceneitem_t* item = obs_scene_add(m_mainScene, source);
    AppendItem(item);
    return item != nullptr;
}

void CObsSource::MakeInputRecord()
{
    if (!m_info || m_items.empty())
        return;
    m_layers.clear();  // an input keeps exactly one record
    LayerInfo layer = MakeDefaultLayer();
    SetRecordName(layer.name, m_info->displayName);
    const SourcePlacement& p = m_info->placement;
    layer.x = p.x;
    layer.y = p.y;
    layer.zoomX = p.zoomX;
    layer.zoomY = p.zoomY;
    layer.zoomZ = p.zoomZ;
    layer.rotateX = p.rotateX;
    layer.rotateY = p.rotateY;
    layer.rotateZ = p.rotateZ;
    layer.cropLeft = p.cropLeft;
    layer.cropTop = p.cropTop;
    layer.cropRight = p.cropRight;
    layer.cropBottom = p.cropBottom;
    layer.visible = 1;
    layer.uvEnabled = 1;
    m_layers.push_back(layer);
}

void CObsSource::ReleaseSourceSide()
{
    DisconnectSignals();
    DetachVolume();
    ReleaseMainSource();
    ForgetFilters();
    ReleaseItems();
}

void CObsSource::ReleaseMainSource()
{
    if (m_activeMarked) {
        obs_source_dec_active(m_activeMarked);
        m_activeMarked = nullptr;
    }
    m_mainSource = nullptr;
}

void CObsSource::ForgetFilters()
{
    m_chromaKeyFilter = nullptr;
    m_noiseSuppressFilter = nullptr;
    m_gainFilter = nullptr;
}

void CObsSource::AttachVolume()
{
    if (!m_mainSource || m_fader)
        return;
    m_fader = obs_fader_create(OBS_FADER_LOG);
    m_volmeter = obs_volmeter_create(OBS_FADER_LOG);
    obs_fader_add_callback(m_fader, IgnoreFaderChange, this);
    obs_volmeter_add_callback(m_volmeter, IgnoreVolumeLevels, this);
    obs_fader_attach_source(m_fader, m_mainSource);
    obs_volmeter_attach_source(m_volmeter, m_mainSource);
}

void CObsSource::DetachVolume()
{
    if (m_fader) {
        obs_fader_remove_callback(m_fader, IgnoreFaderChange, this);
        obs_fader_destroy(m_fader);
        m_fader = nullptr;
    }
    if (m_volmeter) {
        obs_volmeter_remove_callback(m_volmeter, IgnoreVolumeLevels, this);
        obs_volmeter_destroy(m_volmeter);
        m_volmeter = nullptr;
    }
}

// ---- media signals (engine threads: fill the block and post, nothing else) ----

void CObsSource::ConnectSignals()
{
    if (!m_mainSource || m_signalSource)
        return;
    signal_handler_t* handler = obs_source_get_signal_handler(m_mainSource);
    if (!handler)
        return;
    m_signalSource = m_mainSource;
    for (const char* name : kReadySignals) {
        DeclareSignal(handler, name);
        signal_handler_connect(handler, name, OnSourceReady, this);
    }
    signal_handler_connect(handler, "media_started", OnMediaStarted, this);
    if (!m_info || m_info->kind != kKindAutoStart)
        signal_handler_connect(handler, "media_ended", OnMediaEnded, this);
    signal_handler_connect(handler, "media_previous", OnMediaPrevious, this);
    signal_handler_connect(handler, "media_next", OnMediaNext, this);
    DeclareSignal(handler, "media_preload");
    signal_handler_connect(handler, "media_preload", OnMediaPreload, this);
    for (const char* name : {"mute", "media_play", "media_pause", "media_stopped", "media_restart"})
        signal_handler_connect(handler, name, OnIgnoredSignal, this);
}

void CObsSource::DisconnectSignals()
{
    if (!m_signalSource)
        return;
    signal_handler_t* handler = obs_source_get_signal_handler(m_signalSource);
    // Disconnecting waits for a handler that is running, so none runs after this.
    for (const char* name : kReadySignals)
        signal_handler_disconnect(handler, name, OnSourceReady, this);
    signal_handler_disconnect(handler, "media_started", OnMediaStarted, this);
    signal_handler_disconnect(handler, "media_ended", OnMediaEnded, this);
    signal_handler_disconnect(handler, "media_previous", OnMediaPrevious, this);
    signal_handler_disconnect(handler, "media_next", OnMediaNext, this);
    signal_handler_disconnect(handler, "media_preload", OnMediaPreload, this);
    for (const char* name : {"mute", "media_play", "media_pause", "media_stopped", "media_restart"})
        signal_handler_disconnect(handler, name, OnIgnoredSignal, this);
    m_signalSource = nullptr;
}

SourceInfo* CObsSource::InfoForSignals() { return std::atomic_ref<SourceInfo*>(m_info).load(); }

void CObsSource::OnSourceReady(void* data, calldata_t*) { static_cast<CObsSource*>(data)->PostNotification(kNotifySourceReady); }

void CObsSource::OnMediaStarted(void* data, calldata_t*)
{
    auto* self = static_cast<CObsSource*>(data);
    SourceInfo* info = self->InfoForSignals();
    const int32_t index = info ? std::atomic_ref<int32_t>(info->playlistIndex).load() : -1;
    const int32_t count = info ? info->playlistCount : 0;
    self->PostNotification(kNotifyMediaStarted, index, count);
}

void CObsSource::OnMediaEnded(void* data, calldata_t*) { static_cast<CObsSource*>(data)->PostNotification(kNotifyMediaEnded); }

void CObsSource::OnMediaPrevious(void* data, calldata_t*) { static_cast<CObsSource*>(data)->StepPlaylist(-1); }

void CObsSource::OnMediaNext(void* data, calldata_t*) { static_cast<CObsSource*>(data)->StepPlaylist(+1); }

void CObsSource::OnMediaPreload(void* data, calldata_t* cd)
{
    // The source raising the signal is the one connected; show its preloaded frame.
    auto* self = static_cast<CObsSource*>(data);
    obs_source_t* source = static_cast<obs_source_t*>(calldata_ptr(cd, "source"));
    if (source && source == self->m_signalSource)
        obs_source_show_preloaded_video(source);
}

void CObsSource::OnIgnoredSignal(void*, calldata_t*) {}

void CObsSource::StepPlaylist(int direction)
{
    SourceInfo* info = InfoForSignals();
    if (!info)
        return;
    std::atomic_ref<int32_t> index(info->playlistIndex);
    const int32_t count = info->playlistCount;
    int32_t next = index.load();
    if (direction < 0) {
        if (next > 0)
            next -= 1;
        else if (info->playlistLoop)
            next = count - 1;
    } else {
        if (next + 1 < count)
            next += 1;
        else if (info->playlistLoop)
            next = 0;
    }
    index.store(next);
    PostNotification(kNotifyPlaylistStepped, next, count);
}

// ---- media control ----

bool CObsSource::HasControllableMedia()
{
    return m_mainSource && (obs_source_get_output_flags(m_mainSource) & OBS_SOURCE_CONTROLLABLE_MEDIA);
}

bool CObsSource::IsNonLocalFfmpeg()
{
    if (!m_mainSource || std::strcmp(obs_source_get_id(m_mainSource), "ffmpeg_source") != 0)
        return false;
    OBSDataAutoRelease settings = obs_source_get_settings(m_mainSource);
    return !obs_data_get_bool(settings, "is_local_file");
}

HRESULT CObsSource::Play()
{
    if (!m_mainSource)
        return S_OK;
    if (GetMediaState() == kMediaStopped)
        Restart();
    const bool heldBack = m_info && m_info->kind == kKindAutoStart && !m_info->autoStart;
    if (!heldBack && HasControllableMedia())
        obs_source_media_play_pause(m_mainSource, false);
    return S_OK;
}

HRESULT CObsSource::Pause()
{
    if (!m_mainSource)
        return S_OK;
    if (GetMediaState() == kMediaStopped)
        Restart();
    if (HasControllableMedia() && !IsNonLocalFfmpeg())
        obs_source_media_play_pause(m_mainSource, true);
    return S_OK;
}

HRESULT CObsSource::Stop()
{
    if (HasControllableMedia() && !IsNonLocalFfmpeg())
        obs_source_media_stop(m_mainSource);
    return S_OK;
}

HRESULT CObsSource::Restart()
{
    if (HasControllableMedia() && !IsNonLocalFfmpeg())
        obs_source_media_restart(m_mainSource);
    return S_OK;
}

int CObsSource::GetMediaState()
{
    if (!m_mainSource)
        return kMediaStopped;
    switch (obs_source_media_get_state(m_mainSource)) {
    case OBS_MEDIA_STATE_PLAYING: return kMediaPlaying;
    case OBS_MEDIA_STATE_PAUSED: return kMediaPaused;
    default: return kMediaStopped;
    }
}

HRESULT CObsSource::GetMediaTime(int64_t* timeMs, int64_t* durationMs)
{
    if (!m_mainSource)
        return E_FAIL;
    if (timeMs)
        *timeMs = obs_source_media_get_time(m_mainSource);
    if (durationMs)
        *durationMs = obs_source_media_get_duration(m_mainSource);
    return S_OK;
}

HRESULT CObsSource::SetMediaTime(int64_t timeMs)
{
    if (!m_mainSource)
        return E_FAIL;
    obs_source_media_set_time(m_mainSource, timeMs);
    return S_OK;
}

bool CObsSource::SendMouseClick(const obs_mouse_event* event, int32_t type, bool mouseUp, uint32_t clickCount)
{
    if (!m_mainSource || !event)
        return false;
    obs_source_send_mouse_click(m_mainSource, event, type, mouseUp, clickCount);
    return true;
}

bool CObsSource::SendMouseMove(const obs_mouse_event* event, bool mouseLeave)
{
    if (!m_mainSource || !event)
        return false;
    obs_source_send_mouse_move(m_mainSource, event, mouseLeave);
    return true;
}

bool CObsSource::SendMouseWheel(const obs_mouse_event* event, int xDelta, int yDelta)
{
    if (!m_mainSource || !event)
        return false;
    obs_source_send_mouse_wheel(m_mainSource, event, xDelta, yDelta);
    return true;
}

bool CObsSource::SendFocus(bool focus)
{
    if (!m_mainSource)
        return false;
    obs_source_send_focus(m_mainSource, focus);
    return true;
}

bool CObsSource::SendKeyClick(const obs_key_event* event, bool keyUp)
{
    if (!m_mainSource || !event)
        return false;
    obs_source_send_key_click(m_mainSource, event, keyUp);
    return true;
}

bool CObsSource::SetMonitoringType(int type)
{
    m_monitoringType = type;
    if (!m_mainSource)
        return false;
    obs_source_set_monitoring_type(m_mainSource, static_cast<obs_monitoring_type>(type));
    return true;
}

bool CObsSource::ApplyDeinterlace()
{
    if (!m_mainSource || !m_info)
        return false;
    obs_source_set_deinterlace_mode(m_mainSource,
                                    m_info->deinterlace ? OBS_DEINTERLACE_MODE_YADIF_2X : OBS_DEINTERLACE_MODE_DISABLE);
    return true;
}

bool CObsSource::UpdateSettings()
{
    if (!m_info || !m_mainScene || m_items.empty())
        return false;
    obs_source_t* source = obs_sceneitem_get_source(m_items[0]);
    SourceRecipe recipe = MakeSourceRecipe(*m_info);
    // A record that now asks for another type cannot be pushed onto this source.
    if (!source || !recipe.typeId || std::strcmp(EngineSourceType(recipe.typeId), obs_source_get_id(source)) != 0)
        return false;
    TranslateSourceSettings(recipe.typeId, recipe.settings);
    OBSDataAutoRelease settings = obs_source_get_settings(source);
    obs_data_apply(settings, recipe.settings);
    for (const char* key : recipe.erasedKeys)
        obs_data_erase(settings, key);
    obs_source_update(source, settings);
    return true;
}

// ---- selection and placement ----

void CObsSource::SelectItem(int index)
{
    const int itemIndex = ItemIndexForLayer(index);
    obs_sceneitem_t* target = GetItem(itemIndex);
    if (!target)
        return;
    for (const auto& item : m_items)
        obs_sceneitem_select(item, false);
    m_selectedIndex = itemIndex;
    obs_sceneitem_select(target, true);
}

bool CObsSource::ApplySettings()
{
    SelectItem(0);
    ApplyLayerTransform(0);
    ApplyLayerCrop(0);
    SetChromaKey();
    SetNoiseSuppression();
    SetGain();
    return true;
}

bool CObsSource::ApplyLayerTransform(int index)
{
    if (!m_info || !m_owner || !m_mainSource || index < 0 || static_cast<size_t>(index) >= m_layers.size())
        return false;
    obs_sceneitem_t* item = GetItem(index);
    if (!item)
        return false;
    ItemPlacement p = PlacementOfLayer(m_layers[static_cast<size_t>(index)]);
    CanvasSize source = GetItemSourceSize(item);
    if (m_info->keepAspect)
        FitZoomToAspect(p.zoomX, p.zoomY, {float(m_canvasWidth), float(m_canvasHeight)}, source);
    if (m_info->rotationPreset == 1)
        p.rotateZ = 0.25f;
    else if (m_info->rotationPreset == 2)
        p.rotateZ = -0.25f;
    if (m_info->flipHorizontal)
        source.width = -source.width;
    if (m_info->flipVertical)
        source.height = -source.height;
    SetItemPlacement(item, p, source.width, source.height);
    return true;
}

bool CObsSource::ApplyLayerCrop(int index)
{
    if (!m_info || index < 0 || static_cast<size_t>(index) >= m_layers.size())
        return false;
    obs_sceneitem_t* item = GetItem(ItemIndexForLayer(index));
    if (!item)
        return false;
    const CanvasSize source = GetItemSourceSize(item);
    SetItemCropFractions(item, PlacementOfLayer(m_layers[static_cast<size_t>(index)]), source.width, source.height);
    return true;
}

bool CObsSource::CaptureLayerTransform(int index)
{
    if (!m_info || index < 0 || static_cast<size_t>(index) >= m_layers.size())
        return false;
    obs_sceneitem_t* item = GetItem(ItemIndexForLayer(index));
    if (!item)
        return false;
    ItemPlacement p = GetItemPlacement(item);
    if (!IsSetKind()) {
        // The record holds the placement before the input's own adjustments
        // (mirroring, keep aspect), so applying it again gives the same picture.
        if (m_info->flipHorizontal)
            p.zoomX = -p.zoomX;
        if (m_info->flipVertical)
            p.zoomY = -p.zoomY;
        if (m_info->keepAspect) {
            float fitX = 1.0f;
            float fitY = 1.0f;
            FitZoomToAspect(fitX, fitY, {float(m_canvasWidth), float(m_canvasHeight)}, GetItemSourceSize(item));
            p.zoomX /= fitX;
            p.zoomY /= fitY;
        }
    }
    StorePlacement(m_layers[static_cast<size_t>(index)], p);
    return true;
}

bool CObsSource::CaptureShot(int index)
{
    if (!m_info || !m_owner || index < 0 || static_cast<size_t>(index) >= m_shots.size())
        return false;
    obs_sceneitem_t* item = GetItem(0);
    if (!item)
        return false;
    const ItemPlacement p = GetItemPlacement(item);
    ShotInfo& shot = m_shots[static_cast<size_t>(index)];
    shot.x = p.x;
    shot.y = p.y;
    shot.zoomX = p.zoomX;
    shot.zoomY = p.zoomY;
    // The camera has no depth and turns only in the picture's plane: zoomZ,
    // rotateX and rotateY are the shot's own and stay as they are.
    shot.rotateZ = p.rotateZ;
    return true;
}

bool CObsSource::PlaceSelectedOverCanvas(bool keepAspect)
{
    if (!m_info)
        return false;
    m_info->keepAspect = keepAspect;
    m_info->flipHorizontal = false;
    m_info->flipVertical = false;
    m_info->rotationPreset = 0;
    const int layer = m_selectedIndex - (IsSetKind() ? 1 : 0);
    if (layer < 0 || static_cast<size_t>(layer) >= m_layers.size())
        return false;
    LayerInfo& record = m_layers[static_cast<size_t>(layer)];
    record.x = record.y = 0.0f;
    record.zoomX = record.zoomY = record.zoomZ = 1.0f;
    record.rotateX = record.rotateY = record.rotateZ = 0.0f;
    return ApplyLayerTransform(layer);
}

bool CObsSource::FitToCanvasKeepAspect() { return PlaceSelectedOverCanvas(true); }

bool CObsSource::StretchToCanvas() { return PlaceSelectedOverCanvas(false); }

bool CObsSource::SaveScreenshot(std::wstring path)
{
    if (!m_owner || !m_info || !m_mainScene)
        return false;
    return TakeScreenshot(OBSSceneAutoRelease(obs_scene_get_ref(m_mainScene)), path);
}

// ---- filters ----

obs_source_t* CObsSource::SelectedSource()
{
    obs_sceneitem_t* item = GetSelectedItem();
    return item ? obs_sceneitem_get_source(item) : nullptr;
}

namespace {

// Adds (once), updates or removes one filter; false without a target.
bool ApplyFilter(obs_source_t* target, OBSSourceAutoRelease& filter, const char* typeId, bool enabled,
                 obs_data_t* settings)
{
    if (!target)
        return false;
    if (enabled) {
        if (!filter)
            filter = AddFilterOnce(target, typeId);
        if (filter)
            obs_source_update(filter, settings);
        return true;
    }
    if (filter) {
        RemoveFilter(filter);
        filter = nullptr;
    }
    return true;
}

}  // namespace

bool CObsSource::SetChromaKey()
{
    if (!m_info || !m_owner || !m_mainScene)
        return false;
    OBSDataAutoRelease settings = MakeChromaKeySettings(m_info->chromaKey);
    return ApplyFilter(SelectedSource(), m_chromaKeyFilter, kChromaKeyFilterType, m_info->chromaKey.enabled, settings);
}

void CObsSource::EnableChromaKey(bool enable)
{
    if (m_owner && m_chromaKeyFilter)
        obs_source_set_enabled(m_chromaKeyFilter, enable);
}

bool CObsSource::SetNoiseSuppression()
{
    if (!m_info || !m_owner || !m_mainScene)
        return false;
    OBSDataAutoRelease settings = MakeNoiseSuppressionSettings(m_info->noiseSuppression);
    return ApplyFilter(SelectedSource(), m_noiseSuppressFilter, kNoiseSuppressFilterType,
                       m_info->noiseSuppression.enabled, settings);
}

bool CObsSource::SetGain()
{
    if (!m_info || !m_owner || !m_mainScene)
        return false;
    OBSDataAutoRelease settings = MakeGainSettings(m_info->gain);
    return ApplyFilter(SelectedSource(), m_gainFilter, kGainFilterType, m_info->gain.enabled, settings);
}
