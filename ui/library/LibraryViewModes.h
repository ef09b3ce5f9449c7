#pragma once
// Whether each library page shows icons (0) or rows (1): kept in the
// settings record under "VirtualSet" (Tolvenar), "MultiView" (vMix) and
// "ThirdVSet" (recent) and saved to Setting.xml on every change.
#include <string>

unsigned LibraryViewMode(int kind);
// Records the mode and saves the settings file.
bool StoreLibraryViewMode(int kind, unsigned rows);

// Takes the three modes back from the saved settings file, so a page opens
// the way the user left it. False when the file is missing or unreadable
// (the modes stay as they are).
bool RestoreLibraryViewModes();
bool RestoreLibraryViewModes(const std::wstring& settingsPath);
