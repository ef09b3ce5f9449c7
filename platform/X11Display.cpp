#include "X11Display.h"

#include <X11/Xlib.h>

namespace platform {

bool CanOpenX11Display(const std::string& name)
{
    Display* display = XOpenDisplay(name.empty() ? nullptr : name.c_str());
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

}  // namespace platform
