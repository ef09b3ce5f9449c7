#pragma once
// Top-level windows of other processes, through X11: whether one is shown,
// and bringing it to the front the way a window manager expects.
#include <cstdint>

namespace platform {

// The connection is Qt's own (or any open one); window ids are X11 ids.
bool IsX11WindowViewable(void* display, uint64_t window);
// Maps and raises the window and asks the window manager to activate it.
bool ActivateX11Window(void* display, uint64_t window);

}  // namespace platform
