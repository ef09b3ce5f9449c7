#pragma once
// Photoshop files written byte by byte for the import tests, with exactly
// the features a test asks for: depth, colour mode, compression, groups,
// masks, clipping, opacities, blend modes and names.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace psdtest {

using Pixel = std::array<uint8_t, 4>;  // R, G, B, A (C, M, Y, K ink of 0..255 in a CMYK file, then A)
using PixelAt = std::function<Pixel(int x, int y)>;  // x, y inside the layer

struct MakerRect {
    int top = 0, left = 0, bottom = 0, right = 0;
};

struct MakerMask {
    MakerRect rect;
    uint8_t defaultColour = 0;
    std::function<uint8_t(int x, int y)> value;  // inside the mask's rectangle
    int channelId = -2;
};

struct MakerLayer {
    enum Kind { Pixels, GroupStart, GroupEnd };
    Kind kind = Pixels;
    std::string name;          // Pascal name
    std::u16string unicode;    // stored as the Unicode name when not empty
    MakerRect rect;
    PixelAt pixel;
    bool hidden = false;
    bool clipped = false;
    uint8_t opacity = 255;
    std::optional<uint8_t> fill;
    std::string blend = "norm";
    std::optional<MakerMask> mask;
    std::string extraBlockKey;  // an empty tagged block of this key ("levl" makes an adjustment layer)
};

struct MakerFile {
    int width = 16;
    int height = 16;
    int depth = 8;
    int mode = 3;         // 1 grey, 3 RGB, 4 CMYK
    int compression = 1;  // for every channel: 0 raw, 1 run-length, 2 zip, 3 zip with prediction
    bool large = false;   // PSB
    std::vector<MakerLayer> layers;  // bottom first
    PixelAt flattened;               // the flattened picture; opaque
};

std::string MakePsd(const MakerFile& file);

MakerLayer PixelLayer(const std::string& name, MakerRect rect, Pixel colour);
MakerLayer GroupStart(const std::string& name, bool hidden = false, uint8_t opacity = 255);
MakerLayer GroupEnd();

}  // namespace psdtest
