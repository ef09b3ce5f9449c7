#pragma once
// The set's thumbnail, built from the visible layers' rows as they pass:
// each layer is averaged down onto a small grid and laid over the layers
// below, so no full-size picture is ever held.
#include <cstdint>
#include <string>
#include <vector>

class PsdThumbnail {
public:
    PsdThumbnail(uint32_t canvasWidth, uint32_t canvasHeight);

    // Layers come bottom first; rows of one layer top first.
    void BeginLayer(int32_t left, int32_t top, uint32_t width);
    void AddRow(int32_t canvasY, const uint8_t* rgba);
    void EndLayer();

    // 320 x 180 JPEG, transparent parts over white; empty on failure.
    std::string EncodeJpeg() const;

private:
    uint32_t m_canvasWidth, m_canvasHeight;
    uint32_t m_gridWidth, m_gridHeight;
    std::vector<uint32_t> m_columnCell;  // canvas column → grid column
    std::vector<float> m_layer;          // premultiplied sums of the layer being added
    std::vector<float> m_picture;        // premultiplied, what lies below
    std::vector<float> m_cellArea;
    int32_t m_left = 0;
    uint32_t m_width = 0;
};
