#include "SceneTestData.h"

#include "platform/TextConv.h"

#include <QBuffer>
#include <QImage>
#include <cstring>

namespace scenetest {

namespace {

std::string Encode(int width, int height, uint32_t argb, const char* format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(argb));
    // A little structure, so the encoders have something to encode.
    for (int x = 0; x < width; ++x)
        image.setPixel(x, x % height, qRgba(x * 7 % 256, 40, 200, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

}  // namespace

std::string PngBytes(int width, int height, uint32_t argb) { return Encode(width, height, argb, "PNG"); }
std::string JpegBytes(int width, int height, uint32_t argb) { return Encode(width, height, argb, "JPEG"); }

LayerInfo MakeLayer(const std::string& name, const std::string& imageFile, const std::string& uvFile)
{
    LayerInfo layer = MakeDefaultLayer();
    SetRecordName(layer.name, platform::Utf8ToWide(name));
    SetLayerImagePath(layer, platform::WideToAnsi(platform::Utf8ToWide(imageFile)));
    if (!uvFile.empty())
        SetLayerUvPath(layer, platform::WideToAnsi(platform::Utf8ToWide(uvFile)));
    return layer;
}

ByteWriter& ByteWriter::U8(uint8_t v)
{
    m_bytes.push_back(static_cast<char>(v));
    return *this;
}

ByteWriter& ByteWriter::U32(uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        U8(static_cast<uint8_t>(v >> shift));
    return *this;
}

ByteWriter& ByteWriter::F32(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
}

ByteWriter& ByteWriter::Text(const std::string& text, size_t field)
{
    std::string cut = text.substr(0, field - 1);
    m_bytes += cut;
    return Zeros(field - cut.size());
}

std::string HeaderBytes(uint32_t saveTime, int32_t layers, int32_t shots, int32_t thumbnailSize, int32_t shotMode,
                        int32_t headerValue)
{
    ByteWriter w;
    w.U32(0x32129910).U32(1).U32(saveTime).I32(layers).I32(shots).I32(thumbnailSize);
    w.I32(shotMode).I32(0).I32(headerValue).Zeros(500);
    return w.str();
}

std::string LayerBytes(const StoredLayer& layer)
{
    ByteWriter w;
    w.Text(layer.name, 64);                                  // 0
    w.Zeros(8);                                              // 64
    w.F32(layer.x).F32(layer.y);                             // 72, 76
    w.F32(layer.zoomX).F32(layer.zoomY).F32(layer.zoomZ);    // 80, 84, 88
    w.F32(layer.rotateX).F32(layer.rotateY).F32(layer.rotateZ);  // 92, 96, 100
    for (float c : layer.crop)                               // 104 … 116
        w.F32(c);
    w.U8(layer.dynamic).U8(layer.visible).Zeros(6);          // 120, 121, 122
    w.Zeros(8);                                              // 128
    w.U8(layer.uvEnabled).Zeros(7);                          // 136, 137
    w.Zeros(8);                                              // 144
    w.I32(static_cast<int32_t>(layer.image.size())).Zeros(4);  // 152, 156
    w.Zeros(8);                                              // 160
    w.I32(static_cast<int32_t>(layer.uv.size())).Zeros(4);   // 168, 172
    return w.str() + layer.image + layer.uv;
}

std::string ShotBytes(const StoredShot& shot)
{
    ByteWriter w;
    w.Text(shot.name, 64);
    w.F32(shot.x).F32(shot.y).F32(shot.zoomX).F32(shot.zoomY).F32(shot.zoomZ);
    w.F32(shot.rotateX).F32(shot.rotateY).F32(shot.rotateZ);
    return w.str();
}

std::string SceneBytes(uint32_t saveTime, const std::string& thumbnail, const std::vector<StoredLayer>& layers,
                       const std::vector<StoredShot>& shots)
{
    std::string out = HeaderBytes(saveTime, static_cast<int32_t>(layers.size()), static_cast<int32_t>(shots.size()),
                                  static_cast<int32_t>(thumbnail.size()));
    out += thumbnail;
    for (const StoredLayer& layer : layers)
        out += LayerBytes(layer);
    for (const StoredShot& shot : shots)
        out += ShotBytes(shot);
    return out;
}

}  // namespace scenetest
