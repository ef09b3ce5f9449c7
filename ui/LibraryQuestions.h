#pragma once
// The library's question boxes, kept apart from the frame headers (both
// define IDOK and IDCANCEL).
#include <string>

class QWidget;

// "Remove '<name>'?" with Yes and No, No the default; true for Yes.
bool AskRemoveFromRecent(QWidget* parent, const std::wstring& name);
