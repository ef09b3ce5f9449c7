#pragma once
// Pictures of the session's screen, as the user sees it.
#include <QImage>
#include <string>

typedef struct _XDisplay Display;

namespace acceptance {

// The whole screen (the root window) as it is now.
QImage GrabScreen(::Display* display);
// Writes it as a PNG; false when it cannot.
bool SaveScreen(::Display* display, const std::string& path);

}  // namespace acceptance
