#pragma once
// Pictures a road adds to a set as a user's own files.
#include <QColor>
#include <QImage>
#include <QString>
#include <filesystem>
#include <string>

namespace acceptance {

// A plain 320 x 180 picture written as PNG; its path.
inline std::string WritePicture(const std::string& path, QColor colour = QColor(40, 120, 200))
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    QImage picture(320, 180, QImage::Format_ARGB32);
    picture.fill(colour);
    picture.save(QString::fromStdString(path));
    return path;
}

}  // namespace acceptance
