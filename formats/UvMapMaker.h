#pragma once
// UV maps made from four corners: the whole source picture placed onto a
// quadrilateral of the map with a true perspective (projective) mapping.
// Each texel holds red = u, green = v (0 ... 65535 across the picture),
// blue = 0 and alpha = how much of the pixel the picture covers; pixels
// outside the quadrilateral are all 0, pixels along its edges partly covered.
#include <cstdint>
#include <string>
#include <vector>

// Corners in pixels of the map, in the order top-left, top-right,
// bottom-right, bottom-left of the picture. (0, 0) is the map's top-left
// edge, (width, height) its bottom-right edge.
struct UvQuad {
    double x[4] = {};
    double y[4] = {};
};

// The full frame of a map of this size: the identity mapping.
UvQuad FullFrameQuad(uint32_t width, uint32_t height);

// Largest map made: beyond 8K video no map makes sense.
inline constexpr uint32_t kMaxUvMapMakerSide = 8192;
inline constexpr uint64_t kMaxUvMapMakerPixels = uint64_t(7680) * 4320;

struct UvMap {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint16_t> texels;  // width * height * 4, row by row from the top

    const uint16_t* Texel(uint32_t x, uint32_t y) const { return &texels[(size_t(y) * width + x) * 4]; }
};

// Fills map for a quadrilateral. Fails (with a reason in error) for a size of
// 0 or above the limits, and for corners that are not finite or do not form a
// convex quadrilateral of some area, which no perspective view of a flat
// picture can produce.
bool MakeUvMap(uint32_t width, uint32_t height, const UvQuad& quad, UvMap& map, std::string& error);

// The map as a 16-bit RGBA PNG file image.
bool EncodeUvMapPng(const UvMap& map, std::string& png, std::string& error);

// Makes the map and writes it as a 16-bit RGBA PNG. The file is replaced in
// one step, so a failure leaves an existing file as it was.
bool WriteUvMapFile(const std::wstring& path, uint32_t width, uint32_t height, const UvQuad& quad,
                    std::string& error);
