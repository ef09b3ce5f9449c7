#pragma once
// Conversions between normalised placement (x, y from -1 to +1 across the
// canvas, y upwards; zooms as fractions of the canvas; rotation in turns;
// crop as fractions of the picture) and libobs scene item transforms. The
// canvas is the engine's video base size.
#include <obs.h>

struct ItemPlacement {
    float x = 0.0f;
    float y = 0.0f;
    float zoomX = 1.0f;
    float zoomY = 1.0f;
    float rotateZ = 0.0f;
    float cropLeft = 0.0f;
    float cropTop = 0.0f;
    float cropRight = 0.0f;
    float cropBottom = 0.0f;
};

struct CanvasSize {
    float width;
    float height;
};

// The engine's video base size (1920 x 1080 when the engine has no video).
CanvasSize GetCanvasSize();

// Width and height of the item's source; a zero dimension counts as the
// canvas's.
CanvasSize GetItemSourceSize(obs_sceneitem_t* item);

// Places the item: centre alignment, no bounds, scale from the zoom and the
// source size, crop in whole pixels. A negative source width or height
// mirrors the picture (only the scale takes the sign).
void SetItemPlacement(obs_sceneitem_t* item, const ItemPlacement& placement, float sourceWidth, float sourceHeight);
// The same with the item's own source size.
void SetItemPlacement(obs_sceneitem_t* item, const ItemPlacement& placement);

// Places the item with zoomX and zoomY taken as plain scale factors; the
// bounds type stays as it was.
void SetItemScale(obs_sceneitem_t* item, float x, float y, float scaleX, float scaleY, float rotateZ);

// Reads the item's transform back into normalised placement.
ItemPlacement GetItemPlacement(obs_sceneitem_t* item);

// Crop of the item in pixels from the fractions (no crop when all four are 0).
void SetItemCropFractions(obs_sceneitem_t* item, const ItemPlacement& placement, float sourceWidth, float sourceHeight);

// Keep aspect: shrinks one zoom so the picture keeps its aspect ratio on the canvas.
void FitZoomToAspect(float& zoomX, float& zoomY, CanvasSize canvas, CanvasSize source);

// Canvas position of a normalised point.
vec2 CanvasPosition(float x, float y, CanvasSize canvas);
