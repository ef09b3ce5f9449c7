#pragma once
// The update checker's worker thread: fetches the manifest into the update
// folder and parses it. The caller starts it, waits for it to end and reads
// its exit code and its UpdateInfo.
#include "UpdateInfo.h"
#include "platform/MyThread.h"
#include "platform/WindowMessage.h"

#include <string>

class CUpdater : public CMyThread {
public:
    enum Stage { kStageFetchManifest = 0 };
    // Exit codes of the thread.
    static constexpr int kExitDone = 0;    // also a manifest the server did not have (status other than 200)
    static constexpr int kExitFailed = 1;  // no connection, bad address, no length, unwritable file, stopped

    // manifestAddress is normally GetUpdateManifestAddress for the current
    // interface language.
    CUpdater(int ownVersion, std::wstring updateFolder, std::wstring manifestAddress);
    ~CUpdater() override;

    int ThreadMain() override;

    // Set before Start; the thread reads it.
    void SetStage(int stage) { m_stage = stage; }
    // Receives the download progress messages; none by default.
    void SetProgressWindow(HWND window) { m_progressWindow = window; }

    int OwnVersion() const { return m_ownVersion; }
    const std::wstring& UpdateFolder() const { return m_updateFolder; }
    std::wstring ManifestPath() const;
    // The manifest of the last run; read it after the thread has ended.
    const UpdateInfo& Info() const { return m_info; }

private:
    int FetchManifest();

    int m_ownVersion;
    std::wstring m_updateFolder;
    std::wstring m_manifestAddress;
    UpdateInfo m_info;
    int m_stage = kStageFetchManifest;
    HWND m_progressWindow = nullptr;
};
