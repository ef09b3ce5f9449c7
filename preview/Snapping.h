#pragma once
// Snapping of what a gesture moves to the lines of the canvas: its edges and
// centre lines, the grid when it is shown, and the edges and centres of the
// other items. A snap answers the correction to add and the lines it matched,
// so the preview can show them while the mouse is down.
#include "CanvasSelection.h"

#include <graphics/vec2.h>
#include <obs.h>
#include <vector>

// What the preview shows over the canvas besides the selection.
struct CanvasGuides {
    bool titleSafe = false;   // 90 % of the canvas
    bool actionSafe = false;  // 93 % of the canvas
    bool centreLines = false;
    bool grid = false;
    int gridSpacing = 100;    // canvas pixels
    bool operator==(const CanvasGuides& other) const = default;
};
inline constexpr float kTitleSafeShare = 0.90f;
inline constexpr float kActionSafeShare = 0.93f;
inline constexpr int kMinGridSpacing = 4;

// A matched line, in canvas pixels.
struct SnapLine {
    vec2 from;
    vec2 to;
};

struct SnapResult {
    vec2 correction{0.0f, 0.0f};
    std::vector<SnapLine> lines;
};

class SnapTargets {
public:
    // The canvas's edges and centre lines, and the grid when spacing > 0.
    SnapTargets(float canvasWidth, float canvasHeight, int gridSpacing);
    // The same plus the shown items of the scene that are not selected.
    static SnapTargets ForScene(obs_scene_t* scene, float canvasWidth, float canvasHeight, int gridSpacing);

    // Another item's edges and centre.
    void AddBox(const CanvasBox& box);

    // The correction that puts an edge or the centre of the box, on each
    // axis, onto the nearest line within distance.
    SnapResult SnapBox(const CanvasBox& box, float distance) const;
    // The correction that puts the point onto the nearest line within
    // distance, on the axes asked for.
    SnapResult SnapPoint(vec2 point, float distance, bool snapX, bool snapY) const;

private:
    // A line across one axis at value, running from..to along the other.
    struct Line {
        float value;
        float from;
        float to;
    };
    struct AxisSnap {
        float correction = 0.0f;
        bool found = false;
    };
    AxisSnap SnapAxis(const std::vector<Line>& lines, const float* values, int count, float distance) const;
    void AddMatchedLines(SnapResult& result, bool vertical, const float* values, int count, float low, float high) const;

    float m_width;
    float m_height;
    int m_grid;
    std::vector<Line> m_vertical;    // x = value
    std::vector<Line> m_horizontal;  // y = value
};

// The rotation in degrees snapped onto a quarter turn when the arc between
// them, at radius canvas pixels from the centre, is within distance; matched
// tells whether it snapped.
float SnapAngle(float degrees, float radius, float distance, bool& matched);
// The rotation rounded to whole steps of step degrees.
float StepAngle(float degrees, float step);
