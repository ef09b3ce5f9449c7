#include "PsdColour.h"

#include <lcms2.h>

namespace {

uint8_t To8(uint16_t sample) { return static_cast<uint8_t>((sample + 128) / 257); }

// A CMYK to sRGB transform from the embedded profile; null when the file has
// none or it is no CMYK profile.
void* MakeCmykTransform(const std::string& profile)
{
    if (profile.empty())
        return nullptr;
    cmsHPROFILE source = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
    if (!source)
        return nullptr;
    cmsHTRANSFORM transform = nullptr;
    if (cmsGetColorSpace(source) == cmsSigCmykData) {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        // Photoshop stores ink as 0 = full, as the reversed CMYK layout has it.
        transform = cmsCreateTransform(source, TYPE_CMYK_16_REV, srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
        cmsCloseProfile(srgb);
    }
    cmsCloseProfile(source);
    return transform;
}

}  // namespace

PsdColour::PsdColour(const PsdStructure& structure)
    : m_mode(structure.header.mode), m_channels(structure.ColourChannels()), m_palette(structure.palette)
{
    if (m_mode == PsdColourMode::Cmyk)
        m_transform = MakeCmykTransform(structure.iccProfile);
}

PsdColour::~PsdColour()
{
    if (m_transform)
        cmsDeleteTransform(static_cast<cmsHTRANSFORM>(m_transform));
}

void PsdColour::ToRgb(const uint16_t* const* planes, uint32_t width, uint8_t* rgba) const
{
    switch (m_mode) {
    case PsdColourMode::Rgb:
        for (uint32_t x = 0; x < width; ++x) {
            rgba[4 * x] = To8(planes[0][x]);
            rgba[4 * x + 1] = To8(planes[1][x]);
            rgba[4 * x + 2] = To8(planes[2][x]);
        }
        break;
    case PsdColourMode::Cmyk:
        CmykToRgb(planes, width, rgba);
        break;
    case PsdColourMode::Indexed:
        for (uint32_t x = 0; x < width; ++x) {
            const size_t index = To8(planes[0][x]);
            for (size_t c = 0; c < 3; ++c)
                rgba[4 * x + c] = m_palette.size() == 768 ? static_cast<uint8_t>(m_palette[c * 256 + index]) : 0;
        }
        break;
    default:
        for (uint32_t x = 0; x < width; ++x)
            rgba[4 * x] = rgba[4 * x + 1] = rgba[4 * x + 2] = To8(planes[0][x]);
        break;
    }
}

void PsdColour::CmykToRgb(const uint16_t* const* planes, uint32_t width, uint8_t* rgba) const
{
    if (!m_transform) {
        // Without a profile: each ink takes away its share of the light.
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t k = planes[3][x];
            for (int c = 0; c < 3; ++c)
                rgba[4 * x + c] = static_cast<uint8_t>((uint64_t(planes[c][x]) * k + 65535ull * 257 / 2) / (65535ull * 257));
        }
        return;
    }
    if (m_cmykWidth < width) {
        m_cmyk = std::make_unique<uint16_t[]>(size_t(width) * 4);
        m_rgb = std::make_unique<uint8_t[]>(size_t(width) * 3);
        m_cmykWidth = width;
    }
    for (uint32_t x = 0; x < width; ++x) {
        for (int c = 0; c < 4; ++c)
            m_cmyk[4 * x + c] = planes[c][x];
    }
    cmsDoTransform(static_cast<cmsHTRANSFORM>(m_transform), m_cmyk.get(), m_rgb.get(), width);
    for (uint32_t x = 0; x < width; ++x) {
        for (int c = 0; c < 3; ++c)
            rgba[4 * x + c] = m_rgb[3 * x + c];
    }
}
