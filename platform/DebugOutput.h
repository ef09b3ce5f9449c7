#pragma once
// The debugger output channel: standard error here.
#include <string_view>

namespace platform {
void DebugOutput(std::wstring_view text);
void DebugOutputUtf8(std::string_view text);
}  // namespace platform
