#pragma once
// Test material for the native set format: real image files made with
// QImage, records with chosen fields, and scene-file bytes assembled
// field by field from the file layout (independently of the writer).
#include "formats/SceneFile.h"

#include <cstdint>
#include <string>

namespace scenetest {

std::string PngBytes(int width, int height, uint32_t argb);
std::string JpegBytes(int width, int height, uint32_t argb);

// A layer whose image (and UV map, when uvFile is not empty) are files.
LayerInfo MakeLayer(const std::string& name, const std::string& imageFile, const std::string& uvFile = {});

// Little-endian byte assembly.
class ByteWriter {
public:
    ByteWriter& U8(uint8_t v);
    ByteWriter& U32(uint32_t v);
    ByteWriter& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    ByteWriter& F32(float v);
    ByteWriter& Zeros(size_t n) { m_bytes.append(n, '\0'); return *this; }
    ByteWriter& Bytes(const std::string& bytes) { m_bytes += bytes; return *this; }
    // A NUL-padded fixed text field.
    ByteWriter& Text(const std::string& text, size_t field);
    const std::string& str() const { return m_bytes; }
    size_t size() const { return m_bytes.size(); }

private:
    std::string m_bytes;
};

struct StoredLayer {
    explicit StoredLayer(std::string n = {}, std::string imageBytes = {}, std::string uvBytes = {})
        : name(std::move(n)), image(std::move(imageBytes)), uv(std::move(uvBytes)) {}
    std::string name;
    float x = 0, y = 0, zoomX = 1, zoomY = 1, zoomZ = 1, rotateX = 0, rotateY = 0, rotateZ = 0;
    float crop[4] = {0, 0, 1, 1};  // as stored: left, top, right edge, bottom edge
    uint8_t dynamic = 0, visible = 1, uvEnabled = 1;
    std::string image, uv;
};
struct StoredShot {
    explicit StoredShot(std::string n = {}) : name(std::move(n)) {}
    std::string name;
    float x = 0, y = 0, zoomX = 1, zoomY = 1, zoomZ = 1, rotateX = 0, rotateY = 0, rotateZ = 0;
};

// 536 header bytes.
std::string HeaderBytes(uint32_t saveTime, int32_t layers, int32_t shots, int32_t thumbnailSize,
                        int32_t shotMode = 0, int32_t headerValue = 1000);
// 176 record bytes followed by the image and UV bytes.
std::string LayerBytes(const StoredLayer& layer);
std::string ShotBytes(const StoredShot& shot);

// A whole file: layers given in file order (back to front).
std::string SceneBytes(uint32_t saveTime, const std::string& thumbnail, const std::vector<StoredLayer>& layers,
                       const std::vector<StoredShot>& shots);

}  // namespace scenetest
