#pragma once
// The image library of the program: load and decode with format detection,
// resample, flip, build from a pixel array, swap red and blue, save as BMP or
// JPEG. Works without a display. Paths are wide text with '/' separators.
#include <cstddef>
#include <string>

#include <QImage>

namespace platform {

class Image {
public:
    Image() = default;
    explicit Image(QImage image) : m_image(std::move(image)) {}

    // The format comes from the bytes, never from the file name.
    bool Load(const std::wstring& path);
    bool Decode(const void* data, size_t size);

    // Pixels in the Windows bitmap order: 32 bits = B, G, R, A bytes;
    // 24 bits = B, G, R; 8 bits = grey. bytesPerLine may exceed the pixel
    // bytes of a row (padding). With bottomUp the first row in memory is the
    // bottom row of the picture, as in a bitmap file.
    bool CreateFromArray(const void* pixels, int width, int height, int bitsPerPixel, int bytesPerLine, bool bottomUp);

    bool IsValid() const { return !m_image.isNull(); }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    bool HasAlpha() const { return m_image.hasAlphaChannel(); }

    // Smooth scaling to exactly width × height.
    bool Resample(int width, int height);
    bool Flip();    // upside down
    bool Mirror();  // left to right
    bool SwapRedBlue();

    // Bottom-up 24-bit bitmap (alpha dropped).
    bool SaveBmp(const std::wstring& path) const;
    // Bottom-up 32-bit bitmap that keeps the alpha channel (BITMAPV4HEADER,
    // bit-field masks for B, G, R and A).
    bool SaveBmp32(const std::wstring& path) const;
    // Transparent pixels are laid over white, as JPEG has no alpha.
    bool SaveJpeg(const std::wstring& path, int quality = kDefaultJpegQuality) const;

    // The same encodings in memory; empty on failure.
    std::string EncodeBmp(int bitsPerPixel) const;  // 24 or 32
    std::string EncodeJpeg(int quality = kDefaultJpegQuality) const;

    const QImage& qimage() const { return m_image; }

    static constexpr int kDefaultJpegQuality = 90;

private:
    QImage m_image;
};

}  // namespace platform
