#include "X11Windows.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {

namespace {

// A bad id must not end the process through Xlib's default handler.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

class XErrorTrap {
public:
    explicit XErrorTrap(Display* display) : m_display(display) { m_old = XSetErrorHandler(IgnoreXError); }
    ~XErrorTrap()
    {
        XSync(m_display, False);
        XSetErrorHandler(m_old);
    }

private:
    Display* m_display;
    int (*m_old)(Display*, XErrorEvent*);
};

}  // namespace

bool IsX11WindowViewable(void* display, uint64_t window)
{
    auto* dpy = static_cast<Display*>(display);
    if (!dpy || window == 0)
        return false;
    XErrorTrap trap(dpy);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy, static_cast<Window>(window), &attributes))
        return false;
    return attributes.map_state == IsViewable;
}

bool ActivateX11Window(void* display, uint64_t window)
{
    auto* dpy = static_cast<Display*>(display);
    if (!dpy || window == 0)
        return false;
    XErrorTrap trap(dpy);
    const Window id = static_cast<Window>(window);
    XMapRaised(dpy, id);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // from an application
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(dpy);
    return true;
}

}  // namespace platform
