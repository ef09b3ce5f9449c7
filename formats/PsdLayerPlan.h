#pragma once
// Which layers of a Photoshop file become set layers, and how: the group
// tree decides visibility and opacity, clipping finds each clipped layer's
// base, and names are made unique. What the set cannot show goes to the report.
#include "PsdReport.h"
#include "PsdStructure.h"

#include <string>
#include <vector>

struct PsdPlannedLayer {
    size_t record = 0;     // in PsdStructure::records
    std::wstring name;     // unique in the set, within the record's byte limit
    bool visible = true;   // the layer, every group around it and its clipping base
    float opacity = 1.0f;  // its own opacity and fill, the groups' and the clipping base's
    int clipBase = -1;     // the record whose pixels clip this layer
};

struct PsdLayerPlan {
    std::vector<PsdPlannedLayer> layers;  // top first
    PsdImportReport report;
};

PsdLayerPlan PlanPsdLayers(const PsdStructure& structure);
