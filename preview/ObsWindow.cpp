#include "ObsWindow.h"

#include "NestedSceneDraw.h"

#include "MoveGesture.h"
#include "RotateGesture.h"
#include "RubberBandGesture.h"
#include "SceneItemPicking.h"
#include "model/DroppedFile.h"
#include "platform/LargeAllocations.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <obs-nix-platform.h>
#include <optional>
#include <utility>

namespace {

vec2 Rounded(vec2 point) { return {std::round(point.x), std::round(point.y)}; }

}  // namespace

ObsWindow::ObsWindow()
{
    m_context.scene = nullptr;
    m_context.selection = &m_selection;
    m_context.view = &m_view;
    m_context.guides = &m_guides;
    m_context.keepRatio = &m_keepRatio;
    m_context.modifierDown = [this](int mask) { return IsModifierDown(mask); };
    m_selection.SetChangeHandler([this] {
        if (m_selectionHook)
            m_selectionHook();
    });
}

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
    m_hasWindow = true;
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
        m_composed.Release();
        m_split.Release();
        obs_leave_graphics();
        obs_display_destroy(m_display);
        m_display = nullptr;
    }
    m_hasWindow = false;
    EndGesture();
    SetScene(nullptr);
    Publish();
}

void ObsWindow::SetScene(obs_scene_t* scene)
{
    if (scene == m_scene)
        return;
    // A gesture never carries over into another scene.
    EndGesture();
    OBSSceneAutoRelease replacement = scene ? obs_scene_get_ref(scene) : nullptr;
    {
        std::lock_guard lock(m_drawMutex);
        std::swap(m_scene, replacement);
    }
    m_selection.SetScene(m_scene);
    m_context.scene = m_scene;
    m_redraw.SetScene(m_scene);
    // The split drawing's copies hold the old scene's sources.
    if (m_display)
        ReleaseSplit();
    // The old scene is released here, outside the lock.
}

void ObsWindow::Publish()
{
    CanvasOverlay overlay;
    if (m_gesture)
        m_gesture->DrawOverlay(overlay);
    else if (m_quadEditing)
        DrawScreenCorners(m_quad, overlay);
    {
        std::lock_guard lock(m_drawMutex);
        m_draw.view = m_view;
        m_draw.guides = m_guides;
        m_draw.overlay = std::move(overlay);
        m_draw.editEnabled = !m_editDisabled;
        m_draw.hasWindow = m_hasWindow;
    }
    m_redraw.Request();
}

void ObsWindow::ViewChanged()
{
    Publish();
    if (m_viewHook)
        m_viewHook();
}

void ObsWindow::OnResize(int width, int height)
{
    if (m_display && width > 0 && height > 0)
        obs_display_resize(m_display, uint32_t(width), uint32_t(height));
    const vec2 canvas = EngineCanvasSize();
    // An empty window keeps the last view: there is nothing to click in it.
    m_view.SetCanvasSize(canvas.x, canvas.y);
    m_view.SetWindowSize(width, height);
    ViewChanged();
}

int ObsWindow::GetOffsetX() const { return int(std::lround(m_view.Offset().x)); }

int ObsWindow::GetOffsetY() const { return int(std::lround(m_view.Offset().y)); }

void ObsWindow::SetEditEnabled(bool enabled)
{
    // With editing off the button's release is ignored: the gesture ends here.
    if (!enabled)
        EndGesture();
    m_editDisabled = !enabled;
    Publish();
}

void ObsWindow::SetGuides(const CanvasGuides& guides)
{
    m_guides = guides;
    m_guides.gridSpacing = std::max(guides.gridSpacing, kMinGridSpacing);
    Publish();
}

// ---- navigation ----

void ObsWindow::ZoomStepAt(vec2 windowPoint, int steps)
{
    if (steps == 0)
        return;
    m_view.ZoomAbout(windowPoint, m_view.SteppedZoom(steps));
    ViewChanged();
}

void ObsWindow::ZoomStep(int steps)
{
    ZoomStepAt({float(m_view.WindowWidth()) * 0.5f, float(m_view.WindowHeight()) * 0.5f}, steps);
}

void ObsWindow::ZoomTo(float scale)
{
    m_view.ZoomCentred(scale);
    ViewChanged();
}

void ObsWindow::FitCanvas()
{
    m_view.Fit();
    ViewChanged();
}

void ObsWindow::ShowActualPixels() { ZoomTo(1.0f); }

void ObsWindow::PanBy(vec2 windowDelta)
{
    m_view.PanBy(windowDelta);
    ViewChanged();
}

// ---- draw ----

void ObsWindow::DrawCallback(void* param, uint32_t cx, uint32_t cy)
{
    auto* self = static_cast<ObsWindow*>(param);
    self->Render(cx, cy);
    self->m_framesDrawn.fetch_add(1, std::memory_order_relaxed);
}

void ObsWindow::Render(uint32_t, uint32_t)
{
    DrawState state;
    OBSSceneAutoRelease scene;
    {
        std::lock_guard lock(m_drawMutex);
        state = m_draw;
        if (m_scene)
            scene = obs_scene_get_ref(m_scene);
    }
    const vec2 canvas = EngineCanvasSize();
    if (!state.hasWindow || !scene || !(canvas.x > 0.0f) || !(canvas.y > 0.0f))
        return;
    const ViewTransform& view = state.view;

    gs_viewport_push();
    gs_projection_push();
    // The scene in the part of the window the canvas covers, nothing of it beyond.
    const PixelRect viewport = view.CanvasViewport();
    if (!viewport.Empty()) {
        const OrthoBounds projection = view.CanvasProjection();
        gs_ortho(projection.left, projection.right, projection.top, projection.bottom, -100.0f, 100.0f);
        gs_set_viewport(viewport.x, viewport.y, viewport.width, viewport.height);
        m_painter.DrawCanvas(canvas.x, canvas.y);
        DrawScene(scene, viewport, projection);
    }

    const OrthoBounds overlay = view.OverlayProjection();
    gs_ortho(overlay.left, overlay.right, overlay.top, overlay.bottom, -100.0f, 100.0f);
    // The whole window: the size of the target being drawn, not whichever
    // swap chain the context last used.
    gs_set_viewport(0, 0, view.WindowWidth(), view.WindowHeight());
    gs_matrix_push();
    gs_matrix_scale3f(view.Scale(), view.Scale(), 1.0f);
    if (!view.IsFit())
        m_painter.DrawCanvasFrame(canvas.x, canvas.y);
    m_painter.DrawGuides(state.guides, canvas.x, canvas.y, view.Scale());
    if (state.editEnabled) {
        m_painter.DrawSelection(scene);
        CanvasSelection selection;
        selection.SetScene(scene);
        m_painter.DrawRotateHandle(FindRotateHandle(selection, view));
    }
    m_painter.DrawOverlay(state.overlay, view.Scale());
    gs_matrix_pop();
    gs_projection_pop();
    gs_viewport_pop();
}

void ObsWindow::DrawScene(obs_scene_t* scene, const PixelRect& viewport, const OrthoBounds& projection)
{
    const SceneDraw draw = PlanSceneDraw(scene);
    const float viewScale = float(viewport.width) / (projection.right - projection.left);
    if (!draw.placed) {
        m_composed.Release();
        m_hasLastPlacement = false;
        matrix4 identity;
        matrix4_identity(&identity);
        if (!DrawLayersSplit(scene, identity, viewScale))
            obs_source_video_render(draw.source);
        PrepareSelectedLayer(scene, identity, viewScale);
        return;
    }
    // Only where the layers' canvas lands: the engine's texture of it ends there.
    const ClippedView clipped = ClipView(viewport, projection, draw.clip);
    if (clipped.viewport.Empty())
        return;
    gs_ortho(clipped.projection.left, clipped.projection.right, clipped.projection.top, clipped.projection.bottom,
             -100.0f, 100.0f);
    gs_set_viewport(clipped.viewport.x, clipped.viewport.y, clipped.viewport.width, clipped.viewport.height);
    switch (ChooseLayersDraw(draw, viewScale)) {
    case LayersDraw::Fresh:
        m_composed.Invalidate();
        [[fallthrough]];
    case LayersDraw::Kept:
        m_split.SetAside();
        if (m_composed.Draw(draw.source, m_lastLayersKey, draw.transform)) {
            PrepareSelectedLayer(obs_scene_from_source(draw.source), draw.transform, viewScale);
            return;
        }
        break;
    case LayersDraw::Direct:
        m_composed.Release();
        if (DrawLayersSplit(obs_scene_from_source(draw.source), draw.transform, viewScale))
            return;
        break;
    }
    m_composed.Release();
    gs_matrix_push();
    gs_matrix_mul(&draw.transform);
    obs_source_video_render(draw.source);
    gs_matrix_pop();
}

namespace {

// Screen pixels per pixel of the layers' canvas along its larger axis.
float ScreenScaleOf(const matrix4& transform, float viewScale)
{
    const float across = std::hypot(transform.x.x, transform.x.y), down = std::hypot(transform.y.x, transform.y.y);
    return std::max(across, down) * viewScale;
}

}  // namespace

ObsWindow::LayersDraw ObsWindow::ChooseLayersDraw(const SceneDraw& draw, float viewScale)
{
    const SceneState layers = ReadSceneState(obs_scene_from_source(draw.source));
    // What the layers draw, and the pictures their sources reloaded.
    const uint64_t key = layers.drawn ^ (m_redraw.GetSourceChanges() * 0x9E3779B97F4A7C15ull);
    // Layers that drew the same last frame are drawn from their one
    // composition, kept from frame to frame whether the set rests or moves:
    // when a shot starts moving the set, its first step draws one texture
    // instead of every layer again (for sixteen 4K pictures that frame would
    // take several frames' time, and the engine would drop them). A
    // composition costs about one direct drawing, made once after a change.
    const bool layersSteady = m_hasLastPlacement && !layers.live && key == m_lastLayersKey;
    m_lastLayersKey = key;
    m_hasLastPlacement = true;
    if (layersSteady)
        return LayersDraw::Kept;
    // The set's shots enlarge the composed canvas: where the screen shows it
    // larger than its own pixels, the preview shows that picture, not a
    // sharper one drawn from the layers' pictures.
    if (ScreenScaleOf(draw.transform, viewScale) > kLargestDirectScale)
        return LayersDraw::Fresh;
    return LayersDraw::Direct;
}

bool ObsWindow::DrawLayersSplit(obs_scene_t* layers, const matrix4& transform, float viewScale)
{
    const std::vector<ItemState> items = ReadItemStates(layers);
    const std::optional<size_t> changing = m_changingLayer.Follow(items);
    const float screenScale = ScreenScaleOf(transform, viewScale);
    if (!CanSplit(layers, screenScale)) {
        m_split.Release();
        return false;
    }
    if (!changing) {
        m_split.SetAside();  // its parts serve when that layer changes again
        return false;
    }
    if (m_split.Draw(layers, items, *changing, m_redraw.GetSourceChanges(), transform, screenScale))
        return true;
    m_split.Release();
    return false;
}

bool ObsWindow::CanSplit(obs_scene_t* layers, float screenScale)
{
    return screenScale <= kLargestDirectScale && obs_source_filter_count(obs_scene_get_source(layers)) == 0;
}

namespace {

// The position of the one selected item among the scene's own items.
std::optional<size_t> OnlySelectedItem(obs_scene_t* scene)
{
    struct Search {
        size_t position = 0;
        std::optional<size_t> found;
        bool several = false;
    } search;
    obs_scene_enum_items(
        scene,
        [](obs_scene_t*, obs_sceneitem_t* item, void* param) {
            auto* search = static_cast<Search*>(param);
            if (obs_sceneitem_selected(item)) {
                search->several = search->found.has_value();
                search->found = search->position;
            }
            ++search->position;
            return !search->several;
        },
        &search);
    return search.several ? std::nullopt : search.found;
}

bool AnyLive(const std::vector<ItemState>& items)
{
    return std::any_of(items.begin(), items.end(), [](const ItemState& item) { return item.live; });
}

}  // namespace

void ObsWindow::PrepareSelectedLayer(obs_scene_t* layers, const matrix4& transform, float viewScale)
{
    // Resting means the placement too: a shot's transition moves the layers
    // as a whole, and a composition in the middle of it would cost frames.
    std::vector<ItemState> items = ReadItemStates(layers);
    const bool steady = items == m_restingItems && !AnyLive(items) &&
                        std::memcmp(&transform, &m_restingTransform, sizeof(transform)) == 0 &&
                        viewScale == m_restingViewScale;
    m_restingItems = std::move(items);
    m_restingTransform = transform;
    m_restingViewScale = viewScale;
    m_restingFrames = steady ? m_restingFrames + 1 : 0;
    if (m_restingFrames != kFramesBeforePreparing)
        return;
    const std::optional<size_t> selected = OnlySelectedItem(layers);
    const float screenScale = ScreenScaleOf(transform, viewScale);
    if (selected && *selected < m_restingItems.size() && CanSplit(layers, screenScale))
        m_split.Prepare(layers, m_restingItems, *selected, m_redraw.GetSourceChanges(), screenScale);
    // What the change freed (a replaced picture, a closed set, compositions
    // of the moving frames) goes back to the system once the picture rests.
    platform::GiveBackFreeHeapPages();
}

void ObsWindow::ReleaseSplit()
{
    obs_enter_graphics();
    m_split.Release();
    m_changingLayer.Forget();
    m_restingItems.clear();
    m_restingFrames = 0;
    obs_leave_graphics();
}

// ---- the mouse ----

vec2 ObsWindow::ToCanvas(int x, int y) const { return Rounded(m_view.WindowToCanvas({float(x), float(y)})); }

CanvasHit ObsWindow::HitTest(vec2 windowPoint) const
{
    return HitTestCanvas(m_selection, m_view, m_view.WindowToCanvas(windowPoint));
}

void ObsWindow::OnMouseDown(int button, int x, int y)
{
    const vec2 window{float(x), float(y)};
    // Navigation comes before any gesture and works while editing is off.
    if (button == kMouseMiddle || (button == kMouseLeft && m_panKeyDown)) {
        if (!m_gesture) {
            m_panning = true;
            m_panFrom = window;
        }
        return;
    }
    if (m_quadEditing) {
        if (button == kMouseLeft && !m_gesture) {
            m_gesture = ScreenCornersGesture::Begin(m_context, m_quad, m_view.WindowToCanvas(window));
            Publish();
        }
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
    m_mouseMoved = false;
    const vec2 exact = m_view.WindowToCanvas(window);
    m_startPosition = Rounded(exact);
    m_pressHit = HitTestCanvas(m_selection, m_view, exact);
    m_extend = CanvasSelection::Extends((IsModifierDown(kModifierShift) ? kModifierShift : 0) |
                                        (IsModifierDown(kModifierCtrl) ? kModifierCtrl : 0));
    m_joinedOnPress = false;
    if (button != kMouseLeft || !m_scene || m_gesture)
        return;
    switch (m_pressHit.kind) {
    case CanvasHitKind::RotateHandle:
        m_gesture = RotateGesture::Begin(m_context, exact);
        break;
    case CanvasHitKind::ResizeHandle:
        m_gesture = ResizeGesture::Begin(m_context, m_pressHit.handle);
        break;
    case CanvasHitKind::Item:
        m_joinedOnPress = m_selection.AddOnPress(m_pressHit.item, m_extend);
        if (m_joinedOnPress)
            Notify(PreviewItemEvent::Selected, m_pressHit.item);
        break;
    default:
        break;
    }
    Publish();
}

void ObsWindow::StartDrag()
{
    // The design's rule: dragging an unselected item selects it and moves
    // it; a drag from empty canvas draws a rubber band.
    bool overSelected = IsOverSelectedItem(m_scene, m_startPosition);
    if (!overSelected) {
        obs_sceneitem_t* item = ItemAtPosition(m_scene, m_startPosition, true);
        if (!item) {
            m_gesture = RubberBandGesture::Begin(m_context, m_startPosition, m_extend);
            return;
        }
        m_selection.SelectOnly(item);
        Notify(PreviewItemEvent::Selected, item);
        overSelected = IsOverSelectedItem(m_scene, m_startPosition);
    }
    if (overSelected)
        m_gesture = MoveGesture::Begin(m_context, m_startPosition);
}

void ObsWindow::OnMouseMove(int, int x, int y)
{
    const vec2 window{float(x), float(y)};
    if (m_panning) {
        PanBy({window.x - m_panFrom.x, window.y - m_panFrom.y});
        m_panFrom = window;
        return;
    }
    if (m_pointerHook)
        m_pointerHook(true, m_view.WindowToCanvas(window));
    if (m_quadEditing) {
        if (m_gesture) {
            m_gesture->Move(m_view.WindowToCanvas(window));
            Publish();
        }
        return;
    }
    if (m_editDisabled || !m_scene || !m_leftDown)
        return;
    if (!m_gesture && !m_mouseMoved)
        StartDrag();
    if (m_gesture) {
        m_gesture->Move(ToCanvas(x, y));
        Publish();
        NotifyGestureChange();
    }
    m_mouseMoved = true;
}

void ObsWindow::PointerLeft()
{
    if (m_pointerHook)
        m_pointerHook(false, {});
}

void ObsWindow::NotifyGestureChange()
{
    if (m_gesture && m_gesture->ChangesItems())
        Notify(PreviewItemEvent::Transformed, m_gesture->ChangedItem());
}

void ObsWindow::OnMouseUp(int button, int x, int y)
{
    if (m_panning && (button == kMouseMiddle || button == kMouseLeft)) {
        m_panning = false;
        return;
    }
    if (m_quadEditing) {
        if (button == kMouseLeft)
            FinishGesture();
        return;
    }
    if (m_editDisabled || (!m_leftDown && !m_rightDown))
        return;
    const vec2 position = m_view.WindowToCanvas({float(x), float(y)});
    if (m_gesture)
        FinishGesture();
    else if (!m_mouseMoved && m_scene)
        ClickSelect(position, button);
    ResetPress();
}

void ObsWindow::ResetPress()
{
    m_leftDown = false;
    m_rightDown = false;
    m_mouseMoved = false;
    m_joinedOnPress = false;
    m_pressHit = {};
}

void ObsWindow::FinishGesture()
{
    if (!m_gesture)
        return;
    std::unique_ptr<CanvasGesture> gesture = std::move(m_gesture);
    gesture->Finish();
    Publish();
}

bool ObsWindow::CancelGesture()
{
    if (!m_gesture)
        return false;
    std::unique_ptr<CanvasGesture> gesture = std::move(m_gesture);
    gesture->Cancel();
    const bool changesItems = gesture->ChangesItems();
    obs_sceneitem_t* item = gesture->ChangedItem();
    gesture.reset();
    // The rest of the drag does nothing until the button goes up.
    ResetPress();
    Publish();
    if (changesItems)
        Notify(PreviewItemEvent::Transformed, item);
    return true;
}

void ObsWindow::ClickSelect(vec2 position, int button)
{
    // A right click keeps a selection it lands on, for a context menu.
    if (button == kMouseRight && SelectedItemAtPosition(m_scene, position))
        return;
    if (button != kMouseLeft && button != kMouseRight)
        return;
    if (button == kMouseLeft && m_extend) {
        // Shift or Ctrl: the topmost item there joins or leaves the selection.
        if (m_joinedOnPress)
            return;
        obs_sceneitem_t* item = ItemAtPosition(m_scene, position, false);
        m_selection.Click(item, true);
        Notify(PreviewItemEvent::Selected, item);
        return;
    }
    obs_sceneitem_t* item = ItemAtPosition(m_scene, position, true);
    m_selection.Click(item, false);
    Notify(PreviewItemEvent::Selected, item);
}

void ObsWindow::EndGesture()
{
    FinishGesture();
    ResetPress();
    m_panning = false;
}

void ObsWindow::SelectAll()
{
    if (m_editDisabled || !m_scene || m_quadEditing)
        return;
    m_selection.SelectAll();
    Notify(PreviewItemEvent::Selected, nullptr);
}

void ObsWindow::ClearSelection()
{
    if (m_editDisabled || !m_scene || m_quadEditing)
        return;
    m_selection.Clear();
    Notify(PreviewItemEvent::Selected, nullptr);
}

bool ObsWindow::NudgeSelection(float dx, float dy)
{
    if (m_editDisabled || !m_scene || InGesture() || m_selection.Bounds().Empty())
        return false;
    MoveSelectedItems(m_scene, vec2{dx, dy});
    Notify(PreviewItemEvent::Transformed, nullptr);
    return true;
}

// ---- the corner mode ----

void ObsWindow::BeginQuadEdit(const ScreenCorners& points)
{
    EndGesture();
    m_quad = points;
    m_quadEditing = true;
    Publish();
}

void ObsWindow::EndQuadEdit()
{
    m_gesture.reset();
    m_quadEditing = false;
    Publish();
}

void ObsWindow::SetQuadPoint(int index, vec2 point)
{
    if (!m_quadEditing || index < 0 || index > 3)
        return;
    m_quad[static_cast<size_t>(index)] = OnCanvas(point);
    Publish();
}

// ---- files ----

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
