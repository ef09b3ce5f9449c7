#pragma once
// The check a UV-map image must pass: a PNG with four 16-bit channels
// (RGBA, 64 bits per pixel) that decodes completely.
#include <string>

struct UvMapImageInfo {
    unsigned width = 0;
    unsigned height = 0;
    unsigned bitsPerPixel = 0;  // channels (4 for RGBA, else 3) times the file's bit depth
    std::string reason;         // why the file was rejected; empty when accepted
};

// True when the file is an acceptable UV map. info (optional) receives the
// header values whenever the header could be read, and the reason on failure.
bool CheckUvMapImage(const std::wstring& path, UvMapImageInfo* info = nullptr);
