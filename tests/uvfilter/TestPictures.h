#pragma once
// Pictures and maps the UV-filter tests write as real PNG files.
#include <cstdint>
#include <string>
#include <vector>

#include "FrameGrabber.h"

// A picture with smooth ramps in red and green and a fine pattern in blue, so
// both shifts and blurs show.
Picture MakeRampPicture(uint32_t width, uint32_t height);

// A checkerboard of squares x squares fields, black and white, except that
// the four corner fields are red (top-left), green (top-right), blue
// (bottom-right) and yellow (bottom-left).
Picture MakeCheckerboard(uint32_t size, uint32_t squares);

// Writes an 8-bit RGBA PNG; false on failure.
bool WritePicturePng(const std::string& path, const Picture& picture);

// Writes a 16-bit RGBA PNG from texels in the machine's byte order.
bool WriteTexelsPng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint16_t>& texels);
