#include "MultiViewSource.h"

#include "ItemPlacement.h"
#include "LayerShots.h"
#include "LayerSourceLoader.h"
#include "NativeSetLoader.h"
#include "SetChange.h"
#include "SetPaths.h"
#include "ShotSteps.h"
#include "SourceFilters.h"

#include "formats/SceneFile.h"
#include "formats/SetFileNames.h"
#include "formats/VmixFormat.h"
#include "lumora/Lang.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr int kCameraShots = kShotModeCamera;
constexpr int kLayerShots = kShotModeLayer;
constexpr int32_t kNativeVariant = 1;

// The 8-bit form of the text, only when it converts back unchanged: a path
// the locale charset cannot hold would name another file.
bool ToCodePage(const std::wstring& text, std::string& ansi)
{
    ansi = platform::WideToAnsi(text);
    return platform::AnsiToWide(ansi) == text;
}

std::string CodePageToUtf8(const std::string& ansi) { return platform::WideToUtf8(platform::AnsiToWide(ansi)); }

bool HasUvMap(const LayerInfo& layer) { return layer.uvPath && layer.uvPathSize > 0; }

void RemoveUvFilterFrom(obs_source_t* source)
{
    if (!source)
        return;
    OBSSourceAutoRelease filter = obs_source_get_filter_by_name(source, kUvMapFilterType);
    if (filter)
        obs_source_filter_remove(source, filter);
}

ItemPlacement FullCanvasPlacement() { return ItemPlacement{}; }

// An item of `source` added to `scene` hidden, in one step the engine's
// frames never see halfway: a new item is shown only once it is placed.
obs_sceneitem_t* AddHiddenItem(obs_scene_t* scene, obs_source_t* source)
{
    struct Adding {
        obs_source_t* source;
        obs_sceneitem_t* item = nullptr;
    } adding{source};
    obs_scene_atomic_update(
        scene,
        [](void* param, obs_scene_t* target) {
            auto* adding = static_cast<Adding*>(param);
            adding->item = obs_scene_add(target, adding->source);
            if (adding->item)
                obs_sceneitem_set_visible(adding->item, false);
        },
        &adding);
    return adding.item;
}


}  // namespace

CMultiViewSource::CMultiViewSource(ObsMain* owner, SourceInfo* info, HWND notifyWindow)
    : CObsSource(owner, info, notifyWindow)
{
}

CMultiViewSource::~CMultiViewSource()
{
    // The layer records' two path buffers go before the input part.
    m_layers.clear();
}

bool CMultiViewSource::HasVideo() { return true; }
bool CMultiViewSource::HasAudio() { return false; }

HRESULT CMultiViewSource::Play() { return S_OK; }
HRESULT CMultiViewSource::Pause() { return S_OK; }
HRESULT CMultiViewSource::Stop() { return S_OK; }
int CMultiViewSource::GetMediaState() { return kMediaStopped; }

HRESULT CMultiViewSource::GetMediaTime(int64_t* timeMs, int64_t* durationMs)
{
    if (timeMs)
        *timeMs = 0;
    if (durationMs)
        *durationMs = 0;
    return S_OK;
}

HRESULT CMultiViewSource::SetMediaTime(int64_t) { return S_OK; }
bool CMultiViewSource::IsInput() { return false; }
std::array<float, 4> CMultiViewSource::GetColor() { return {0.0f, 0.0f, 0.0f, 0.0f}; }
HRESULT CMultiViewSource::Reload() { return S_OK; }
HRESULT CMultiViewSource::Restart() { return S_OK; }

// ---- opening and building ----

bool CMultiViewSource::IsNativeSet() const { return m_info && m_info->variant == kNativeVariant; }

bool CMultiViewSource::CanEdit() const { return m_info && m_owner && m_groupScene; }

HRESULT CMultiViewSource::Open()
{
    std::lock_guard lock(m_lock);
    m_openError = 0;
    if (!m_info || !m_owner)
        return E_FAIL;
    errno = 0;
    if (!LoadSet(true, true)) {
        m_openError = errno ? errno : EINVAL;
        ClearSet();
        return E_FAIL;
    }
    if (!BuildLoadedSet()) {
        ClearSet();
        return E_FAIL;
    }
    m_pictures.Open(SetFolderOf(m_info->path), ShotPictureKeys());
    m_info->owner = this;
    return S_OK;
}

int CMultiViewSource::ReloadLayers()
{
    if (!m_info || !m_owner || !LoadSet(true, false))
        return 1;
    return BuildLoadedSet() ? 0 : 1;
}

bool CMultiViewSource::RestoreSnapshot(const SetSnapshot& snapshot)
{
    if (!CanEdit() || m_items.empty())
        return false;
    LayerList layers;
    for (const LayerInfo& layer : snapshot.layers)
        layers.push_back(CloneLayer(layer));
    m_layers = std::move(layers);
    // The shots come back as they were, with the layers they show: shots
    // rebuilt from the layers here could differ from the snapshot's.
    m_shots = snapshot.shots;
    m_shotToLayer = snapshot.shotToItem;
    m_setName = snapshot.name;
    m_thumbnailPath = snapshot.thumbnailPath;
    // A state put back in memory writes no file.
    m_headerValue = snapshot.headerValue;
    m_shotMode = snapshot.shotMode;
    // The layers' items are made anew at their records' places: no layer
    // shot shows or runs.
    const int currentShot = m_animation.currentShot;
    m_animation = ShotAnimation{};
    m_animation.currentShot = currentShot < static_cast<int>(m_shots.size()) ? currentShot : -1;
    const bool built = CreateSources();
    SnapshotOrder();
    return built;
}

bool CMultiViewSource::RestorePlacementsOnly(const SetSnapshot& snapshot)
{
    if (!CanEdit() || m_animation.animating || snapshot.layers.size() != m_layers.size() ||
        m_items.size() != m_layers.size() + 1 || !SameApartFromLayers(*TakeSetSnapshot(*this), snapshot))
        return false;
    for (size_t j = 0; j < m_layers.size(); ++j) {
        if (!SameLayerApartFromPlacement(snapshot.layers[j], m_layers[j]) || IsPlacedByLayerShot(static_cast<int>(j) + 1))
            return false;
    }
    for (size_t j = 0; j < m_layers.size(); ++j) {
        if (SamePlacement(snapshot.layers[j], m_layers[j]))
            continue;
        CopyPlacement(snapshot.layers[j], m_layers[j]);
        ApplyLayerTransform(static_cast<int>(j));
    }
    return true;
}

int CMultiViewSource::ReloadShots()
{
    if (!m_info || !m_owner)
        return 1;
    return LoadSet(false, true) ? 0 : 1;
}

bool CMultiViewSource::LoadSet(bool loadLayers, bool loadShots)
{
    if (!m_info)
        return false;
    const std::wstring& path = m_info->path;
    // The set's lists change only once the file has loaded.
    LayerList layers;
    ShotList shots;
    int32_t shotMode = kCameraShots;
    int32_t headerValue = kSceneHeaderValue;
    std::wstring thumbnailPath = SetThumbnailPathOf(path);
    std::vector<SetFileNote> notes;
    if (IsNativeSet()) {
        SceneFileHeader header;
        NativeSetLoad load;
        if (!LoadNativeSet(path, layers, shots, header, loadLayers, loadShots, load)) {
            errno = load.error ? load.error : EINVAL;
            return false;
        }
        shotMode = EffectiveShotMode(header);
        headerValue = header.headerValue;
        thumbnailPath = platform::JoinPath(load.folder, L"thumbnail.jpg");
    } else if (!LoadVmixVirtualSet(path, layers, shots, loadLayers, loadShots, &notes)) {
        return false;
    }
    for (const SetFileNote& note : notes)
        blog(LOG_WARNING, "%s: %s", platform::NativePath(path).c_str(),
             platform::NativePath(DescribeSetFileNote(note)).c_str());
    m_loadNotes = std::move(notes);
    m_shotMode = shotMode;
    m_headerValue = headerValue;
    m_setName = SetFolderNameOf(path);
    m_thumbnailPath = thumbnailPath;
    if (loadLayers) {
        for (LayerInfo& layer : layers)
            CropFromStored(layer);
        m_layers = std::move(layers);
    }
    if (loadShots) {
        m_shots = std::move(shots);
        m_shotToLayer.clear();
        if (m_shotMode == kLayerShots)
            BuildLayerShots(m_layers, m_shots, m_shotToLayer);
    }
    return true;
}

bool CMultiViewSource::BuildLoadedSet()
{
    m_animation = ShotAnimation{};
    if (!CreateScene())
        return false;
    SnapshotOrder();
    m_selectedIndex = 0;
    m_outputSource = obs_scene_get_source(m_mainScene);
    return true;
}

void CMultiViewSource::ClearSet()
{
    ReleaseItems();
    m_groupScene = nullptr;
    m_mainScene = nullptr;
    m_outputSource = nullptr;
    m_mainSource = nullptr;
    m_layers.clear();
    m_shots.clear();
    m_shotToLayer.clear();
    m_orderValues.clear();
    m_selectedIndex = -1;
    m_setName.clear();
    m_thumbnailPath.clear();
    m_animation = ShotAnimation{};
}

bool CMultiViewSource::CreateScene()
{
    ReleaseItems();
    m_outputSource = nullptr;
    m_mainSource = nullptr;
    // The old scenes take their sources and filters with them.
    for (LayerInfo& layer : m_layers) {
        layer.imageSource = nullptr;
        layer.uvFilter = nullptr;
    }
    m_groupScene = nullptr;
    m_mainScene = nullptr;

    const std::string name = platform::WideToUtf8(m_info ? m_info->path : std::wstring());
    m_mainScene = obs_scene_create_private(name.c_str());
    if (!m_mainScene)
        return false;
    m_groupScene = obs_scene_create_private(kGroupSceneName);
    if (!m_groupScene)
        return false;
    obs_sceneitem_t* groupItem = obs_scene_add(m_mainScene, obs_scene_get_source(m_groupScene));
    if (!groupItem)
        return false;
    AppendItem(groupItem);
    // Centred at scale 1 shows the same picture as the engine's default
    // placement, and reads back as the shot "whole set, unmoved".
    SetItemScale(groupItem, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f);
    m_mainSource = obs_scene_get_source(m_groupScene);
    return CreateSources();
}

bool CMultiViewSource::CreateSources()
{
    if (!m_groupScene || m_items.empty())
        return false;
    // Build on an empty group: only the group item stays in the list.
    while (m_items.size() > 1) {
        obs_sceneitem_remove(m_items.back());
        m_items.pop_back();
    }
    const std::vector<OBSSourceAutoRelease> sources = CreateLayerImageSources(m_layers);
    bool complete = true;
    for (size_t j = 0; j < m_layers.size(); ++j) {
        LayerInfo& layer = m_layers[j];
        layer.imageSource = nullptr;
        layer.uvFilter = nullptr;
        // Every record gets an item, so layer n stays item n + 1.
        obs_sceneitem_t* item = AddLayerItem(layer, sources[j]);
        if (!item) {
            complete = false;
            break;
        }
        AppendItem(item);
        // The filter first: with a map the layer's picture has the map's size.
        if (HasUvMap(layer) && !layer.uvFilter)
            AttachUvFilter(layer, item);
        SetItemPlacement(item, PlacementOfLayer(layer));
        const int index = static_cast<int>(j);
        SetLayerVisible(index, layer.visible != 0);
        SetLayerUvEnabled(index, layer.uvEnabled != 0);
    }
    ApplyLayerOrder();
    return complete;
}

obs_sceneitem_t* CMultiViewSource::AddHiddenLayerItem(LayerInfo& layer)
{
    OBSSourceAutoRelease source = CreateLayerImageSource(layer);
    if (!m_groupScene || !source)
        return nullptr;
    obs_sceneitem_t* item = AddHiddenItem(m_groupScene, source);
    if (!item)
        return nullptr;
    layer.imageSource = source;  // the item owns it from here
    return item;
}

obs_sceneitem_t* CMultiViewSource::AddLayerItem(LayerInfo& layer, obs_source_t* source)
{
    if (!m_groupScene || !source)
        return nullptr;
    obs_sceneitem_t* item = obs_scene_add(m_groupScene, source);
    if (!item)
        return nullptr;
    layer.imageSource = source;  // the item owns it from here
    return item;
}

obs_source_t* CMultiViewSource::AttachUvFilter(LayerInfo& layer, obs_sceneitem_t* item)
{
    obs_source_t* source = item ? obs_sceneitem_get_source(item) : nullptr;
    layer.uvFilter = nullptr;
    if (!source)
        return nullptr;
    // A filter is always made with its map, never given a new one: libobs
    // passes changed settings to a video filter only at its next frame, but
    // the layer is placed at the filter's size (the map's) at once, and a
    // still of the set may be taken before that frame.
    RemoveUvFilterFrom(source);
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_string(settings, kUvMapFilterPathKey, CodePageToUtf8(LayerUvPath(layer)).c_str());
    OBSSourceAutoRelease filter = AddFilterOnce(source, kUvMapFilterType, settings);
    if (!filter)
        return nullptr;
    obs_source_set_enabled(filter, layer.uvEnabled != 0);
    // The source carries the filter; the record only points at it.
    layer.uvFilter = filter;
    return filter;
}

obs_sceneitem_t* CMultiViewSource::LayerItem(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_layers.size() || m_items.size() < static_cast<size_t>(index) + 2)
        return nullptr;
    return m_items[static_cast<size_t>(index) + 1];
}

void CMultiViewSource::ApplyLayerOrder()
{
    const size_t count = m_items.size();
    for (size_t i = 1; i < count; ++i)
        obs_sceneitem_set_order_position(m_items[i], static_cast<int>(count - i - 1));
}

void CMultiViewSource::SnapshotOrder()
{
    // The positions of the layers when the set shows "All": layer 0 on top.
    const size_t count = m_items.size();
    m_orderValues.assign(count, 0);
    for (size_t i = 1; i < count; ++i)
        m_orderValues[i] = static_cast<int64_t>(count - i - 1);
}

void CMultiViewSource::RestoreOrder()
{
    if (m_orderValues.size() != m_items.size()) {
        ApplyLayerOrder();
        return;
    }
    for (size_t i = 1; i < m_items.size(); ++i)
        obs_sceneitem_set_order_position(m_items[i], static_cast<int>(m_orderValues[i]));
}

void CMultiViewSource::RestoreLayerPlacements()
{
    for (size_t j = 0; j < m_layers.size(); ++j) {
        obs_sceneitem_t* item = LayerItem(static_cast<int>(j));
        if (item)
            SetItemPlacement(item, PlacementOfLayer(m_layers[j]));
    }
    RestoreOrder();
}

void CMultiViewSource::PlaceAtFullCanvas(obs_sceneitem_t* item) { SetItemPlacement(item, FullCanvasPlacement()); }

void CMultiViewSource::FollowLayerChange()
{
    if (m_shotMode != kLayerShots)
        return;
    // Item numbers changed under any layer shot shown: every layer goes back
    // to its record first, then the shots are made as opening the set makes them.
    ShowAllLayers();
    BuildLayerShots(m_layers, m_shots, m_shotToLayer);
    if (m_animation.currentShot >= static_cast<int>(m_shots.size()))
        m_animation.currentShot = static_cast<int>(m_shots.size()) - 1;
}

void CMultiViewSource::ShowAllLayers()
{
    const bool placedByShot = m_animation.animating || m_animation.lastLayerItem > 0;
    m_animation.animating = false;
    m_animation.lastLayerItem = m_animation.previousLayerItem = m_animation.animatedItem = 0;
    if (placedByShot && m_shotMode != kCameraShots)
        RestoreLayerPlacements();
}

bool CMultiViewSource::IsPlacedByLayerShot(int item) const
{
    if (m_shotMode == kCameraShots || item <= 0)
        return false;
    return m_animation.lastLayerItem == item || (m_animation.animating && m_animation.animatedItem == item);
}

bool CMultiViewSource::CaptureLayerTransform(int index)
{
    // A layer that a layer shot places (at full frame, or on its way there or
    // back) is not where its record says: that place belongs to the shot.
    if (IsPlacedByLayerShot(index + 1))
        return false;
    return CObsSource::CaptureLayerTransform(index);
}

bool CMultiViewSource::RemoveShot(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_shots.size())
        return false;
    m_shots.erase(m_shots.begin() + index);
    // The shots after it move up one place, with the layers they show.
    std::map<int32_t, int32_t> map;
    for (const auto& [shot, item] : m_shotToLayer) {
        if (shot < index)
            map[shot] = item;
        else if (shot > index)
            map[shot - 1] = item;
    }
    m_shotToLayer = std::move(map);
    if (m_animation.currentShot >= static_cast<int>(m_shots.size()))
        m_animation.currentShot = static_cast<int>(m_shots.size()) - 1;
    return true;
}

// ---- layers ----

bool CMultiViewSource::AddLayer(std::wstring imagePath)
{
    std::string ansiPath;
    if (!CanEdit() || !platform::FileExists(imagePath) || !ToCodePage(imagePath, ansiPath))
        return false;
    if (m_items.size() != m_layers.size() + 1)
        return false;  // the item list no longer matches the layers
    LayerInfo layer = MakeDefaultLayer();
    SetRecordName(layer.name, platform::StemPart(imagePath));
    SetLayerImagePath(layer, ansiPath);
    obs_sceneitem_t* item = AddHiddenLayerItem(layer);
    if (!item) {
        FreeLayerBuffers(layer);
        return false;
    }
    SetItemPlacement(item, PlacementOfLayer(layer));
    m_layers.push_back(layer);
    AppendItem(item);
    ApplyLayerOrder();
    obs_sceneitem_set_visible(item, true);  // placed and in its order
    SnapshotOrder();
    FollowLayerChange();
    return true;
}

bool CMultiViewSource::RemoveLayer(int index)
{
    obs_sceneitem_t* item = CanEdit() ? LayerItem(index) : nullptr;
    if (!item)
        return false;
    obs_sceneitem_remove(item);
    m_items.erase(m_items.begin() + index + 1);
    m_layers.erase(static_cast<size_t>(index));
    SnapshotOrder();
    FollowLayerChange();
    return true;
}

bool CMultiViewSource::MoveLayerUp(int index)
{
    if (!CanEdit() || index < 1 || !LayerItem(index))
        return false;
    const size_t i = static_cast<size_t>(index);
    m_layers.swap(i - 1, i);
    obs_sceneitem_set_order(m_items[i + 1], OBS_ORDER_MOVE_UP);
    std::swap(m_items[i], m_items[i + 1]);
    SnapshotOrder();
    FollowLayerChange();
    return true;
}

bool CMultiViewSource::MoveLayerDown(int index)
{
    if (!CanEdit() || !LayerItem(index) || !LayerItem(index + 1))
        return false;
    const size_t i = static_cast<size_t>(index);
    m_layers.swap(i, i + 1);
    obs_sceneitem_set_order(m_items[i + 1], OBS_ORDER_MOVE_DOWN);
    std::swap(m_items[i + 1], m_items[i + 2]);
    SnapshotOrder();
    FollowLayerChange();
    return true;
}

bool CMultiViewSource::RenameLayer(int index, std::wstring name)
{
    if (!CanEdit() || !LayerItem(index))
        return false;
    // The engine source keeps its old name.
    SetRecordName(m_layers[static_cast<size_t>(index)].name, name);
    FollowLayerChange();  // the name makes a layer a framing one or not
    return true;
}

bool CMultiViewSource::SetLayerImage(int index, std::wstring path)
{
    std::string ansiPath;
    obs_sceneitem_t* item = CanEdit() ? LayerItem(index) : nullptr;
    if (!item || !ToCodePage(path, ansiPath))
        return false;
    LayerInfo& layer = m_layers[static_cast<size_t>(index)];
    const bool showsImage = layer.imageSource && obs_sceneitem_get_source(item) == layer.imageSource;
    const std::string oldPath = LayerImagePath(layer);
    SetLayerImagePath(layer, ansiPath);
    // A layer that shows a live source keeps it; its image comes back later.
    if (!showsImage)
        return true;
    // The engine loads a changed file only at its next frame, and the scale
    // that keeps the layer's size on the canvas depends on the picture's
    // size; a new source loads the picture at once.
    obs_sceneitem_t* replacement = AddHiddenLayerItem(layer);
    if (!replacement) {
        SetLayerImagePath(layer, oldPath);  // the record names what the engine shows
        return false;
    }
    ReplaceLayerItem(index, replacement, layer.visible != 0);
    return true;
}

bool CMultiViewSource::SetLayerUvMap(int index, bool use, std::wstring path)
{
    std::string ansiPath;
    obs_sceneitem_t* item = CanEdit() ? LayerItem(index) : nullptr;
    if (!item || !ToCodePage(path, ansiPath))
        return false;
    LayerInfo& layer = m_layers[static_cast<size_t>(index)];
    const std::string oldPath = LayerUvPath(layer);
    const bool hadFilter = layer.uvFilter != nullptr;
    SetLayerUvPath(layer, ansiPath);
    if (use && HasUvMap(layer)) {
        // In place of the filter with the old map.
        if (!AttachUvFilter(layer, item)) {
            SetLayerUvPath(layer, oldPath);
            if (hadFilter)
                AttachUvFilter(layer, item);
            SetItemPlacement(item, PlacementOfLayer(layer));
            return false;
        }
    } else if (layer.uvFilter) {
        // Without a map there is nothing to wrap the picture with.
        RemoveUvFilterFrom(obs_sceneitem_get_source(item));
        layer.uvFilter = nullptr;
    } else {
        return true;
    }
    // The layer keeps its place on the canvas at its picture's new size.
    SetItemPlacement(item, PlacementOfLayer(layer));
    return true;
}

bool CMultiViewSource::SetLayerVisible(int index, bool visible)
{
    obs_sceneitem_t* item = CanEdit() ? LayerItem(index) : nullptr;
    if (!item)
        return false;
    obs_sceneitem_set_visible(item, visible);
    m_layers[static_cast<size_t>(index)].visible = visible ? 1 : 0;
    return true;
}

bool CMultiViewSource::SetLayerUvEnabled(int index, bool enabled)
{
    obs_sceneitem_t* item = CanEdit() ? LayerItem(index) : nullptr;
    if (!item)
        return false;
    LayerInfo& layer = m_layers[static_cast<size_t>(index)];
    if (!layer.uvFilter)
        return false;
    layer.uvEnabled = enabled ? 1 : 0;
    if (obs_source_enabled(layer.uvFilter) == enabled)
        return true;
    obs_source_set_enabled(layer.uvFilter, enabled);
    // The picture has the map's size or its own again.
    SetItemPlacement(item, PlacementOfLayer(layer));
    return true;
}

bool CMultiViewSource::ApplyLayerTransform(int index)
{
    obs_sceneitem_t* item = CanEdit() ? LayerItem(index) : nullptr;
    if (!item)
        return false;
    SetItemPlacement(item, PlacementOfLayer(m_layers[static_cast<size_t>(index)]));
    return true;
}

bool CMultiViewSource::PlaceSourceInLayer(std::wstring layerName, obs_source_t* source)
{
    if (!CanEdit())
        return false;
    char wanted[64];
    SetRecordName(wanted, layerName);
    int index = -1;
    for (size_t j = 0; j < m_layers.size() && index < 0; ++j) {
        if (std::strncmp(m_layers[j].name, wanted, sizeof(wanted)) == 0)
            index = static_cast<int>(j);
    }
    return PlaceSourceInLayerAt(index, source);
}

bool CMultiViewSource::PlaceSourceInLayerAt(int index, obs_source_t* source)
{
    obs_sceneitem_t* old = CanEdit() ? LayerItem(index) : nullptr;
    if (!old)
        return false;
    LayerInfo& layer = m_layers[static_cast<size_t>(index)];
    const bool uvMapped = HasUvMap(layer);

    // The item that takes the layer's place: the live source (inside a group
    // that carries the UV filter when the layer has a map), or the layer's own
    // image again. The image source went with its item, so it is made anew.
    // Every new item starts hidden and is shown once in place.
    obs_sceneitem_t* replacement = nullptr;
    if (source) {
        obs_sceneitem_t* item = AddHiddenItem(m_groupScene, source);
        if (!item)
            return false;  // the engine refuses, e.g. the set's own picture
        replacement = item;
        if (uvMapped) {
            // Empty, the new group draws nothing until it is hidden.
            obs_sceneitem_t* group = obs_scene_add_group2(m_groupScene, kLiveSourceGroupName, true);
            if (!group) {
                obs_sceneitem_remove(item);
                return false;
            }
            obs_sceneitem_set_visible(group, false);
            obs_sceneitem_group_add_item(group, item);
            obs_sceneitem_set_visible(item, true);  // shows with its group
            replacement = group;
        }
    } else {
        replacement = AddHiddenLayerItem(layer);
        if (!replacement)
            return false;
    }

    if (source)
        layer.imageSource = nullptr;  // it goes with the old item
    ReplaceLayerItem(index, replacement, true);
    return true;
}

void CMultiViewSource::ReplaceLayerItem(int index, obs_sceneitem_t* replacement, bool shown)
{
    obs_sceneitem_t* old = LayerItem(index);
    LayerInfo& layer = m_layers[static_cast<size_t>(index)];
    // The new item's filter comes first: it shares the map the old one has
    // read instead of reading the file again.
    layer.uvFilter = nullptr;
    if (HasUvMap(layer))
        AttachUvFilter(layer, replacement);
    // Hidden until it is ready, the new item goes just over the old one with
    // the layer's placement; shown, it covers it, then the old item goes.
    // No frame shows the new item elsewhere or the layer missing.
    obs_sceneitem_set_order_position(replacement, obs_sceneitem_get_order_position(old) + 1);
    SetItemPlacement(replacement, PlacementOfLayer(layer));
    // A selected layer stays selected whatever it shows.
    obs_sceneitem_select(replacement, obs_sceneitem_selected(old));
    obs_sceneitem_set_visible(replacement, shown);
    RemoveUvFilterFrom(obs_sceneitem_get_source(old));
    obs_sceneitem_remove(old);
    obs_sceneitem_addref(replacement);
    m_items[static_cast<size_t>(index) + 1] = replacement;  // lets go of the old item
}

// ---- shot mode and header value ----

int CMultiViewSource::GetShotMode() { return m_shotMode; }

int CMultiViewSource::SetShotMode(int mode)
{
    m_shotMode = mode;
    // Only a native set has a scene file whose header keeps the mode.
    if (IsNativeSet())
        SetSceneShotMode(m_info->path, mode);
    return mode;
}

int CMultiViewSource::GetHeaderValue() { return m_headerValue; }

int CMultiViewSource::SetHeaderValue(int value)
{
    m_headerValue = value;
    if (IsNativeSet())
        SetSceneHeaderValue(m_info->path, value);
    return value;
}

std::wstring CMultiViewSource::GetShotPreviewPath(int shot) const
{
    return ShotPreviewPathOf(m_info ? m_info->path : std::wstring(), shot);
}

std::string CMultiViewSource::ShotPictureKeyOf(int shot) const
{
    if (shot < 0 || static_cast<size_t>(shot) >= m_shots.size())
        return {};
    const LayerInfo* shown = nullptr;
    if (m_shotMode != kCameraShots) {
        const auto mapped = m_shotToLayer.find(shot);
        const int layer = mapped == m_shotToLayer.end() ? -1 : mapped->second - 1;
        if (layer >= 0 && static_cast<size_t>(layer) < m_layers.size())
            shown = &m_layers[static_cast<size_t>(layer)];
    }
    return ShotPictureKey(m_shots[static_cast<size_t>(shot)], m_shotMode, shown);
}

std::vector<std::string> CMultiViewSource::ShotPictureKeys() const
{
    std::vector<std::string> keys;
    for (size_t i = 0; i < m_shots.size(); ++i)
        keys.push_back(ShotPictureKeyOf(static_cast<int>(i)));
    return keys;
}

std::wstring CMultiViewSource::GetShotPicturePath(int shot) const
{
    const std::string key = ShotPictureKeyOf(shot);
    return key.empty() ? std::wstring() : m_pictures.Find(key);
}

std::wstring CMultiViewSource::NewShotPicturePath(int shot)
{
    const std::string key = ShotPictureKeyOf(shot);
    return key.empty() ? std::wstring() : m_pictures.NewPicturePath(key);
}

// ---- shots ----

int CMultiViewSource::GetCurrentShot() { return m_animation.currentShot; }

bool CMultiViewSource::ApplyShot(int index)
{
    return m_shotMode == kCameraShots ? ApplyCameraShot(index) : ApplyLayerShot(index);
}

bool CMultiViewSource::StartShot(int index, int milliseconds)
{
    return m_shotMode == kCameraShots ? StartCameraShot(index, milliseconds) : StartLayerShot(index, milliseconds);
}

bool CMultiViewSource::ShotTick() { return m_shotMode == kCameraShots ? CameraShotTick() : LayerShotTick(); }

void CMultiViewSource::PostShotEnded() { PostMessage(m_notifyWindow, kShotTransitionEndedMessage, 0, 0); }

bool CMultiViewSource::ApplyCameraShot(int index)
{
    obs_sceneitem_t* group = CanEdit() ? GetItem(0) : nullptr;
    if (!group || index < 0 || static_cast<size_t>(index) >= m_shots.size())
        return false;
    const ShotInfo& shot = m_shots[static_cast<size_t>(index)];
    m_animation.currentShot = index;
    m_animation.animating = false;
    SetCurrentShotValues(m_animation, ShotValuesOf(shot));
    SetItemScale(group, shot.x, shot.y, shot.zoomX, shot.zoomY, shot.rotateZ);
    return true;
}

bool CMultiViewSource::StartCameraShot(int index, int milliseconds)
{
    if (milliseconds <= 0)
        return ApplyCameraShot(index);
    if (!CanEdit() || !GetItem(0) || index < 0 || static_cast<size_t>(index) >= m_shots.size())
        return false;
    m_targetShot = m_shots[static_cast<size_t>(index)];
    m_animation.currentShot = index;
    m_animation.animating = true;
    StartShotSteps(m_animation, ShotValuesOf(m_targetShot), milliseconds);
    return true;
}

bool CMultiViewSource::CameraShotTick()
{
    obs_sceneitem_t* group = GetItem(0);
    if (!m_animation.animating || !group)
        return false;
    const ShotValues now = ShotValuesAtStep(m_animation, m_animation.step);
    SetItemScale(group, now.x, now.y, now.zoomX, now.zoomY, now.rotateZ);
    if (!AdvanceShotStep(m_animation))
        return true;
    SetCurrentShotValues(m_animation, ShotValuesOf(m_targetShot));
    m_animation.animating = false;
    ApplyCameraShot(m_animation.currentShot);
    PostShotEnded();
    return false;
}

bool CMultiViewSource::ApplyLayerShot(int index)
{
    if (!CanEdit() || index < 0 || static_cast<size_t>(index) >= m_shots.size())
        return false;
    const auto mapped = m_shotToLayer.find(index);
    const int item = mapped == m_shotToLayer.end() ? 0 : mapped->second;
    obs_sceneitem_t* shown = item > 0 ? GetItem(item) : nullptr;
    if (item > 0 && !shown)
        return false;
    m_animation.animating = false;
    // Every layer shot starts from the whole set, so a layer shown before
    // does not stay behind the new one at full size.
    RestoreLayerPlacements();
    if (shown) {
        obs_sceneitem_set_order(shown, OBS_ORDER_MOVE_TOP);
        PlaceAtFullCanvas(shown);
        SetCurrentShotValues(m_animation, FullCanvasValues());
    }
    m_animation.previousLayerItem = m_animation.lastLayerItem;
    m_animation.lastLayerItem = item;
    m_animation.animatedItem = item;
    m_animation.currentShot = index;
    return true;
}

bool CMultiViewSource::StartLayerShot(int index, int milliseconds)
{
    if (milliseconds <= 0)
        return ApplyLayerShot(index);
    if (!CanEdit() || index < 0 || static_cast<size_t>(index) >= m_shots.size())
        return false;
    const auto mapped = m_shotToLayer.find(index);
    const int item = mapped == m_shotToLayer.end() ? 0 : mapped->second;
    if (item > 0 && !GetItem(item))
        return false;
    // A layer shot is left through "All".
    if (m_animation.lastLayerItem > 0 && item > 0)
        return false;
    m_animation.previousLayerItem = m_animation.lastLayerItem;
    m_animation.lastLayerItem = item;
    if (item == m_animation.previousLayerItem)
        return true;

    if (item > 0) {
        m_animation.animatedItem = item;
        m_animation.currentShot = index;
        ShotValues start = ShotValuesOf(m_shots[static_cast<size_t>(index)]);
        start.rotateX = start.rotateY = start.rotateZ = 0.0f;
        SetCurrentShotValues(m_animation, start);
        StartShotSteps(m_animation, FullCanvasValues(), milliseconds);
        obs_sceneitem_set_order(GetItem(item), OBS_ORDER_MOVE_TOP);
    } else {
        // Back from the full canvas, which the last transition reached, to
        // the place of the layer that was shown.
        const int shownShot = m_animation.currentShot;
        ShotValues back = FullCanvasValues();
        if (shownShot > 0 && static_cast<size_t>(shownShot) < m_shots.size())
            back = ShotValuesOf(m_shots[static_cast<size_t>(shownShot)]);
        back.rotateX = back.rotateY = back.rotateZ = 0.0f;
        SetCurrentShotValues(m_animation, FullCanvasValues());
        StartShotSteps(m_animation, back, milliseconds);
        m_animation.currentShot = index;
    }
    m_animation.animating = HasShotDelta(m_animation);
    if (!m_animation.animating)
        FinishLayerTransition();  // already there: take the end state at once
    return true;
}

bool CMultiViewSource::LayerShotTick()
{
    if (!m_animation.animating)
        return false;
    const int layerIndex = m_animation.animatedItem - 1;
    obs_sceneitem_t* item = LayerItem(layerIndex);
    if (!item) {
        m_animation.animating = false;
        return false;
    }
    const ShotValues now = ShotValuesAtStep(m_animation, m_animation.step);
    ItemPlacement p = PlacementOfLayer(m_layers[static_cast<size_t>(layerIndex)]);
    p.x = now.x;
    p.y = now.y;
    p.zoomX = now.zoomX;
    p.zoomY = now.zoomY;
    p.rotateZ = 0.0f;
    SetItemPlacement(item, p);
    if (!AdvanceShotStep(m_animation))
        return true;
    FinishLayerTransition();
    PostShotEnded();
    return false;
}

void CMultiViewSource::FinishLayerTransition()
{
    m_animation.animating = false;
    const int layerIndex = m_animation.animatedItem - 1;
    obs_sceneitem_t* item = LayerItem(layerIndex);
    if (m_animation.lastLayerItem > 0) {
        // Towards a layer: exactly the full canvas, without the layer's crop.
        SetCurrentShotValues(m_animation, FullCanvasValues());
        if (item)
            PlaceAtFullCanvas(item);
        return;
    }
    // Back to "All": the layer at its own place, the set in its order.
    if (item)
        SetItemPlacement(item, PlacementOfLayer(m_layers[static_cast<size_t>(layerIndex)]));
    RestoreOrder();
}

// ---- saving ----

bool CMultiViewSource::CanSaveSet()
{
    if (m_layers.empty()) {
        ReportSaveFailure(m_saveCallbacks, Lang::LoadLangString(1101));
        return false;
    }
    if (!platform::FileExists(m_thumbnailPath)) {
        ReportSaveFailure(m_saveCallbacks, Lang::FormatLangString(1103, m_thumbnailPath));
        return false;
    }
    return true;
}

int32_t CMultiViewSource::SaveSet(const std::wstring& parentFolder, std::wstring name, const wchar_t* fileName,
                                  const SetFileWriter& write)
{
    if (!m_info || !m_owner)
        return kSaveFailed;
    if (!CanSaveSet())
        return kSaveFailed;
    const std::wstring ownFolder = m_info->path.empty() ? std::wstring() : SetFolderOf(m_info->path);
    const int32_t result = SaveSetFolder(parentFolder, name, fileName, write, m_saveCallbacks, ownFolder);
    m_setName = name;
    // The shots' pictures join the saved set, numbered as its shots are.
    if (result == kSaveDone && !m_pictures.SaveInto(platform::JoinPath(parentFolder, name), ShotPictureKeys())) {
        const int error = errno ? errno : EIO;
        blog(LOG_WARNING, "the shot pictures of the saved set could not all be written");
        if (m_saveCallbacks.showMessage)
            m_saveCallbacks.showMessage(SystemErrorMessage(error));
    }
    return result;
}

int32_t CMultiViewSource::SaveNative(std::wstring parentFolder)
{
    return SaveSet(parentFolder, m_setName, kSceneFileName, [this](const std::wstring& sceneFile, const std::wstring&) {
        if (!WriteSceneFile(sceneFile, m_layers, m_shots, m_thumbnailPath))
            return false;
        // The writer stores the defaults; a set in layer-shot mode or with
        // another header value keeps them.
        if (m_shotMode != kCameraShots && !SetSceneShotMode(sceneFile, m_shotMode))
            return false;
        return m_headerValue == kSceneHeaderValue || SetSceneHeaderValue(sceneFile, m_headerValue);
    });
}

int32_t CMultiViewSource::ExportVmix(std::wstring parentFolder)
{
    // A new folder gets a name Windows can hold, as every file in it does; an
    // existing folder of the set's name is written in place.
    std::wstring name = m_setName;
    if (!platform::PathExists(platform::JoinPath(parentFolder, name)))
        name = WindowsSafeFileName(name);
    return SaveSet(parentFolder, name, kVmixConfigFileName, [this](const std::wstring& configFile, const std::wstring& name) {
        return WriteVmixConfig(configFile, m_layers, m_shots, VmixSetInfo{name, m_thumbnailPath});
    });
}
