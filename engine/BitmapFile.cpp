#include "BitmapFile.h"

#include <cstring>
#include <limits>

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 124;  // BITMAPV5HEADER
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kSrgbColourSpace = 0x73524742;  // 'sRGB'
constexpr uint32_t kIntentImages = 4;

class LittleEndianWriter {
public:
    explicit LittleEndianWriter(std::string& out) : m_out(out) {}
    void U16(uint16_t v)
    {
        m_out.push_back(static_cast<char>(v & 0xFF));
        m_out.push_back(static_cast<char>(v >> 8));
    }
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    void Zeros(size_t count) { m_out.append(count, '\0'); }

private:
    std::string& m_out;
};

}  // namespace

std::string EncodeBitmap32(const uint8_t* bgra, uint32_t width, uint32_t height, uint32_t stride)
{
    if (!bgra || width == 0 || height == 0 || stride < uint64_t{width} * 4)
        return {};
    const uint64_t rowBytes = uint64_t{width} * 4;
    const uint64_t imageBytes = rowBytes * height;
    const uint64_t fileBytes = kFileHeaderSize + kInfoHeaderSize + imageBytes;
    if (fileBytes > std::numeric_limits<uint32_t>::max() || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return {};

    std::string out;
    out.reserve(static_cast<size_t>(fileBytes));
    LittleEndianWriter w(out);
    // File header.
    w.U16(0x4D42);  // "BM"
    w.U32(static_cast<uint32_t>(fileBytes));
    w.U32(0);
    w.U32(kFileHeaderSize + kInfoHeaderSize);
    // Info header, version 5.
    w.U32(kInfoHeaderSize);
    w.U32(width);
    w.U32(height);  // positive: rows stored bottom-up
    w.U16(1);       // planes
    w.U16(32);      // bits per pixel
    w.U32(kBitFields);
    w.U32(static_cast<uint32_t>(imageBytes));
    w.U32(2835);  // 72 dpi in pixels per metre
    w.U32(2835);
    w.U32(0);  // palette colours
    w.U32(0);  // important colours
    w.U32(0x00FF0000);  // red mask
    w.U32(0x0000FF00);  // green mask
    w.U32(0x000000FF);  // blue mask
    w.U32(0xFF000000);  // alpha mask
    w.U32(kSrgbColourSpace);
    w.Zeros(36);  // end points (unused for sRGB)
    w.U32(0);     // gamma red, green, blue
    w.U32(0);
    w.U32(0);
    w.U32(kIntentImages);
    w.U32(0);  // profile data
    w.U32(0);  // profile size
    w.U32(0);  // reserved

    for (uint32_t row = height; row-- > 0;)
        out.append(reinterpret_cast<const char*>(bgra + uint64_t{row} * stride), static_cast<size_t>(rowBytes));
    return out;
}
