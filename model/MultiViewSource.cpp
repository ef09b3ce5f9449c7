#include "MultiViewSource.h"

namespace {
constexpr int kCameraShots = 4;
}

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

// Building a set from its scene file belongs to the set scene; until it is
// there a set does not open.
HRESULT CMultiViewSource::Open() { return E_FAIL; }

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
int CMultiViewSource::GetShotMode() { return m_shotMode; }

int CMultiViewSource::SetShotMode(int mode)
{
    m_shotMode = mode;
    return mode;
}

int CMultiViewSource::GetHeaderValue() { return m_headerValue; }

int CMultiViewSource::SetHeaderValue(int value)
{
    m_headerValue = value;
    return value;
}

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

HRESULT CMultiViewSource::Restart() { return S_OK; }

// The set's main scene with its group scene and one image source per layer
// come with the set scene.
bool CMultiViewSource::CreateScene() { return false; }
bool CMultiViewSource::CreateSources() { return false; }
