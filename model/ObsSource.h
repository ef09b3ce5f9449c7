#pragma once
// One input: a private libobs scene named after the record's path with one
// source of the record's kind inside it, its optional filters, a volume fader
// and meter, and the media signals reported to the notify window. Its
// placement operations are shared with the virtual sets.
#include "SourceObject.h"

#include <callback/calldata.h>
#include <vector>

// Notification codes posted with message 1045.
inline constexpr int32_t kNotifySourceReady = 1;      // video/audio ready or changed
inline constexpr int32_t kNotifyMediaStarted = 2;     // playlist index, playlist count
inline constexpr int32_t kNotifyMediaEnded = 4;
inline constexpr int32_t kNotifyPlaylistStepped = 11; // new playlist index, playlist count

class CObsSource : public CSourceObject {
public:
    CObsSource(ObsMain* owner, SourceInfo* info, HWND notifyWindow);
    ~CObsSource() override;

    bool HasVideo() override;
    bool HasAudio() override;
    void RefreshSize() override;
    SourceInfo* GetInfo() override;
    HRESULT Open() override;
    HRESULT Play() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    int GetMediaState() override;
    HRESULT GetMediaTime(int64_t* timeMs, int64_t* durationMs) override;
    HRESULT SetMediaTime(int64_t timeMs) override;
    bool IsInput() override;
    std::array<float, 4> GetColor() override;
    bool IsMuted() override;
    bool SendMouseClick(const obs_mouse_event* event, int32_t type, bool mouseUp, uint32_t clickCount) override;
    bool SendMouseMove(const obs_mouse_event* event, bool mouseLeave) override;
    bool SendMouseWheel(const obs_mouse_event* event, int xDelta, int yDelta) override;
    bool SendFocus(bool focus) override;
    bool SendKeyClick(const obs_key_event* event, bool keyUp) override;
    HRESULT Reload() override;
    bool SetMonitoringType(int type) override;
    // Selects layer `index` (item index + 1 for the set kinds); the selected
    // index stored is the item index.
    void SelectItem(int index) override;
    bool ApplySettings() override;
    bool FitToCanvasKeepAspect() override;
    bool StretchToCanvas() override;
    bool ApplyDeinterlace() override;
    bool CaptureShot(int index) override;
    bool CaptureLayerTransform(int index) override;
    bool ApplyLayerTransform(int index) override;
    bool ApplyLayerCrop(int index) override;
    bool SaveScreenshot(std::wstring path) override;
    bool SetChromaKey() override;
    void EnableChromaKey(bool enable) override;
    bool SetNoiseSuppression() override;
    bool SetGain() override;
    bool UpdateSettings() override;
    // ---- added by the input class, at the end of the table ----
    virtual HRESULT Restart();
    virtual bool CreateScene();
    virtual bool CreateSources();

    obs_fader_t* GetFader() const { return m_fader; }
    obs_volmeter_t* GetVolumeMeter() const { return m_volmeter; }
    obs_source_t* GetChromaKeyFilter() const { return m_chromaKeyFilter; }
    obs_source_t* GetNoiseSuppressionFilter() const { return m_noiseSuppressFilter; }
    obs_source_t* GetGainFilter() const { return m_gainFilter; }

protected:
    // Appends layer record 0 mirroring the record's placement block.
    void MakeInputRecord();
    void AttachVolume();
    void DetachVolume();
    void ConnectSignals();
    void DisconnectSignals();
    // Lets go of everything on the source side: signals, volume, the main
    // source, the filter references and the items.
    void ReleaseSourceSide();
    // Lets go of the main source (and the activation mark taken by Open).
    void ReleaseMainSource();
    // Filters belong to the source they sit on; when that source goes, the
    // object forgets them so the settings make new ones on the new source.
    void ForgetFilters();
    // Fit and stretch: the selected layer over the whole canvas, no mirroring
    // or rotation preset.
    bool PlaceSelectedOverCanvas(bool keepAspect);
    obs_source_t* SelectedSource();
    bool HasControllableMedia();
    bool IsNonLocalFfmpeg();

private:
    static void OnSourceReady(void* data, calldata_t* cd);
    static void OnMediaStarted(void* data, calldata_t* cd);
    static void OnMediaEnded(void* data, calldata_t* cd);
    static void OnMediaPrevious(void* data, calldata_t* cd);
    static void OnMediaNext(void* data, calldata_t* cd);
    static void OnMediaPreload(void* data, calldata_t* cd);
    static void OnIgnoredSignal(void* data, calldata_t* cd);
    // The record as the engine threads see it.
    SourceInfo* InfoForSignals();
    void StepPlaylist(int direction);

    std::vector<int32_t> m_values32;
    obs_source_t* m_activeMarked = nullptr;  // the main source Open marked active
    obs_source_t* m_signalSource = nullptr;  // whose signals are connected
};
