#include "UpdateCheck.h"

#include "Updater.h"

#include <chrono>
#include <thread>

namespace {

constexpr int kPollMs = 10;

// Waits for the updater's thread to end; false when the caller's stop event
// came first (the updater is then stopped).
bool WaitForUpdater(CUpdater& updater, platform::CEvent* stopEvent)
{
    while (updater.IsRunning()) {
        if (stopEvent) {
            if (stopEvent->Wait(kPollMs)) {
                updater.Stop();
                return false;
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        }
    }
    updater.Stop();  // collects the ended thread
    return true;
}

}  // namespace

UpdateState CheckForUpdate(int ownVersion, const std::wstring& updateFolder, const std::wstring& manifestAddress,
    UpdateInfo& info, HWND progressWindow, platform::CEvent* stopEvent)
{
    CUpdater updater(ownVersion, updateFolder, manifestAddress);
    updater.SetStage(CUpdater::kStageFetchManifest);
    updater.SetProgressWindow(progressWindow);
    if (!updater.Start() || !WaitForUpdater(updater, stopEvent))
        return kUpdateFailed;
    if (updater.GetExitCode() != CUpdater::kExitDone)
        return kUpdateFailed;
    if (!IsUpdateOffered(updater.Info(), ownVersion))
        return kUpdateNone;
    info = updater.Info();
    return kUpdateAvailable;
}

std::optional<RecentUpdate> LoadRecentUpdate(int ownVersion, const std::wstring& updateFolder)
{
    RecentUpdate recent;
    if (!ParseStoredManifest(updateFolder, recent.info))
        return std::nullopt;
    recent.updateAvailable = IsUpdateOffered(recent.info, ownVersion);
    return recent;
}
