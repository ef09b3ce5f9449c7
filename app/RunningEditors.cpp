#include "RunningEditors.h"

#include "platform/FileUtil.h"
#include "platform/Processes.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <filesystem>
#include <map>
#include <optional>

namespace {

// The user data folder's name inside the roaming application data folder.
constexpr wchar_t kDataFolderName[] = L"Kelvane";

bool IsSameFolder(const std::wstring& a, const std::wstring& b)
{
    if (a == b)
        return true;
    std::error_code ec;
    return std::filesystem::equivalent(platform::WideToUtf8(a), platform::WideToUtf8(b), ec) && !ec;
}

}  // namespace

std::wstring UserDataFolderOfProcess(uint32_t pid)
{
    const std::optional<std::map<std::string, std::string>> environment =
        platform::ReadProcessEnvironment(pid, {"XDG_DATA_HOME", "HOME"});
    if (!environment)
        return {};
    const auto value = [&](const char* name) {
        const auto found = environment->find(name);
        return found == environment->end() ? nullptr : found->second.c_str();
    };
    return platform::JoinPath(platform::RoamingAppDataFolderFor(value("XDG_DATA_HOME"), value("HOME")), kDataFolderName);
}

bool IsEditorOfDataFolder(uint32_t pid, const std::wstring& dataFolder)
{
    if (pid == platform::CurrentProcessId() || !platform::IsProcessAlive(pid) ||
        platform::ProcessExecutableName(pid) != kEditorExecutableName || !platform::IsProcessOfCurrentUser(pid))
        return false;
    const std::wstring folder = UserDataFolderOfProcess(pid);
    return !folder.empty() && IsSameFolder(folder, dataFolder);
}

std::vector<uint32_t> FindEditorsOfDataFolder(const std::wstring& dataFolder)
{
    std::vector<uint32_t> editors;
    for (uint32_t pid : platform::FindProcessesNamed(kEditorExecutableName)) {
        if (IsEditorOfDataFolder(pid, dataFolder))
            editors.push_back(pid);
    }
    return editors;
}

bool TerminateEditorsOfDataFolder(const std::wstring& dataFolder, int waitMs)
{
    const std::vector<uint32_t> editors = FindEditorsOfDataFolder(dataFolder);
    if (editors.empty())
        return false;
    for (uint32_t pid : editors) {
        if (!platform::TerminateProcessNamed(pid, kEditorExecutableName, waitMs))
            return false;
    }
    return true;
}
