#include "TolvenarApp.h"

#include "InstanceChannel.h"
#include "LanguageSetup.h"
#include "SampleSets.h"
#include "SettingsFiles.h"
#include "UserFolders.h"
#include "lumora/Lang.h"
#include "platform/FileUtil.h"
#include "platform/Processes.h"
#include "platform/TerminationSignals.h"
#include "platform/TextConv.h"
#include "platform/X11Windows.h"
#include "ui/DlgEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <functional>
#include <thread>

namespace {

void* QtX11Display()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

// A running editor answers at once; one that says it is inside a save, an
// open or its start-up gets longer before its silence counts as a hang.
constexpr qint64 kAnswerWaitMs = 5000;
constexpr qint64 kBusyAnswerWaitMs = 120000;

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
    if (count > 1 && data->restartPending.load() == 0 && HandOverToRunningInstance())
        return false;
    data->lastProcessId.store(platform::CurrentProcessId());
    // Until the window's event loop runs this editor cannot answer a second
    // start, which then waits for it instead of taking it for a hung one.
    m_startUpMark = std::make_unique<InstanceBusyMark>();

    if (data->restartPending.load() != 0)
        WaitForRestartingInstance();

    CreateUserFolders();
    OfferSampleSetsOnFirstRun(GetShippedSamplesFolder(), GetVirtualSetsFolder(), g_recentSets,
                              static_cast<int64_t>(std::time(nullptr)));
    InitLanguages();
    RunMainWindow();
    return true;
}

bool CTolvenarApp::HandOverToRunningInstance()
{
    SharedInstanceData* data = m_record.Data();
    const uint32_t pid = data->lastProcessId.load();
    if (IsRecordedEditorRunning(pid)) {
        const Reply reply = AskRunningEditor(pid);
        if (reply == Reply::Answered) {
            platform::RestoreAndActivateX11Window(QtX11Display(), data->mainWindow.load());
            return true;
        }
        if (reply == Reply::Silent && IsEditorOfDataFolder(pid, GetUserDataFolder())) {
            std::fprintf(stderr, "The running editor (process %u) does not answer; it is replaced\n", pid);
            platform::TerminateProcessNamed(pid, kEditorExecutableName, 1000);
        }
    }
    // The recorded editor is gone (or was never one of this folder): its
    // count is stale, this one is alone now.
    if (!IsEditorOfDataFolder(pid, GetUserDataFolder())) {
        data->instanceCount.store(1);
        data->mainWindow.store(0);
    }
    return false;
}

CTolvenarApp::Reply CTolvenarApp::AskRunningEditor(uint32_t pid)
{
    const SharedInstanceData* data = m_record.Data();
    const QString path = QString::fromStdWString(m_openPath);
    QElapsedTimer waited;
    waited.start();
    bool gone = false;
    const auto keepWaiting = [&] {
        if (!IsRecordedEditorRunning(pid)) {
            gone = true;
            return false;
        }
        if (waited.elapsed() < kAnswerWaitMs)
            return true;
        return data->busyProcessId.load() == pid && waited.elapsed() < kBusyAnswerWaitMs;
    };
    if (!CInstanceChannel::CanSendPath(path)) {
        std::fprintf(stderr, "The set path cannot be handed to the running editor\n");
        if (CInstanceChannel::SendPath(InstanceRecordName(), QString(), keepWaiting))
            return Reply::Answered;
    } else if (CInstanceChannel::SendPath(InstanceRecordName(), path, keepWaiting)) {
        return Reply::Answered;
    }
    return gone ? Reply::Gone : Reply::Silent;
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
    // The project's video format, the snapshot folder, keep-ratio and the
    // editor's workspace are the ones left last time; the rest of the record
    // starts from its initial values.
    ReadVideoFormatSetting(g_settings, SettingsFilePath());
    ReadWorkspaceSetting(g_settings, SettingsFilePath());
    CDlgEditor editor;
    editor.RestoreWorkspace();
    // The system's requests to end keep the unsaved edits and end cleanly.
    platform::TerminationSignals endRequests([&editor](int signal) { editor.EndBySignal(signal); });
    CInstanceChannel channel;
    if (m_entered) {
        channel.Listen(InstanceRecordName());
        QObject::connect(&channel, &CInstanceChannel::PathReceived, &editor,
                         [&editor](const QString& path) { editor.RequestOpen(path.toStdWString()); });
    }
    QTimer::singleShot(0, &editor, [this, &editor] {
        // The event loop runs: from here the editor answers a second start.
        m_startUpMark.reset();
        // Edits an editor that ended uncleanly left behind come first; a
        // set handed over meanwhile waits for the answers.
        editor.OfferRecoveryJournals();
        if (!m_openPath.empty())
            editor.RequestOpen(m_openPath);
    });
    editor.exec();
    m_startUpMark.reset();
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

bool CTolvenarApp::TerminateOtherInstances() { return TerminateEditorsOfDataFolder(GetUserDataFolder(), 1000); }
