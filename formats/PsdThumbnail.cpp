#include "PsdThumbnail.h"

#include "platform/Image.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr uint32_t kThumbWidth = 320, kThumbHeight = 180;
}

PsdThumbnail::PsdThumbnail(uint32_t canvasWidth, uint32_t canvasHeight)
    : m_canvasWidth(canvasWidth), m_canvasHeight(canvasHeight),
      m_gridWidth(std::min(canvasWidth, kThumbWidth)), m_gridHeight(std::min(canvasHeight, kThumbHeight))
{
    m_columnCell.resize(canvasWidth);
    for (uint32_t x = 0; x < canvasWidth; ++x)
        m_columnCell[x] = static_cast<uint32_t>(uint64_t(x) * m_gridWidth / canvasWidth);
    const size_t cells = size_t(m_gridWidth) * m_gridHeight;
    m_layer.assign(cells * 4, 0.0f);
    m_picture.assign(cells * 4, 0.0f);
    // A cell's area: the canvas columns that fall in its column times the rows in its row.
    std::vector<float> columns(m_gridWidth, 0.0f), rows(m_gridHeight, 0.0f);
    for (uint32_t x = 0; x < canvasWidth; ++x)
        columns[m_columnCell[x]] += 1.0f;
    for (uint32_t y = 0; y < canvasHeight; ++y)
        rows[static_cast<size_t>(uint64_t(y) * m_gridHeight / canvasHeight)] += 1.0f;
    m_cellArea.assign(cells, 0.0f);
    for (uint32_t r = 0; r < m_gridHeight; ++r) {
        for (uint32_t c = 0; c < m_gridWidth; ++c)
            m_cellArea[size_t(r) * m_gridWidth + c] = rows[r] * columns[c];
    }
}

void PsdThumbnail::BeginLayer(int32_t left, int32_t, uint32_t width)
{
    std::fill(m_layer.begin(), m_layer.end(), 0.0f);
    m_left = left;
    m_width = width;
}

void PsdThumbnail::AddRow(int32_t canvasY, const uint8_t* rgba)
{
    if (canvasY < 0 || static_cast<uint32_t>(canvasY) >= m_canvasHeight)
        return;
    float* row = m_layer.data() + size_t(uint64_t(canvasY) * m_gridHeight / m_canvasHeight) * m_gridWidth * 4;
    const int64_t from = std::max<int64_t>(0, m_left), to = std::min<int64_t>(m_canvasWidth, int64_t(m_left) + m_width);
    for (int64_t x = from; x < to; ++x) {
        const uint8_t* pixel = rgba + (x - m_left) * 4;
        if (pixel[3] == 0)
            continue;
        const float alpha = pixel[3] / 255.0f;
        float* cell = row + m_columnCell[static_cast<size_t>(x)] * 4;
        cell[0] += pixel[0] * alpha;
        cell[1] += pixel[1] * alpha;
        cell[2] += pixel[2] * alpha;
        cell[3] += alpha;
    }
}

void PsdThumbnail::EndLayer()
{
    for (size_t i = 0; i < m_cellArea.size(); ++i) {
        const float area = m_cellArea[i] > 0 ? m_cellArea[i] : 1.0f;
        const float alpha = m_layer[4 * i + 3] / area;
        for (size_t c = 0; c < 4; ++c)
            m_picture[4 * i + c] = m_layer[4 * i + c] / area + m_picture[4 * i + c] * (1.0f - alpha);
    }
}

std::string PsdThumbnail::EncodeJpeg() const
{
    std::vector<uint8_t> bgra(m_cellArea.size() * 4);
    for (size_t i = 0; i < m_cellArea.size(); ++i) {
        const float alpha = m_picture[4 * i + 3];
        for (size_t c = 0; c < 3; ++c) {
            const float value = alpha > 0 ? m_picture[4 * i + c] / alpha : 0.0f;
            bgra[4 * i + 2 - c] = static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
        }
        bgra[4 * i + 3] = static_cast<uint8_t>(std::clamp(std::lround(alpha * 255.0f), 0L, 255L));
    }
    platform::Image image;
    if (!image.CreateFromArray(bgra.data(), static_cast<int>(m_gridWidth), static_cast<int>(m_gridHeight), 32,
                               static_cast<int>(m_gridWidth * 4), false) ||
        !image.Resample(kThumbWidth, kThumbHeight))
        return {};
    return image.EncodeJpeg();
}
