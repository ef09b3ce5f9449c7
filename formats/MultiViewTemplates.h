#pragma once
// The twelve built-in multi-view layouts a new set can start from.
#include <cstdint>

struct MultiViewCell {
    double x, y, zoomX, zoomY, zoomZ, rotateX, rotateY, rotateZ;
};

struct MultiViewTemplate {
    uint32_t id;
    uint32_t count;
    MultiViewCell cells[16];
};

inline constexpr int kMultiViewTemplateCount = 12;

// Template by index 0 … 11; nullptr outside that range.
const MultiViewTemplate* GetMultiViewTemplate(int index);
