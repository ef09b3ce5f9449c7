#include "Snapping.h"

#include "SceneItemPicking.h"

#include <algorithm>
#include <cmath>

namespace {

// A snap smaller than this is none.
constexpr float kNoSnap = 0.0001f;
// Lines within this of the snapped place are shown as matched.
constexpr float kMatchSlack = 0.01f;

}  // namespace

SnapTargets::SnapTargets(float canvasWidth, float canvasHeight, int gridSpacing)
    : m_width(canvasWidth), m_height(canvasHeight), m_grid(gridSpacing >= kMinGridSpacing ? gridSpacing : 0)
{
    for (float x : {0.0f, canvasWidth * 0.5f, canvasWidth})
        m_vertical.push_back({x, 0.0f, canvasHeight});
    for (float y : {0.0f, canvasHeight * 0.5f, canvasHeight})
        m_horizontal.push_back({y, 0.0f, canvasWidth});
}

SnapTargets SnapTargets::ForScene(obs_scene_t* scene, float canvasWidth, float canvasHeight, int gridSpacing)
{
    SnapTargets targets(canvasWidth, canvasHeight, gridSpacing);
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        if (!obs_sceneitem_selected(item) && ItemShown(item) && ItemHasVideo(item))
            targets.AddBox(ItemCanvasBox(item));
        return true;
    });
    return targets;
}

void SnapTargets::AddBox(const CanvasBox& box)
{
    if (box.Empty())
        return;
    const vec2 centre = box.Centre();
    for (float x : {box.topLeft.x, centre.x, box.bottomRight.x})
        m_vertical.push_back({x, box.topLeft.y, box.bottomRight.y});
    for (float y : {box.topLeft.y, centre.y, box.bottomRight.y})
        m_horizontal.push_back({y, box.topLeft.x, box.bottomRight.x});
}

SnapTargets::AxisSnap SnapTargets::SnapAxis(const std::vector<Line>& lines, const float* values, int count,
                                            float distance) const
{
    AxisSnap best;
    float bestDistance = distance;
    const auto consider = [&](float correction) {
        if (std::fabs(correction) < bestDistance) {
            bestDistance = std::fabs(correction);
            best = {correction, true};
        }
    };
    for (int i = 0; i < count; ++i) {
        for (const Line& line : lines)
            consider(line.value - values[i]);
        if (m_grid > 0)
            consider(std::round(values[i] / float(m_grid)) * float(m_grid) - values[i]);
    }
    if (best.found && std::fabs(best.correction) < kNoSnap)
        best.correction = 0.0f;
    return best;
}

void SnapTargets::AddMatchedLines(SnapResult& result, bool vertical, const float* values, int count, float low,
                                  float high) const
{
    const std::vector<Line>& lines = vertical ? m_vertical : m_horizontal;
    const float length = vertical ? m_height : m_width;
    const auto add = [&](float value, float from, float to) {
        from = std::min(from, low);
        to = std::max(to, high);
        result.lines.push_back(vertical ? SnapLine{{value, from}, {value, to}} : SnapLine{{from, value}, {to, value}});
    };
    for (int i = 0; i < count; ++i) {
        bool matched = false;
        for (const Line& line : lines) {
            if (std::fabs(line.value - values[i]) <= kMatchSlack) {
                add(line.value, line.from, line.to);
                matched = true;
            }
        }
        if (!matched && m_grid > 0) {
            const float grid = std::round(values[i] / float(m_grid)) * float(m_grid);
            if (std::fabs(grid - values[i]) <= kMatchSlack)
                add(grid, 0.0f, length);
        }
    }
}

SnapResult SnapTargets::SnapBox(const CanvasBox& box, float distance) const
{
    SnapResult result;
    if (box.Empty())
        return result;
    const vec2 centre = box.Centre();
    const float xs[3] = {box.topLeft.x, centre.x, box.bottomRight.x};
    const float ys[3] = {box.topLeft.y, centre.y, box.bottomRight.y};
    const AxisSnap x = SnapAxis(m_vertical, xs, 3, distance);
    const AxisSnap y = SnapAxis(m_horizontal, ys, 3, distance);
    result.correction = {x.correction, y.correction};
    const CanvasBox snapped = box.Moved(result.correction);
    const vec2 snappedCentre = snapped.Centre();
    if (x.found) {
        const float values[3] = {snapped.topLeft.x, snappedCentre.x, snapped.bottomRight.x};
        AddMatchedLines(result, true, values, 3, snapped.topLeft.y, snapped.bottomRight.y);
    }
    if (y.found) {
        const float values[3] = {snapped.topLeft.y, snappedCentre.y, snapped.bottomRight.y};
        AddMatchedLines(result, false, values, 3, snapped.topLeft.x, snapped.bottomRight.x);
    }
    return result;
}

SnapResult SnapTargets::SnapPoint(vec2 point, float distance, bool snapX, bool snapY) const
{
    SnapResult result;
    if (snapX) {
        const AxisSnap x = SnapAxis(m_vertical, &point.x, 1, distance);
        result.correction.x = x.correction;
        const float value = point.x + x.correction;
        if (x.found)
            AddMatchedLines(result, true, &value, 1, point.y, point.y);
    }
    if (snapY) {
        const AxisSnap y = SnapAxis(m_horizontal, &point.y, 1, distance);
        result.correction.y = y.correction;
        const float value = point.y + y.correction;
        if (y.found)
            AddMatchedLines(result, false, &value, 1, point.x, point.x);
    }
    return result;
}

float SnapAngle(float degrees, float radius, float distance, bool& matched)
{
    const float quarter = std::round(degrees / 90.0f) * 90.0f;
    const float arc = std::fabs(degrees - quarter) * 0.017453292f * radius;
    matched = arc < distance;
    return matched ? quarter : degrees;
}

float StepAngle(float degrees, float step)
{
    return step > 0.0f ? std::round(degrees / step) * step : degrees;
}
