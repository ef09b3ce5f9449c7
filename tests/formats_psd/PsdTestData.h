#pragma once
// Layered Photoshop files made with ImageMagick's convert for the import tests.
#include <string>
#include <vector>

namespace psdtest {

struct PsdTestLayer {
    std::string name;
    std::string colour;  // an ImageMagick colour, "red" or "rgba(0,255,0,0.5)"
    int width, height, left, top;
    bool hidden = false;
};

// Writes a PSD of the canvas size with the layers, bottom first as convert
// stacks them. False when convert fails.
bool WriteLayeredPsd(const std::string& path, int width, int height, const std::vector<PsdTestLayer>& bottomFirst,
                     const std::string& scratch);

}  // namespace psdtest
