#pragma once
// The layout of a Photoshop file (PSD, and PSB, its large-document variant):
// the header, the colour data the pixels need, every layer record with where
// its channels lie, and where the flattened picture lies. Reading the layout
// touches no pixel data and allocates only what the records themselves hold.
#include "PsdBytes.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint64_t kMaxPsdFileBytes = uint64_t(1) << 30;  // 1 GiB
inline constexpr int kMaxPsdLayers = 256;                        // layer records
inline constexpr uint32_t kMaxPsdSide = 16384;                   // canvas
inline constexpr uint32_t kMaxPsdLayerSide = 32768;              // a layer may reach past the canvas
inline constexpr uint64_t kMaxPsdLayerPixels = uint64_t(1) << 32;  // all layers together

enum class PsdColourMode { Bitmap = 0, Grey = 1, Indexed = 2, Rgb = 3, Cmyk = 4, Multichannel = 7, Duotone = 8, Lab = 9 };

struct PsdHeader {
    bool large = false;  // PSB
    int channels = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    int depth = 0;  // bits per sample: 8, 16 or 32
    PsdColourMode mode = PsdColourMode::Rgb;
};

struct PsdRect {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    uint32_t width() const { return right > left ? static_cast<uint32_t>(int64_t(right) - left) : 0; }
    uint32_t height() const { return bottom > top ? static_cast<uint32_t>(int64_t(bottom) - top) : 0; }
    bool empty() const { return width() == 0 || height() == 0; }
};

struct PsdChannel {
    int16_t id = 0;       // 0.. colour, -1 transparency, -2 user mask, -3 combined user and vector mask
    uint64_t offset = 0;  // of its compression field
    uint64_t length = 0;  // compression field included
};

struct PsdMask {
    bool present = false;
    PsdRect rect;
    uint8_t defaultColour = 0;  // outside the rectangle
    bool disabled = false;
    bool hasReal = false;  // a second mask when the layer has both a user and a vector mask
    PsdRect realRect;
    uint8_t realBackground = 0;
    bool realDisabled = false;
};

enum class PsdSection { Layer, OpenGroup, ClosedGroup, GroupEnd };

struct PsdLayerRecord {
    PsdRect rect;
    std::vector<PsdChannel> channels;
    std::string blendKey = "norm";
    uint8_t opacity = 255;
    uint8_t fillOpacity = 255;
    bool clipped = false;  // clipped to the layer below
    bool hidden = false;
    PsdMask mask;
    std::wstring name;  // the Unicode name when the file has one, else the Pascal name
    PsdSection section = PsdSection::Layer;
    std::string sectionBlendKey;  // a group's own blend mode, when stored
    std::string adjustmentKey;    // set for adjustment and fill layers
    bool hasVectorMask = false;

    const PsdChannel* Channel(int id) const;
};

struct PsdStructure {
    PsdHeader header;
    std::string palette;     // indexed files: 256 red, 256 green, 256 blue
    std::string iccProfile;  // the embedded colour profile, if any
    std::vector<PsdLayerRecord> records;  // the file's order: bottom first
    bool mergedAlpha = false;  // the flattened picture's first extra channel is its transparency
    uint64_t imageDataOffset = 0;  // the flattened picture's compression field

    int ColourChannels() const;
};

// Reads the header and layout. The reason in error (a phrase that follows
// the file's name: "is cut short") when the file is refused.
bool ReadPsdStructure(const PsdBytes& bytes, PsdStructure& structure, std::string& error);
// The header alone, with its checks.
bool ReadPsdHeader(PsdCursor& cursor, PsdHeader& header, std::string& error);
