#pragma once
// The step arithmetic of timed shot transitions: 25 steps a second, each
// moving the eight shot values by a fixed delta from where they started.
#include "SourceObject.h"

// The eight animated values, in the order of the animation's deltas.
struct ShotValues {
    float zoomX = 1.0f, zoomY = 1.0f, zoomZ = 1.0f;
    float x = 0.0f, y = 0.0f;
    float rotateX = 0.0f, rotateY = 0.0f, rotateZ = 0.0f;
};

inline constexpr float kShotStepsPerSecond = 25.0f;

ShotValues ShotValuesOf(const ShotInfo& shot);
// A layer placed over the whole canvas.
ShotValues FullCanvasValues();
ShotValues CurrentShotValues(const ShotAnimation& animation);
void SetCurrentShotValues(ShotAnimation& animation, const ShotValues& values);

// Starts counting steps from 0 over `milliseconds` and sets the per-step
// deltas from the current values to `target`.
void StartShotSteps(ShotAnimation& animation, const ShotValues& target, int milliseconds);
// The current values moved by `step` deltas.
ShotValues ShotValuesAtStep(const ShotAnimation& animation, int step);
bool HasShotDelta(const ShotAnimation& animation);
// Counts the step just written; true once the count exceeds the step count,
// when the transition ends.
bool AdvanceShotStep(ShotAnimation& animation);
