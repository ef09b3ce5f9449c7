#include "TestPatternSource.h"

#include <cmath>
#include <cstring>
#include <graphics/vec4.h>

namespace {

struct TestPattern {
    float time = 0.0f;  // into the current sweep
};

struct Canvas {
    uint32_t width = 0;
    uint32_t height = 0;
};

Canvas CanvasSize()
{
    obs_video_info video{};
    if (!obs_get_video_info(&video))
        return {};
    return {video.base_width, video.base_height};
}

// The engine's colours are 0xAABBGGRR.
uint32_t EngineColour(uint32_t rgb)
{
    return 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

const char* PatternName(void*) { return "Kelvane test pattern"; }

void* CreatePattern(obs_data_t*, obs_source_t*) { return new TestPattern; }

void DestroyPattern(void* data) { delete static_cast<TestPattern*>(data); }

uint32_t PatternWidth(void*) { return CanvasSize().width; }

uint32_t PatternHeight(void*) { return CanvasSize().height; }

void TickPattern(void* data, float seconds)
{
    auto* pattern = static_cast<TestPattern*>(data);
    pattern->time = std::fmod(pattern->time + seconds, kTestPatternSweepSeconds);
}

// The block's left edge: across the canvas in the first half of the sweep, back in the second.
float BlockLeft(float time, uint32_t width)
{
    const float phase = time / kTestPatternSweepSeconds;
    const float travel = float(width - width / 12);
    return travel * (phase < 0.5f ? phase * 2.0f : 2.0f - phase * 2.0f);
}

// One filled rectangle in the solid effect's pass.
void FillRect(gs_eparam_t* colour, bool linear, uint32_t rgb, float x, float y, uint32_t width, uint32_t height)
{
    vec4 value;
    if (linear)
        vec4_from_rgba_srgb(&value, EngineColour(rgb));
    else
        vec4_from_rgba(&value, EngineColour(rgb));
    gs_effect_set_vec4(colour, &value);
    gs_matrix_push();
    gs_matrix_translate3f(x, y, 0.0f);
    gs_draw_sprite(nullptr, 0, width, height);
    gs_matrix_pop();
}

void RenderPattern(void* data, gs_effect_t*)
{
    const auto* pattern = static_cast<const TestPattern*>(data);
    const Canvas canvas = CanvasSize();
    if (canvas.width == 0 || canvas.height == 0)
        return;
    // As the engine's colour input draws: sRGB colours into a linear target when it is one.
    const bool linear = gs_get_linear_srgb();
    const bool previous = gs_framebuffer_srgb_enabled();
    gs_enable_framebuffer_srgb(linear);
    gs_effect_t* solid = obs_get_base_effect(OBS_EFFECT_SOLID);
    gs_eparam_t* colour = gs_effect_get_param_by_name(solid, "color");
    gs_technique_t* technique = gs_effect_get_technique(solid, "Solid");
    gs_technique_begin(technique);
    gs_technique_begin_pass(technique, 0);
    uint32_t left = 0;
    for (int i = 0; i < 7; ++i) {
        // The last bar takes what the division leaves, so the bars fill the canvas.
        const uint32_t right = i == 6 ? canvas.width : canvas.width * uint32_t(i + 1) / 7;
        FillRect(colour, linear, kTestPatternBarColours[i], float(left), 0.0f, right - left, canvas.height);
        left = right;
    }
    FillRect(colour, linear, 0xFFFFFF, BlockLeft(pattern->time, canvas.width), float(canvas.height) * 2.0f / 5.0f,
             canvas.width / 12, canvas.height / 5);
    gs_technique_end_pass(technique);
    gs_technique_end(technique);
    gs_enable_framebuffer_srgb(previous);
}

}  // namespace

bool RegisterTestPatternSource()
{
    if (obs_source_get_display_name(kTestPatternSourceId))
        return true;
    obs_source_info info = {};
    info.id = kTestPatternSourceId;
    info.type = OBS_SOURCE_TYPE_INPUT;
    info.output_flags = OBS_SOURCE_VIDEO | OBS_SOURCE_CUSTOM_DRAW | OBS_SOURCE_SRGB;
    info.get_name = PatternName;
    info.create = CreatePattern;
    info.destroy = DestroyPattern;
    info.get_width = PatternWidth;
    info.get_height = PatternHeight;
    info.video_tick = TickPattern;
    info.video_render = RenderPattern;
    obs_register_source(&info);
    return obs_source_get_display_name(kTestPatternSourceId) != nullptr;
}

OBSSourceAutoRelease CreateTestPatternSource()
{
    if (!RegisterTestPatternSource())
        return nullptr;
    return obs_source_create_private(kTestPatternSourceId, "Kelvane test pattern", nullptr);
}

bool IsTestPatternSource(obs_source_t* source)
{
    const char* id = source ? obs_source_get_id(source) : nullptr;
    return id && std::strcmp(id, kTestPatternSourceId) == 0;
}
