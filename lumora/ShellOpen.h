#pragma once
// The shell's "open" verb: a file, folder or web address opened by the
// desktop. Everything goes through one replaceable handler, so tests never
// start a browser.
#include "lumora/LumoraApi.h"

#include <QString>
#include <functional>

namespace lumora {

using ShellOpenHandler = std::function<bool(const QString& target)>;

// Opens the target; true when the handler accepted it.
LUMORA_API bool ShellOpen(const QString& target);
// Replaces the handler (null restores the desktop's); returns the previous one.
LUMORA_API ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler);

}  // namespace lumora
