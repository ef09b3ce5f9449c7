#pragma once
// Real set folders for library tests: native sets with a scene file whose
// header and thumbnail are written byte by byte, vMix sets with config.xml.
#include <QColor>
#include <QImage>
#include <cstdint>
#include <string>

namespace librarytest {

// A real picture file of the format ("JPEG" or "PNG") in one colour.
std::string PictureBytes(const QImage& picture, const char* format);
std::string JpegBytes(int width, int height, QColor colour);

// "<folder>/scene.tvn" with no layers: header and thumbnail. A claimedSize
// of 0 or more is written as the thumbnail size instead of the real one.
void MakeNativeSet(const std::string& folder, const std::string& thumbnail, int32_t shotMode = 0,
                   int64_t claimedSize = -1);
// "<folder>/config.xml" and, when the bytes are not empty, "thumbnail.jpg".
void MakeVmixSet(const std::string& folder, const std::string& thumbnail);

// The colour at the centre of an entry's 240 x 180 picture.
QColor CentreColour(const QImage& picture);
// Close enough for a JPEG round trip.
bool NearColour(QColor a, QColor b, int tolerance = 12);

}  // namespace librarytest
