#pragma once
// One virtual set: an ordered stack of image layers composed in libobs, and a
// list of shots over that stack.
//
// libobs structure: a private main scene named after the set file's path
// holds exactly one item, the group scene "--- All ---". The group scene holds
// one "image_source" per layer, layer 0 on top. The item list holds the group
// item first and then the layer items, so layer n is item n + 1. Camera shots
// (shot mode 4) move, scale and rotate the group item; layer shots (any other
// mode) bring one layer to full frame. A layer with a UV map carries a
// "uvmap_filter"; a layer that shows a live source with a UV map wraps it in a
// libobs group "group2" that carries the filter.
//
// Media operations do nothing for a set, and its picture always has video and
// never audio.
#include "ObsSource.h"
#include "SetSaving.h"
#include "SetSnapshot.h"
#include "ShotPictures.h"

#include "formats/SetFileNames.h"

#include <string>

// Posted to the notify window when a timed shot transition has ended.
inline constexpr unsigned kShotTransitionEndedMessage = WM_USER + 3;  // 1027, both parameters 0

inline constexpr const char* kUvMapFilterType = "uvmap_filter";
inline constexpr const char* kUvMapFilterPathKey = "image_path";  // the UTF-8 path of the map
inline constexpr const char* kGroupSceneName = "--- All ---";
inline constexpr const char* kLiveSourceGroupName = "group2";

class CMultiViewSource : public CObsSource {
public:
    CMultiViewSource(ObsMain* owner, SourceInfo* info, HWND notifyWindow);
    ~CMultiViewSource() override;

    bool HasVideo() override;
    bool HasAudio() override;
    // Loads the set file and builds the set; E_FAIL (lists empty) when the
    // file does not load or the set cannot be built.
    HRESULT Open() override;
    // Why the last Open failed while reading the set file (an errno value,
    // EINVAL when the file did not read as a set); 0 when it failed in the
    // engine, or did not fail.
    int GetOpenError() const { return m_openError; }
    HRESULT Play() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    int GetMediaState() override;
    HRESULT GetMediaTime(int64_t* timeMs, int64_t* durationMs) override;
    HRESULT SetMediaTime(int64_t timeMs) override;
    bool IsInput() override;
    std::array<float, 4> GetColor() override;
    HRESULT Reload() override;
    int GetShotMode() override;
    // Stores the mode and writes it into a native set's scene file.
    int SetShotMode(int mode) override;
    int GetHeaderValue() override;
    int SetHeaderValue(int value) override;
    bool PlaceSourceInLayer(std::wstring layerName, obs_source_t* source) override;
    // The same for the layer at `index`: the layer itself, whatever its name.
    bool PlaceSourceInLayerAt(int index, obs_source_t* source);
    int GetCurrentShot() override;
    // Camera shots in shot mode 4, layer shots otherwise.
    bool ApplyShot(int index) override;
    bool StartShot(int index, int milliseconds) override;
    // One 1/25 s step of a timed transition: true while it runs.
    bool ShotTick() override;
    bool StartCameraShot(int index, int milliseconds) override;
    bool ApplyCameraShot(int index) override;
    bool CameraShotTick() override;
    bool StartLayerShot(int index, int milliseconds) override;
    bool ApplyLayerShot(int index) override;
    bool LayerShotTick() override;
    bool AddLayer(std::wstring imagePath) override;
    bool RemoveLayer(int index) override;
    bool MoveLayerUp(int index) override;
    bool MoveLayerDown(int index) override;
    bool RenameLayer(int index, std::wstring name) override;
    bool SetLayerImage(int index, std::wstring path) override;
    bool SetLayerUvMap(int index, bool use, std::wstring path) override;
    // 0 saved, -1 cancelled by the user, -2 failed (and shown).
    int32_t SaveNative(std::wstring parentFolder) override;
    int32_t ExportVmix(std::wstring parentFolder) override;
    // 0 on success, 1 when the set file does not load (the set stays as it was).
    int ReloadLayers() override;
    int ReloadShots() override;
    bool ApplyLayerTransform(int index) override;
    // False, leaving the record as it is, while a layer shot places the layer.
    bool CaptureLayerTransform(int index) override;
    bool SetLayerVisible(int index, bool visible) override;
    bool SetLayerUvEnabled(int index, bool enabled) override;
    HRESULT Restart() override;
    bool CreateScene() override;
    bool CreateSources() override;

    // Puts the set into the snapshot's state: its records replace the set's,
    // the layers' items are made again from them, the camera stays. A shot
    // mode that differs is written as SetShotMode writes it.
    bool RestoreSnapshot(const SetSnapshot& snapshot);
    // Puts the snapshot's placements onto the layers' items as they stand,
    // nothing made again; false, with nothing changed, when the snapshot
    // differs in more than where layers sit (or a shot places a layer).
    bool RestorePlacementsOnly(const SetSnapshot& snapshot);

    // Erases shot `index`; the shots after it keep the layers they show.
    bool RemoveShot(int index);
    // Every layer at its record's place and in its order: a layer shot shown
    // or running ends (the layers page shows the layers as they are).
    void ShowAllLayers();
    // Whether a layer shot places item `item` (a layer's item) now.
    bool IsPlacedByLayerShot(int item) const;

    // The picture of shot n kept by the shots panel: "<set folder>/<n>.bmp".
    std::wstring GetShotPreviewPath(int shot) const;
    // The file showing shot n now (a saved picture, or one taken since the
    // set was opened or saved); empty when it has none.
    std::wstring GetShotPicturePath(int shot) const;
    // Where a new picture of shot n goes; the set folder gets it when the
    // set is saved. Empty when there is nowhere to keep it.
    std::wstring NewShotPicturePath(int shot);

    // The set-level values the general panel edits.
    void SetSetName(std::wstring name) { m_setName = std::move(name); }
    void SetThumbnailPath(std::wstring path) { m_thumbnailPath = std::move(path); }

    // What the last load of a vMix set met in its config.xml that the user
    // should hear about: names of files it refused or did not find.
    const std::vector<SetFileNote>& GetLoadNotes() const { return m_loadNotes; }

    // The owner's existing-target prompt and message display for the saves.
    void SetSaveCallbacks(SaveCallbacks callbacks) { m_saveCallbacks = std::move(callbacks); }

    // The libobs order position each item had when the set was built.
    const std::vector<int64_t>& GetSavedOrder() const { return m_orderValues; }

protected:
    // Reads the set file: layers, shots or both. On failure the set keeps
    // what it had and the result is false.
    bool LoadSet(bool loadLayers, bool loadShots);
    // Brings the set's lists and libobs objects to the state of an empty set.
    void ClearSet();
    // The steps shared by Open and ReloadLayers after the load.
    bool BuildLoadedSet();
    bool IsNativeSet() const;
    // A set operation may act: record, owner and group scene present.
    bool CanEdit() const;
    // The item of layer `index`, or null when the index or the item list is out of range.
    obs_sceneitem_t* LayerItem(int index) const;
    // The layer's item in the group scene for a source made beforehand (the
    // item takes its own reference); the record learns its source. Null when
    // the engine refuses.
    obs_sceneitem_t* AddLayerItem(LayerInfo& layer, obs_source_t* source);
    // Creates the layer's image source and its item, added hidden: the caller
    // shows it once it is placed.
    obs_sceneitem_t* AddHiddenLayerItem(LayerInfo& layer);
    obs_source_t* AttachUvFilter(LayerInfo& layer, obs_sceneitem_t* item);
    // Puts the hidden item in the layer's place: the old item's order
    // position, the record's placement and, with a UV map, a new UV filter;
    // then shows it (as `shown` says) and the old item goes.
    void ReplaceLayerItem(int index, obs_sceneitem_t* replacement, bool shown);
    void ApplyLayerOrder();
    // Remembers the order positions the layers have in the canonical order.
    void SnapshotOrder();
    void RestoreOrder();
    // Every layer item back at its record's placement and in its order.
    void RestoreLayerPlacements();
    void PlaceAtFullCanvas(obs_sceneitem_t* item);
    // After a layer was added, removed, moved or renamed: a layer-shot set's
    // shots follow its layers.
    void FollowLayerChange();
    void FinishLayerTransition();
    void PostShotEnded();
    // Whether there is a set to save: layers and a thumbnail (else says why).
    bool CanSaveSet();
    int32_t SaveSet(const std::wstring& parentFolder, std::wstring name, const wchar_t* fileName,
                    const SetFileWriter& write);

private:
    std::vector<std::string> ShotPictureKeys() const;
    std::string ShotPictureKeyOf(int shot) const;

    SaveCallbacks m_saveCallbacks;
    CShotPictures m_pictures;
    int m_openError = 0;
    std::vector<SetFileNote> m_loadNotes;
};
