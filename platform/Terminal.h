#pragma once
// Whether a stream is a terminal, and how wide it is.
#include <cstdio>

namespace platform {

bool IsTerminal(std::FILE* stream);
// Columns of the terminal behind the stream; 80 when it does not say.
int TerminalColumns(std::FILE* stream);

}  // namespace platform
