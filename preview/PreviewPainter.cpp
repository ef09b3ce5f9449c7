#include "PreviewPainter.h"

#include "HandleDrag.h"
#include "SceneItemPicking.h"

#include <graphics/vec4.h>

namespace {

constexpr float kHandleSize = 8.0f;

gs_vertbuffer_t* RecordLine(std::initializer_list<vec2> points)
{
    gs_render_start(true);
    for (const vec2& point : points)
        gs_vertex2f(point.x, point.y);
    return gs_render_save();
}

void Draw(gs_vertbuffer_t* buffer, gs_draw_mode mode)
{
    gs_load_vertexbuffer(buffer);
    gs_draw(mode, 0, 0);
}

}  // namespace

PreviewPainter::~PreviewPainter()
{
    // Buffers must go inside the graphics context; the owner destroys them there.
    if (HasBuffers())
        blog(LOG_WARNING, "preview buffers left at teardown");
}

void PreviewPainter::CreateBuffers()
{
    if (HasBuffers())
        return;
    m_box = RecordLine({{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}});
    m_left = RecordLine({{0, 0}, {0, 1}});
    m_top = RecordLine({{0, 0}, {1, 0}});
    m_right = RecordLine({{1, 0}, {1, 1}});
    m_bottom = RecordLine({{0, 1}, {1, 1}});
}

void PreviewPainter::DestroyBuffers()
{
    for (gs_vertbuffer_t** buffer : {&m_box, &m_left, &m_top, &m_right, &m_bottom}) {
        gs_vertexbuffer_destroy(*buffer);
        *buffer = nullptr;
    }
}

void PreviewPainter::BeginSolid(Colour colour)
{
    m_solid = obs_get_base_effect(OBS_EFFECT_SOLID);
    m_technique = gs_effect_get_technique(m_solid, "Solid");
    SetColour(colour);
    gs_technique_begin(m_technique);
    gs_technique_begin_pass(m_technique, 0);
}

void PreviewPainter::EndSolid()
{
    gs_technique_end_pass(m_technique);
    gs_technique_end(m_technique);
}

void PreviewPainter::SetColour(Colour colour)
{
    vec4 value;
    vec4_set(&value, colour.r, colour.g, colour.b, colour.a);
    gs_effect_set_vec4(gs_effect_get_param_by_name(m_solid, "color"), &value);
}

void PreviewPainter::DrawCanvas(float width, float height)
{
    if (!HasBuffers())
        return;
    BeginSolid({0, 0, 0, 1});
    gs_matrix_push();
    gs_matrix_scale3f(width, height, 1.0f);
    Draw(m_box, GS_TRISTRIP);
    gs_matrix_pop();
    EndSolid();
}

void PreviewPainter::DrawSelection(obs_scene_t* scene)
{
    if (!HasBuffers() || !scene)
        return;
    BeginSolid({1, 0, 0, 1});
    ForEachItem(scene, [this](obs_sceneitem_t* item) {
        DrawItemOverlay(item);
        return true;
    });
    EndSolid();
}

void PreviewPainter::DrawItemOverlay(obs_sceneitem_t* item)
{
    if (obs_sceneitem_locked(item) || !ItemHasVideo(item) || !ItemShown(item))
        return;
    if (obs_sceneitem_is_group(item)) {
        matrix4 draw;
        obs_sceneitem_get_draw_transform(item, &draw);
        gs_matrix_push();
        gs_matrix_mul(&draw);
        ForEachGroupItem(item, [this](obs_sceneitem_t* child) {
            DrawItemOverlay(child);
            return true;
        });
        gs_matrix_pop();
    }
    if (!obs_sceneitem_selected(item))
        return;
    matrix4 box, inverse;
    if (!GetSoundBoxTransform(item, box, inverse))
        return;
    gs_matrix_push();
    gs_matrix_mul(&box);
    DrawHandles();
    DrawOutline(item);
    gs_matrix_pop();
}

void PreviewPainter::DrawQuad(const vec2 (&points)[4], float scale)
{
    if (!HasBuffers() || scale <= 0.0f)
        return;
    // Orange lines and handles: apart from the red selection and any set's colours.
    BeginSolid({1.0f, 0.62f, 0.1f, 1.0f});
    gs_render_start(true);
    for (int i = 0; i <= 4; ++i)
        gs_vertex2f(points[i % 4].x, points[i % 4].y);
    gs_render_stop(GS_LINESTRIP);
    const float size = 10.0f / scale;
    for (const vec2& point : points) {
        gs_matrix_push();
        gs_matrix_translate3f(point.x - size / 2, point.y - size / 2, 0.0f);
        gs_matrix_scale3f(size, size, 1.0f);
        Draw(m_box, GS_TRISTRIP);
        gs_matrix_pop();
    }
    EndSolid();
}

void PreviewPainter::DrawHandles()
{
    matrix4 current;
    gs_matrix_get(&current);
    for (const HandleSpot& spot : kHandleSpots) {
        const vec2 at = TransformPoint(current, spot.x, spot.y);
        gs_matrix_push();
        gs_matrix_identity();
        gs_matrix_translate3f(at.x - kHandleSize / 2, at.y - kHandleSize / 2, 0.0f);
        gs_matrix_scale3f(kHandleSize, kHandleSize, 1.0f);
        Draw(m_box, GS_TRISTRIP);
        gs_matrix_pop();
    }
}

void PreviewPainter::DrawOutline(obs_sceneitem_t* item)
{
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(item, &crop);
    const bool cropped = crop.left > 0 || crop.top > 0 || crop.right > 0 || crop.bottom > 0;
    if (obs_sceneitem_get_bounds_type(item) != OBS_BOUNDS_NONE || !cropped) {
        Draw(m_box, GS_LINESTRIP);
        return;
    }
    const Colour red{1, 0, 0, 1};
    const Colour green{0, 1, 0, 1};
    const std::pair<gs_vertbuffer_t*, int> edges[] = {
        {m_left, crop.left}, {m_top, crop.top}, {m_right, crop.right}, {m_bottom, crop.bottom}};
    for (const auto& [edge, inset] : edges) {
        SetColour(inset > 0 ? green : red);
        Draw(edge, GS_LINESTRIP);
    }
    SetColour(red);
}
