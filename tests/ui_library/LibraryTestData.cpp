#include "LibraryTestData.h"

#include "../formats_native/SceneTestData.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <cstdlib>
#include <filesystem>

namespace librarytest {

std::string PictureBytes(const QImage& picture, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format, 90);
    return bytes.toStdString();
}

std::string JpegBytes(int width, int height, QColor colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return PictureBytes(picture, "JPEG");
}

void MakeNativeSet(const std::string& folder, const std::string& thumbnail, int32_t shotMode, int64_t claimedSize)
{
    std::filesystem::create_directories(folder);
    const int32_t size = static_cast<int32_t>(claimedSize >= 0 ? claimedSize : static_cast<int64_t>(thumbnail.size()));
    testsupport::WriteFileBytes(folder + "/scene.tvn",
                                scenetest::HeaderBytes(1700000000u, 0, 0, size, shotMode) + thumbnail);
}

void MakeVmixSet(const std::string& folder, const std::string& thumbnail)
{
    std::filesystem::create_directories(folder);
    testsupport::WriteFileBytes(folder + "/config.xml", "<virtualSet></virtualSet>");
    if (!thumbnail.empty())
        testsupport::WriteFileBytes(folder + "/thumbnail.jpg", thumbnail);
}

QColor CentreColour(const QImage& picture) { return picture.pixelColor(picture.width() / 2, picture.height() / 2); }

bool NearColour(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace librarytest
