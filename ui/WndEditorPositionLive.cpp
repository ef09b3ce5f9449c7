// The Layers page's live pictures for replaceable layers and its
// "Draw screen" mode, which makes a layer's UV map from four corners drawn
// on the preview.
#include "WndEditorPosition.h"

#include "formats/SceneRecords.h"
#include "formats/UvMapMaker.h"
#include "lumora/ControlId.h"
#include "lumora/GdiplusButton.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "preview/ObsQtWindow.h"
#include "ui/MessageBox.h"
#include "ui/ShellDialogs.h"

#include <QMenu>

#include <algorithm>

namespace {

constexpr int kLiveTop = 548;

bool CanvasSize(uint32_t& width, uint32_t& height)
{
    obs_video_info video{};
    if (!obs_get_video_info(&video) || video.base_width == 0 || video.base_height == 0)
        return false;
    width = video.base_width;
    height = video.base_height;
    return true;
}

// The layer's box on the canvas, where its screen most likely is.
std::array<vec2, 4> LayerCorners(const LayerInfo& layer, float width, float height)
{
    const float cx = (layer.x + 1.0f) / 2.0f * width, cy = (1.0f - layer.y) / 2.0f * height;
    const float halfWidth = std::clamp(layer.zoomX, 0.05f, 1.0f) * width / 2.0f;
    const float halfHeight = std::clamp(layer.zoomY, 0.05f, 1.0f) * height / 2.0f;
    auto at = [&](float x, float y) { return vec2{std::clamp(x, 0.0f, width), std::clamp(y, 0.0f, height)}; };
    return {at(cx - halfWidth, cy - halfHeight), at(cx + halfWidth, cy - halfHeight), at(cx + halfWidth, cy + halfHeight),
            at(cx - halfWidth, cy + halfHeight)};
}

// "screen-uv<n>.png" in the set folder, the first that does not exist: a map
// in use by a layer is never written over.
std::wstring FreeScreenMapPath(const std::wstring& folder)
{
    for (int n = 1;; ++n) {
        const std::wstring path = platform::JoinPath(folder, L"screen-uv" + std::to_wstring(n) + L".png");
        if (!platform::PathExists(path))
            return path;
    }
}

}  // namespace

void CWndEditorPosition::CreateLiveButtons()
{
    const int width = (376 - 24 - 10) / 2;  // the page's width, as the previews above
    m_liveButton = new CGdiplusButton(this);
    lumora::SetControlId(m_liveButton, kLiveSourceButtonId);
    m_liveButton->setText(QString::fromStdWString(Lang::LoadLangString(912)));
    m_liveButton->setGeometry(24, kLiveTop, width, 28);
    m_drawButton = new CGdiplusButton(this);
    lumora::SetControlId(m_drawButton, kDrawScreenButtonId);
    m_drawButton->setText(QString::fromStdWString(Lang::LoadLangString(919)));
    m_drawButton->SetToolTipText(QString::fromStdWString(Lang::LoadLangString(921)));
    m_drawButton->setGeometry(34 + width, kLiveTop, width, 28);
}

void CWndEditorPosition::UpdateLiveButtons()
{
    if (!m_liveButton)
        return;
    const LayerInfo* layer = HasRow(m_current) ? &m_scene->GetLayers()[static_cast<size_t>(m_current)] : nullptr;
    const bool replaceable = layer && layer->dynamic != 0;
    const bool mapped = layer && !LayerUvPath(*layer).empty();
    m_liveButton->setEnabled(replaceable || HasLiveSource(m_current));
    m_drawButton->setEnabled(IsDrawingScreen() || replaceable || mapped);
    m_drawButton->setText(QString::fromStdWString(Lang::LoadLangString(IsDrawingScreen() ? 920 : 919)));  // lang-ids: 919 920
}

int CWndEditorPosition::FindLive(int row) const
{
    obs_sceneitem_t* item = HasRow(row) ? m_scene->GetItem(row + 1) : nullptr;
    for (size_t i = 0; item && i < m_live.size(); ++i) {
        if (m_live[i].item == item)
            return static_cast<int>(i);
    }
    return -1;
}

bool CWndEditorPosition::HasLiveSource(int row) const { return FindLive(row) >= 0; }

void CWndEditorPosition::ForgetLiveSources() { m_live.clear(); }

void CWndEditorPosition::PruneLiveSources()
{
    const size_t items = m_scene ? m_scene->GetItemCount() : 0;
    std::erase_if(m_live, [&](const LiveLayer& entry) {
        for (size_t i = 1; i < items; ++i) {
            if (m_scene->GetItem(static_cast<int>(i)) == entry.item)
                return false;
        }
        return true;
    });
}

bool CWndEditorPosition::PlaceLive(int row, std::unique_ptr<CLiveSource> live)
{
    if (!live || !HasRow(row))
        return false;
    m_writing = true;
    const bool placed = m_scene->PlaceSourceInLayerAt(row, live->Source());
    m_writing = false;
    if (!placed)
        return false;
    // The item shown before (a live picture too, perhaps) has left the set.
    PruneLiveSources();
    m_live.push_back(LiveLayer{OBSSceneItem(m_scene->GetItem(row + 1)), std::move(live)});
    UpdateLiveButtons();
    return true;
}

bool CWndEditorPosition::ShowTestPattern(int row) { return PlaceLive(row, CLiveSource::MakeTestPattern()); }

bool CWndEditorPosition::ShowMediaFile(int row, const std::wstring& path)
{
    return PlaceLive(row, CLiveSource::MakeMediaFile(path));
}

bool CWndEditorPosition::ShowCamera(int row, const CameraDevice& camera)
{
    std::string error;
    std::unique_ptr<CLiveSource> live = CLiveSource::MakeCamera(camera, error);
    if (!live) {
        ShowMessageBox(this, Lang::FormatLangString(918, platform::Utf8ToWide(error)));
        return false;
    }
    return PlaceLive(row, std::move(live));
}

bool CWndEditorPosition::ShowLayerPicture(int row)
{
    if (!HasLiveSource(row))
        return false;
    m_writing = true;
    const bool placed = m_scene->PlaceSourceInLayerAt(row, nullptr);
    m_writing = false;
    PruneLiveSources();
    UpdateLiveButtons();
    return placed;
}

void CWndEditorPosition::OnLiveMenu()
{
    if (!HasRow(m_current))
        return;
    const int row = m_current;
    QMenu menu(this);
    QAction* pattern = menu.addAction(QString::fromStdWString(Lang::LoadLangString(913)));
    QAction* media = menu.addAction(QString::fromStdWString(Lang::LoadLangString(914)));
    QMenu* cameraMenu = menu.addMenu(QString::fromStdWString(Lang::LoadLangString(915)));
    const std::vector<CameraDevice> cameras = ListCameras();
    for (size_t i = 0; i < cameras.size(); ++i)
        cameraMenu->addAction(QString::fromStdString(cameras[i].name))->setData(static_cast<int>(i));
    if (cameras.empty())
        cameraMenu->addAction(QString::fromStdWString(Lang::LoadLangString(916)))->setEnabled(false);
    menu.addSeparator();
    QAction* picture = menu.addAction(QString::fromStdWString(Lang::LoadLangString(917)));
    picture->setEnabled(HasLiveSource(row));
    QAction* chosen = menu.exec(m_liveButton->mapToGlobal(QPoint(0, m_liveButton->height())));
    if (!chosen)
        return;
    if (chosen == pattern) {
        ShowTestPattern(row);
    } else if (chosen == media) {
        FileDialogRequest request;
        request.filter = L"Media(*.mp4;*.mov;*.mkv;*.webm;*.avi;*.gif)|*.mp4;*.mov;*.mkv;*.webm;*.avi;*.gif||";
        request.folderKey = L"Media";
        const std::wstring file = ChooseFile(this, request);
        if (!file.empty())
            ShowMediaFile(row, file);
    } else if (chosen == picture) {
        ShowLayerPicture(row);
    } else if (chosen->data().isValid()) {
        ShowCamera(row, cameras[static_cast<size_t>(chosen->data().toInt())]);
    }
}

void CWndEditorPosition::hideEvent(QHideEvent* event)
{
    if (IsDrawingScreen())
        CancelDrawScreen();
    CWndEditorBase::hideEvent(event);
}

void CWndEditorPosition::StartDrawScreen()
{
    ObsQtWindow* preview = GetPreview();
    uint32_t width = 0, height = 0;
    if (!preview || !HasRow(m_current) || !CanvasSize(width, height))
        return;
    m_drawRow = m_current;
    preview->SetQuadHooks([this] { ApplyDrawnScreen(); }, [this] { CancelDrawScreen(); });
    preview->BeginQuadEdit(LayerCorners(m_scene->GetLayers()[static_cast<size_t>(m_drawRow)], float(width), float(height)));
    preview->setFocus();
    UpdateLiveButtons();
}

void CWndEditorPosition::CancelDrawScreen()
{
    if (ObsQtWindow* preview = GetPreview())
        preview->EndQuadEdit();
    m_drawRow = -1;
    UpdateLiveButtons();
}

bool CWndEditorPosition::ApplyDrawnScreen()
{
    ObsQtWindow* preview = GetPreview();
    const int row = m_drawRow;
    uint32_t width = 0, height = 0;
    if (!preview || !HasRow(row) || !m_scene->GetInfo() || !CanvasSize(width, height)) {
        CancelDrawScreen();
        return false;
    }
    UvQuad quad;
    for (int i = 0; i < 4; ++i) {
        quad.x[i] = preview->QuadPoints()[static_cast<size_t>(i)].x;
        quad.y[i] = preview->QuadPoints()[static_cast<size_t>(i)].y;
    }
    const std::wstring path = FreeScreenMapPath(platform::FolderPart(m_scene->GetInfo()->path));
    std::string error;
    if (!WriteUvMapFile(path, width, height, quad, error)) {
        // The corners stay for another try.
        ShowMessageBox(this, Lang::FormatLangString(922, platform::Utf8ToWide(error)));
        return false;
    }
    CancelDrawScreen();
    // The map covers the canvas: the layer is placed over all of it.
    LayerInfo& layer = m_scene->GetLayers()[static_cast<size_t>(row)];
    layer.x = layer.y = 0.0f;
    layer.zoomX = layer.zoomY = 1.0f;
    layer.rotateX = layer.rotateY = layer.rotateZ = 0.0f;
    layer.cropLeft = layer.cropTop = layer.cropRight = layer.cropBottom = 0.0f;
    m_writing = true;
    m_scene->SetLayerUvMap(row, true, path);
    m_scene->ApplyLayerTransform(row);
    m_writing = false;
    // A live picture shown there goes through the new map at once.
    if (const int shown = FindLive(row); shown >= 0) {
        std::unique_ptr<CLiveSource> live = std::move(m_live[static_cast<size_t>(shown)].live);
        m_live.erase(m_live.begin() + shown);
        PlaceLive(row, std::move(live));
    }
    LoadRow(row);
    return true;
}
