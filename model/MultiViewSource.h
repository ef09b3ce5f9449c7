#pragma once
// One virtual set: a stack of image layers composed in a libobs group scene,
// with camera or layer shots over it. The set's own operations (opening and
// building the set, layer editing, shots, saving) come with the set scene;
// until then they answer as the base does. Media operations do nothing for a
// set, and its picture always has video and never audio.
#include "ObsSource.h"

class CMultiViewSource : public CObsSource {
public:
    CMultiViewSource(ObsMain* owner, SourceInfo* info, HWND notifyWindow);
    ~CMultiViewSource() override;

    bool HasVideo() override;
    bool HasAudio() override;
    HRESULT Open() override;
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
    int SetShotMode(int mode) override;
    int GetHeaderValue() override;
    int SetHeaderValue(int value) override;
    int GetCurrentShot() override;
    // Camera shots in shot mode 4, layer shots otherwise.
    bool ApplyShot(int index) override;
    bool StartShot(int index, int milliseconds) override;
    bool ShotTick() override;
    HRESULT Restart() override;
    bool CreateScene() override;
    bool CreateSources() override;
};
