#include "ViewTransform.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The zoom steps of Ctrl+=, Ctrl+- and the wheel, in window pixels per canvas pixel.
constexpr float kZoomSteps[] = {0.1f,  0.125f, 1.0f / 6.0f, 0.25f, 1.0f / 3.0f, 0.5f, 2.0f / 3.0f,
                                1.0f,  1.5f,   2.0f,        3.0f,  4.0f,        6.0f, 8.0f};
// What of the canvas stays in the window however far it is panned.
constexpr float kKeptStrip = 32.0f;

}  // namespace

void ViewTransform::SetWindowSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    m_windowWidth = width;
    m_windowHeight = height;
    ComputeFit();
    ClampPan();
}

void ViewTransform::SetCanvasSize(float width, float height)
{
    if (!(width > 0.0f) || !(height > 0.0f))
        return;
    m_canvasWidth = width;
    m_canvasHeight = height;
    ComputeFit();
    ClampPan();
}

void ViewTransform::SetPixelRatio(double ratio)
{
    if (ratio > 0.0)
        m_pixelRatio = ratio;
}

void ViewTransform::ComputeFit()
{
    if (m_windowWidth <= 0 || m_windowHeight <= 0 || m_canvasWidth <= 0.0f || m_canvasHeight <= 0.0f)
        return;
    const int w = m_windowWidth;
    const int h = m_windowHeight;
    const double canvasAspect = double(m_canvasWidth) / double(m_canvasHeight);
    if (double(w) / double(h) > canvasAspect) {
        m_fitScale = float(h) / m_canvasHeight;
        m_fitWidth = int(h * canvasAspect);
        m_fitHeight = h;
    } else {
        m_fitScale = float(w) / m_canvasWidth;
        m_fitWidth = w;
        m_fitHeight = int(w / canvasAspect);
    }
    m_fitOffsetX = w / 2 - m_fitWidth / 2;
    m_fitOffsetY = h / 2 - m_fitHeight / 2;
}

vec2 ViewTransform::CentredOffset(float scale) const
{
    return {(float(m_windowWidth) - m_canvasWidth * scale) * 0.5f, (float(m_windowHeight) - m_canvasHeight * scale) * 0.5f};
}

vec2 ViewTransform::Offset() const
{
    if (m_fit)
        return {float(m_fitOffsetX), float(m_fitOffsetY)};
    const vec2 centred = CentredOffset(m_zoom);
    return {centred.x + m_pan.x, centred.y + m_pan.y};
}

void ViewTransform::Fit()
{
    m_fit = true;
    m_pan = {};
}

void ViewTransform::ZoomAbout(vec2 windowPoint, float zoom)
{
    if (!(zoom > 0.0f))
        return;
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (m_windowWidth <= 0 || m_windowHeight <= 0) {
        // No window yet: the canvas stays centred once it has one.
        m_fit = false;
        m_zoom = zoom;
        m_pan = {};
        return;
    }
    const vec2 canvasPoint = WindowToCanvas(windowPoint);
    m_fit = false;
    m_zoom = zoom;
    // The offset that puts the canvas point back under the window point.
    const vec2 centred = CentredOffset(zoom);
    m_pan = {windowPoint.x - canvasPoint.x * zoom - centred.x, windowPoint.y - canvasPoint.y * zoom - centred.y};
    ClampPan();
}

void ViewTransform::ZoomCentred(float zoom)
{
    ZoomAbout({float(m_windowWidth) * 0.5f, float(m_windowHeight) * 0.5f}, zoom);
}

float ViewTransform::SteppedZoom(int steps) const
{
    // A little slack, so a zoom that sits on a step moves on to the next one.
    const float current = Scale();
    float zoom = current;
    if (steps > 0) {
        for (int i = 0; i < steps; ++i) {
            const float* next = std::upper_bound(std::begin(kZoomSteps), std::end(kZoomSteps), zoom * 1.001f);
            zoom = next == std::end(kZoomSteps) ? kMaxZoom : *next;
        }
    } else {
        for (int i = 0; i < -steps; ++i) {
            const float* next = std::lower_bound(std::begin(kZoomSteps), std::end(kZoomSteps), zoom * 0.999f);
            zoom = next == std::begin(kZoomSteps) ? kMinZoom : *(next - 1);
        }
    }
    return zoom;
}

void ViewTransform::PanBy(vec2 windowDelta)
{
    if (m_fit) {
        // Panning the fitted canvas zooms it no further: the fit's own
        // offset becomes the pan's starting point.
        const vec2 fitOffset = Offset();
        m_fit = false;
        m_zoom = m_fitScale;
        const vec2 centred = CentredOffset(m_zoom);
        m_pan = {fitOffset.x - centred.x, fitOffset.y - centred.y};
    }
    m_pan.x += windowDelta.x;
    m_pan.y += windowDelta.y;
    ClampPan();
}

void ViewTransform::ClampPan()
{
    if (m_fit)
        return;
    // The canvas may leave the window except for a strip on each side.
    const float width = m_canvasWidth * m_zoom;
    const float height = m_canvasHeight * m_zoom;
    const vec2 centred = CentredOffset(m_zoom);
    const float keepX = std::min(kKeptStrip, width);
    const float keepY = std::min(kKeptStrip, height);
    const float minX = keepX - width - centred.x;
    const float maxX = float(m_windowWidth) - keepX - centred.x;
    const float minY = keepY - height - centred.y;
    const float maxY = float(m_windowHeight) - keepY - centred.y;
    if (minX <= maxX)
        m_pan.x = std::clamp(m_pan.x, minX, maxX);
    if (minY <= maxY)
        m_pan.y = std::clamp(m_pan.y, minY, maxY);
}

int ViewTransform::ZoomPercent() const
{
    return int(std::lround(double(Scale()) * 100.0));
}

vec2 ViewTransform::WindowToCanvas(vec2 window) const
{
    const vec2 offset = Offset();
    const float scale = Scale();
    return {(window.x - offset.x) / scale, (window.y - offset.y) / scale};
}

vec2 ViewTransform::CanvasToWindow(vec2 canvas) const
{
    const vec2 offset = Offset();
    const float scale = Scale();
    return {canvas.x * scale + offset.x, canvas.y * scale + offset.y};
}

float ViewTransform::WindowToCanvasLength(float windowLength) const { return windowLength / Scale(); }

float ViewTransform::CanvasToWindowLength(float canvasLength) const { return canvasLength * Scale(); }

vec2 ViewTransform::WidgetToWindow(float x, float y) const
{
    return {float(double(x) * m_pixelRatio), float(double(y) * m_pixelRatio)};
}

PixelRect ViewTransform::CanvasViewport() const
{
    if (m_fit) {
        // The design's viewport: the fitted canvas at its integer offset.
        return {m_fitOffsetX, m_fitOffsetY, int(m_canvasWidth * m_fitScale), int(m_canvasHeight * m_fitScale)};
    }
    const vec2 offset = Offset();
    const int left = std::max(0, int(std::ceil(offset.x)));
    const int top = std::max(0, int(std::ceil(offset.y)));
    const int right = std::min(m_windowWidth, int(std::floor(offset.x + m_canvasWidth * m_zoom)));
    const int bottom = std::min(m_windowHeight, int(std::floor(offset.y + m_canvasHeight * m_zoom)));
    return {left, top, right - left, bottom - top};
}

OrthoBounds ViewTransform::CanvasProjection() const
{
    if (m_fit)
        return {0.0f, m_canvasWidth, 0.0f, m_canvasHeight};
    const PixelRect viewport = CanvasViewport();
    const vec2 topLeft = WindowToCanvas({float(viewport.x), float(viewport.y)});
    const vec2 bottomRight = WindowToCanvas({float(viewport.x + viewport.width), float(viewport.y + viewport.height)});
    return {topLeft.x, bottomRight.x, topLeft.y, bottomRight.y};
}

OrthoBounds ViewTransform::OverlayProjection() const
{
    const vec2 offset = Offset();
    return {-offset.x, float(m_windowWidth) - offset.x, -offset.y, float(m_windowHeight) - offset.y};
}

namespace {

// Whole pixels of a scene coordinate along one axis of the view.
struct Axis {
    int start;
    int length;
    float low;
    float high;
    float PixelOf(float scene) const { return float(start) + (scene - low) * float(length) / (high - low); }
    float SceneOf(int pixel) const { return low + float(pixel - start) * (high - low) / float(length); }
};

// The pixels of `axis` from `from` to `to` (scene coordinates), clamped to it.
bool ClipAxis(const Axis& axis, float from, float to, int& start, int& length, float& low, float& high)
{
    if (axis.length <= 0 || axis.high == axis.low)
        return false;
    const int first = std::max(axis.start, int(std::lround(axis.PixelOf(from))));
    const int last = std::min(axis.start + axis.length, int(std::lround(axis.PixelOf(to))));
    if (last <= first)
        return false;
    start = first;
    length = last - first;
    low = axis.SceneOf(first);
    high = axis.SceneOf(last);
    return true;
}

}  // namespace

ClippedView ClipView(const PixelRect& viewport, const OrthoBounds& projection, const SceneRect& clip)
{
    ClippedView view;
    const Axis across{viewport.x, viewport.width, projection.left, projection.right};
    const Axis down{viewport.y, viewport.height, projection.top, projection.bottom};
    if (!ClipAxis(across, clip.left, clip.right, view.viewport.x, view.viewport.width, view.projection.left,
                  view.projection.right) ||
        !ClipAxis(down, clip.top, clip.bottom, view.viewport.y, view.viewport.height, view.projection.top,
                  view.projection.bottom))
        return {};
    return view;
}
