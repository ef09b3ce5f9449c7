#pragma once
// What a gesture shows over the canvas while it runs (snap lines, a rubber
// band, corner handles): plain shapes in canvas pixels, handed to the
// graphics thread as a copy and drawn there by the painter.
#include <graphics/vec2.h>
#include <vector>

struct OverlayColour {
    float r, g, b, a;
};

inline constexpr OverlayColour kSnapLineColour{1.0f, 0.0f, 1.0f, 1.0f};
inline constexpr OverlayColour kBandColour{0.35f, 0.65f, 1.0f, 1.0f};
inline constexpr OverlayColour kBandFillColour{0.35f, 0.65f, 1.0f, 0.18f};
inline constexpr OverlayColour kScreenColour{1.0f, 0.62f, 0.1f, 1.0f};

struct CanvasOverlay {
    struct Line {
        vec2 from;
        vec2 to;
        OverlayColour colour;
    };
    // A square of a fixed size in window pixels, whatever the zoom.
    struct Handle {
        vec2 at;
        float windowSize;
        OverlayColour colour;
    };
    struct Fill {
        vec2 topLeft;
        vec2 bottomRight;
        OverlayColour colour;
    };
    std::vector<Line> lines;
    std::vector<Handle> handles;
    std::vector<Fill> fills;

    void Clear()
    {
        lines.clear();
        handles.clear();
        fills.clear();
    }
    bool Empty() const { return lines.empty() && handles.empty() && fills.empty(); }
    void AddLine(vec2 from, vec2 to, OverlayColour colour) { lines.push_back({from, to, colour}); }
    // The outline of the box.
    void AddFrame(vec2 topLeft, vec2 bottomRight, OverlayColour colour)
    {
        const vec2 topRight{bottomRight.x, topLeft.y};
        const vec2 bottomLeft{topLeft.x, bottomRight.y};
        AddLine(topLeft, topRight, colour);
        AddLine(topRight, bottomRight, colour);
        AddLine(bottomRight, bottomLeft, colour);
        AddLine(bottomLeft, topLeft, colour);
    }
};
