#include "EngineLog.h"

#include "platform/DebugOutput.h"

#include <cstdio>
#include <cwchar>
#include <util/bmem.h>
#include <util/platform.h>

void EngineLogHandler(int, const char* format, va_list args, void*)
{
    char buffer[4096];
    va_list copy;
    va_copy(copy, args);
    std::vsnprintf(buffer, sizeof(buffer), format, copy);
    va_end(copy);

    wchar_t* wide = nullptr;
    os_utf8_to_wcs_ptr(buffer, 0, &wide);
    platform::DebugOutput(wide ? std::wstring_view(wide) : std::wstring_view());
    platform::DebugOutput(L"\n");
    bfree(wide);
}
