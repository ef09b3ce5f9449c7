#include "SourceObject.h"

#include "app/ProjectSettings.h"
#include "platform/TextConv.h"

#include <algorithm>

CSourceObject::CSourceObject(ObsMain* owner, SourceInfo* info, HWND notifyWindow)
    : m_notifyWindow(notifyWindow),
      m_info(info),
      m_owner(owner),
      m_canvasWidth(g_settings.Width),
      m_canvasHeight(g_settings.Height),
      m_frameRate(g_settings.FrameRate),
      m_targetShot(MakeDefaultShot())
{
    if (m_info) {
        m_info->playlistIndex = -1;
        m_info->playlistCount = 0;
    }
}

void CSourceObject::SetCanvasFormat(int32_t width, int32_t height, float frameRate)
{
    m_canvasWidth = width;
    m_canvasHeight = height;
    m_frameRate = frameRate;
}

CSourceObject::~CSourceObject()
{
    // Let go of everything in a fixed order: filters before the items that
    // carry their sources, items before the scenes that hold them.
    m_shotToLayer.clear();
    m_chromaKeyFilter = nullptr;
    m_noiseSuppressFilter = nullptr;
    m_gainFilter = nullptr;
    m_shots.clear();
    m_layers.clear();
    m_setName.clear();
    m_thumbnailPath.clear();
    m_orderValues.clear();
    ReleaseItems();
    m_groupScene = nullptr;
    m_mainScene = nullptr;
    m_outputSource = nullptr;
    m_mainSource = nullptr;
    m_stringPairs.clear();
    m_values.clear();
    CMyThread::Stop();  // the thread part; the media Stop is another operation
}

int CSourceObject::ThreadMain() { return 0; }

bool CSourceObject::HasVideo()
{
    std::lock_guard lock(m_lock);
    return m_info && m_info->hasVideo;
}

bool CSourceObject::HasAudio()
{
    std::lock_guard lock(m_lock);
    return m_info && m_info->hasAudio;
}

int CSourceObject::ReservedSlot1() { return 0; }
void CSourceObject::RefreshSize() {}

SourceInfo* CSourceObject::GetInfo()
{
    std::lock_guard lock(m_lock);
    return m_info;
}

void CSourceObject::SetInfo(SourceInfo* info)
{
    Stop();
    {
        std::lock_guard lock(m_lock);
        // Engine threads read the pointer without the lock.
        if (info)
            std::atomic_ref<SourceInfo*>(m_info).store(info);
    }
    Reload();
}

HRESULT CSourceObject::Cue()
{
    const HRESULT result = Play();
    static constexpr int32_t kStartOnly[] = {2, 6, 7, 8, 10, 11, 18, 210};
    const int32_t kind = m_info ? m_info->kind : 0;
    if (std::find(std::begin(kStartOnly), std::end(kStartOnly), kind) == std::end(kStartOnly)) {
        Pause();
        SetMediaTime(0);
    }
    return result;
}

HRESULT CSourceObject::Open()
{
    std::lock_guard lock(m_lock);
    const HRESULT result = Reload();
    if (m_info)
        m_info->owner = this;
    return result;
}

HRESULT CSourceObject::Play() { return E_FAIL; }
HRESULT CSourceObject::Pause() { return E_FAIL; }
HRESULT CSourceObject::Stop() { return E_FAIL; }
bool CSourceObject::IsPlaying() { return GetMediaState() == kMediaPlaying; }
bool CSourceObject::IsStopped() { return GetMediaState() == kMediaStopped; }
bool CSourceObject::IsPaused() { return GetMediaState() == kMediaPaused; }
int CSourceObject::GetMediaState() { return kMediaStopped; }
HRESULT CSourceObject::GetMediaTime(int64_t*, int64_t*) { return E_FAIL; }
HRESULT CSourceObject::SetMediaTime(int64_t) { return E_FAIL; }

std::wstring CSourceObject::GetPath() { return m_info ? m_info->path : std::wstring(); }

bool CSourceObject::ReservedSlot2() { return false; }
bool CSourceObject::ReservedSlot3() { return false; }
bool CSourceObject::ReservedSlot4() { return false; }
bool CSourceObject::ReservedSlot5() { return false; }
bool CSourceObject::ReservedSlot6() { return false; }
bool CSourceObject::ReservedSlot7() { return false; }
bool CSourceObject::ReservedSlot8() { return false; }
bool CSourceObject::ReservedSlot9() { return false; }
bool CSourceObject::ReservedSlot10() { return false; }
void* CSourceObject::GetHandle() { return nullptr; }
bool CSourceObject::IsInput() { return false; }
std::array<float, 4> CSourceObject::GetColor() { return {0.0f, 0.0f, 0.0f, 0.0f}; }
void CSourceObject::SetAuxFlag(uint8_t) {}
bool CSourceObject::IsMuted() { return false; }
bool CSourceObject::SendMouseClick(const obs_mouse_event*, int32_t, bool, uint32_t) { return false; }
bool CSourceObject::SendMouseMove(const obs_mouse_event*, bool) { return false; }
bool CSourceObject::SendMouseWheel(const obs_mouse_event*, int, int) { return false; }
bool CSourceObject::SendFocus(bool) { return false; }
bool CSourceObject::SendKeyClick(const obs_key_event*, bool) { return false; }
bool CSourceObject::ReservedSlot11() { return false; }
bool CSourceObject::ReservedSlot12() { return false; }
bool CSourceObject::ReservedSlot13() { return false; }
bool CSourceObject::ReservedSlot14() { return false; }
bool CSourceObject::ReservedSlot15() { return false; }
bool CSourceObject::ReservedSlot16() { return false; }
bool CSourceObject::ReservedSlot17() { return false; }
bool CSourceObject::ReservedSlot18() { return false; }
obs_source_t* CSourceObject::GetMainSource() { return m_mainSource; }
bool CSourceObject::ReservedSlot19() { return false; }
int CSourceObject::GetShotMode() { return 0; }
int CSourceObject::SetShotMode(int) { return 0; }
int CSourceObject::GetHeaderValue() { return 0; }
int CSourceObject::SetHeaderValue(int) { return 0; }
bool CSourceObject::PlaceSourceInLayer(std::wstring, obs_source_t*) { return false; }
int CSourceObject::GetCurrentShot() { return -1; }
bool CSourceObject::ApplyShot(int) { return false; }
bool CSourceObject::StartShot(int, int) { return false; }
bool CSourceObject::ShotTick() { return false; }
bool CSourceObject::StartCameraShot(int, int) { return false; }
bool CSourceObject::ApplyCameraShot(int) { return false; }
bool CSourceObject::CameraShotTick() { return false; }
bool CSourceObject::StartLayerShot(int, int) { return false; }
bool CSourceObject::ApplyLayerShot(int) { return false; }
bool CSourceObject::LayerShotTick() { return false; }
bool CSourceObject::SetMonitoringType(int) { return false; }
bool CSourceObject::AddLayer(std::wstring) { return false; }
bool CSourceObject::RemoveLayer(int) { return false; }
bool CSourceObject::MoveLayerUp(int) { return false; }
bool CSourceObject::MoveLayerDown(int) { return false; }
bool CSourceObject::RenameLayer(int, std::wstring) { return false; }
bool CSourceObject::SetLayerImage(int, std::wstring) { return false; }
bool CSourceObject::SetLayerUvMap(int, bool, std::wstring) { return false; }
int32_t CSourceObject::SaveNative(std::wstring) { return 0; }
int32_t CSourceObject::ExportVmix(std::wstring) { return 0; }
void CSourceObject::SelectItem(int) {}
int CSourceObject::GetSelectedIndex() { return m_selectedIndex; }

bool CSourceObject::SetSelectedIndex(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_items.size())
        return false;
    m_selectedIndex = index;
    return true;
}

int CSourceObject::FindItem(obs_sceneitem_t* item)
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (item && m_items[i] == item)
            return static_cast<int>(i);
    return -1;
}

obs_sceneitem_t* CSourceObject::FindItemByName(const std::wstring& name)
{
    const std::string utf8 = platform::WideToUtf8(name);
    for (const auto& item : m_items) {
        const char* itemName = obs_source_get_name(obs_sceneitem_get_source(item));
        if (itemName && utf8 == itemName)
            return item;
    }
    return nullptr;
}

obs_sceneitem_t* CSourceObject::GetSelectedItem() { return GetItem(m_selectedIndex); }

bool CSourceObject::ReservedSlot20() { return false; }
bool CSourceObject::ReservedSlot21() { return false; }
bool CSourceObject::ReservedSlot22() { return false; }
bool CSourceObject::ApplySettings() { return false; }
bool CSourceObject::FitToCanvasKeepAspect() { return false; }
bool CSourceObject::StretchToCanvas() { return false; }
bool CSourceObject::ApplyDeinterlace() { return false; }
int CSourceObject::ReloadLayers() { return 0; }
int CSourceObject::ReloadShots() { return 0; }
bool CSourceObject::CaptureShot(int) { return false; }
bool CSourceObject::CaptureLayerTransform(int) { return false; }
bool CSourceObject::ApplyLayerTransform(int) { return false; }
bool CSourceObject::ApplyLayerCrop(int) { return false; }
bool CSourceObject::SetLayerVisible(int, bool) { return false; }
bool CSourceObject::SetLayerUvEnabled(int, bool) { return false; }
bool CSourceObject::SaveScreenshot(std::wstring) { return false; }
bool CSourceObject::SetChromaKey() { return false; }
void CSourceObject::EnableChromaKey(bool) {}
bool CSourceObject::SetNoiseSuppression() { return false; }
bool CSourceObject::SetGain() { return false; }
bool CSourceObject::UpdateSettings() { return false; }

obs_sceneitem_t* CSourceObject::GetItem(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_items.size())
        return nullptr;
    return m_items[static_cast<size_t>(index)];
}

bool CSourceObject::IsSetKind() const { return m_info && IsVirtualSetKind(m_info->kind); }

int CSourceObject::ItemIndexForLayer(int layerIndex) const { return IsSetKind() ? layerIndex + 1 : layerIndex; }

void CSourceObject::PostNotification(int32_t code, int32_t value1, int32_t value2)
{
    m_notification.code = code;
    m_notification.value1 = value1;
    m_notification.value2 = value2;
    PostMessage(m_notifyWindow, kSourceNotifyMessage, reinterpret_cast<WPARAM>(this),
                reinterpret_cast<LPARAM>(&m_notification));
}

void CSourceObject::AppendItem(obs_sceneitem_t* item)
{
    if (!item)
        return;
    obs_sceneitem_addref(item);
    m_items.emplace_back(item);
}

void CSourceObject::ReleaseItems() { m_items.clear(); }
