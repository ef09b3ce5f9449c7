#pragma once
// The real editor window on the real engine, for one test: fresh user
// folders, the program's languages, recorded message boxes and choosers that
// answer without a window.
#include "ui/DlgEditor.h"

#include "../support/TestSupport.h"

#include <QImage>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class QApplication;

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Constructs and shows the editor at this client size (no maximising).
    void OpenEditor(int clientWidth = 1704, int clientHeight = 1000);
    // Ends the editor as closing does; the engine must have freed everything.
    void CloseEditor();

    void Pump(int ms = 50);
    // Lets a finished gesture settle into the history: the engine's moves
    // arrive through the event queue and the step is recorded a little after
    // the release (longer in the instrumented build).
    void SettleGesture();
    bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000);
    // Sends UM_OPEN_VIRTUAL_SET as the library does.
    long long SendOpen(const std::string& folder, int kind);
    // What the preview's window shows now, in its own pixels.
    QImage GrabPreview();
    // The whole editor window as shown, saved as <build>/test-screenshots/<name>.png.
    void SaveScreenshot(const QString& name);

    CDlgEditor* editor() const { return m_editor.get(); }
    const testsupport::TempDir& dir() const { return m_dir; }

    std::vector<std::wstring> m_messages;     // every message box text, in order
    std::vector<int> m_answers;               // answers given to message boxes, first first
    std::vector<std::wstring> m_fileAnswers;  // paths the file chooser gives, first first
    std::vector<std::wstring> m_folderAnswers;

private:
    testsupport::FreshUserFolders m_folders;
    testsupport::TempDir m_dir;
    std::unique_ptr<CDlgEditor> m_editor;
};

QApplication& EditorApplication();

// Makes the window the active one, asking again when another test's window on
// the shared display took the keyboard at the same moment.
bool BecomeActiveWindow(QWidget* window);

// The layer names a scene file holds, front-most first (none when it does not read).
std::vector<std::string> SceneLayerNames(const std::wstring& sceneFile);
