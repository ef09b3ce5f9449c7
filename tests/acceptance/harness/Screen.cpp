#include "Screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstring>

namespace acceptance {

QImage GrabScreen(::Display* display)
{
    if (!display)
        return {};
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, root, &attributes))
        return {};
    XImage* shot = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                             static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!shot)
        return {};
    QImage image;
    // The session's server is 24-bit TrueColor: 32 bits a pixel, blue lowest.
    if (shot->bits_per_pixel == 32) {
        image = QImage(attributes.width, attributes.height, QImage::Format_RGB32);
        for (int y = 0; y < attributes.height; ++y)
            std::memcpy(image.scanLine(y), shot->data + static_cast<ptrdiff_t>(y) * shot->bytes_per_line,
                        static_cast<size_t>(attributes.width) * 4);
    }
    XDestroyImage(shot);
    return image;
}

bool SaveScreen(::Display* display, const std::string& path)
{
    const QImage image = GrabScreen(display);
    return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}

}  // namespace acceptance
