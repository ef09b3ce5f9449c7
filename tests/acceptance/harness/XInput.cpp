#include "XInput.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <vector>

namespace acceptance {

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

KeySym ModifierKeySym(const std::string& name)
{
    if (name == "ctrl" || name == "control")
        return XK_Control_L;
    if (name == "shift")
        return XK_Shift_L;
    if (name == "alt")
        return XK_Alt_L;
    if (name == "super")
        return XK_Super_L;
    return NoSymbol;
}

}  // namespace

namespace {

// The value of a window's _NET_WM_PID, 0 when it has none.
pid_t WindowPid(Display* display, Window window, Atom pidAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 1 && format == 32)
        pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

void CollectPlaces(Display* display, Window window, Atom pidAtom, pid_t pid, int depth, std::vector<QRect>& places)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
        WindowPid(display, window, pidAtom) == pid) {
        int x = 0, y = 0;
        Window child = None;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        places.emplace_back(x, y, attributes.width, attributes.height);
        return;
    }
    // Client windows sit at most a few levels down (inside the manager's frames).
    Window root = None, parent = None, *children = nullptr;
    unsigned int count = 0;
    if (depth >= 3 || !XQueryTree(display, window, &root, &parent, &children, &count))
        return;
    for (unsigned int i = 0; i < count; ++i)
        CollectPlaces(display, children[i], pidAtom, pid, depth + 1, places);
    if (children)
        XFree(children);
}

// A window the walk above has listed may be gone when it is read; the error
// that brings says only that, and must not end the road through Xlib's
// default handler.
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

}  // namespace

std::vector<QRect> XInput::WindowPlaces(pid_t pid)
{
    std::vector<QRect> places;
    if (!m_display)
        return places;
    const Atom pidAtom = XInternAtom(m_display, "_NET_WM_PID", True);
    if (pidAtom == None)
        return places;
    CollectPlaces(m_display, DefaultRootWindow(m_display), pidAtom, pid, 0, places);
    return places;
}

XInput::XInput(const std::string& display) : m_display(XOpenDisplay(display.c_str()))
{
    XSetErrorHandler(IgnoreXError);
    int event = 0, error = 0, major = 0, minor = 0;
    if (m_display && !XTestQueryExtension(m_display, &event, &error, &major, &minor)) {
        XCloseDisplay(m_display);
        m_display = nullptr;
    }
}

XInput::~XInput()
{
    if (m_display)
        XCloseDisplay(m_display);
}

void XInput::Flush() { XSync(m_display, False); }

void XInput::MoveTo(QPoint point)
{
    XTestFakeMotionEvent(m_display, -1, point.x(), point.y(), CurrentTime);
    Flush();
    Pause(15);
}

void XInput::Button(int button, bool press)
{
    XTestFakeButtonEvent(m_display, static_cast<unsigned>(button), press ? True : False, CurrentTime);
    Flush();
}

void XInput::Click(QPoint point, int button)
{
    MoveTo(point);
    Button(button, true);
    Pause(20);
    Button(button, false);
    Pause(20);
}

void XInput::DoubleClick(QPoint point)
{
    MoveTo(point);
    for (int i = 0; i < 2; ++i) {
        Button(1, true);
        Pause(15);
        Button(1, false);
        Pause(40);
    }
}

void XInput::Drag(QPoint from, QPoint to, int steps)
{
    MoveTo(from);
    Button(1, true);
    Pause(40);
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), CurrentTime);
        Flush();
        Pause(20);
    }
    Pause(40);
    Button(1, false);
    Pause(40);
}

void XInput::Press(QPoint point)
{
    MoveTo(point);
    Button(1, true);
    Pause(40);
}

void XInput::Release()
{
    Pause(40);
    Button(1, false);
    Pause(40);
}

bool XInput::HoldModifier(const std::string& name, bool down)
{
    const KeySym keysym = ModifierKeySym(name);
    if (keysym == NoSymbol || !SendKeySym(keysym, down))
        return false;
    Pause(30);
    return true;
}

void XInput::Wheel(QPoint point, int notches)
{
    MoveTo(point);
    // X reports the wheel as buttons 4 (up) and 5 (down).
    const int button = notches > 0 ? 4 : 5;
    for (int i = 0; i < std::abs(notches); ++i) {
        Button(button, true);
        Button(button, false);
        Pause(60);
    }
}

bool XInput::SendKeySym(unsigned long keysym, bool press)
{
    const KeyCode code = XKeysymToKeycode(m_display, keysym);
    if (code == 0)
        return false;
    XTestFakeKeyEvent(m_display, code, press ? True : False, CurrentTime);
    Flush();
    return true;
}

bool XInput::Key(const std::string& chord)
{
    std::vector<std::string> parts;
    std::stringstream stream(chord);
    for (std::string part; std::getline(stream, part, '+');)
        parts.push_back(part);
    if (parts.empty())
        return false;
    std::vector<unsigned long> modifiers;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        const unsigned long sym = ModifierKeySym(parts[i]);
        if (sym == NoSymbol)
            return false;
        modifiers.push_back(sym);
    }
    unsigned long key = XStringToKeysym(parts.back().c_str());
    if (key == NoSymbol)
        return false;
    // A letter with Ctrl is its lower-case key.
    if (parts.back().size() == 1)
        key = XStringToKeysym(std::string(1, static_cast<char>(std::tolower(parts.back()[0]))).c_str());
    for (unsigned long modifier : modifiers)
        SendKeySym(modifier, true);
    const bool known = SendKeySym(key, true);
    Pause(15);
    if (known)
        SendKeySym(key, false);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
        SendKeySym(*it, false);
    Pause(25);
    return known;
}

bool XInput::TypeKeySym(unsigned long keysym)
{
    const KeyCode code = XKeysymToKeycode(m_display, keysym);
    if (code == 0)
        return false;
    // Level 1 of the key needs Shift.
    const bool shifted = XkbKeycodeToKeysym(m_display, code, 0, 0) != keysym &&
                         XkbKeycodeToKeysym(m_display, code, 0, 1) == keysym;
    if (shifted)
        SendKeySym(XK_Shift_L, true);
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    if (shifted)
        SendKeySym(XK_Shift_L, false);
    Flush();
    Pause(8);
    return true;
}

bool XInput::Type(const std::string& text)
{
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80)
            return false;
        const unsigned long keysym = c == '\n' ? XK_Return : c == '\t' ? XK_Tab : byte;
        if (!TypeKeySym(keysym))
            return false;
    }
    return true;
}

}  // namespace acceptance
