#pragma once
// Top-level windows of other processes, through X11: whether one exists,
// and bringing it back to the user the way a window manager expects.
#include <cstdint>

namespace platform {

// The connection is Qt's own (or any open one); window ids are X11 ids.
bool X11WindowExists(void* display, uint64_t window);

// Brings another program's top-level window back to the user: off its icon
// when minimised, onto the workspace on show, raised and activated. Under a
// window manager that follows the desktop conventions this is the request
// sequence a pager sends (switch to the window's workspace, then activate it
// as a pager); under any other the window is mapped and raised, which
// de-iconifies it. False when the window does not exist.
bool RestoreAndActivateX11Window(void* display, uint64_t window);

// Makes the server paint the window black wherever it is uncovered: for a
// window that something else (a graphics engine) draws, when that cannot.
void PaintX11WindowBlack(void* display, uint64_t window);

}  // namespace platform
