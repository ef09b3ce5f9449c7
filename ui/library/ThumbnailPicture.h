#pragma once
// A set's thumbnail as the library shows it: decoded from its bytes (JPEG or
// PNG, whatever the file's own colour type: grey, palette, 24 or 32 bits) and
// brought to exactly 240 x 180 24-bit pixels, B, G, R, rows top to bottom.
// Decoding a JPEG lets the decoder scale down while decoding, which is most
// of the cost saved on a large library.
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <string>

// Thumbnail files larger than this are not read.
inline constexpr int64_t kMaxThumbnailFileBytes = 32 * 1024 * 1024;

// A null picture when the bytes do not decode.
QImage DecodeThumbnail(const uint8_t* data, size_t size);
// Reads and decodes a picture file ("thumbnail.jpg" of a vMix set).
QImage LoadThumbnailFile(const std::wstring& path);

// The plain way: decode the whole picture, then resample it. The benchmark
// measures the library's scan against it.
QImage DecodeThumbnailFullSize(const uint8_t* data, size_t size);
