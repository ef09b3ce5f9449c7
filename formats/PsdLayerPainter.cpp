#include "PsdLayerPainter.h"

#include "PsdChannelRows.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace {

constexpr int kTransparency = -1, kUserMask = -2, kRealUserMask = -3;

uint16_t Multiply(uint32_t a, uint32_t b) { return static_cast<uint16_t>((a * b + 32767) / 65535); }

// One stored plane over a rectangle of the canvas, with the value it has
// outside: the layer's transparency, or a mask.
class CoveragePlane {
public:
    bool Open(const PsdBytes& bytes, const PsdChannel* channel, const PsdRect& rect, uint16_t outside,
              const PsdHeader& header, std::string& error)
    {
        m_rect = rect;
        m_outside = outside;
        m_active = true;
        if (!channel || rect.empty())
            return true;
        m_rows = std::make_unique<PsdChannelRows>();
        m_line.assign(rect.width(), 0);
        const PsdPlane plane{rect.width(), rect.height(), header.depth, header.large, PsdSampleKind::Linear};
        return m_rows->OpenLayerChannel(bytes, *channel, plane, error);
    }

    // Multiplies out[0 .. count) by the plane's values at canvas row y from column x0.
    bool Apply(int32_t y, int32_t x0, uint32_t count, uint16_t* out, std::string& error)
    {
        if (!m_active)
            return true;
        const bool rowInside = y >= m_rect.top && y < m_rect.bottom;
        if (rowInside && !m_rows) {  // no stored plane: full inside the rectangle
            ApplyInside(x0, count, out, [](uint32_t) { return uint16_t(65535); });
            return true;
        }
        if (!rowInside) {
            for (uint32_t i = 0; i < count; ++i)
                out[i] = Multiply(out[i], m_outside);
            return true;
        }
        const uint32_t row = static_cast<uint32_t>(int64_t(y) - m_rect.top);
        if (row + 1 != m_rows->rowsRead()) {
            if (!m_rows->SkipRows(row - m_rows->rowsRead(), error) || !m_rows->NextRow(m_line.data(), error))
                return false;
        }
        ApplyInside(x0, count, out, [this](uint32_t x) { return m_line[x]; });
        return true;
    }

private:
    template <typename Inside>
    void ApplyInside(int32_t x0, uint32_t count, uint16_t* out, Inside inside)
    {
        for (uint32_t i = 0; i < count; ++i) {
            const int64_t x = int64_t(x0) + i;
            const bool in = x >= m_rect.left && x < m_rect.right;
            out[i] = Multiply(out[i], in ? inside(static_cast<uint32_t>(x - m_rect.left)) : m_outside);
        }
    }

    bool m_active = false;
    PsdRect m_rect;
    uint16_t m_outside = 0;
    std::unique_ptr<PsdChannelRows> m_rows;
    std::vector<uint16_t> m_line;
};

// A record's pixels as coverage: its transparency times its enabled mask.
class LayerCoverage {
public:
    bool Open(const PsdBytes& bytes, const PsdLayerRecord& record, const PsdHeader& header, std::string& error)
    {
        if (!m_alpha.Open(bytes, record.Channel(kTransparency), record.rect, 0, header, error))
            return false;
        const PsdMask& mask = record.mask;
        if (!mask.present)
            return true;
        // With both a user and a vector mask, -2 holds the two combined.
        if (record.Channel(kUserMask) && !mask.disabled)
            return m_mask.Open(bytes, record.Channel(kUserMask), mask.rect, static_cast<uint16_t>(mask.defaultColour * 257),
                               header, error);
        if (record.Channel(kRealUserMask) && mask.hasReal && !mask.realDisabled)
            return m_mask.Open(bytes, record.Channel(kRealUserMask), mask.realRect,
                               static_cast<uint16_t>(mask.realBackground * 257), header, error);
        return true;
    }

    bool Apply(int32_t y, int32_t x0, uint32_t count, uint16_t* out, std::string& error)
    {
        return m_alpha.Apply(y, x0, count, out, error) && m_mask.Apply(y, x0, count, out, error);
    }

private:
    CoveragePlane m_alpha;
    CoveragePlane m_mask;
};

struct ColourRows {
    std::vector<std::unique_ptr<PsdChannelRows>> rows;
    std::vector<std::vector<uint16_t>> lines;
    std::vector<const uint16_t*> planes;

    void Resize(int channels, uint32_t width)
    {
        rows.clear();
        lines.assign(static_cast<size_t>(channels), std::vector<uint16_t>(width));
        planes.clear();
        for (auto& line : lines) {
            rows.push_back(std::make_unique<PsdChannelRows>());
            planes.push_back(line.data());
        }
    }

    bool Next(std::string& error)
    {
        for (size_t c = 0; c < rows.size(); ++c) {
            if (!rows[c]->NextRow(lines[c].data(), error))
                return false;
        }
        return true;
    }
};

}  // namespace

bool PaintPsdLayer(const PsdBytes& bytes, const PsdStructure& structure, const PsdColour& colour,
                   const PsdPlannedLayer& layer, PsdPictureSink& sink, std::string& error)
{
    const PsdLayerRecord& record = structure.records[layer.record];
    const PsdHeader& header = structure.header;
    const uint32_t width = record.rect.width(), height = record.rect.height();
    ColourRows colours;
    colours.Resize(colour.channels(), width);
    const PsdPlane plane{width, height, header.depth, header.large, PsdSampleKind::Colour};
    for (int c = 0; c < colour.channels(); ++c) {
        const PsdChannel* channel = record.Channel(c);
        if (!channel) {
            error = "is damaged (layer \"" + platform::WideToUtf8(layer.name) + "\" lacks a colour channel)";
            return false;
        }
        if (!colours.rows[static_cast<size_t>(c)]->OpenLayerChannel(bytes, *channel, plane, error))
            return false;
    }
    LayerCoverage own, base;
    if (!own.Open(bytes, record, header, error))
        return false;
    if (layer.clipBase >= 0 && !base.Open(bytes, structure.records[static_cast<size_t>(layer.clipBase)], header, error))
        return false;

    std::vector<uint16_t> coverage(width);
    std::vector<uint8_t> rgba(size_t(width) * 4);
    const uint32_t opacity = static_cast<uint32_t>(std::clamp(layer.opacity, 0.0f, 1.0f) * 65535.0f + 0.5f);
    if (!sink.Begin({record.rect.left, record.rect.top, width, height, layer.visible}, error))
        return false;
    for (uint32_t y = 0; y < height; ++y) {
        const int32_t canvasY = static_cast<int32_t>(int64_t(record.rect.top) + y);
        std::fill(coverage.begin(), coverage.end(), static_cast<uint16_t>(opacity));
        if (!colours.Next(error) || !own.Apply(canvasY, record.rect.left, width, coverage.data(), error) ||
            (layer.clipBase >= 0 && !base.Apply(canvasY, record.rect.left, width, coverage.data(), error)))
            return false;
        colour.ToRgb(colours.planes.data(), width, rgba.data());
        for (uint32_t x = 0; x < width; ++x)
            rgba[4 * x + 3] = static_cast<uint8_t>((coverage[x] + 128) / 257);
        if (!sink.Row(rgba.data(), error))
            return false;
    }
    return sink.End(error);
}

bool PaintPsdFlattened(const PsdBytes& bytes, const PsdStructure& structure, const PsdColour& colour,
                       PsdPictureSink& sink, std::string& error)
{
    const PsdHeader& header = structure.header;
    const uint32_t width = header.width, height = header.height;
    const int channels = colour.channels();
    const bool hasAlpha = structure.mergedAlpha && header.channels > channels;
    ColourRows colours;
    colours.Resize(channels + (hasAlpha ? 1 : 0), width);
    for (size_t c = 0; c < colours.rows.size(); ++c) {
        const bool isAlpha = static_cast<int>(c) == channels;
        const PsdPlane plane{width, height, header.depth, header.large,
                             isAlpha ? PsdSampleKind::Linear : PsdSampleKind::Colour};
        if (!colours.rows[c]->OpenImageChannel(bytes, structure.imageDataOffset, static_cast<int>(c), header.channels,
                                              plane, error))
            return false;
    }
    std::vector<uint8_t> rgba(size_t(width) * 4, 255);
    if (!sink.Begin({0, 0, width, height, true}, error))
        return false;
    for (uint32_t y = 0; y < height; ++y) {
        if (!colours.Next(error))
            return false;
        colour.ToRgb(colours.planes.data(), width, rgba.data());
        if (hasAlpha) {
            const uint16_t* alpha = colours.planes[static_cast<size_t>(channels)];
            for (uint32_t x = 0; x < width; ++x) {
                const int a = (alpha[x] + 128) / 257;
                rgba[4 * x + 3] = static_cast<uint8_t>(a);
                for (int c = 0; c < 3 && a > 0; ++c) {
                    const int matted = rgba[4 * x + static_cast<uint32_t>(c)];
                    rgba[4 * x + static_cast<uint32_t>(c)] =
                        static_cast<uint8_t>(std::clamp((matted - 255 + a) * 255 / a, 0, 255));
                }
            }
        }
        if (!sink.Row(rgba.data(), error))
            return false;
    }
    return sink.End(error);
}
