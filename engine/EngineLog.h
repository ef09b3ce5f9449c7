#pragma once
// The engine's log handler: every message of every level goes to the debugger
// output (standard error here) and nowhere else.
#include <cstdarg>

void EngineLogHandler(int level, const char* format, va_list args, void* param);
