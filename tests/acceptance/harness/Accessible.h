#pragma once
// The program as a screen reader sees it: its windows and controls by role
// and name, with their places on the screen and their states, read over the
// accessibility bus (AT-SPI). Roads find what to click here, so they do not
// depend on where the layout puts a control.
#include <QPoint>
#include <QRect>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

typedef struct _AtspiAccessible AtspiAccessible;

namespace acceptance {

// One object of the tree (a window, a button, a menu item, a list row),
// holding its own reference.
class Accessible {
public:
    Accessible() = default;
    // Takes over the caller's reference.
    static Accessible Adopt(AtspiAccessible* object);
    Accessible(const Accessible& other);
    Accessible& operator=(const Accessible& other);
    Accessible(Accessible&& other) noexcept;
    Accessible& operator=(Accessible&& other) noexcept;
    ~Accessible();

    explicit operator bool() const { return m_object != nullptr; }
    bool operator==(const Accessible& other) const { return m_object == other.m_object; }
    AtspiAccessible* Get() const { return m_object; }

    std::string Name() const;
    // The role's name as AT-SPI spells it: "push button", "menu item",
    // "dialog", "text", "check box", "page tab", "list item" ...
    std::string Role() const;
    std::vector<Accessible> Children() const;
    Accessible Parent() const;
    // The top-level window that holds it (itself for a window).
    Accessible Window() const;
    pid_t ProcessId() const;

    bool Showing() const;
    bool Enabled() const;
    bool Checked() const;
    bool Focused() const;
    bool Selected() const;
    bool Active() const;  // a window that has the keyboard
    bool Focusable() const;
    // The names of its actions ("Press", "SetFocus" ...), and doing one as
    // a screen reader does; false when it has no such action.
    std::vector<std::string> Actions() const;
    bool DoAction(const std::string& name) const;
    // Where it is on the screen; empty when it has no place.
    QRect Extents() const;
    QPoint Center() const { return Extents().center(); }
    // The text of a text field or label.
    std::string Text() const;
    std::optional<double> Value() const;
    // "push button 'Save'", for messages.
    std::string Describe() const;

private:
    bool HasState(int state) const;

    AtspiAccessible* m_object = nullptr;
};

// What a road looks for. An empty role or name matches any; `contains`
// matches a part of the name.
struct Match {
    std::string role;
    std::string name;
    bool contains = false;
    bool showingOnly = true;
};

bool Matches(const Accessible& object, const Match& match);
// Depth first, the object itself included.
Accessible FindFirst(const Accessible& root, const Match& match);
std::vector<Accessible> FindAll(const Accessible& root, const Match& match);
// The tree below root as indented lines (for a failing road's message).
std::string DumpTree(const Accessible& root, int maxDepth = 12);

// The session's accessibility bus as this test program sees it.
class AccessibilityView {
public:
    // Connects once per test program, to the bus of the given display.
    static AccessibilityView* Connect(const std::string& display, const std::string& sessionBus, std::string& error);

    // The application object of a process, or nothing yet.
    Accessible Application(pid_t pid);
    // Its windows now shown: the top-level windows, and the pop-ups (menus,
    // drop-downs) that only announce themselves when they appear.
    std::vector<Accessible> Windows(pid_t pid);
    // Dispatches the events that arrived.
    void Pump();

private:
    AccessibilityView() = default;
    static void OnEvent(void* event, void* self);
    void NoticeShown(const Accessible& shown);
    void Remember(const Accessible& popup);

    std::vector<Accessible> m_popups;
};

}  // namespace acceptance
