#pragma once
// Message boxes of the editor: always titled "Zantrel". Tests replace the
// shown box by a handler that records the text and gives an answer.
#include "lumora/CmdTarget.h"

#include <functional>
#include <string>

class QWidget;

// Button sets and answers, numbered as the system's message boxes number them.
inline constexpr int MB_OK = 0x0;
inline constexpr int MB_YESNOCANCEL = 0x3;
inline constexpr int MB_YESNO = 0x4;
inline constexpr int MB_DEFBUTTON2 = 0x100;
// Save / Don't save / Cancel, answered with IDYES / IDNO / IDCANCEL.
inline constexpr int MB_SAVEDISCARDCANCEL = 0x1003;
// Restore / Discard / Later, answered with IDYES / IDNO / IDCANCEL.
inline constexpr int MB_RESTOREDISCARDLATER = 0x1004;

// IDOK and IDCANCEL come with the frames' commands.
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

inline constexpr wchar_t kMessageBoxTitle[] = L"Zantrel";

using MessageBoxHandler = std::function<int(QWidget* parent, const std::wstring& text, int type)>;

int ShowMessageBox(QWidget* parent, const std::wstring& text, int type = MB_OK);
// An empty handler brings the real message boxes back.
void SetMessageBoxHandler(MessageBoxHandler handler);
