#include "ItemPlacement.h"

#include <cmath>

CanvasSize GetCanvasSize()
{
    obs_video_info ovi = {};
    if (obs_get_video_info(&ovi) && ovi.base_width && ovi.base_height)
        return {static_cast<float>(ovi.base_width), static_cast<float>(ovi.base_height)};
    return {1920.0f, 1080.0f};
}

CanvasSize GetItemSourceSize(obs_sceneitem_t* item)
{
    const CanvasSize canvas = GetCanvasSize();
    obs_source_t* source = item ? obs_sceneitem_get_source(item) : nullptr;
    const uint32_t width = source ? obs_source_get_width(source) : 0;
    const uint32_t height = source ? obs_source_get_height(source) : 0;
    return {width ? static_cast<float>(width) : canvas.width, height ? static_cast<float>(height) : canvas.height};
}

vec2 CanvasPosition(float x, float y, CanvasSize canvas)
{
    vec2 pos;
    pos.x = (x * 0.5f + 0.5f) * canvas.width;
    pos.y = (0.5f - y * 0.5f) * canvas.height;
    return pos;
}

void SetItemCropFractions(obs_sceneitem_t* item, const ItemPlacement& p, float sourceWidth, float sourceHeight)
{
    const float w = std::fabs(sourceWidth);
    const float h = std::fabs(sourceHeight);
    obs_sceneitem_crop crop = {0, 0, 0, 0};
    if (p.cropLeft != 0.0f || p.cropTop != 0.0f || p.cropRight != 0.0f || p.cropBottom != 0.0f) {
        crop.left = static_cast<int>(p.cropLeft * w);
        crop.top = static_cast<int>(p.cropTop * h);
        crop.right = static_cast<int>(p.cropRight * w);
        crop.bottom = static_cast<int>(p.cropBottom * h);
    }
    obs_sceneitem_set_crop(item, &crop);
}

void SetItemPlacement(obs_sceneitem_t* item, const ItemPlacement& p, float sourceWidth, float sourceHeight)
{
    if (!item)
        return;
    const CanvasSize canvas = GetCanvasSize();
    if (sourceWidth == 0.0f)
        sourceWidth = canvas.width;
    if (sourceHeight == 0.0f)
        sourceHeight = canvas.height;
    const vec2 pos = CanvasPosition(p.x, p.y, canvas);
    vec2 scale;
    scale.x = canvas.width * p.zoomX / sourceWidth;
    scale.y = canvas.height * p.zoomY / sourceHeight;
    obs_sceneitem_defer_update_begin(item);
    obs_sceneitem_set_alignment(item, OBS_ALIGN_CENTER);
    obs_sceneitem_set_bounds_type(item, OBS_BOUNDS_NONE);
    obs_sceneitem_set_pos(item, &pos);
    obs_sceneitem_set_rot(item, p.rotateZ * 360.0f);
    obs_sceneitem_set_scale(item, &scale);
    SetItemCropFractions(item, p, sourceWidth, sourceHeight);
    obs_sceneitem_defer_update_end(item);
}

void SetItemPlacement(obs_sceneitem_t* item, const ItemPlacement& p)
{
    const CanvasSize source = GetItemSourceSize(item);
    SetItemPlacement(item, p, source.width, source.height);
}

void SetItemScale(obs_sceneitem_t* item, float x, float y, float scaleX, float scaleY, float rotateZ)
{
    if (!item)
        return;
    obs_transform_info info = {};
    obs_sceneitem_get_info(item, &info);
    info.pos = CanvasPosition(x, y, GetCanvasSize());
    info.rot = rotateZ * 360.0f;
    info.scale.x = scaleX;
    info.scale.y = scaleY;
    info.alignment = OBS_ALIGN_CENTER;
    info.bounds_alignment = 0;
    obs_sceneitem_set_info(item, &info);
}

ItemPlacement GetItemPlacement(obs_sceneitem_t* item)
{
    ItemPlacement p;
    if (!item)
        return p;
    const CanvasSize canvas = GetCanvasSize();
    const CanvasSize source = GetItemSourceSize(item);
    obs_transform_info info = {};
    obs_sceneitem_get_info(item, &info);
    p.x = (info.pos.x / canvas.width - 0.5f) * 2.0f;
    p.y = (info.pos.y / canvas.height - 0.5f) * -2.0f;
    p.rotateZ = info.rot / 360.0f;
    if (info.bounds_type != OBS_BOUNDS_NONE) {
        p.zoomX = info.bounds.x / canvas.width;
        p.zoomY = info.bounds.y / canvas.height;
    } else {
        p.zoomX = info.scale.x * source.width / canvas.width;
        p.zoomY = info.scale.y * source.height / canvas.height;
    }
    obs_sceneitem_crop crop = {};
    obs_sceneitem_get_crop(item, &crop);
    p.cropLeft = static_cast<float>(crop.left) / source.width;
    p.cropTop = static_cast<float>(crop.top) / source.height;
    p.cropRight = static_cast<float>(crop.right) / source.width;
    p.cropBottom = static_cast<float>(crop.bottom) / source.height;
    return p;
}

void FitZoomToAspect(float& zoomX, float& zoomY, CanvasSize canvas, CanvasSize source)
{
    if (canvas.height == 0.0f || source.height == 0.0f || source.width == 0.0f)
        return;
    const float canvasAspect = canvas.width / canvas.height;
    const float sourceAspect = source.width / source.height;
    if (canvasAspect > sourceAspect)
        zoomX *= sourceAspect / canvasAspect;
    else
        zoomY *= canvasAspect / sourceAspect;
}
