#include "LayerShots.h"

#include <cstring>
#include <string>

namespace {

// Lower-cases ASCII letters only; other bytes (parts of multi-byte
// characters) stay as they are, whatever the locale charset.
std::string LowerAscii(const char (&name)[64])
{
    std::string text(name, strnlen(name, sizeof(name)));
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

bool IsFramingLayerName(const char (&name)[64])
{
    if (std::strncmp(name, "--- All ---", sizeof(name)) == 0)
        return true;
    const std::string lower = LowerAscii(name);
    return lower == "foreground" || lower == "background" || lower == "borders" ||
           lower.find("overlay") != std::string::npos;
}

void BuildLayerShots(const LayerList& layers, ShotList& shots, std::map<int32_t, int32_t>& shotToItem)
{
    shots.clear();
    shotToItem.clear();
    ShotInfo all = MakeDefaultShot();
    std::strncpy(all.name, "All", sizeof(all.name) - 1);
    shots.push_back(all);
    shotToItem[0] = 0;

    for (size_t i = layers.size(); i-- > 0;) {
        const LayerInfo& layer = layers[i];
        if (IsFramingLayerName(layer.name))
            continue;
        ShotInfo shot = MakeDefaultShot();
        std::memcpy(shot.name, layer.name, sizeof(shot.name));
        shot.name[sizeof(shot.name) - 1] = '\0';
        shot.x = layer.x;
        shot.y = layer.y;
        shot.zoomX = layer.zoomX;
        shot.zoomY = layer.zoomY;
        shot.zoomZ = layer.zoomZ;
        shot.rotateX = layer.rotateX;
        shot.rotateY = layer.rotateY;
        shot.rotateZ = layer.rotateZ;
        shotToItem[static_cast<int32_t>(shots.size())] = static_cast<int32_t>(i) + 1;
        shots.push_back(shot);
    }
}
