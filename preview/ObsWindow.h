#pragma once
// The preview's drawing and mouse logic, independent of the windowing
// system: the engine display and its draw callback, fitting the canvas into
// the window, selecting, moving and resizing scene items, and dropped files.
// Window operations are left to the derived class.
//
// The draw callback runs on the engine's graphics thread; it reads the fit,
// the edit flag and the shown scene from a copy that the user-interface
// thread publishes under a short lock, and it renders the scene through a
// reference of its own, so a scene replaced meanwhile is never used after it
// is released.
#include "HandleDrag.h"
#include "ObsWindowBase.h"
#include "PreviewPainter.h"
#include "PreviewRedraw.h"

#include <array>
#include <atomic>
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

    // Moves the selected items by an offset in canvas pixels, as the arrow
    // keys do; false when editing is off or nothing is selected.
    bool NudgeSelection(float dx, float dy);

    // Ends a drag or a corner grab as if its button had been let go, without
    // the click that a release without movement makes: the window lost the
    // focus or the button went up where the window could not see it.
    void EndGesture();
    // Whether a button press started a gesture that has not ended.
    bool InGesture() const { return m_leftDown || m_rightDown || m_quadGrabbed >= 0; }

    // The corner mode ("Draw screen"): four points over the canvas, in canvas
    // pixels (top-left, top-right, bottom-right, bottom-left of the picture),
    // each dragged with the mouse; items are neither selected nor moved
    // meanwhile.
    void BeginQuadEdit(const std::array<vec2, 4>& points);
    void EndQuadEdit();
    bool IsQuadEditing() const { return m_quadEditing; }
    const std::array<vec2, 4>& QuadPoints() const { return m_quad; }
    void SetQuadPoint(int index, vec2 point);

    // Removes the draw callback, destroys the buffers in the graphics context
    // and the display, and lets go of the scene and the grabbed item. The
    // derived window calls it before its native window goes.
    void DestroyDisplay();

    // One frame of the preview into the current render target of cx by cy
    // pixels: the draw callback's work. Runs in the graphics context.
    void Render(uint32_t cx, uint32_t cy);

    obs_display_t* GetDisplay() const { return m_display; }
    bool IsEditEnabled() const { return !m_editDisabled; }
    bool GetKeepRatio() const { return m_keepRatio; }
    float GetScale() const { return m_fit.scale; }
    int GetOffsetX() const { return m_fit.offsetX; }
    int GetOffsetY() const { return m_fit.offsetY; }
    int GetPreviewWidth() const { return m_fit.previewWidth; }
    int GetPreviewHeight() const { return m_fit.previewHeight; }
    // Frames the display's draw callback has drawn.
    uint64_t GetFramesDrawn() const { return m_framesDrawn.load(std::memory_order_relaxed); }
    // The display draws while anything it shows changes and rests
    // otherwise; this makes it draw the next frames whatever changed.
    void RequestRedraw() { m_redraw.Request(); }
    const PreviewRedraw& Redraw() const { return m_redraw; }

    // Paths whose UTF-8 form is longer than this are refused on a drop.
    static constexpr size_t kMaxDropPathBytes = 259;

protected:
    // Runs a task later on the user-interface thread; the window that has
    // an event loop passes it on (without one, the task is dropped and the
    // preview's sources are watched again only when the scene is set).
    virtual void RunLater(std::function<void()> task) { (void)task; }

private:
    // Where the canvas sits in the window, and what the draw callback needs.
    struct Fit {
        float scale = 1.0f;
        int previewWidth = 0;
        int previewHeight = 0;
        int offsetX = 0;
        int offsetY = 0;
        int clientWidth = 0;
        int clientHeight = 0;
        bool editEnabled = true;
        bool hasWindow = false;
    };

    static void DrawCallback(void* param, uint32_t cx, uint32_t cy);
    void PublishFit();
    vec2 ToCanvas(int x, int y) const;
    void GrabHandle(vec2 windowPosition);
    void MoveSelection(vec2 position);
    void ClickSelect(vec2 position, int button);
    void Notify(PreviewItemEvent event, obs_sceneitem_t* item);
    bool QuadMouseDown(int x, int y);
    void PublishQuad();

    obs_display_t* m_display = nullptr;
    PreviewPainter m_painter;
    PreviewRedraw m_redraw;
    Fit m_fit;
    bool m_editDisabled = false;
    bool m_keepRatio = false;
    OBSSceneAutoRelease m_scene;
    PreviewItemEventHook m_itemEventHook;

    // Shared with the graphics thread.
    std::mutex m_drawMutex;
    Fit m_drawFit;
    std::atomic<uint64_t> m_framesDrawn{0};

    // Drag state, from button down to button up.
    vec2 m_startPosition{};
    vec2 m_moveOffset{};
    bool m_leftDown = false;
    bool m_rightDown = false;
    bool m_mouseMoved = false;
    bool m_mouseOverSelected = false;
    HandleDrag m_handleDrag;

    // The corner mode; the draw callback reads its copy under the draw lock.
    bool m_quadEditing = false;
    std::array<vec2, 4> m_quad{};
    int m_quadGrabbed = -1;
    bool m_drawQuadEditing = false;
    std::array<vec2, 4> m_drawQuad{};
};
