#pragma once
// The preview's drawing and mouse logic, independent of the windowing
// system: the engine display and its draw callback, the view of the canvas
// (fit, zoom and pan), and the dispatch of the mouse to navigation first and
// then to one gesture at a time (move, resize, rotate, rubber band, a
// screen's corners), chosen by a typed hit test. Window operations are left
// to the derived class.
//
// The draw callback runs on the engine's graphics thread; it reads the view,
// the edit flag, the guides and the gesture's overlay from a copy that the
// user-interface thread publishes under a short lock, and it renders the
// scene through a reference of its own, so a scene replaced meanwhile is
// never used after it is released.
#include "CanvasGesture.h"
#include "CanvasHitTest.h"
#include "ChangingLayer.h"
#include "ComposedScene.h"
#include "SplitComposition.h"
#include "NestedSceneDraw.h"
#include "ObsWindowBase.h"
#include "PreviewPainter.h"
#include "PreviewRedraw.h"
#include "ScreenCornersGesture.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <obs.hpp>

class ObsWindow : public ObsWindowBase {
public:
    ObsWindow();
    ~ObsWindow() override;

    void OnResize(int width, int height) override;
    void SetEditEnabled(bool enabled) override;
    void OnDropFile(const char* utf8Path) override;
    void OnMouseDown(int button, int x, int y) override;
    void OnMouseUp(int button, int x, int y) override;
    void OnMouseMove(int button, int x, int y) override;

    bool CreateDisplay() override;
    void SetScene(obs_scene_t* scene) override;
    obs_scene_t* GetScene() const override { return m_scene; }
    void SetKeepRatio(bool keep) override { m_keepRatio = keep; }
    void SetItemEventHook(PreviewItemEventHook hook) override { m_itemEventHook = std::move(hook); }
    // Called after the view (zoom, pan) changed.
    void SetViewHook(std::function<void()> hook) { m_viewHook = std::move(hook); }
    // Called when the pointer moves over the window (inside, with its canvas
    // position) and when it leaves the window.
    void SetPointerHook(std::function<void(bool, vec2)> hook) { m_pointerHook = std::move(hook); }
    void PointerLeft();
    // Called once after the preview changed the selection.
    void SetSelectionHook(std::function<void()> hook) { m_selectionHook = std::move(hook); }

    // ---- navigation: never changes the scene ----
    const ViewTransform& View() const { return m_view; }
    // Zooms by preset steps (positive: in) about a window point.
    void ZoomStepAt(vec2 windowPoint, int steps);
    // Zooms by preset steps about the window's centre (Ctrl+= and Ctrl+-).
    void ZoomStep(int steps);
    // Zooms to the scale (window pixels per canvas pixel) about the centre.
    void ZoomTo(float scale);
    void FitCanvas();          // Ctrl+0
    void ShowActualPixels();   // Ctrl+1: 100 %
    void PanBy(vec2 windowDelta);
    // While Space is held, the left button pans.
    void SetPanKeyDown(bool down) { m_panKeyDown = down; }
    bool IsPanning() const { return m_panning; }

    // ---- guides ----
    void SetGuides(const CanvasGuides& guides);
    const CanvasGuides& Guides() const { return m_guides; }

    // ---- selection and edits ----
    CanvasSelection& Selection() { return m_selection; }
    const CanvasSelection& Selection() const { return m_selection; }
    // Ctrl+A: every item that can be picked; Escape: none.
    void SelectAll();
    void ClearSelection();
    // What lies under a window point (the context menu asks).
    CanvasHit HitTest(vec2 windowPoint) const;
    // Moves the selected items by an offset in canvas pixels, as the arrow
    // keys do; false when editing is off or nothing is selected.
    bool NudgeSelection(float dx, float dy);

    // Ends a gesture as if its button had been let go, without the click that
    // a release without movement makes: the window lost the focus or the
    // button went up where the window could not see it.
    void EndGesture();
    // Escape: the running gesture puts everything back as it began; false
    // when none runs.
    bool CancelGesture();
    // Whether a button press started a gesture that has not ended.
    bool InGesture() const { return m_leftDown || m_rightDown || m_panning || m_gesture != nullptr; }
    const CanvasGesture* Gesture() const { return m_gesture.get(); }

    // The corner mode ("Draw screen"): four points over the canvas, in canvas
    // pixels (top-left, top-right, bottom-right, bottom-left of the picture),
    // each dragged with the mouse; items are neither selected nor moved
    // meanwhile.
    void BeginQuadEdit(const ScreenCorners& points);
    void EndQuadEdit();
    bool IsQuadEditing() const { return m_quadEditing; }
    const ScreenCorners& QuadPoints() const { return m_quad; }
    void SetQuadPoint(int index, vec2 point);

    // Removes the draw callback, destroys the buffers in the graphics context
    // and the display, and lets go of the scene and the gesture. The derived
    // window calls it before its native window goes.
    void DestroyDisplay();

    // One frame of the preview into the current render target of cx by cy
    // pixels: the draw callback's work. Runs in the graphics context.
    void Render(uint32_t cx, uint32_t cy);

    obs_display_t* GetDisplay() const { return m_display; }
    bool IsEditEnabled() const { return !m_editDisabled; }
    bool GetKeepRatio() const { return m_keepRatio; }
    float GetScale() const { return m_view.Scale(); }
    int GetOffsetX() const;
    int GetOffsetY() const;
    int GetPreviewWidth() const { return m_view.FitWidth(); }
    int GetPreviewHeight() const { return m_view.FitHeight(); }
    // Whether the last frame drew the layers from one composition (while
    // only their placement moved). Read it in the graphics context.
    bool DrewLayersComposed() const { return m_composed.Holds(); }
    // Whether the last frame drew one changing layer apart from the layers
    // under and over it (composed once). Graphics context.
    bool DrewLayersSplit() const { return m_split.Holds(); }
    // Compositions of the layers under and over a layer drawn apart made so
    // far (for the tests). Graphics context.
    uint64_t LayerPartsComposed() const { return m_split.Compositions(); }
    // Frames the display's draw callback has drawn.
    uint64_t GetFramesDrawn() const { return m_framesDrawn.load(std::memory_order_relaxed); }
    // The display draws while anything it shows changes and rests
    // otherwise; this makes it draw the next frames whatever changed.
    void RequestRedraw() { m_redraw.Request(); }
    const PreviewRedraw& Redraw() const { return m_redraw; }
    PreviewRedraw& Redraw() { return m_redraw; }

    // Paths whose UTF-8 form is longer than this are refused on a drop.
    static constexpr size_t kMaxDropPathBytes = 259;

protected:
    // Runs a task later on the user-interface thread; the window that has
    // an event loop passes it on (without one, the task is dropped and the
    // preview's sources are watched again only when the scene is set).
    virtual void RunLater(std::function<void()> task) { (void)task; }
    // The window's pixel ratio, for the view.
    void SetPixelRatio(double ratio) { m_view.SetPixelRatio(ratio); }

private:
    // The scene in the canvas's viewport and projection: the layers' scene
    // straight through its item where it can be (NestedSceneDraw).
    void DrawScene(obs_scene_t* scene, const PixelRect& viewport, const OrthoBounds& projection);
    // How this frame draws the layers placed by a shot: from the kept
    // composition while the layers stay the same (the placement may move),
    // from a fresh one where the screen enlarges the composed canvas,
    // otherwise directly.
    enum class LayersDraw { Direct, Kept, Fresh };
    LayersDraw ChooseLayersDraw(const SceneDraw& draw, float viewScale);
    // The layers with the one layer that keeps changing (a drag, a live
    // picture) drawn apart from the others; false when there is no such
    // layer or it cannot be drawn so, and nothing was drawn.
    bool DrawLayersSplit(obs_scene_t* layers, const matrix4& transform, float viewScale);
    // Whether the layers can be drawn apart at that scale: enlarged, their
    // own pictures show more than compositions would, and a filter on the
    // scene draws it whole.
    static bool CanSplit(obs_scene_t* layers, float screenScale);
    // While the layers rest, the layers under and over the selected one are
    // composed ahead, once: the layer a user drags next or puts a live
    // picture in is then drawn apart from its first frame, instead of that
    // frame composing the others (for sixteen 4K layers, several frames' time).
    void PrepareSelectedLayer(obs_scene_t* layers, const matrix4& transform, float viewScale);
    static constexpr int kFramesBeforePreparing = 3;
    // Lets the split composition and its copies of the sources go.
    void ReleaseSplit();
    // Screen pixels per canvas pixel up to which drawing the layers directly
    // shows no more detail than their composition has.
    static constexpr float kLargestDirectScale = 1.001f;
    // What the draw callback reads.
    struct DrawState {
        ViewTransform view;
        CanvasGuides guides;
        CanvasOverlay overlay;
        bool editEnabled = true;
        bool hasWindow = false;
    };

    static void DrawCallback(void* param, uint32_t cx, uint32_t cy);
    void Publish();
    void ViewChanged();
    vec2 ToCanvas(int x, int y) const;  // rounded to whole canvas pixels
    void StartDrag();
    void ClickSelect(vec2 position, int button);
    void FinishGesture();
    void NotifyGestureChange();
    void Notify(PreviewItemEvent event, obs_sceneitem_t* item);
    void ResetPress();

    obs_display_t* m_display = nullptr;
    PreviewPainter m_painter;
    // Graphics thread only: the layers' composition, and what the last
    // frame drew of them.
    ComposedScene m_composed;
    SplitComposition m_split;
    ChangingLayer m_changingLayer;
    std::vector<ItemState> m_restingItems;  // the layers as the last frame drew them,
    matrix4 m_restingTransform{};           // where it placed them
    float m_restingViewScale = 0.0f;        // and at which scale
    int m_restingFrames = 0;                // frames drawn since any of those changed
    uint64_t m_lastLayersKey = 0;
    bool m_hasLastPlacement = false;
    PreviewRedraw m_redraw;
    ViewTransform m_view;
    bool m_hasWindow = false;
    bool m_editDisabled = false;
    bool m_keepRatio = false;
    OBSSceneAutoRelease m_scene;
    CanvasSelection m_selection;
    CanvasGuides m_guides;
    GestureContext m_context;
    PreviewItemEventHook m_itemEventHook;
    std::function<void()> m_viewHook;
    std::function<void(bool, vec2)> m_pointerHook;
    std::function<void()> m_selectionHook;

    // Shared with the graphics thread.
    std::mutex m_drawMutex;
    DrawState m_draw;
    std::atomic<uint64_t> m_framesDrawn{0};

    // From button down to button up.
    vec2 m_startPosition{};  // canvas pixels, rounded
    CanvasHit m_pressHit;
    bool m_extend = false;   // Shift or Ctrl at the press
    bool m_joinedOnPress = false;
    bool m_leftDown = false;
    bool m_rightDown = false;
    bool m_mouseMoved = false;
    std::unique_ptr<CanvasGesture> m_gesture;

    // Navigation.
    bool m_panKeyDown = false;
    bool m_panning = false;
    vec2 m_panFrom{};

    bool m_quadEditing = false;
    ScreenCorners m_quad{};
};
