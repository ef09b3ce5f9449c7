#include "BenchPictures.h"

#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <cstdint>

bool MakeBenchPng(const std::string& path, int seed, bool softAlphaEdge, int width, int height)
{
    QImage image(width, height, softAlphaEdge ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int fadeStart = height * 5 / 6;
    uint32_t noise = 2463534242u + uint32_t(seed) * 7919u;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int alpha = softAlphaEdge ? std::clamp(255 - std::max(0, (y - fadeStart) / 2), 0, 255) : 255;
        for (int x = 0; x < image.width(); ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int grain = int(noise & 31) - 16;
            row[x] = qRgba(std::clamp((x >> 4) + seed * 20 + grain, 0, 255), std::clamp((y >> 3) + grain, 0, 255),
                           std::clamp(((x + y) >> 5) + grain, 0, 255), alpha);
        }
    }
    QImageWriter writer(QString::fromStdString(path), "png");
    writer.setQuality(70);  // faster compression; the size is what matters here
    return writer.write(image);
}
