#pragma once
// What the benchmarks that run the real editor window share.
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"

#include <cstdio>
#include <string>

// A message the editor would show goes to the error output and is answered
// with Cancel, so nothing waits for a user.
inline void PrintEditorMessages()
{
    SetMessageBoxHandler([](QWidget*, const std::wstring& text, int) {
        std::fprintf(stderr, "message: %ls\n", text.c_str());
        return IDCANCEL;
    });
}
