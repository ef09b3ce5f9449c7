#pragma once
// Turning the selection by the rotate handle above its top edge: one item
// turns about its own centre, several about the centre of their box, each
// keeping its place in the turned arrangement. Shift turns in steps of 15°;
// otherwise a quarter turn within snapping reach is taken exactly (not with
// Ctrl).
#include "CanvasGesture.h"

#include <memory>

// Where the rotate handle of the selection sits, in canvas pixels.
struct RotateHandle {
    bool present = false;
    vec2 at{};     // the handle
    vec2 edge{};   // the middle of the top edge it stands above
    vec2 pivot{};  // what the selection turns about
};
RotateHandle FindRotateHandle(const CanvasSelection& selection, const ViewTransform& view);

class RotateGesture : public CanvasGesture {
public:
    static constexpr float kStepDegrees = 15.0f;

    // Starts at the press position; none without a handle.
    static std::unique_ptr<CanvasGesture> Begin(const GestureContext& context, vec2 start);

    RotateGesture(const GestureContext& context, const RotateHandle& handle, vec2 start);

    void Move(vec2 position) override;
    void Cancel() override;
    void DrawOverlay(CanvasOverlay& overlay) const override;
    obs_sceneitem_t* ChangedItem() const override;

    // The turn since the press, in degrees.
    float Turned() const { return m_turned; }

private:
    struct Turning {
        OBSSceneItem item;
        float rotation;  // degrees at the press
        vec2 position;
        vec2 centre;
    };
    void TurnBy(float degrees);

    RotateHandle m_handle;
    float m_startAngle;
    float m_turned = 0.0f;
    bool m_snapped = false;
    vec2 m_pointer{};
    std::vector<Turning> m_items;
    SavedTransforms m_saved;
};

// Degrees in [0, 360).
float NormalisedDegrees(float degrees);
