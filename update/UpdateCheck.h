#pragma once
// One update check as the top bar runs it, and the recent-updates lookup of
// the stored manifest.
#include "UpdateInfo.h"
#include "platform/Event.h"
#include "platform/WindowMessage.h"

#include <optional>
#include <string>

// States reported to the top bar (UM_UPDATE_STATUS).
enum UpdateState {
    kUpdateChecking = 1,
    kUpdateFailed = 2,
    kUpdateAvailable = 3,
    kUpdateNone = 4,
};

// Runs a CUpdater at the fetch stage and waits for it. Returns
// kUpdateFailed, kUpdateAvailable (info then holds the manifest) or
// kUpdateNone. Setting stopEvent (the caller's own thread's stop event) stops
// the check; it then reports kUpdateFailed.
UpdateState CheckForUpdate(int ownVersion, const std::wstring& updateFolder, const std::wstring& manifestAddress,
    UpdateInfo& info, HWND progressWindow = nullptr, platform::CEvent* stopEvent = nullptr);

struct RecentUpdate {
    UpdateInfo info;
    bool updateAvailable = false;
};

// The last downloaded manifest, without going online; nothing when none is
// stored or it does not parse.
std::optional<RecentUpdate> LoadRecentUpdate(int ownVersion, const std::wstring& updateFolder);
