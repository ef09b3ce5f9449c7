#pragma once
// The common base of the objects that own a picture of the editor: one input
// (CObsSource) or one virtual set (CMultiViewSource). A source object owns a
// private libobs scene, the items inside it and the sources it creates, and is
// driven through one table of virtual operations; windows call the operations,
// never libobs, for anything that belongs to a source.
//
// Operations a class does not provide answer false, 0, an empty string or
// E_FAIL (the media operations) and change nothing.
#include "SourceInfo.h"

#include "formats/SceneRecords.h"
#include "platform/Event.h"
#include "platform/MyThread.h"
#include "platform/WinTypes.h"
#include "platform/WindowMessage.h"

#include <array>
#include <atomic>
#include <map>
#include <mutex>
#include <obs.hpp>
#include <string>
#include <utility>
#include <vector>

class ObsMain;

// Messages of a source object to its notify window.
inline constexpr unsigned kSourceMessageReserved = WM_USER + 4;   // 1028, never posted
inline constexpr unsigned kSourceNotifyMessage = WM_USER + 21;     // 1045: wParam the object, lParam its block

// The block a notification points at. Engine threads write it and the window
// reads whatever it holds when it handles the message (a later signal may
// have overwritten it); the fields are atomic so that sharing is well defined.
struct SourceNotification {
    std::atomic<int32_t> code{0};
    std::atomic<int32_t> value1{0};
    std::atomic<int32_t> value2{0};
};

// Media states as the operations report them.
inline constexpr int kMediaStopped = 0;
inline constexpr int kMediaPaused = 1;
inline constexpr int kMediaPlaying = 2;

// The camera and layer shot animation of a set.
struct ShotAnimation {
    bool animating = false;
    int32_t step = 0;
    float duration = 0.0f;   // seconds
    float stepCount = 0.0f;
    float delta[8] = {};     // per step: zoomX, zoomY, zoomZ, x, y, rotateX, rotateY, rotateZ
    float zoomX = 1.0f, zoomY = 1.0f, zoomZ = 1.0f;
    float x = 0.0f, y = 0.0f;
    float rotateX = 0.0f, rotateY = 0.0f, rotateZ = 0.0f;
    int32_t lastLayerItem = 0;    // item shown by the last layer shot
    int32_t previousLayerItem = 0;
    int32_t animatedItem = 0;
    int32_t currentShot = -1;
};

class CSourceObject : public CMyThread {
public:
    CSourceObject(ObsMain* owner, SourceInfo* info, HWND notifyWindow);
    ~CSourceObject() override;

    // ---- the table of operations, in slot order ----
    int ThreadMain() override;  // source objects never run their thread
    virtual bool HasVideo();
    virtual bool HasAudio();
    virtual int ReservedSlot1();
    virtual void RefreshSize();
    virtual SourceInfo* GetInfo();
    virtual void SetInfo(SourceInfo* info);
    virtual HRESULT Cue();
    virtual HRESULT Open();
    virtual HRESULT Play();
    virtual HRESULT Pause();
    virtual HRESULT Stop();
    virtual bool IsPlaying();
    virtual bool IsStopped();
    virtual bool IsPaused();
    virtual int GetMediaState();
    virtual HRESULT GetMediaTime(int64_t* timeMs, int64_t* durationMs);
    virtual HRESULT SetMediaTime(int64_t timeMs);
    virtual std::wstring GetPath();
    virtual bool ReservedSlot2();
    virtual bool ReservedSlot3();
    virtual bool ReservedSlot4();
    virtual bool ReservedSlot5();
    virtual bool ReservedSlot6();
    virtual bool ReservedSlot7();
    virtual bool ReservedSlot8();
    virtual bool ReservedSlot9();
    virtual bool ReservedSlot10();
    virtual void* GetHandle();
    virtual bool IsInput();
    virtual std::array<float, 4> GetColor();
    virtual void SetAuxFlag(uint8_t flag);
    virtual bool IsMuted();
    virtual bool SendMouseClick(const obs_mouse_event* event, int32_t type, bool mouseUp, uint32_t clickCount);
    virtual bool SendMouseMove(const obs_mouse_event* event, bool mouseLeave);
    virtual bool SendMouseWheel(const obs_mouse_event* event, int xDelta, int yDelta);
    virtual bool SendFocus(bool focus);
    virtual bool SendKeyClick(const obs_key_event* event, bool keyUp);
    virtual bool ReservedSlot11();
    virtual bool ReservedSlot12();
    virtual bool ReservedSlot13();
    virtual bool ReservedSlot14();
    virtual HRESULT Reload() = 0;
    virtual bool ReservedSlot15();
    virtual bool ReservedSlot16();
    virtual bool ReservedSlot17();
    virtual bool ReservedSlot18();
    virtual obs_source_t* GetMainSource();
    virtual bool ReservedSlot19();
    virtual int GetShotMode();
    virtual int SetShotMode(int mode);
    virtual int GetHeaderValue();
    virtual int SetHeaderValue(int value);
    virtual bool PlaceSourceInLayer(std::wstring layerName, obs_source_t* source);
    virtual int GetCurrentShot();
    virtual bool ApplyShot(int index);
    virtual bool StartShot(int index, int milliseconds);
    virtual bool ShotTick();
    virtual bool StartCameraShot(int index, int milliseconds);
    virtual bool ApplyCameraShot(int index);
    virtual bool CameraShotTick();
    virtual bool StartLayerShot(int index, int milliseconds);
    virtual bool ApplyLayerShot(int index);
    virtual bool LayerShotTick();
    virtual bool SetMonitoringType(int type);
    virtual bool AddLayer(std::wstring imagePath);
    virtual bool RemoveLayer(int index);
    virtual bool MoveLayerUp(int index);
    virtual bool MoveLayerDown(int index);
    virtual bool RenameLayer(int index, std::wstring name);
    virtual bool SetLayerImage(int index, std::wstring path);
    virtual bool SetLayerUvMap(int index, bool use, std::wstring path);
    virtual int32_t SaveNative(std::wstring parentFolder);
    virtual int32_t ExportVmix(std::wstring parentFolder);
    virtual void SelectItem(int index);
    virtual int GetSelectedIndex();
    virtual bool SetSelectedIndex(int index);
    virtual int FindItem(obs_sceneitem_t* item);
    virtual obs_sceneitem_t* FindItemByName(const std::wstring& name);
    virtual obs_sceneitem_t* GetSelectedItem();
    virtual bool ReservedSlot20();
    virtual bool ReservedSlot21();
    virtual bool ReservedSlot22();
    virtual bool ApplySettings();
    virtual bool FitToCanvasKeepAspect();
    virtual bool StretchToCanvas();
    // The project's canvas changed size or rate: what the object lays out
    // from now on uses the new one (the items are made anew by the caller).
    void SetCanvasFormat(int32_t width, int32_t height, float frameRate);
    virtual bool ApplyDeinterlace();
    virtual int ReloadLayers();
    virtual int ReloadShots();
    virtual bool CaptureShot(int index);
    virtual bool CaptureLayerTransform(int index);
    virtual bool ApplyLayerTransform(int index);
    virtual bool ApplyLayerCrop(int index);
    virtual bool SetLayerVisible(int index, bool visible);
    virtual bool SetLayerUvEnabled(int index, bool enabled);
    virtual bool SaveScreenshot(std::wstring path);
    virtual bool SetChromaKey();
    virtual void EnableChromaKey(bool enable);
    virtual bool SetNoiseSuppression();
    virtual bool SetGain();
    virtual bool UpdateSettings();
    // ---- end of the base table ----

    // Plain accessors for the panels and the set.
    obs_source_t* GetOutputSource() const { return m_outputSource; }
    obs_scene_t* GetMainScene() const { return m_mainScene; }
    obs_scene_t* GetGroupScene() const { return m_groupScene; }
    ObsMain* GetOwner() const { return m_owner; }
    HWND GetNotifyWindow() const { return m_notifyWindow; }
    size_t GetItemCount() const { return m_items.size(); }
    obs_sceneitem_t* GetItem(int index) const;
    const LayerList& GetLayers() const { return m_layers; }
    LayerList& GetLayers() { return m_layers; }
    const ShotList& GetShots() const { return m_shots; }
    ShotList& GetShots() { return m_shots; }
    // Layer shots: shot index to the item it brings to full frame.
    const std::map<int32_t, int32_t>& GetShotToItemMap() const { return m_shotToLayer; }
    const std::wstring& GetSetName() const { return m_setName; }
    const std::wstring& GetThumbnailPath() const { return m_thumbnailPath; }
    int GetMonitoringType() const { return m_monitoringType; }
    const SourceNotification& GetNotification() const { return m_notification; }

protected:
    // Layer n of a set is item n + 1 (its first item is the group item).
    int ItemIndexForLayer(int layerIndex) const;
    bool IsSetKind() const;
    // Posts message 1045 with the block, from any thread.
    void PostNotification(int32_t code, int32_t value1 = 0, int32_t value2 = 0);
    // Keeps one reference to the item at the end of the item list.
    void AppendItem(obs_sceneitem_t* item);
    // Releases every item reference.
    void ReleaseItems();

    HWND m_notifyWindow;
    const unsigned m_messages[2] = {kSourceMessageReserved, kSourceNotifyMessage};
    SourceNotification m_notification;
    uint8_t m_flag = 1;
    int64_t m_value1 = 0;
    int64_t m_value2 = 0;
    std::vector<int64_t> m_values;
    std::recursive_mutex m_lock;  // guards m_info
    SourceInfo* m_info;
    std::vector<std::pair<std::wstring, std::wstring>> m_stringPairs;
    platform::CEvent m_event{false, false};
    OBSSceneAutoRelease m_mainScene;
    OBSSceneAutoRelease m_groupScene;
    int64_t m_value3 = 0;
    ObsMain* m_owner;
    obs_source_t* m_outputSource = nullptr;  // the main scene's source (the scene owns it)
    obs_source_t* m_mainSource = nullptr;    // the first item's source (the item owns it)
    std::vector<OBSSceneItemAutoRelease> m_items;
    int32_t m_selectedIndex = -1;
    std::vector<int64_t> m_orderValues;
    std::wstring m_setName;
    std::wstring m_thumbnailPath;
    LayerList m_layers;
    ShotList m_shots;
    obs_fader_t* m_fader = nullptr;
    obs_volmeter_t* m_volmeter = nullptr;
    int32_t m_monitoringType = 0;
    OBSSourceAutoRelease m_chromaKeyFilter;
    OBSSourceAutoRelease m_noiseSuppressFilter;
    OBSSourceAutoRelease m_gainFilter;
    int32_t m_canvasWidth;
    int32_t m_canvasHeight;
    float m_frameRate;
    int32_t m_headerValue = 1000;
    int32_t m_shotMode = 0;
    ShotAnimation m_animation;
    std::map<int32_t, int32_t> m_shotToLayer;
    ShotInfo m_targetShot;
};
