#pragma once
// The preview window as the main window sees it: window operations, then the
// drawing and input operations, in this order.
#include <cstdint>
#include <functional>
#include <obs.h>

class QWidget;

struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ClientSize {
    int width = 0;
    int height = 0;
};

// The X11 window id the engine display draws into; 0 for none.
using NativeWindowId = uint32_t;

// Mouse buttons as the input operations take them.
inline constexpr int kMouseLeft = 1;
inline constexpr int kMouseRight = 2;
inline constexpr int kMouseMiddle = 4;

// Modifier mask bits of IsModifierDown.
inline constexpr int kModifierShift = 1;
inline constexpr int kModifierCtrl = 2;
inline constexpr int kModifierAlt = 4;

// What the preview changed on an item, with the codes of the item-event message.
enum class PreviewItemEvent { Transformed = 0, Selected = 2 };
using PreviewItemEventHook = std::function<void(PreviewItemEvent, obs_sceneitem_t*)>;

class ObsWindowBase {
public:
    virtual ~ObsWindowBase() = default;
    virtual ClientSize GetClientSize() const = 0;
    // Makes the native window (a child of parent when given); its id or 0.
    virtual NativeWindowId Create(QWidget* parent, const WindowRect& rect) = 0;
    virtual void Move(const WindowRect& rect) = 0;
    virtual NativeWindowId GetHandle() const = 0;
    virtual void Show(bool show) = 0;
    virtual void OnResize(int width, int height) = 0;
    virtual void SetEditEnabled(bool enabled) = 0;
    virtual void OnDropFile(const char* utf8Path) = 0;
    virtual void OnMouseDown(int button, int x, int y) = 0;
    virtual void OnMouseUp(int button, int x, int y) = 0;
    virtual void OnMouseMove(int button, int x, int y) = 0;
    // True when mask is not 0 and every key it names is down.
    virtual bool IsModifierDown(int mask) const = 0;

    // Makes the engine display for the native window; false when one exists
    // already or there is no window.
    virtual bool CreateDisplay() = 0;
    // The scene shown and edited; the preview keeps its own reference. Null
    // clears it.
    virtual void SetScene(obs_scene_t* scene) = 0;
    virtual obs_scene_t* GetScene() const = 0;
    virtual void SetKeepRatio(bool keep) = 0;
    // Called on the user-interface thread right after the preview moved,
    // resized or selected an item (the engine raises its own signals too).
    virtual void SetItemEventHook(PreviewItemEventHook hook) = 0;
};
