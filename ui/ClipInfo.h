#pragma once
// One set listed in the library, and what an open request carries: the
// set's folder name and folder, and its thumbnail as 240 x 180 24-bit pixels.
#include <cstdint>

inline constexpr int kClipNameLength = 64;
inline constexpr int kClipPathLength = 260;
inline constexpr int kClipThumbWidth = 240;
inline constexpr int kClipThumbHeight = 180;
inline constexpr uint32_t kClipThumbBytes = kClipThumbWidth * kClipThumbHeight * 3;

struct ClipInfo2_t {
    char16_t name[kClipNameLength];  // the set's folder name, zero-terminated
    char16_t path[kClipPathLength];  // the set's folder, zero-terminated
    uint32_t thumbSize;              // bytes of thumbPixels
    uint8_t* thumbPixels;            // owned by the library's list
    uint8_t valid;
    uint8_t listed;
};
