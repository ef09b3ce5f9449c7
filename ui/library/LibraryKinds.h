#pragma once
// The three libraries the scene tab shows, and the sub-folders of a Tolvenar
// sets folder that its page's tabs choose between.
#include <string>

inline constexpr int kLibraryRecent = 0;    // recently saved sets
inline constexpr int kLibraryTolvenar = 1;  // native sets of the Tolvenar folder
inline constexpr int kLibraryVmix = 2;      // vMix virtual sets

inline constexpr int kTolvenarTabCount = 3;
// "VirtualSets", "MultiViews" or "Others" for tab 0, 1, 2 (modulo 3).
const wchar_t* TolvenarSubFolder(int tab);

inline constexpr int kThumbLargeWidth = 240;
inline constexpr int kThumbLargeHeight = 180;
inline constexpr int kThumbSmallWidth = 40;
inline constexpr int kThumbSmallHeight = 30;
