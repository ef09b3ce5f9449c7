#pragma once
// The editor process: the instance handshake with a running copy, the
// folders and the language, the main window run to its end, and the way out.
#include "SharedInstance.h"

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

    // Ends every other running editor; false when none ran or one of them
    // could not be ended.
    static bool TerminateOtherInstances();

    // The record's name: one per user data folder, so two users (or two
    // separate data folders) never reach each other's editor.
    static std::string InstanceRecordName();

private:
    // A running editor with a visible window is brought forward: true.
    // A recorded one without a window is ended; false then.
    bool ActivateOrReplaceRunningInstance();
    void WaitForRestartingInstance();
    void CreateUserFolders();
    void RunMainWindow();

    QApplication& m_application;
    SharedInstanceRecord m_record;
    bool m_entered = false;
    std::wstring m_openPath;
};

// The executable's file name that every running copy has ("kelvane").
inline constexpr char kEditorExecutableName[] = "kelvane";
