#pragma once
// A small writer for 32-bit bitmap files with an alpha channel, the format of
// the program's snapshots.
#include <cstdint>
#include <string>

// The bytes of a 32-bit BMP file (version-5 header with bit masks, so readers
// keep the alpha channel) for pixels stored as B, G, R, A bytes, rows from the
// top, `stride` bytes apart. The file stores the rows bottom-up, as bitmap
// readers expect; the picture reads back upright. Empty when the size is 0 or
// too large for the format.
std::string EncodeBitmap32(const uint8_t* bgra, uint32_t width, uint32_t height, uint32_t stride);
