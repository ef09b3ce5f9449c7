#include "ShotSteps.h"

namespace {

// The values as an array in delta order.
void ToArray(const ShotValues& v, float (&out)[8])
{
    out[0] = v.zoomX;
    out[1] = v.zoomY;
    out[2] = v.zoomZ;
    out[3] = v.x;
    out[4] = v.y;
    out[5] = v.rotateX;
    out[6] = v.rotateY;
    out[7] = v.rotateZ;
}

ShotValues FromArray(const float (&in)[8])
{
    ShotValues v;
    v.zoomX = in[0];
    v.zoomY = in[1];
    v.zoomZ = in[2];
    v.x = in[3];
    v.y = in[4];
    v.rotateX = in[5];
    v.rotateY = in[6];
    v.rotateZ = in[7];
    return v;
}

}  // namespace

ShotValues ShotValuesOf(const ShotInfo& shot)
{
    ShotValues v;
    v.zoomX = shot.zoomX;
    v.zoomY = shot.zoomY;
    v.zoomZ = shot.zoomZ;
    v.x = shot.x;
    v.y = shot.y;
    v.rotateX = shot.rotateX;
    v.rotateY = shot.rotateY;
    v.rotateZ = shot.rotateZ;
    return v;
}

ShotValues FullCanvasValues() { return ShotValues{}; }

ShotValues CurrentShotValues(const ShotAnimation& a)
{
    ShotValues v;
    v.zoomX = a.zoomX;
    v.zoomY = a.zoomY;
    v.zoomZ = a.zoomZ;
    v.x = a.x;
    v.y = a.y;
    v.rotateX = a.rotateX;
    v.rotateY = a.rotateY;
    v.rotateZ = a.rotateZ;
    return v;
}

void SetCurrentShotValues(ShotAnimation& a, const ShotValues& v)
{
    a.zoomX = v.zoomX;
    a.zoomY = v.zoomY;
    a.zoomZ = v.zoomZ;
    a.x = v.x;
    a.y = v.y;
    a.rotateX = v.rotateX;
    a.rotateY = v.rotateY;
    a.rotateZ = v.rotateZ;
}

void StartShotSteps(ShotAnimation& a, const ShotValues& target, int milliseconds)
{
    a.step = 0;
    a.duration = static_cast<float>(milliseconds) / 1000.0f;
    a.stepCount = a.duration * kShotStepsPerSecond;
    float from[8], to[8];
    ToArray(CurrentShotValues(a), from);
    ToArray(target, to);
    for (int i = 0; i < 8; ++i)
        a.delta[i] = a.stepCount > 0.0f ? (to[i] - from[i]) / a.stepCount : 0.0f;
}

ShotValues ShotValuesAtStep(const ShotAnimation& a, int step)
{
    float values[8];
    ToArray(CurrentShotValues(a), values);
    for (int i = 0; i < 8; ++i)
        values[i] += static_cast<float>(step) * a.delta[i];
    return FromArray(values);
}

bool HasShotDelta(const ShotAnimation& a)
{
    for (float d : a.delta)
        if (d != 0.0f)
            return true;
    return false;
}

bool AdvanceShotStep(ShotAnimation& a)
{
    a.step += 1;
    return static_cast<float>(a.step) > a.stepCount;
}
