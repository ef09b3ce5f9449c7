#pragma once
// The editor's own window messages between the main window, its panels and
// the library.
#include "platform/WinTypes.h"
#include "platform/WindowMessage.h"

// A scene item was transformed (wParam 0) or selected (2); lParam the item,
// without a reference.
inline constexpr unsigned UM_ITEM_EVENT = WM_USER + 139;
// Show the set's main scene (wParam 0), its group scene (1) or none.
inline constexpr unsigned UM_PREVIEW_SCENE = WM_USER + 140;
// Open the set folder of the ClipInfo2_t in wParam; lParam the kind:
// 0 either, 1 native, 2 vMix.
inline constexpr unsigned UM_OPEN_VIRTUAL_SET = WM_USER + 141;

inline constexpr WPARAM kItemTransformed = 0;
inline constexpr WPARAM kItemSelected = 2;

// The kinds of set a folder is opened as.
inline constexpr int kSetKindAny = 0;
inline constexpr int kSetKindNative = 1;
inline constexpr int kSetKindVmix = 2;
