#include "PsdTestData.h"

#include "support/TestSupport.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace psdtest {

namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

uint32_t BigEndian(const std::string& d, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | static_cast<unsigned char>(d.at(at + static_cast<size_t>(i)));
    return v;
}

// ImageMagick 6.9 writes a hidden layer's mark into the wrong bit of the
// layer flags; Photoshop's "hidden" bit (0x02) is set here instead.
bool MarkHiddenLayers(const std::string& path, const std::vector<PsdTestLayer>& layers)
{
    std::ifstream in(path, std::ios::binary);
    std::string d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = 26;
    at += 4 + BigEndian(d, at, 4);  // colour mode data
    at += 4 + BigEndian(d, at, 4);  // image resources
    at += 4 + 4;                    // layer and mask section, layer info lengths
    const int count = static_cast<int16_t>(BigEndian(d, at, 2));
    at += 2;
    if ((count < 0 ? -count : count) != static_cast<int>(layers.size()))
        return false;
    for (const PsdTestLayer& layer : layers) {
        at += 16;
        const uint32_t channels = BigEndian(d, at, 2);
        at += 2 + channels * 6 + 4 + 4 + 2;
        if (layer.hidden)
            d[at] = static_cast<char>((d[at] & ~0x04) | 0x02);
        at += 2;
        at += 4 + BigEndian(d, at, 4);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << d;
    return static_cast<bool>(out);
}

}  // namespace

bool WriteLayeredPsd(const std::string& path, int width, int height, const std::vector<PsdTestLayer>& bottomFirst,
                     const std::string& scratch)
{
    const std::string canvas = scratch + "/canvas.png";
    std::string command = "convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                          " gradient:navy-skyblue " + Quote(canvas) + " && convert " + Quote(canvas);
    for (const PsdTestLayer& layer : bottomFirst) {
        command += " \\( -size " + std::to_string(layer.width) + "x" + std::to_string(layer.height) + " " +
                   Quote("xc:" + layer.colour) + " -set label " + Quote(layer.name) + " -repage +" +
                   std::to_string(layer.left) + "+" + std::to_string(layer.top) + " \\)";
    }
    // Full colour with alpha: a few flat colours would otherwise make an
    // indexed file that ImageMagick itself cannot read back.
    command += " -alpha on -type TrueColorAlpha " + Quote(path);
    std::string output;
    return testsupport::RunCommand(command + " 2>&1", &output) == 0 && MarkHiddenLayers(path, bottomFirst);
}

}  // namespace psdtest
