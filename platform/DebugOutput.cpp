#include "DebugOutput.h"

#include "TextConv.h"

#include <unistd.h>

namespace platform {

void DebugOutputUtf8(std::string_view text)
{
    // One write call per piece, so lines from several threads do not interleave mid-text.
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

void DebugOutput(std::wstring_view text) { DebugOutputUtf8(WideToUtf8(text)); }

}  // namespace platform
