#include "Updater.h"

#include "HttpDownload.h"
#include "platform/FileUtil.h"

CUpdater::CUpdater(int ownVersion, std::wstring updateFolder, std::wstring manifestAddress)
    : m_ownVersion(ownVersion), m_updateFolder(std::move(updateFolder)), m_manifestAddress(std::move(manifestAddress))
{
}

// The thread body uses this object's members, so it must end before they go.
CUpdater::~CUpdater() { Stop(); }

std::wstring CUpdater::ManifestPath() const { return platform::JoinPath(m_updateFolder, kManifestFileName); }

int CUpdater::ThreadMain()
{
    switch (m_stage) {
    case kStageFetchManifest:
        return FetchManifest();
    default:
        return kExitDone;
    }
}

int CUpdater::FetchManifest()
{
    m_info = UpdateInfo();
    // The application makes the folder at start; a tool or a removed folder may not have it.
    if (!platform::FolderExists(m_updateFolder) && !platform::CreateFolderTree(m_updateFolder))
        return kExitFailed;
    const int result = DownloadToFile(m_manifestAddress, ManifestPath(), m_progressWindow, &m_stopEvent);
    if (result == kDownloadFailed)
        return kExitFailed;
    if (result == kDownloadHttpStatus)
        return kExitDone;  // the server has no manifest for us: no update
    m_info = ParseManifestFile(ManifestPath());
    return kExitDone;
}
