#pragma once
// A set layer's picture from a Photoshop layer, a row at a time: the colour
// channels in sRGB, and as alpha the layer's transparency times its masks,
// its clipping base's pixels and its opacity. Also the file's flattened
// picture, for a file without layers.
#include "PsdBytes.h"
#include "PsdColour.h"
#include "PsdLayerPlan.h"
#include "PsdStructure.h"

#include <cstdint>
#include <string>

struct PsdPictureInfo {
    int32_t left = 0;  // on the canvas; may lie outside it
    int32_t top = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool visible = true;
};

// Where the rows go: 8-bit RGBA, not premultiplied, top row first.
class PsdPictureSink {
public:
    virtual ~PsdPictureSink() = default;
    virtual bool Begin(const PsdPictureInfo& info, std::string& error) = 0;
    virtual bool Row(const uint8_t* rgba, std::string& error) = 0;
    virtual bool End(std::string& error) = 0;
};

bool PaintPsdLayer(const PsdBytes& bytes, const PsdStructure& structure, const PsdColour& colour,
                   const PsdPlannedLayer& layer, PsdPictureSink& sink, std::string& error);

// The flattened picture; its transparency, when stored, is taken out of the
// white it was laid over.
bool PaintPsdFlattened(const PsdBytes& bytes, const PsdStructure& structure, const PsdColour& colour,
                       PsdPictureSink& sink, std::string& error);
