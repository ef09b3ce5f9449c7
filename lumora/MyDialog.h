#pragma once
// Base of child dialogs that sit inside another window (the editor's panels
// and bars): the skin's background and text colours, an optional painted
// border, and Enter and Escape that never close it. It carries its template
// id, so Lang::LoadDialogLangStrings(this, TemplateId()) translates it.
#include "lumora/CmdTarget.h"
#include "lumora/LumoraApi.h"

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <vector>

class QTextEdit;

class LUMORA_API CMyDialog : public QDialog, public CCmdTarget {
    Q_OBJECT
public:
    // A child window of parent (a separate window when parent is null).
    explicit CMyDialog(int templateId, QWidget* parent = nullptr);
    ~CMyDialog() override;

    // Makes the dialog a child of parent and initialises it (OnInitDialog)
    // once; showing it is left to the caller. True when it was initialised.
    bool Create(int templateId, QWidget* parent);
    int TemplateId() const { return m_templateId; }

    // The window keeps its own text colour instead of the skin's.
    void AddExcludeControl(QWidget* control);
    bool IsExcludedControl(const QWidget* control) const;
    // Colour (0x00BBGGRR) and width of the painted border; width 0 paints none.
    void SetBorderColor(uint32_t color);
    void SetBorderWidth(int pixels);
    void SetCustomNC(int flag);
    void SetDrawMode(int mode) { m_drawMode = mode; }
    int GetDrawMode() const { return m_drawMode; }
    // Skin background and text colours for a rich-text box.
    static void SetRichTextDefaultProp(QTextEdit* edit);

    // Called once before the dialog is first shown (or by Create).
    virtual bool OnInitDialog();
    // Enter and Escape pressed in the dialog: nothing, so a child dialog
    // never closes by itself. A dialog run on its own overrides them.
    virtual void OnOK() {}
    virtual void OnCancel() {}
    // Ends a dialog that runs modally (CDlgMultiView does).
    void EndDialog(int result) { done(result); }

    // A dialog's own OK and Cancel paths (its buttons, the window manager's
    // close) end it, as for any dialog; only the keys go to OnOK/OnCancel.

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ApplySkinPalette();
    void ColourControl(QWidget* control);
    void InitOnce();

    int m_templateId;
    uint32_t m_borderColor;
    int m_borderWidth = 0;
    int m_customNC = 1;
    int m_drawMode = 0;
    bool m_initialised = false;
    std::vector<QPointer<QWidget>> m_excluded;
};
