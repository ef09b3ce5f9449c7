#include "PsdFileMaker.h"

#include <zlib.h>

#include <cmath>
#include <cstring>

namespace psdtest {

namespace {

void Put(std::string& out, uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

void PutRect(std::string& out, const MakerRect& r)
{
    Put(out, static_cast<uint32_t>(r.top), 4);
    Put(out, static_cast<uint32_t>(r.left), 4);
    Put(out, static_cast<uint32_t>(r.bottom), 4);
    Put(out, static_cast<uint32_t>(r.right), 4);
}

void PutBlock(std::string& out, const std::string& key, const std::string& data, int lengthBytes = 4)
{
    out += "8BIM" + key;
    Put(out, data.size(), lengthBytes);
    out += data;
}

float SrgbToLinear(float v) { return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f); }

// One row of 8-bit values at the file's depth.
std::string RowBytes(const std::vector<uint8_t>& values, int depth, bool colour)
{
    std::string row;
    for (uint8_t v : values) {
        if (depth == 8) {
            row += static_cast<char>(v);
        } else if (depth == 16) {
            Put(row, v * 257u, 2);
        } else {
            const float f = colour ? SrgbToLinear(v / 255.0f) : v / 255.0f;
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            Put(row, bits, 4);
        }
    }
    return row;
}

std::string Predict(std::string row, int depth)
{
    const size_t n = row.size();
    if (depth == 8) {
        for (size_t i = n; i-- > 1;)
            row[i] = static_cast<char>(row[i] - row[i - 1]);
    } else if (depth == 16) {
        for (size_t i = n / 2; i-- > 1;) {
            const unsigned v = (uint8_t(row[2 * i]) << 8 | uint8_t(row[2 * i + 1])) -
                               (uint8_t(row[2 * i - 2]) << 8 | uint8_t(row[2 * i - 1]));
            row[2 * i] = static_cast<char>(v >> 8);
            row[2 * i + 1] = static_cast<char>(v);
        }
    } else {
        const size_t w = n / 4;
        std::string planar(n, '\0');
        for (size_t i = 0; i < w; ++i) {
            for (size_t k = 0; k < 4; ++k)
                planar[k * w + i] = row[4 * i + k];
        }
        row = planar;
        for (size_t i = n; i-- > 1;)
            row[i] = static_cast<char>(row[i] - row[i - 1]);
    }
    return row;
}

std::string PackBits(const std::string& row)
{
    std::string out;
    for (size_t i = 0; i < row.size(); i += 128) {
        const size_t n = std::min<size_t>(128, row.size() - i);
        out += static_cast<char>(n - 1);
        out += row.substr(i, n);
    }
    return out;
}

std::string Zip(const std::string& data)
{
    uLongf size = compressBound(data.size());
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()), data.size());
    out.resize(size);
    return out;
}

// A plane's rows compressed; with the compression field when `withField`.
std::string Channel(const std::vector<std::string>& rows, int compression, int depth, bool large, bool withField = true)
{
    std::string out;
    if (withField)
        Put(out, compression, 2);
    std::string all;
    if (compression == 1) {
        std::string data;
        for (const std::string& row : rows) {
            const std::string packed = PackBits(row);
            Put(out, packed.size(), large ? 4 : 2);
            data += packed;
        }
        return out + data;
    }
    for (const std::string& row : rows)
        all += compression == 3 ? Predict(row, depth) : row;
    return out + (compression >= 2 ? Zip(all) : all);
}

struct Plane {
    int id;
    std::vector<std::string> rows;
};

std::vector<Plane> LayerPlanes(const MakerFile& file, const MakerLayer& layer)
{
    std::vector<Plane> planes;
    const int colours = file.mode == 3 ? 3 : file.mode == 4 ? 4 : 1;
    const int w = layer.rect.right - layer.rect.left, h = layer.rect.bottom - layer.rect.top;
    for (int id = -1; id < colours; ++id) {
        Plane plane{id, {}};
        for (int y = 0; y < h && layer.kind == MakerLayer::Pixels; ++y) {
            std::vector<uint8_t> values;
            for (int x = 0; x < w; ++x) {
                const Pixel p = layer.pixel(x, y);
                if (file.mode == 4)
                    values.push_back(id < 0 ? 255 : static_cast<uint8_t>(255 - p[static_cast<size_t>(id)]));
                else
                    values.push_back(p[id < 0 ? 3 : static_cast<size_t>(id)]);
            }
            plane.rows.push_back(RowBytes(values, file.depth, id >= 0));
        }
        planes.push_back(plane);
    }
    if (layer.mask) {
        const MakerMask& m = *layer.mask;
        Plane plane{m.channelId, {}};
        for (int y = 0; y < m.rect.bottom - m.rect.top; ++y) {
            std::vector<uint8_t> values;
            for (int x = 0; x < m.rect.right - m.rect.left; ++x)
                values.push_back(m.value(x, y));
            plane.rows.push_back(RowBytes(values, file.depth, false));
        }
        planes.push_back(plane);
    }
    return planes;
}

std::string LayerInfo(const MakerFile& file)
{
    std::string records, data;
    Put(records, file.layers.size(), 2);
    for (const MakerLayer& layer : file.layers) {
        const std::vector<Plane> planes = LayerPlanes(file, layer);
        PutRect(records, layer.rect);
        Put(records, planes.size(), 2);
        for (const Plane& plane : planes) {
            const std::string channel = Channel(plane.rows, file.compression, file.depth, file.large);
            Put(records, static_cast<uint16_t>(plane.id), 2);
            Put(records, channel.size(), file.large ? 8 : 4);
            data += channel;
        }
        records += "8BIM" + layer.blend;
        records += static_cast<char>(layer.opacity);
        records += static_cast<char>(layer.clipped ? 1 : 0);
        records += static_cast<char>(0x08 | (layer.hidden ? 0x02 : 0));
        records += '\0';
        std::string extra;
        if (layer.mask) {
            Put(extra, 20, 4);
            PutRect(extra, layer.mask->rect);
            extra += static_cast<char>(layer.mask->defaultColour);
            extra += std::string(3, '\0');
        } else {
            Put(extra, 0, 4);
        }
        Put(extra, 0, 4);  // blending ranges
        extra += static_cast<char>(layer.name.size());
        extra += layer.name;
        extra += std::string((4 - (1 + layer.name.size()) % 4) % 4, '\0');
        if (!layer.unicode.empty()) {
            std::string text;
            Put(text, layer.unicode.size(), 4);
            for (char16_t c : layer.unicode)
                Put(text, c, 2);
            text += std::string((4 - text.size() % 4) % 4, '\0');
            PutBlock(extra, "luni", text);
        }
        if (layer.kind != MakerLayer::Pixels) {
            std::string section;
            Put(section, layer.kind == MakerLayer::GroupStart ? 1 : 3, 4);
            section += "8BIM" + std::string(layer.kind == MakerLayer::GroupStart ? layer.blend : "pass");
            PutBlock(extra, "lsct", section);
        }
        if (layer.fill) {
            std::string fill(4, '\0');
            fill[0] = static_cast<char>(*layer.fill);
            PutBlock(extra, "iOpa", fill);
        }
        if (!layer.extraBlockKey.empty())
            PutBlock(extra, layer.extraBlockKey, std::string(4, '\0'));
        Put(records, extra.size(), 4);
        records += extra;
    }
    std::string info = records + data;
    if (info.size() % 2)
        info += '\0';
    return info;
}

}  // namespace

MakerLayer PixelLayer(const std::string& name, MakerRect rect, Pixel colour)
{
    MakerLayer layer;
    layer.name = name;
    layer.rect = rect;
    layer.pixel = [colour](int, int) { return colour; };
    return layer;
}

MakerLayer GroupStart(const std::string& name, bool hidden, uint8_t opacity)
{
    MakerLayer layer;
    layer.kind = MakerLayer::GroupStart;
    layer.name = name;
    layer.hidden = hidden;
    layer.opacity = opacity;
    layer.blend = "pass";
    return layer;
}

MakerLayer GroupEnd()
{
    MakerLayer layer;
    layer.kind = MakerLayer::GroupEnd;
    layer.name = "</Layer group>";
    return layer;
}

std::string MakePsd(const MakerFile& file)
{
    const int colours = file.mode == 3 ? 3 : file.mode == 4 ? 4 : 1;
    const int lengthBytes = file.large ? 8 : 4;
    std::string out = "8BPS";
    Put(out, file.large ? 2 : 1, 2);
    out += std::string(6, '\0');
    Put(out, colours, 2);
    Put(out, file.height, 4);
    Put(out, file.width, 4);
    Put(out, file.depth, 2);
    Put(out, file.mode, 2);
    Put(out, 0, 4);  // colour mode data
    Put(out, 0, 4);  // image resources
    std::string section;
    if (!file.layers.empty()) {
        const std::string info = LayerInfo(file);
        if (file.depth == 8) {
            Put(section, info.size(), lengthBytes);
            section += info;
            Put(section, 0, 4);
        } else {
            Put(section, 0, lengthBytes);
            Put(section, 0, 4);
            PutBlock(section, file.depth == 16 ? "Lr16" : "Lr32", info, lengthBytes);
        }
    }
    Put(out, section.size(), lengthBytes);
    out += section;
    // The flattened picture, raw.
    Put(out, 0, 2);
    for (int c = 0; c < colours; ++c) {
        std::vector<std::string> rows;
        for (int y = 0; y < file.height; ++y) {
            std::vector<uint8_t> values;
            for (int x = 0; x < file.width; ++x) {
                const Pixel p = file.flattened ? file.flattened(x, y) : Pixel{255, 255, 255, 255};
                values.push_back(file.mode == 4 ? static_cast<uint8_t>(255 - p[static_cast<size_t>(c)]) : p[static_cast<size_t>(c)]);
            }
            rows.push_back(RowBytes(values, file.depth, true));
        }
        out += Channel(rows, 0, file.depth, file.large, false);
    }
    return out;
}

}  // namespace psdtest
