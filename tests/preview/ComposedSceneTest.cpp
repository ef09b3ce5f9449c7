// A scene's composition is kept while it has the detail a frame asks for;
// asked for more, it is made once at full detail rather than at every step
// of a view closing in.
#include "PreviewFixture.h"

#include "preview/ComposedScene.h"

#include <graphics/matrix4.h>

using namespace previewtest;

namespace {

class ComposedSceneTest : public PreviewTest {
protected:
    // Draws the set's layers through `composed` into a small target.
    void DrawAt(ComposedScene& composed, uint64_t state, float detail)
    {
        obs_source_t* layers = obs_scene_get_source(scene());
        const uint32_t width = obs_source_get_width(layers), height = obs_source_get_height(layers);
        if (!m_target)
            m_target = gs_texrender_create(GS_RGBA, GS_ZS_NONE);
        gs_texrender_reset(m_target);
        ASSERT_TRUE(gs_texrender_begin(m_target, 192, 108));
        gs_ortho(0.0f, float(width), 0.0f, float(height), -100.0f, 100.0f);
        matrix4 identity;
        matrix4_identity(&identity);
        EXPECT_TRUE(composed.Draw(layers, state, identity, width, height, detail));
        gs_texrender_end(m_target);
    }
    void TearDown() override
    {
        obs_enter_graphics();
        gs_texrender_destroy(m_target);
        obs_leave_graphics();
        PreviewTest::TearDown();
    }
    gs_texrender_t* m_target = nullptr;
};

}  // namespace

TEST_F(ComposedSceneTest, KeepsACompositionWithDetailEnoughAndGoesToFullDetailWhenAskedForMore)
{
    obs_enter_graphics();
    {
        ComposedScene composed;
        DrawAt(composed, 1, 0.5f);
        EXPECT_FLOAT_EQ(composed.Detail(), 0.5f);
        DrawAt(composed, 1, 0.25f);
        EXPECT_FLOAT_EQ(composed.Detail(), 0.5f) << "less detail asked: kept";
        DrawAt(composed, 1, 0.625f);
        EXPECT_FLOAT_EQ(composed.Detail(), 1.0f) << "more asked: full detail at once";
        // The layers changed: composed again at the detail the frame needs.
        DrawAt(composed, 2, 0.25f);
        EXPECT_FLOAT_EQ(composed.Detail(), 0.25f);
    }
    obs_leave_graphics();
}
