#pragma once
// Layered Photoshop files: the canvas and every layer (its name, offset,
// size, visibility and pixels as a PNG with alpha), read through Magick++.
// Before Magick++ sees a file its header and layer count are checked here,
// so an oversized or hostile file is refused without being decoded.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint64_t kMaxPsdFileBytes = uint64_t(1) << 30;  // 1 GiB
inline constexpr int kMaxPsdLayers = 256;
inline constexpr uint32_t kMaxPsdSide = 16384;

// What the file's header says, read without decoding any picture.
struct PsdOutline {
    uint32_t width = 0;
    uint32_t height = 0;
    int layerCount = 0;  // 0 for a flat file
    bool large = false;  // the large-document (PSB) variant
};

// Checks the signature, the sizes and the layer count; the reason in error
// when the file is refused.
bool ReadPsdOutline(const std::wstring& path, PsdOutline& outline, std::string& error);

struct PsdLayer {
    std::wstring name;
    int32_t left = 0;  // offset of the layer's picture on the canvas, in pixels
    int32_t top = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool visible = true;
    std::string png;   // the layer's pixels, 8-bit RGBA PNG
};

struct PsdDocument {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<PsdLayer> layers;  // the file's top layer first
    std::string thumbnailJpeg;     // the composite, 320 x 180
};

// Reads every layer, hidden ones included. A flat file gives one layer.
bool ReadPsdDocument(const std::wstring& path, PsdDocument& document, std::string& error);
