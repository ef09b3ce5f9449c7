#include "PreviewPainter.h"

#include "ResizeGesture.h"
#include "SceneItemPicking.h"

#include <graphics/vec4.h>

namespace {

constexpr float kHandleSize = 8.0f;
constexpr float kRotateHandleSize = 10.0f;
// Grid lines closer than this in window pixels are not drawn.
constexpr float kMinGridPixels = 6.0f;

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
    BeginSolid(kSelectionColour);
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

void PreviewPainter::DrawLines(const std::vector<std::pair<vec2, vec2>>& lines, Colour colour)
{
    if (lines.empty())
        return;
    SetColour(colour);
    gs_render_start(true);
    for (const auto& [from, to] : lines) {
        gs_vertex2f(from.x, from.y);
        gs_vertex2f(to.x, to.y);
    }
    gs_render_stop(GS_LINES);
}

void PreviewPainter::DrawHandleAt(vec2 windowPoint, float size)
{
    gs_matrix_push();
    gs_matrix_identity();
    gs_matrix_translate3f(windowPoint.x - size / 2, windowPoint.y - size / 2, 0.0f);
    gs_matrix_scale3f(size, size, 1.0f);
    Draw(m_box, GS_TRISTRIP);
    gs_matrix_pop();
}

void PreviewPainter::DrawRotateHandle(const RotateHandle& handle)
{
    if (!HasBuffers() || !handle.present)
        return;
    BeginSolid(kSelectionColour);
    DrawLines({{handle.edge, handle.at}}, kSelectionColour);
    matrix4 current;
    gs_matrix_get(&current);
    // A hollow square told apart from the eight filled ones.
    const vec2 at = TransformPoint(current, handle.at.x, handle.at.y);
    DrawHandleAt(at, kRotateHandleSize);
    SetColour({0, 0, 0, 1});
    DrawHandleAt(at, kRotateHandleSize - 4.0f);
    EndSolid();
}

void PreviewPainter::DrawGuides(const CanvasGuides& guides, float width, float height, float scale)
{
    if (!HasBuffers() || !(width > 0.0f) || !(height > 0.0f))
        return;
    gs_blend_state_push();
    gs_enable_blending(true);
    gs_blend_function(GS_BLEND_SRCALPHA, GS_BLEND_INVSRCALPHA);
    BeginSolid(kGridColour);
    if (guides.grid && guides.gridSpacing >= kMinGridSpacing && float(guides.gridSpacing) * scale >= kMinGridPixels) {
        std::vector<std::pair<vec2, vec2>> grid;
        const float step = float(guides.gridSpacing);
        for (float x = step; x < width; x += step)
            grid.push_back({{x, 0.0f}, {x, height}});
        for (float y = step; y < height; y += step)
            grid.push_back({{0.0f, y}, {width, y}});
        DrawLines(grid, kGridColour);
    }
    if (guides.centreLines)
        DrawLines({{{width / 2, 0.0f}, {width / 2, height}}, {{0.0f, height / 2}, {width, height / 2}}}, kCentreLineColour);
    const auto frame = [](float width, float height, float share) {
        const float left = width * (1.0f - share) / 2, top = height * (1.0f - share) / 2;
        const vec2 a{left, top}, b{width - left, top}, c{width - left, height - top}, d{left, height - top};
        return std::vector<std::pair<vec2, vec2>>{{a, b}, {b, c}, {c, d}, {d, a}};
    };
    if (guides.actionSafe)
        DrawLines(frame(width, height, kActionSafeShare), kActionSafeColour);
    if (guides.titleSafe)
        DrawLines(frame(width, height, kTitleSafeShare), kTitleSafeColour);
    EndSolid();
    gs_blend_state_pop();
}

void PreviewPainter::DrawCanvasFrame(float width, float height)
{
    if (!HasBuffers())
        return;
    BeginSolid(kCanvasFrameColour);
    gs_matrix_push();
    gs_matrix_scale3f(width, height, 1.0f);
    Draw(m_box, GS_LINESTRIP);
    gs_matrix_pop();
    EndSolid();
}

void PreviewPainter::DrawOverlay(const CanvasOverlay& overlay, float scale)
{
    if (!HasBuffers() || overlay.Empty() || !(scale > 0.0f))
        return;
    gs_blend_state_push();
    gs_enable_blending(true);
    gs_blend_function(GS_BLEND_SRCALPHA, GS_BLEND_INVSRCALPHA);
    BeginSolid(kSelectionColour);
    for (const CanvasOverlay::Fill& fill : overlay.fills) {
        SetColour({fill.colour.r, fill.colour.g, fill.colour.b, fill.colour.a});
        gs_matrix_push();
        gs_matrix_translate3f(fill.topLeft.x, fill.topLeft.y, 0.0f);
        gs_matrix_scale3f(fill.bottomRight.x - fill.topLeft.x, fill.bottomRight.y - fill.topLeft.y, 1.0f);
        Draw(m_box, GS_TRISTRIP);
        gs_matrix_pop();
    }
    for (const CanvasOverlay::Line& line : overlay.lines)
        DrawLines({{line.from, line.to}}, {line.colour.r, line.colour.g, line.colour.b, line.colour.a});
    matrix4 current;
    gs_matrix_get(&current);
    for (const CanvasOverlay::Handle& handle : overlay.handles) {
        SetColour({handle.colour.r, handle.colour.g, handle.colour.b, handle.colour.a});
        DrawHandleAt(TransformPoint(current, handle.at.x, handle.at.y), handle.windowSize);
    }
    EndSolid();
    gs_blend_state_pop();
}

void PreviewPainter::DrawHandles()
{
    matrix4 current;
    gs_matrix_get(&current);
    for (const HandleSpot& spot : kHandleSpots)
        DrawHandleAt(TransformPoint(current, spot.x, spot.y), kHandleSize);
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
