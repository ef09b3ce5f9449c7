#include "ObsWindow.h"

#include "SceneItemPicking.h"
#include "SelectionMove.h"
#include "model/DroppedFile.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <obs-nix-platform.h>
#include <utility>

namespace {

constexpr float kGrabRadiusPixels = 6.0f;
constexpr float kSnapDistancePixels = 10.0f;

bool VideoBaseSize(float& width, float& height)
{
    obs_video_info info;
    if (!obs_get_video_info(&info))
        return false;
    width = float(info.base_width);
    height = float(info.base_height);
    return true;
}

}  // namespace

ObsWindow::ObsWindow() = default;

ObsWindow::~ObsWindow()
{
    DestroyDisplay();
}

bool ObsWindow::CreateDisplay()
{
    if (m_display)
        return false;
    const NativeWindowId window = GetHandle();
    if (!window) {
        blog(LOG_WARNING, "window not created cant create display");
        return false;
    }
    const ClientSize size = GetClientSize();
    gs_init_data init = {};
    init.window.id = window;
    init.window.display = obs_get_nix_platform_display();
    init.cx = uint32_t(std::max(size.width, 1));
    init.cy = uint32_t(std::max(size.height, 1));
    init.num_backbuffers = 0;
    init.format = GS_RGBA;
    init.zsformat = GS_ZS_NONE;
    init.adapter = 0;
    m_display = obs_display_create(&init, 0);
    if (!m_display) {
        blog(LOG_WARNING, "preview display could not be created");
        return false;
    }
    obs_enter_graphics();
    m_painter.CreateBuffers();
    obs_leave_graphics();
    m_fit.hasWindow = true;
    OnResize(size.width, size.height);
    obs_display_add_draw_callback(m_display, DrawCallback, this);
    m_redraw.SetScene(m_scene);
    m_redraw.Start(m_display, [this](std::function<void()> task) { RunLater(std::move(task)); });
    return true;
}

void ObsWindow::DestroyDisplay()
{
    m_redraw.Stop();
    if (m_display) {
        // Once removed, the callback no longer runs: libobs holds the display's
        // callback lock while drawing.
        obs_display_remove_draw_callback(m_display, DrawCallback, this);
        obs_enter_graphics();
        m_painter.DestroyBuffers();
        obs_leave_graphics();
        obs_display_destroy(m_display);
        m_display = nullptr;
    }
    m_fit.hasWindow = false;
    PublishFit();
    EndGesture();
    SetScene(nullptr);
}

void ObsWindow::SetScene(obs_scene_t* scene)
{
    if (scene == m_scene)
        return;
    // A drag never carries over into another scene.
    EndGesture();
    OBSSceneAutoRelease replacement = scene ? obs_scene_get_ref(scene) : nullptr;
    {
        std::lock_guard lock(m_drawMutex);
        std::swap(m_scene, replacement);
    }
    m_redraw.SetScene(m_scene);
    // The old scene is released here, outside the lock.
}

void ObsWindow::PublishFit()
{
    m_fit.editEnabled = !m_editDisabled;
    {
        std::lock_guard lock(m_drawMutex);
        m_drawFit = m_fit;
    }
    m_redraw.Request();
}

void ObsWindow::OnResize(int width, int height)
{
    if (m_display && width > 0 && height > 0)
        obs_display_resize(m_display, uint32_t(width), uint32_t(height));
    m_fit.clientWidth = width;
    m_fit.clientHeight = height;
    float baseWidth = 0, baseHeight = 0;
    // An empty window keeps the last fit: there is nothing to click in it.
    if (width > 0 && height > 0 && VideoBaseSize(baseWidth, baseHeight) && baseWidth > 0 && baseHeight > 0) {
        const double canvasAspect = double(baseWidth) / double(baseHeight);
        int fittedWidth, fittedHeight;
        if (double(width) / double(height) > canvasAspect) {
            m_fit.scale = float(height) / baseHeight;
            fittedWidth = int(height * canvasAspect);
            fittedHeight = height;
        } else {
            m_fit.scale = float(width) / baseWidth;
            fittedWidth = width;
            fittedHeight = int(width / canvasAspect);
        }
        m_fit.previewWidth = fittedWidth;
        m_fit.previewHeight = fittedHeight;
        m_fit.offsetX = width / 2 - fittedWidth / 2;
        m_fit.offsetY = height / 2 - fittedHeight / 2;
    }
    PublishFit();
}

void ObsWindow::SetEditEnabled(bool enabled)
{
    // With editing off the button's release is ignored: the gesture ends here.
    if (!enabled)
        EndGesture();
    m_editDisabled = !enabled;
    PublishFit();
}

void ObsWindow::EndGesture()
{
    m_handleDrag.End();
    m_leftDown = m_rightDown = m_mouseMoved = m_mouseOverSelected = false;
    m_quadGrabbed = -1;
}

void ObsWindow::DrawCallback(void* param, uint32_t cx, uint32_t cy)
{
    auto* self = static_cast<ObsWindow*>(param);
    self->Render(cx, cy);
    self->m_framesDrawn.fetch_add(1, std::memory_order_relaxed);
}

void ObsWindow::Render(uint32_t, uint32_t)
{
    Fit fit;
    OBSSceneAutoRelease scene;
    bool quadEditing = false;
    vec2 quad[4];
    {
        std::lock_guard lock(m_drawMutex);
        fit = m_drawFit;
        quadEditing = m_drawQuadEditing;
        for (int i = 0; i < 4; ++i)
            quad[i] = m_drawQuad[static_cast<size_t>(i)];
        if (m_scene)
            scene = obs_scene_get_ref(m_scene);
    }
    float baseWidth = 0, baseHeight = 0;
    if (!fit.hasWindow || !scene || !VideoBaseSize(baseWidth, baseHeight))
        return;

    gs_viewport_push();
    gs_projection_push();
    gs_ortho(0.0f, baseWidth, 0.0f, baseHeight, -100.0f, 100.0f);
    gs_set_viewport(fit.offsetX, fit.offsetY, int(baseWidth * fit.scale), int(baseHeight * fit.scale));
    m_painter.DrawCanvas(baseWidth, baseHeight);
    obs_source_video_render(obs_scene_get_source(scene));

    gs_ortho(float(-fit.offsetX), float(fit.clientWidth - fit.offsetX), float(-fit.offsetY),
             float(fit.clientHeight - fit.offsetY), -100.0f, 100.0f);
    // The whole window: the size of the target being drawn, not whichever
    // swap chain the context last used.
    gs_set_viewport(0, 0, fit.clientWidth, fit.clientHeight);
    if (fit.editEnabled) {
        gs_matrix_push();
        gs_matrix_scale3f(fit.scale, fit.scale, 1.0f);
        m_painter.DrawSelection(scene);
        gs_matrix_pop();
    }
    if (quadEditing) {
        gs_matrix_push();
        gs_matrix_scale3f(fit.scale, fit.scale, 1.0f);
        m_painter.DrawQuad(quad, fit.scale);
        gs_matrix_pop();
    }
    gs_projection_pop();
    gs_viewport_pop();
}

vec2 ObsWindow::ToCanvas(int x, int y) const
{
    return {std::round(float(x - m_fit.offsetX) / m_fit.scale), std::round(float(y - m_fit.offsetY) / m_fit.scale)};
}

void ObsWindow::GrabHandle(vec2 windowPosition)
{
    if (!m_scene)
        return;
    const vec2 position{windowPosition.x / m_fit.scale, windowPosition.y / m_fit.scale};
    m_handleDrag.Begin(FindHandle(m_scene, position, kGrabRadiusPixels / m_fit.scale));
}

void ObsWindow::BeginQuadEdit(const std::array<vec2, 4>& points)
{
    m_quad = points;
    m_quadEditing = true;
    m_quadGrabbed = -1;
    PublishQuad();
}

void ObsWindow::EndQuadEdit()
{
    m_quadEditing = false;
    m_quadGrabbed = -1;
    PublishQuad();
}

void ObsWindow::SetQuadPoint(int index, vec2 point)
{
    if (!m_quadEditing || index < 0 || index > 3)
        return;
    float width = 0, height = 0;
    VideoBaseSize(width, height);
    // A point stays on the canvas, where the map can hold it.
    m_quad[static_cast<size_t>(index)] = {std::clamp(point.x, 0.0f, width), std::clamp(point.y, 0.0f, height)};
    PublishQuad();
}

void ObsWindow::PublishQuad()
{
    {
        std::lock_guard lock(m_drawMutex);
        m_drawQuadEditing = m_quadEditing;
        m_drawQuad = m_quad;
    }
    m_redraw.Request();
}

bool ObsWindow::QuadMouseDown(int x, int y)
{
    // The nearest point within a handle's reach in window pixels.
    const float reach = 12.0f;
    m_quadGrabbed = -1;
    float best = reach * reach;
    for (int i = 0; i < 4; ++i) {
        const float dx = m_quad[static_cast<size_t>(i)].x * m_fit.scale + m_fit.offsetX - float(x);
        const float dy = m_quad[static_cast<size_t>(i)].y * m_fit.scale + m_fit.offsetY - float(y);
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            m_quadGrabbed = i;
        }
    }
    return m_quadGrabbed >= 0;
}

void ObsWindow::OnMouseDown(int button, int x, int y)
{
    if (m_quadEditing) {
        if (button == kMouseLeft)
            QuadMouseDown(x, y);
        return;
    }
    if (m_editDisabled)
        return;
    if (button == kMouseLeft)
        m_leftDown = true;
    else if (button == kMouseRight)
        m_rightDown = true;
    else
        return;
    const vec2 start{float(x - m_fit.offsetX), float(y - m_fit.offsetY)};
    GrabHandle(start);
    m_startPosition = {std::round(start.x / m_fit.scale), std::round(start.y / m_fit.scale)};
    m_mouseOverSelected = m_scene && IsOverSelectedItem(m_scene, m_startPosition);
    m_moveOffset = {0.0f, 0.0f};
}

void ObsWindow::OnMouseMove(int, int x, int y)
{
    if (m_quadEditing) {
        if (m_quadGrabbed >= 0)
            SetQuadPoint(m_quadGrabbed, vec2{float(x - m_fit.offsetX) / m_fit.scale, float(y - m_fit.offsetY) / m_fit.scale});
        return;
    }
    if (m_editDisabled || !m_scene || !m_leftDown)
        return;
    if (!m_mouseMoved && !m_handleDrag.Active() && !m_mouseOverSelected) {
        obs_sceneitem_t* item = ItemAtPosition(m_scene, m_startPosition, true);
        SelectExclusively(m_scene, item);
        m_mouseOverSelected = IsOverSelectedItem(m_scene, m_startPosition);
        Notify(PreviewItemEvent::Selected, item);
    }
    const vec2 position = ToCanvas(x, y);
    if (m_handleDrag.Active()) {
        m_handleDrag.ResizeTo(m_handleDrag.IntoGroupFrame(position), m_keepRatio || IsModifierDown(kModifierCtrl));
        Notify(PreviewItemEvent::Transformed, m_handleDrag.Item());
    } else if (m_mouseOverSelected) {
        MoveSelection(position);
    }
    m_mouseMoved = true;
}

void ObsWindow::MoveSelection(vec2 position)
{
    vec2 offset{position.x - m_startPosition.x - m_moveOffset.x, position.y - m_startPosition.y - m_moveOffset.y};
    if (!IsModifierDown(kModifierCtrl)) {
        float width = 0, height = 0;
        VideoBaseSize(width, height);
        const vec2 snap = SnapCorrection(m_scene, offset, kSnapDistancePixels / m_fit.scale, width, height);
        offset.x += snap.x;
        offset.y += snap.y;
    }
    m_moveOffset.x += offset.x;
    m_moveOffset.y += offset.y;
    MoveSelectedItems(m_scene, offset);
    Notify(PreviewItemEvent::Transformed, nullptr);
}

bool ObsWindow::NudgeSelection(float dx, float dy)
{
    if (m_editDisabled || !m_scene || m_leftDown || m_rightDown || SelectionBox(m_scene).Empty())
        return false;
    MoveSelectedItems(m_scene, vec2{dx, dy});
    Notify(PreviewItemEvent::Transformed, nullptr);
    return true;
}

void ObsWindow::OnMouseUp(int button, int x, int y)
{
    if (m_quadEditing) {
        m_quadGrabbed = -1;
        return;
    }
    if (m_editDisabled || (!m_leftDown && !m_rightDown))
        return;
    const vec2 position{float(x - m_fit.offsetX) / m_fit.scale, float(y - m_fit.offsetY) / m_fit.scale};
    if (!m_mouseMoved && m_scene)
        ClickSelect(position, button);
    m_handleDrag.End();
    m_leftDown = false;
    m_rightDown = false;
    m_mouseMoved = false;
}

void ObsWindow::ClickSelect(vec2 position, int button)
{
    // A right click keeps a selection it lands on, for a context menu.
    if (button == kMouseRight && SelectedItemAtPosition(m_scene, position))
        return;
    if (button != kMouseLeft && button != kMouseRight)
        return;
    obs_sceneitem_t* item = ItemAtPosition(m_scene, position, true);
    SelectExclusively(m_scene, item);
    Notify(PreviewItemEvent::Selected, item);
}

void ObsWindow::OnDropFile(const char* utf8Path)
{
    if (!m_scene || !utf8Path)
        return;
    const size_t length = std::strlen(utf8Path);
    if (length > kMaxDropPathBytes) {
        blog(LOG_WARNING, "dropped file not added: its path is %zu bytes long, at most %zu fit", length,
             kMaxDropPathBytes);
        return;
    }
    AddDroppedFile(m_scene, platform::WideToAnsi(platform::Utf8ToWide(utf8Path)));
}

void ObsWindow::Notify(PreviewItemEvent event, obs_sceneitem_t* item)
{
    if (m_itemEventHook)
        m_itemEventHook(event, item);
}
