#include "ComposedScene.h"

#include <algorithm>
#include <cmath>
#include <graphics/vec4.h>

ComposedScene::~ComposedScene() { Release(); }

void ComposedScene::Release()
{
    gs_texrender_destroy(m_target);
    m_target = nullptr;
    m_valid = false;
}

bool ComposedScene::Compose(obs_source_t* scene, uint32_t width, uint32_t height, uint32_t textureWidth,
                            uint32_t textureHeight)
{
    if (!m_target)
        m_target = gs_texrender_create(GS_RGBA, GS_ZS_NONE);
    if (!m_target)
        return false;
    gs_texrender_reset(m_target);
    if (!gs_texrender_begin(m_target, textureWidth, textureHeight))
        return false;
    vec4 clear;
    vec4_zero(&clear);
    gs_clear(GS_CLEAR_COLOR, &clear, 0.0f, 0);
    gs_ortho(0.0f, float(width), 0.0f, float(height), -100.0f, 100.0f);
    gs_matrix_push();
    gs_matrix_identity();
    obs_source_video_render(scene);
    gs_matrix_pop();
    gs_texrender_end(m_target);
    m_width = width;
    m_height = height;
    return true;
}

bool ComposedScene::Draw(obs_source_t* scene, uint64_t state, const matrix4& transform)
{
    return Draw(scene, state, transform, obs_source_get_width(scene), obs_source_get_height(scene));
}

bool ComposedScene::Prepare(obs_source_t* scene, uint64_t state, uint32_t width, uint32_t height, float detail)
{
    if (width == 0 || height == 0)
        return false;
    detail = std::clamp(detail, 0.01f, 1.0f);
    const bool sameScene = m_valid && state == m_state && width == m_width && height == m_height;
    // A composition with the detail asked for, or more, is kept. One that
    // has too little is made again at full detail at once: a view closing
    // in (a shot's zoom, the user's) would otherwise compose again at every
    // step, each as costly as drawing every layer.
    if (!sameScene || m_detail < detail) {
        const float composeAt = sameScene ? 1.0f : detail;
        const uint32_t textureWidth = std::max(1u, uint32_t(std::ceil(float(width) * composeAt)));
        const uint32_t textureHeight = std::max(1u, uint32_t(std::ceil(float(height) * composeAt)));
        if (!Compose(scene, width, height, textureWidth, textureHeight)) {
            Release();
            return false;
        }
        m_state = state;
        m_detail = composeAt;
        m_valid = true;
        ++m_compositions;
    }
    return true;
}

bool ComposedScene::Draw(obs_source_t* scene, uint64_t state, const matrix4& transform, uint32_t width,
                         uint32_t height, float detail)
{
    if (!Prepare(scene, state, width, height, detail))
        return false;
    gs_texture_t* texture = gs_texrender_get_texture(m_target);
    if (!texture)
        return false;
    // The composition holds colours already multiplied by their alpha, and
    // is blended in linear light as the scene blends each of its items: what
    // shows through a translucent part then looks as drawn directly.
    const bool linear = true;
    const bool previous = gs_framebuffer_srgb_enabled();
    gs_enable_framebuffer_srgb(linear);
    gs_blend_state_push();
    gs_blend_function(GS_BLEND_ONE, GS_BLEND_INVSRCALPHA);
    gs_effect_t* effect = obs_get_base_effect(OBS_EFFECT_DEFAULT);
    gs_eparam_t* image = gs_effect_get_param_by_name(effect, "image");
    if (linear)
        gs_effect_set_texture_srgb(image, texture);
    else
        gs_effect_set_texture(image, texture);
    gs_matrix_push();
    gs_matrix_mul(&transform);
    while (gs_effect_loop(effect, "Draw"))
        gs_draw_sprite(texture, 0, width, height);
    gs_matrix_pop();
    gs_blend_state_pop();
    gs_enable_framebuffer_srgb(previous);
    return true;
}
