#pragma once
// Reading a UV map PNG for the filter: every texel as four 16-bit channels in
// the machine's byte order (red = u, green = v, blue unused, alpha = coverage),
// ready for a GS_RGBA16 texture.
#include <cstdint>
#include <string>
#include <vector>

// Largest map the filter takes: beyond 8K video no map makes sense, and the
// limit keeps a file from making the filter allocate what its header claims.
inline constexpr uint32_t kMaxUvMapSide = 8192;
inline constexpr uint64_t kMaxUvMapPixels = uint64_t(7680) * 4320;
inline constexpr uint64_t kMaxUvMapFileBytes = uint64_t(512) << 20;

struct UvMapImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint16_t> texels;  // width * height * 4
};

// Reads and fully decodes the PNG at the UTF-8 path. Any PNG the decoder
// reads is converted to 16-bit RGBA. On failure returns false and says why.
bool LoadUvMapImage(const std::string& utf8Path, UvMapImage& image, std::string& error);
