#pragma once
// The shell's "open" verb for addresses and files. Tests replace it so no
// browser ever starts.
#include <functional>
#include <string>

bool ShellOpen(const std::wstring& target);
// An empty handler brings the desktop's own back.
void SetShellOpenHandler(std::function<bool(const std::wstring&)> handler);
