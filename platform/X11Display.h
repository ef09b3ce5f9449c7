#pragma once
// Whether an X display can be reached, asked before any window toolkit starts.
#include <string>

namespace platform {

// name: a display name such as ":0"; empty for $DISPLAY.
bool CanOpenX11Display(const std::string& name);

}  // namespace platform
