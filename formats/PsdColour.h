#pragma once
// The file's colour samples as 8-bit sRGB: greyscale and duotone as grey,
// indexed through the palette, RGB as it is, CMYK through the file's own
// colour profile (or, without one, by the plain ink formula).
#include "PsdStructure.h"

#include <cstdint>
#include <memory>

class PsdColour {
public:
    explicit PsdColour(const PsdStructure& structure);
    ~PsdColour();
    PsdColour(const PsdColour&) = delete;
    PsdColour& operator=(const PsdColour&) = delete;

    int channels() const { return m_channels; }
    // planes[c][x] for the mode's colour channels; writes R, G, B of each
    // 4-byte pixel of rgba and leaves its alpha alone.
    void ToRgb(const uint16_t* const* planes, uint32_t width, uint8_t* rgba) const;

private:
    void CmykToRgb(const uint16_t* const* planes, uint32_t width, uint8_t* rgba) const;

    PsdColourMode m_mode;
    int m_channels;
    std::string m_palette;
    void* m_transform = nullptr;  // the colour profile's CMYK to sRGB transform
    mutable std::unique_ptr<uint16_t[]> m_cmyk;  // a row, interleaved for the transform
    mutable std::unique_ptr<uint8_t[]> m_rgb;
    mutable uint32_t m_cmykWidth = 0;
};
