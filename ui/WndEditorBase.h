#pragma once
// The common base of the three editor pages: the open set and the preview
// they work on (neither owned), and the checks the main window runs before
// it saves.
#include "lumora/MyDialog.h"
#include "platform/WindowMessage.h"

#include <obs.h>
#include <string>

class CDlgEditor;
class CMessageTarget;
class CMultiViewSource;
class ObsQtWindow;

class CWndEditorBase : public CMyDialog {
public:
    CWndEditorBase(int templateId, QWidget* parent, CDlgEditor* editor);

    // Stores the set; true when it differs from the one before.
    bool SetScene(CMultiViewSource* scene);
    CMultiViewSource* GetScene() const { return m_scene; }
    void SetPreview(ObsQtWindow* preview) { m_preview = preview; }
    ObsQtWindow* GetPreview() const { return m_preview; }

    // Points the user at the item that failed Validate.
    virtual void MarkInvalid(int index) = 0;
    // Checks the page's data before a save; false with a message and the
    // failing item's index.
    virtual bool Validate(std::wstring& message, int& index) = 0;
    // Fills the page from the set (when it becomes visible).
    virtual void Refresh() {}


    // The page is itself changing the set's items; their signals are not news.
    virtual bool IsApplyingChange() const { return false; }
    // An item the page keeps and does not want select events for.
    virtual obs_sceneitem_t* KeptItem() const { return nullptr; }

    // Where UM_ITEM_EVENT and the set's notifications reach the page.
    HWND MessageWindow() const;
    virtual LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam);

protected:
    // The page is about to work on another set (or none).
    virtual void OnSceneChanging() {}
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Whether items may be dragged on the preview's canvas.
    void SetCanvasEditing(bool enabled);
    // Asks the main window to preview the set's main scene (0) or its layers (1).
    void RequestPreviewScene(int which);
    CDlgEditor* Editor() const { return m_editor; }
    bool SceneChanged() const { return m_sceneChanged; }

    CMultiViewSource* m_scene = nullptr;
    bool m_sceneChanged = false;
    ObsQtWindow* m_preview = nullptr;

private:
    CDlgEditor* m_editor;
    CMessageTarget* m_messages;
};
