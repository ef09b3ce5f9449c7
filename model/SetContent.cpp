#include "SetContent.h"

#include "SourceObject.h"

#include <algorithm>
#include <cstring>

namespace {

class ContentWriter {
public:
    template <class T>
    void Value(const T& value)
    {
        const char* bytes = reinterpret_cast<const char*>(&value);
        m_bytes.append(bytes, sizeof value);
    }
    void Text(const char* text, size_t limit)
    {
        const size_t length = text ? strnlen(text, limit) : 0;
        Value(length);
        m_bytes.append(text ? text : "", length);
    }
    void Text(const std::wstring& text)
    {
        Value(text.size());
        m_bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    }
    std::string Take() { return std::move(m_bytes); }

private:
    std::string m_bytes;
};

void WriteLayer(ContentWriter& out, const LayerInfo& layer)
{
    out.Text(layer.name, sizeof layer.name);
    for (float v : {layer.x, layer.y, layer.zoomX, layer.zoomY, layer.zoomZ, layer.rotateX, layer.rotateY,
                    layer.rotateZ, layer.cropLeft, layer.cropTop, layer.cropRight, layer.cropBottom})
        out.Value(v);
    out.Value(layer.dynamic);
    out.Value(layer.visible);
    out.Value(layer.uvEnabled);
    out.Text(layer.imagePath, layer.imagePath ? static_cast<size_t>(std::max(layer.imagePathSize, 0)) : 0);
    out.Text(layer.uvPath, layer.uvPath ? static_cast<size_t>(std::max(layer.uvPathSize, 0)) : 0);
}

void WriteShot(ContentWriter& out, const ShotInfo& shot)
{
    out.Text(shot.name, sizeof shot.name);
    for (float v : {shot.x, shot.y, shot.zoomX, shot.zoomY, shot.zoomZ, shot.rotateX, shot.rotateY, shot.rotateZ})
        out.Value(v);
}

}  // namespace

SetContent SetContent::Capture(CSourceObject& set)
{
    ContentWriter out;
    out.Value(set.GetLayers().size());
    for (const LayerInfo& layer : set.GetLayers())
        WriteLayer(out, layer);
    out.Value(set.GetShots().size());
    for (const ShotInfo& shot : set.GetShots())
        WriteShot(out, shot);
    out.Text(set.GetSetName());
    out.Text(set.GetThumbnailPath());
    out.Value(set.GetShotMode());
    out.Value(set.GetHeaderValue());
    SetContent content;
    content.m_bytes = out.Take();
    return content;
}
