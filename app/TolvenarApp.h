#pragma once
// The editor process: the instance handshake with a running copy, the
// folders and the language, the main window run to its end, and the way out.
#include "RunningEditors.h"
#include "SharedInstance.h"

#include <memory>
#include <string>

class QApplication;

class CTolvenarApp {
public:
    explicit CTolvenarApp(QApplication& application);

    // A set (its folder, "scene.tvn" or "config.xml") to open once the editor
    // runs; with an editor running already it is handed to that one.
    void SetOpenPath(const std::wstring& path) { m_openPath = path; }
    ~CTolvenarApp();

    // The start-up sequence; false when this process is to end at once (a
    // running editor was brought forward instead). True after the main
    // window has closed.
    bool InitInstance();
    // Leaves the shared record; the process's exit code.
    int ExitInstance();
    // InitInstance, then ExitInstance.
    int Run();

    // Ends every other running editor of this user data folder; false when
    // none ran or one of them could not be ended. Editors of other data
    // folders are never touched.
    static bool TerminateOtherInstances();

    // The record's name: one per user data folder, so two users (or two
    // separate data folders) never reach each other's editor.
    static std::string InstanceRecordName();

private:
    // A second start: the running editor is asked over the instance channel
    // to come forward (and to open the set); when it answers, its window is
    // restored and raised, and this process ends: true. A recorded editor
    // that is gone leaves a stale record; one that stays silent (longer when
    // it says it is busy) is a hung editor and is ended, but only when it is
    // an editor of this user data folder. False: this process goes on.
    bool HandOverToRunningInstance();
    enum class Reply { Answered, Silent, Gone };
    Reply AskRunningEditor(uint32_t pid);
    void WaitForRestartingInstance();
    void CreateUserFolders();
    void RunMainWindow();

    QApplication& m_application;
    SharedInstanceRecord m_record;
    bool m_entered = false;
    std::wstring m_openPath;
    std::unique_ptr<InstanceBusyMark> m_startUpMark;
};
