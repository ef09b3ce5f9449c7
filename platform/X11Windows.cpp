#include "X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <optional>

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
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

private:
    Display* m_display;
    int (*m_old)(Display*, XErrorEvent*);
};

// The first 32-bit item of a window property of the given type.
std::optional<unsigned long> CardinalProperty(Display* dpy, Window window, const char* name, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<unsigned long> value;
    if (XGetWindowProperty(dpy, window, XInternAtom(dpy, name, False), 0, 1, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data) {
        if (format == 32 && count >= 1)
            value = reinterpret_cast<unsigned long*>(data)[0];
        XFree(data);
    }
    return value;
}

// A window manager that follows the desktop conventions names a window of
// its own on the root, which names itself the same way.
bool HasDesktopWindowManager(Display* dpy, Window root)
{
    const std::optional<unsigned long> check = CardinalProperty(dpy, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (!check || *check == 0)
        return false;
    const std::optional<unsigned long> self = CardinalProperty(dpy, *check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return self && *self == *check;
}

void SendToWindowManager(Display* dpy, Window root, Window window, const char* message, long l0, long l1, long l2)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, message, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

bool IsIconic(Display* dpy, Window window)
{
    const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
    const std::optional<unsigned long> state = CardinalProperty(dpy, window, "WM_STATE", wmState);
    return state && *state == IconicState;
}

constexpr long kSourcePager = 2;
constexpr unsigned long kAllDesktops = 0xFFFFFFFFul;

}  // namespace

bool X11WindowExists(void* display, uint64_t window)
{
    auto* dpy = static_cast<Display*>(display);
    if (!dpy || window == 0)
        return false;
    XErrorTrap trap(dpy);
    XWindowAttributes attributes{};
    return XGetWindowAttributes(dpy, static_cast<Window>(window), &attributes) != 0;
}

bool RestoreAndActivateX11Window(void* display, uint64_t window)
{
    auto* dpy = static_cast<Display*>(display);
    if (!dpy || window == 0)
        return false;
    XErrorTrap trap(dpy);
    const Window id = static_cast<Window>(window);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy, id, &attributes))
        return false;
    const Window root = attributes.root;
    if (!HasDesktopWindowManager(dpy, root)) {
        // Mapping an iconic window asks for its normal state (or, with no
        // window manager at all, simply shows it).
        XMapRaised(dpy, id);
        XFlush(dpy);
        return true;
    }
    const std::optional<unsigned long> desktop = CardinalProperty(dpy, id, "_NET_WM_DESKTOP", XA_CARDINAL);
    const std::optional<unsigned long> current = CardinalProperty(dpy, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
    if (desktop && current && *desktop != kAllDesktops && *desktop != *current)
        SendToWindowManager(dpy, root, root, "_NET_CURRENT_DESKTOP", static_cast<long>(*desktop), CurrentTime, 0);
    SendToWindowManager(dpy, root, id, "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime, 0);
    if (IsIconic(dpy, id))
        XMapWindow(dpy, id);
    XFlush(dpy);
    return true;
}

void PaintX11WindowBlack(void* display, uint64_t window)
{
    auto* dpy = static_cast<Display*>(display);
    if (!dpy || window == 0)
        return;
    XErrorTrap trap(dpy);
    const Window id = static_cast<Window>(window);
    XSetWindowBackground(dpy, id, BlackPixel(dpy, DefaultScreen(dpy)));
    XClearWindow(dpy, id);
    XFlush(dpy);
}

}  // namespace platform
