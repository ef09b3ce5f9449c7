#pragma once
// Dragging one of the four corners of a screen being drawn ("Draw screen"):
// the corner follows the pointer, kept on the canvas; Escape puts it back.
#include "CanvasGesture.h"

#include <array>
#include <memory>

using ScreenCorners = std::array<vec2, 4>;  // top-left, top-right, bottom-right, bottom-left

class ScreenCornersGesture : public CanvasGesture {
public:
    // Grabs the corner nearest the press within reach; none when none is.
    static std::unique_ptr<CanvasGesture> Begin(const GestureContext& context, ScreenCorners& corners, vec2 start);

    ScreenCornersGesture(const GestureContext& context, ScreenCorners& corners, int corner);

    void Move(vec2 position) override;
    void Cancel() override;
    void DrawOverlay(CanvasOverlay& overlay) const override;
    bool ChangesItems() const override { return false; }

    int Corner() const { return m_corner; }

private:
    ScreenCorners& m_corners;
    int m_corner;
    vec2 m_start;
};

// The four corners joined in order, each with a handle.
void DrawScreenCorners(const ScreenCorners& corners, CanvasOverlay& overlay);
// A point kept on the canvas, where a map can hold it.
vec2 OnCanvas(vec2 point);
