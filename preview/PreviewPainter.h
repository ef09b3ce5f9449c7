#pragma once
// What the preview draws with the solid effect: the black canvas, the
// guides, the overlay of the selected items (outline, cropped sides in
// green, eight handles of 8 window pixels at any zoom, the rotate handle)
// and the shapes of the running gesture. Every call runs in the graphics
// context; the overlay calls with a matrix that maps canvas pixels to window
// pixels.
#include "CanvasOverlay.h"
#include "RotateGesture.h"
#include "Snapping.h"

#include <graphics/vec2.h>
#include <obs.h>
#include <utility>
#include <vector>

class PreviewPainter {
public:
    PreviewPainter() = default;
    ~PreviewPainter();
    PreviewPainter(const PreviewPainter&) = delete;
    PreviewPainter& operator=(const PreviewPainter&) = delete;

    // Records the five unit vertex lists: the box outline and its four edges.
    void CreateBuffers();
    void DestroyBuffers();
    bool HasBuffers() const { return m_box != nullptr; }

    // Fills the canvas (width by height in canvas units) with opaque black.
    void DrawCanvas(float width, float height);
    // The overlay of every selected, unlocked item with video, at any depth.
    // The current matrix maps canvas units to window pixels.
    void DrawSelection(obs_scene_t* scene);
    // The rotate handle and the stem joining it to the selection's top edge.
    void DrawRotateHandle(const RotateHandle& handle);
    // Safe areas, centre lines and the grid over a canvas of width by
    // height; scale is window pixels per canvas pixel (a grid finer than a
    // few window pixels is left out).
    void DrawGuides(const CanvasGuides& guides, float width, float height, float scale);
    // A thin frame around the canvas, where it is zoomed or panned away from the fit.
    void DrawCanvasFrame(float width, float height);
    // The gesture's shapes; scale is window pixels per canvas pixel.
    void DrawOverlay(const CanvasOverlay& overlay, float scale);

private:
    struct Colour {
        float r, g, b, a;
    };
    static constexpr Colour kSelectionColour{1, 0, 0, 1};
    static constexpr Colour kGridColour{0.6f, 0.6f, 0.6f, 0.35f};
    static constexpr Colour kCentreLineColour{0.0f, 0.85f, 1.0f, 0.8f};
    static constexpr Colour kActionSafeColour{1.0f, 0.85f, 0.0f, 0.85f};
    static constexpr Colour kTitleSafeColour{0.3f, 1.0f, 0.3f, 0.85f};
    static constexpr Colour kCanvasFrameColour{0.45f, 0.45f, 0.45f, 1.0f};
    void BeginSolid(Colour colour);
    void EndSolid();
    void SetColour(Colour colour);
    void DrawItemOverlay(obs_sceneitem_t* item);
    void DrawHandles();
    void DrawHandleAt(vec2 windowPoint, float size);
    void DrawLines(const std::vector<std::pair<vec2, vec2>>& lines, Colour colour);
    void DrawOutline(obs_sceneitem_t* item);

    gs_vertbuffer_t* m_box = nullptr;
    gs_vertbuffer_t* m_left = nullptr;
    gs_vertbuffer_t* m_top = nullptr;
    gs_vertbuffer_t* m_right = nullptr;
    gs_vertbuffer_t* m_bottom = nullptr;
    gs_effect_t* m_solid = nullptr;
    gs_technique_t* m_technique = nullptr;
};
