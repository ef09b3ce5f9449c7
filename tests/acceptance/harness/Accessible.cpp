#include "Accessible.h"

#include "Waiting.h"

#include <atspi/atspi.h>
#include <algorithm>
#include <cstdlib>
#include <memory>

namespace acceptance {

namespace {

struct ErrorHolder {
    GError* error = nullptr;
    ~ErrorHolder()
    {
        if (error)
            g_error_free(error);
    }
    GError** operator&() { return &error; }
};

template <typename T>
struct GObjectHolder {
    T* object;
    ~GObjectHolder()
    {
        if (object)
            g_object_unref(object);
    }
};

std::string TakeString(gchar* text)
{
    std::string result = text ? text : "";
    g_free(text);
    return result;
}

}  // namespace

Accessible Accessible::Adopt(AtspiAccessible* object)
{
    Accessible held;
    held.m_object = object;
    return held;
}

Accessible::Accessible(const Accessible& other) : m_object(other.m_object)
{
    if (m_object)
        g_object_ref(m_object);
}

Accessible& Accessible::operator=(const Accessible& other)
{
    if (this != &other) {
        Accessible copy(other);
        std::swap(m_object, copy.m_object);
    }
    return *this;
}

Accessible::Accessible(Accessible&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }

Accessible& Accessible::operator=(Accessible&& other) noexcept
{
    std::swap(m_object, other.m_object);
    return *this;
}

Accessible::~Accessible()
{
    if (m_object)
        g_object_unref(m_object);
}

std::string Accessible::Name() const
{
    ErrorHolder error;
    return m_object ? TakeString(atspi_accessible_get_name(m_object, &error)) : std::string();
}

std::string Accessible::Role() const
{
    ErrorHolder error;
    return m_object ? TakeString(atspi_accessible_get_role_name(m_object, &error)) : std::string();
}

std::vector<Accessible> Accessible::Children() const
{
    std::vector<Accessible> children;
    if (!m_object)
        return children;
    ErrorHolder error;
    const gint count = atspi_accessible_get_child_count(m_object, &error);
    for (gint i = 0; i < count; ++i) {
        ErrorHolder childError;
        if (AtspiAccessible* child = atspi_accessible_get_child_at_index(m_object, i, &childError))
            children.push_back(Adopt(child));
    }
    return children;
}

Accessible Accessible::Parent() const
{
    ErrorHolder error;
    return m_object ? Adopt(atspi_accessible_get_parent(m_object, &error)) : Accessible();
}

Accessible Accessible::Window() const
{
    Accessible window = *this;
    for (Accessible parent = Parent(); parent && parent.Role() != "application"; parent = parent.Parent())
        window = parent;
    return window;
}

pid_t Accessible::ProcessId() const
{
    ErrorHolder error;
    return m_object ? static_cast<pid_t>(atspi_accessible_get_process_id(m_object, &error)) : 0;
}

bool Accessible::HasState(int state) const
{
    if (!m_object)
        return false;
    GObjectHolder<AtspiStateSet> states{atspi_accessible_get_state_set(m_object)};
    return states.object && atspi_state_set_contains(states.object, static_cast<AtspiStateType>(state));
}

bool Accessible::Showing() const { return HasState(ATSPI_STATE_SHOWING); }
bool Accessible::Enabled() const { return HasState(ATSPI_STATE_ENABLED); }
bool Accessible::Checked() const { return HasState(ATSPI_STATE_CHECKED); }
bool Accessible::Focused() const { return HasState(ATSPI_STATE_FOCUSED); }
bool Accessible::Selected() const { return HasState(ATSPI_STATE_SELECTED); }
bool Accessible::Active() const { return HasState(ATSPI_STATE_ACTIVE); }
bool Accessible::Focusable() const { return HasState(ATSPI_STATE_FOCUSABLE); }

std::vector<std::string> Accessible::Actions() const
{
    std::vector<std::string> names;
    if (!m_object)
        return names;
    GObjectHolder<AtspiAction> action{atspi_accessible_get_action_iface(m_object)};
    if (!action.object)
        return names;
    ErrorHolder error;
    const gint count = atspi_action_get_n_actions(action.object, &error);
    for (gint i = 0; i < count; ++i) {
        ErrorHolder nameError;
        names.push_back(TakeString(atspi_action_get_action_name(action.object, i, &nameError)));
    }
    return names;
}

bool Accessible::DoAction(const std::string& name) const
{
    if (!m_object)
        return false;
    GObjectHolder<AtspiAction> action{atspi_accessible_get_action_iface(m_object)};
    if (!action.object)
        return false;
    const std::vector<std::string> names = Actions();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            ErrorHolder error;
            return atspi_action_do_action(action.object, static_cast<gint>(i), &error);
        }
    }
    return false;
}

QRect Accessible::Extents() const
{
    if (!m_object)
        return {};
    GObjectHolder<AtspiComponent> component{atspi_accessible_get_component_iface(m_object)};
    if (!component.object)
        return {};
    ErrorHolder error;
    AtspiRect* rect = atspi_component_get_extents(component.object, ATSPI_COORD_TYPE_SCREEN, &error);
    if (!rect)
        return {};
    const QRect result(rect->x, rect->y, rect->width, rect->height);
    g_free(rect);
    return result.width() > 0 && result.height() > 0 ? result : QRect();
}

std::string Accessible::Text() const
{
    if (!m_object)
        return {};
    GObjectHolder<AtspiText> text{atspi_accessible_get_text_iface(m_object)};
    if (!text.object)
        return {};
    ErrorHolder error;
    return TakeString(atspi_text_get_text(text.object, 0, -1, &error));
}

std::optional<double> Accessible::Value() const
{
    if (!m_object)
        return std::nullopt;
    GObjectHolder<AtspiValue> value{atspi_accessible_get_value_iface(m_object)};
    if (!value.object)
        return std::nullopt;
    ErrorHolder error;
    const double current = atspi_value_get_current_value(value.object, &error);
    return error.error ? std::nullopt : std::optional<double>(current);
}

std::string Accessible::Describe() const { return Role() + " '" + Name() + "'"; }

bool Matches(const Accessible& object, const Match& match)
{
    if (!object)
        return false;
    if (!match.role.empty() && object.Role() != match.role)
        return false;
    if (!match.name.empty()) {
        const std::string name = object.Name();
        if (match.contains ? name.find(match.name) == std::string::npos : name != match.name)
            return false;
    }
    return !match.showingOnly || object.Showing();
}

namespace {

void Collect(const Accessible& object, const Match& match, std::vector<Accessible>& found, bool firstOnly, int depth)
{
    if (depth > 64 || (firstOnly && !found.empty()))
        return;
    if (Matches(object, match)) {
        found.push_back(object);
        if (firstOnly)
            return;
    }
    // Hidden branches hold nothing a user can reach.
    if (match.showingOnly && depth > 0 && !object.Showing())
        return;
    for (const Accessible& child : object.Children())
        Collect(child, match, found, firstOnly, depth + 1);
}

void Dump(const Accessible& object, int depth, int maxDepth, std::string& out)
{
    out += std::string(static_cast<size_t>(depth) * 2, ' ') + object.Describe();
    const QRect r = object.Extents();
    if (!r.isEmpty())
        out += " @" + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
               std::to_string(r.height());
    if (!object.Showing())
        out += " (hidden)";
    out += "\n";
    if (depth >= maxDepth || (depth > 0 && !object.Showing()))
        return;
    for (const Accessible& child : object.Children())
        Dump(child, depth + 1, maxDepth, out);
}

}  // namespace

Accessible FindFirst(const Accessible& root, const Match& match)
{
    std::vector<Accessible> found;
    Collect(root, match, found, true, 0);
    return found.empty() ? Accessible() : found.front();
}

std::vector<Accessible> FindAll(const Accessible& root, const Match& match)
{
    std::vector<Accessible> found;
    Collect(root, match, found, false, 0);
    return found;
}

std::string DumpTree(const Accessible& root, int maxDepth)
{
    std::string out;
    if (root)
        Dump(root, 0, maxDepth, out);
    return out;
}

// ---- the bus ----

AccessibilityView* AccessibilityView::Connect(const std::string& display, const std::string& sessionBus,
                                              std::string& error)
{
    static std::unique_ptr<AccessibilityView> view;
    if (view)
        return view.get();
    // libatspi finds the bus through these, once per process.
    setenv("DISPLAY", display.c_str(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", sessionBus.c_str(), 1);
    unsetenv("AT_SPI_BUS_ADDRESS");
    if (atspi_init() > 1) {
        error = "cannot reach the accessibility bus";
        return nullptr;
    }
    // Every question goes to the program: no answer is kept from before.
    Accessible desktop = Accessible::Adopt(atspi_get_desktop(0));
    atspi_accessible_set_cache_mask(desktop.Get(), ATSPI_CACHE_NONE);
    view.reset(new AccessibilityView);
    AtspiEventListener* listener = atspi_event_listener_new(
        reinterpret_cast<AtspiEventListenerCB>(&AccessibilityView::OnEvent), view.get(), nullptr);
    ErrorHolder registerError;
    atspi_event_listener_register(listener, "object:state-changed:showing", &registerError);
    // The registration keeps what it needs; the listener object lives with the process.
    SetWaitPump([] {
        if (view)
            view->Pump();
    });
    return view.get();
}

void AccessibilityView::OnEvent(void* eventPointer, void* self)
{
    auto* event = static_cast<AtspiEvent*>(eventPointer);
    auto* view = static_cast<AccessibilityView*>(self);
    if (event->detail1 == 1 && event->source)
        view->NoticeShown(Accessible::Adopt(static_cast<AtspiAccessible*>(g_object_ref(event->source))));
    // Each listener receives its own copy of the event.
    g_boxed_free(ATSPI_TYPE_EVENT, event);
}

// Something was shown: the menu or window it belongs to is remembered when
// it is not a child of the application's top-level windows (a pop-up: a
// menu, the template chooser). Pages inside a window are not windows.
void AccessibilityView::NoticeShown(const Accessible& shown)
{
    Accessible object = shown;
    for (int depth = 0; depth < 12 && object; ++depth) {
        for (const Accessible& known : m_popups) {
            if (known == object)
                return;
        }
        const std::string role = object.Role();
        if (role == "popup menu" || role == "menu") {
            Remember(object);
            return;
        }
        Accessible parent = object.Parent();
        if (parent.Role() == "application") {
            if (role == "window" || role == "dialog")
                Remember(object);
            return;
        }
        object = std::move(parent);
    }
}

void AccessibilityView::Remember(const Accessible& popup)
{
    for (const Accessible& known : m_popups) {
        if (known == popup)
            return;
    }
    m_popups.push_back(popup);
}

void AccessibilityView::Pump()
{
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

Accessible AccessibilityView::Application(pid_t pid)
{
    Accessible desktop = Accessible::Adopt(atspi_get_desktop(0));
    for (const Accessible& application : desktop.Children()) {
        if (application.ProcessId() == pid)
            return application;
    }
    return {};
}

std::vector<Accessible> AccessibilityView::Windows(pid_t pid)
{
    Pump();
    std::vector<Accessible> windows;
    for (const Accessible& window : Application(pid).Children()) {
        if (window.Showing())
            windows.push_back(window);
    }
    // Pop-ups that closed go; the ones still up join the windows.
    std::vector<Accessible> kept;
    for (const Accessible& popup : m_popups) {
        if (!popup.Showing())
            continue;
        kept.push_back(popup);
        const bool listed = std::find(windows.begin(), windows.end(), popup) != windows.end();
        if (!listed && popup.ProcessId() == pid)
            windows.push_back(popup);
    }
    m_popups = std::move(kept);
    return windows;
}

}  // namespace acceptance
