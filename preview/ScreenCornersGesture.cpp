#include "ScreenCornersGesture.h"

#include <algorithm>

namespace {

// How near a corner a press grabs it, in window pixels.
constexpr float kReachPixels = 12.0f;
constexpr float kCornerHandlePixels = 10.0f;

}  // namespace

vec2 OnCanvas(vec2 point)
{
    const vec2 canvas = EngineCanvasSize();
    return {std::clamp(point.x, 0.0f, canvas.x), std::clamp(point.y, 0.0f, canvas.y)};
}

std::unique_ptr<CanvasGesture> ScreenCornersGesture::Begin(const GestureContext& context, ScreenCorners& corners,
                                                          vec2 start)
{
    const float reach = context.view->WindowToCanvasLength(kReachPixels);
    float best = reach * reach;
    int grabbed = -1;
    for (int i = 0; i < 4; ++i) {
        const vec2 corner = corners[static_cast<size_t>(i)];
        const float dx = corner.x - start.x, dy = corner.y - start.y;
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            grabbed = i;
        }
    }
    if (grabbed < 0)
        return nullptr;
    return std::make_unique<ScreenCornersGesture>(context, corners, grabbed);
}

ScreenCornersGesture::ScreenCornersGesture(const GestureContext& context, ScreenCorners& corners, int corner)
    : CanvasGesture(context), m_corners(corners), m_corner(corner), m_start(corners[static_cast<size_t>(corner)])
{
}

void ScreenCornersGesture::Move(vec2 position) { m_corners[static_cast<size_t>(m_corner)] = OnCanvas(position); }

void ScreenCornersGesture::Cancel() { m_corners[static_cast<size_t>(m_corner)] = m_start; }

void ScreenCornersGesture::DrawOverlay(CanvasOverlay& overlay) const { DrawScreenCorners(m_corners, overlay); }

void DrawScreenCorners(const ScreenCorners& corners, CanvasOverlay& overlay)
{
    // Orange: apart from the red selection and any set's colours.
    for (size_t i = 0; i < 4; ++i) {
        overlay.AddLine(corners[i], corners[(i + 1) % 4], kScreenColour);
        overlay.handles.push_back({corners[i], kCornerHandlePixels, kScreenColour});
    }
}
