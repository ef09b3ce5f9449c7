#pragma once
// Where the canvas sits in the preview window: the fit that shows the whole
// canvas, or a zoom (window pixels per canvas pixel) with a pan, and the
// window's pixel ratio. Every conversion between window pixels and canvas
// pixels goes through it, and it gives the draw callback its projections.
//
// Window positions are device pixels of the window (a widget's logical
// position times the pixel ratio); canvas positions are canvas pixels.
#include <graphics/vec2.h>

// An orthographic projection's bounds.
struct OrthoBounds {
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    float bottom = 0.0f;
};

// A rectangle of the window in whole device pixels.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// A rectangle in scene (canvas) coordinates.
struct SceneRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// The part of `viewport` (showing `projection`) that `clip` covers, in whole
// pixels, and the scene area that part shows. Empty when it covers none.
struct ClippedView {
    PixelRect viewport;
    OrthoBounds projection;
};
ClippedView ClipView(const PixelRect& viewport, const OrthoBounds& projection, const SceneRect& clip);

class ViewTransform {
public:
    // Zoom limits, in window pixels per canvas pixel.
    static constexpr float kMinZoom = 0.1f;
    static constexpr float kMaxZoom = 8.0f;

    // The window's client size in device pixels; an empty size keeps the last one.
    void SetWindowSize(int width, int height);
    // The canvas size in canvas pixels; an empty size keeps the last one.
    void SetCanvasSize(float width, float height);
    // Device pixels per logical pixel of the window.
    void SetPixelRatio(double ratio);

    // Shows the whole canvas, centred (Ctrl+0).
    void Fit();
    // Zooms to the scale (clamped to the limits) keeping the canvas point
    // under the window point where it is.
    void ZoomAbout(vec2 windowPoint, float zoom);
    // Zooms about the window's centre.
    void ZoomCentred(float zoom);
    // The next preset zoom above (steps > 0) or below the current scale.
    float SteppedZoom(int steps) const;
    // Moves the canvas by window pixels; the canvas keeps at least a strip
    // of it in the window.
    void PanBy(vec2 windowDelta);

    bool IsFit() const { return m_fit; }
    // Window pixels per canvas pixel.
    float Scale() const { return m_fit ? m_fitScale : m_zoom; }
    // The zoom as a percentage of one canvas pixel per device pixel.
    int ZoomPercent() const;
    // The canvas's top-left corner in the window.
    vec2 Offset() const;
    // The design's fit: scale, fitted size and integer offsets.
    float FitScale() const { return m_fitScale; }
    int FitWidth() const { return m_fitWidth; }
    int FitHeight() const { return m_fitHeight; }
    int FitOffsetX() const { return m_fitOffsetX; }
    int FitOffsetY() const { return m_fitOffsetY; }

    int WindowWidth() const { return m_windowWidth; }
    int WindowHeight() const { return m_windowHeight; }
    float CanvasWidth() const { return m_canvasWidth; }
    float CanvasHeight() const { return m_canvasHeight; }
    double PixelRatio() const { return m_pixelRatio; }

    vec2 WindowToCanvas(vec2 window) const;
    vec2 CanvasToWindow(vec2 canvas) const;
    // A length in window pixels as canvas pixels (grab radii, snap distances).
    float WindowToCanvasLength(float windowLength) const;
    float CanvasToWindowLength(float canvasLength) const;
    // A widget's logical position as window device pixels.
    vec2 WidgetToWindow(float x, float y) const;

    // The part of the window the canvas covers, in whole pixels, and the
    // canvas area that part shows: the scene is drawn with this viewport
    // and projection, so nothing of it spills past the canvas.
    PixelRect CanvasViewport() const;
    OrthoBounds CanvasProjection() const;
    // The whole window with the canvas's top-left corner at the origin; the
    // overlay is drawn in it with a matrix that scales canvas pixels by Scale().
    OrthoBounds OverlayProjection() const;

private:
    void ComputeFit();
    vec2 CentredOffset(float scale) const;
    void ClampPan();

    int m_windowWidth = 0;
    int m_windowHeight = 0;
    float m_canvasWidth = 0.0f;
    float m_canvasHeight = 0.0f;
    double m_pixelRatio = 1.0;

    float m_fitScale = 1.0f;
    int m_fitWidth = 0;
    int m_fitHeight = 0;
    int m_fitOffsetX = 0;
    int m_fitOffsetY = 0;

    bool m_fit = true;
    float m_zoom = 1.0f;
    // The canvas's offset from where a centred canvas of this zoom would be.
    vec2 m_pan{};
};
