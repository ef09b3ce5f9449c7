#include "TolvenarApp.h"

#include "InstanceChannel.h"
#include "LanguageSetup.h"
#include "SampleSets.h"
#include "SettingsFiles.h"
#include "UserFolders.h"
#include "lumora/Lang.h"
#include "platform/FileUtil.h"
#include "platform/Processes.h"
#include "platform/TextConv.h"
#include "platform/X11Windows.h"
#include "ui/DlgEditor.h"

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <clocale>
#include <ctime>
#include <functional>
#include <thread>

namespace {

void* QtX11Display()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

// The recorded editor still runs: its process is alive and is the editor.
bool IsRecordedEditorRunning(uint32_t pid)
{
    return pid != platform::CurrentProcessId() && platform::IsProcessAlive(pid) &&
           platform::ProcessExecutableName(pid) == kEditorExecutableName;
}

}  // namespace

CTolvenarApp::CTolvenarApp(QApplication& application) : m_application(application) {}

CTolvenarApp::~CTolvenarApp()
{
    if (GetSharedInstanceRecord() == &m_record)
        SetSharedInstanceRecord(nullptr);
}

std::string CTolvenarApp::InstanceRecordName()
{
    const std::string folder = platform::WideToUtf8(GetUserDataFolder());
    const size_t hash = std::hash<std::string>{}(folder);
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016zx", hash);
    return std::string(kEditorExecutableName) + suffix;
}

int CTolvenarApp::Run()
{
    InitInstance();
    return ExitInstance();
}

bool CTolvenarApp::InitInstance()
{
    std::setlocale(LC_ALL, "");
    if (!m_record.Open(InstanceRecordName())) {
        // Without the record the editor still runs, alone.
        RunMainWindow();
        return true;
    }
    SetSharedInstanceRecord(&m_record);
    SharedInstanceData* data = m_record.Data();
    const int32_t count = data->instanceCount.fetch_add(1) + 1;
    m_entered = true;
    if (count > 1 && data->restartPending.load() == 0 && ActivateOrReplaceRunningInstance())
        return false;
    data->lastProcessId.store(platform::CurrentProcessId());

    if (data->restartPending.load() != 0)
        WaitForRestartingInstance();

    CreateUserFolders();
    OfferSampleSetsOnFirstRun(GetShippedSamplesFolder(), GetVirtualSetsFolder(), g_recentSets,
                              static_cast<int64_t>(std::time(nullptr)));
    InitLanguages();
    RunMainWindow();
    return true;
}

bool CTolvenarApp::ActivateOrReplaceRunningInstance()
{
    SharedInstanceData* data = m_record.Data();
    const uint32_t pid = data->lastProcessId.load();
    const uint64_t window = data->mainWindow.load();
    if (IsRecordedEditorRunning(pid)) {
        if (platform::IsX11WindowViewable(QtX11Display(), window)) {
            // The running editor opens the set itself and comes to the front.
            if (!m_openPath.empty())
                CInstanceChannel::SendPath(InstanceRecordName(), QString::fromStdWString(m_openPath));
            platform::ActivateX11Window(QtX11Display(), window);
            return true;
        }
        // Started but without a window (hung in start-up): it is replaced.
        platform::TerminateProcessNamed(pid, kEditorExecutableName, 1000);
    }
    // The recorded editor is gone: its count is stale, this one is alone now.
    if (!IsRecordedEditorRunning(pid)) {
        data->instanceCount.store(1);
        data->mainWindow.store(0);
    }
    return false;
}

void CTolvenarApp::WaitForRestartingInstance()
{
    SharedInstanceData* data = m_record.Data();
    const std::time_t start = std::time(nullptr);
    while (data->instanceCount.load() > 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (std::time(nullptr) - start > 20) {
            data->restartPending.store(0);
            TerminateOtherInstances();
            // The ended editor cannot leave the record itself.
            data->instanceCount.store(1);
            break;
        }
    }
    data->restartPending.store(0);
}

void CTolvenarApp::CreateUserFolders()
{
    platform::CreateFolder(GetVirtualSetsFolder());
    platform::CreateFolder(GetUnnamedSetFolder());
    platform::CreateFolder(GetUpdateFolder());
}

void CTolvenarApp::RunMainWindow()
{
    CDlgEditor editor;
    CInstanceChannel channel;
    if (m_entered) {
        channel.Listen(InstanceRecordName());
        QObject::connect(&channel, &CInstanceChannel::PathReceived, &editor,
                         [&editor](const QString& path) { editor.OpenFromCommandLine(path.toStdWString()); });
    }
    if (!m_openPath.empty())
        QTimer::singleShot(0, &editor, [&editor, path = m_openPath] { editor.OpenFromCommandLine(path); });
    editor.exec();
}

int CTolvenarApp::ExitInstance()
{
    if (m_entered) {
        SharedInstanceData* data = m_record.Data();
        uint64_t window = data->mainWindow.load();
        // Only the editor that recorded its window takes it out.
        if (data->lastProcessId.load() == platform::CurrentProcessId())
            data->mainWindow.compare_exchange_strong(window, 0);
        m_record.Leave();
        m_entered = false;
    }
    return 0;
}

bool CTolvenarApp::TerminateOtherInstances()
{
    const std::vector<uint32_t> others = platform::FindProcessesNamed(kEditorExecutableName);
    if (others.empty())
        return false;
    for (uint32_t pid : others) {
        if (!platform::TerminateProcessNamed(pid, kEditorExecutableName, 1000))
            return false;
    }
    return true;
}
