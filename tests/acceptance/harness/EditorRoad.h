#pragma once
// The fixture of every road: a fresh user on the shared private desktop, the
// real `kelvane` started as a user starts it, and what a road needs to use
// it only through input (find a control by role and name, click, type,
// choose a menu item) and to check the result (window state, files through
// `kelvane-cli info`, screenshots).
#include "Accessible.h"
#include "ChildProcess.h"
#include "XInput.h"

#include <QJsonArray>
#include <QJsonObject>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace acceptance {

class DesktopSession;

using namespace std::chrono_literals;

class EditorRoad : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // ---- the user's folders (all inside the road's own temporary folder)
    const std::string& Home() const { return m_home; }
    // ~/.local/share/Kelvane, where the editor keeps the user's files.
    std::string DataFolder() const { return m_home + "/.local/share/Kelvane"; }
    std::string SetsFolder() const { return DataFolder() + "/VirtualSets"; }
    // A folder of the road's own outside the user's data (sets to open,
    // targets of Save as).
    std::string WorkFolder() const { return m_root + "/work"; }
    // The maker's shared folder ($XDG_DATA_DIRS).
    std::string CommonFolder() const { return m_root + "/common"; }
    // Copies a set folder (the shipped sample by default) into `parent`.
    std::string CopySet(const std::string& parent, const std::string& name = "Sample Studio",
                        const std::string& from = ShippedSample());
    static std::string ShippedSample();

    // ---- the program
    // Starts `kelvane` with these arguments and waits for its maximised main
    // window; false (with the failure reported) when it does not come.
    bool StartEditor(const std::vector<std::string>& arguments = {});
    ChildProcess& Editor() { return m_editor; }
    pid_t EditorPid() const { return m_editorPid; }
    // Another editor of this road (the one a language restart started).
    bool AdoptRestartedEditor(std::chrono::milliseconds timeout);
    // The editor's main window ("Zantrel …"); empty when not shown.
    Accessible MainWindow();
    std::string MainTitle() { return MainWindow().Name(); }
    // Waits for the editor to end by itself; its exit code.
    std::optional<int> WaitForEditorExit(std::chrono::milliseconds timeout = 20s);
    // What the editor wrote on standard error.
    std::string EditorLog() const;
    // The engine's leak count of the editor's last clean end, -1 when none.
    long LeakCount() const;

    // ---- finding (in every window the editor shows, pop-ups included)
    Accessible Find(const Match& match, std::chrono::milliseconds timeout = 10s);
    Accessible FindIn(const Accessible& root, const Match& match, std::chrono::milliseconds timeout = 10s);
    // A shown window (dialog, message box, menu) of the editor.
    Accessible FindWindow(const Match& match, std::chrono::milliseconds timeout = 10s);
    // The shown window whose text holds `textPart` (a message box, whose
    // title need not tell it from the main window).
    Accessible FindMessageBox(const std::string& textPart, std::chrono::milliseconds timeout = 10s);
    bool WaitGone(const Accessible& object, std::chrono::milliseconds timeout = 10s);
    // Closes a message box with Enter, as a user does; pressed again once if
    // the key came before the box had the keyboard.
    bool CloseMessageWithEnter(const Accessible& message);
    // Every shown window of the editor, for a failure message.
    std::string DumpWindows();

    // ---- acting
    // Its place on the screen once it has one (empty after a few seconds).
    QRect PlaceOf(const Accessible& object);
    void Click(const Accessible& object);
    void DoubleClick(const Accessible& object);
    void Drag(QPoint from, QPoint to) { m_input->Drag(from, to); }
    void Key(const std::string& chord);
    void Type(const std::string& text);
    // Clicks into the field, selects what it holds and types the text.
    void TypeInto(const Accessible& field, const std::string& text);
    // Clicks the item of the shown pop-up menu; false when there is none.
    bool ChooseMenuItem(const std::string& name);
    // Types a path into the shown file or folder chooser and confirms it.
    bool AnswerChooser(const std::string& path);
    XInput& Input() { return *m_input; }
    // The frame's own title-bar buttons are drawn, not controls: their
    // places follow the frame's rule (from the right edge, 2 pixels in:
    // close 45 pixels wide, then maximise, minimise and menu, 31 each).
    enum class TitleButton { Close = 0, Maximize = 1, Minimize = 2, Menu = 3 };
    QPoint TitleButtonCenter(const Accessible& window, TitleButton button);
    // Opens the main window's title-bar menu.
    void OpenFrameMenu();
    // Turns the editor's pages to the named one (General, Layers, Shots) and
    // waits until it shows; a click lost while the set was still settling is
    // given again, as a user would.
    bool ShowPage(const std::string& name);
    // Opens the editor's Recent entry (the sample studio by default) with a
    // double click and waits for its title.
    bool OpenRecentSet(const std::string& name = "Sample Studio");

    // ---- checking
    // `kelvane-cli info` of a set folder or file, as JSON (empty on failure).
    QJsonObject SetInfo(const std::string& path);
    // Saves the open set in place with Ctrl+S and closes the "Save Success"
    // message with Enter; false when the save does not end so.
    bool SaveInPlace();
    // The same, then reads the layers saved in `setFolder` back; empty, with
    // the failure reported, when the save does not end so.
    QJsonArray SaveInPlaceAndReadLayers(const std::string& setFolder);
    // A picture of the screen, <build>/acceptance-shots/<road>-<name>.png.
    std::string Screenshot(const std::string& name);

    DesktopSession* Session() const { return m_session; }

private:
    void MakeUserFolders();
    Environment EditorEnvironment() const;
    std::vector<pid_t> EditorsOfThisRoad() const;
    QPoint StaleWindowOffset(const Accessible& object);
    void EndEditors();

    DesktopSession* m_session = nullptr;
    class AccessibilityView* m_view = nullptr;
    std::unique_ptr<XInput> m_input;
    std::string m_root;
    std::string m_home;
    std::string m_logPath;
    ChildProcess m_editor;
    pid_t m_startedPid = 0;  // the editor this road started (m_editor's, even once reaped)
    pid_t m_editorPid = 0;
    int m_shots = 0;
};

}  // namespace acceptance
