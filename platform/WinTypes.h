#pragma once
// The few Windows result codes and message numbers the program keeps as values.
#include <cstdint>

using HRESULT = int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

inline constexpr unsigned WM_USER = 0x400;

// Exit code a thread reports while it is still running.
inline constexpr int STILL_ACTIVE = 259;

inline constexpr int MAX_PATH = 260;
