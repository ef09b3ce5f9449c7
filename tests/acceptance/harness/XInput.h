#pragma once
// Input as a user gives it: pointer moves, clicks, drags, keys and typed
// text, sent through the X server's test extension (XTest), so the program
// receives them exactly as it receives a real mouse and keyboard.
#include <QPoint>
#include <QRect>
#include <string>
#include <sys/types.h>
#include <vector>

typedef struct _XDisplay Display;

namespace acceptance {

class XInput {
public:
    explicit XInput(const std::string& display);
    ~XInput();
    XInput(const XInput&) = delete;
    XInput& operator=(const XInput&) = delete;

    bool Valid() const { return m_display != nullptr; }
    ::Display* Connection() const { return m_display; }

    void MoveTo(QPoint point);
    void Click(QPoint point, int button = 1);
    void DoubleClick(QPoint point);
    // Press at `from`, move in steps to `to`, release there.
    void Drag(QPoint from, QPoint to, int steps = 12);
    // The left button down at a point, and up again where the pointer is.
    void Press(QPoint point);
    void Release();
    // Holds a modifier ("shift", "ctrl", "alt") down or lets it go.
    bool HoldModifier(const std::string& name, bool down);
    // Wheel notches at a point: positive away from the user (up).
    void Wheel(QPoint point, int notches);
    // A key chord in xdotool's spelling: "ctrl+s", "ctrl+shift+s", "Return",
    // "Escape", "Tab", "Down", "alt+F4". False when a key is unknown.
    bool Key(const std::string& chord);
    // Types ASCII text key by key (with Shift where the keymap needs it);
    // false for a character the keymap lacks.
    bool Type(const std::string& text);

    // Where the X server shows the mapped top-level windows of a process
    // (by _NET_WM_PID), in screen coordinates.
    std::vector<QRect> WindowPlaces(pid_t pid);

private:
    void Button(int button, bool press);
    bool SendKeySym(unsigned long keysym, bool press);
    bool TypeKeySym(unsigned long keysym);
    void Flush();

    ::Display* m_display = nullptr;
};

}  // namespace acceptance
