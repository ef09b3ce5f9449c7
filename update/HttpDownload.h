#pragma once
// Downloads one file over HTTP(S) on the calling (worker) thread, in 1024-byte
// blocks, each preceded by a short wait on the stop event, with progress
// messages to an optional window.
#include "platform/Event.h"
#include "platform/WinTypes.h"
#include "platform/WindowMessage.h"

#include <string>

// Posted to the progress window: wParam kDownloadProgressKind, lParam the
// percentage received so far (0..100).
inline constexpr unsigned WM_DOWNLOAD_PROGRESS = WM_USER + 5212;
inline constexpr WPARAM kDownloadProgressKind = 2;

inline constexpr int kDownloadComplete = 0;
inline constexpr int kDownloadFailed = -1;     // no connection, bad address, no length, file, stopped
inline constexpr int kDownloadHttpStatus = -2;  // the server answered with a status other than 200

inline constexpr int kDownloadBlockBytes = 1024;
inline constexpr int kDownloadBlockWaitMs = 10;

// Fetches url into localFile. The body goes to a temporary file beside
// localFile, which replaces localFile only when every announced byte arrived;
// otherwise localFile is left as it was. Setting stopEvent ends the download
// between two blocks (and while connecting). Without a stop event the blocks
// follow each other without the wait.
int DownloadToFile(const std::wstring& url, const std::wstring& localFile, HWND progressWindow, platform::CEvent* stopEvent);

// True for an absolute http:// or https:// address with a host.
bool IsHttpAddress(const std::wstring& address);
