// The editor's undo history: its buttons and keys, and finding the ends of
// the gestures that make its steps.
#include "DlgEditor.h"

#include "lumora/ControlId.h"
#include "lumora/GdipButton.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "ui/EditHistory.h"
#include "preview/ObsQtWindow.h"
#include "ui/EditorStatusLine.h"
#include "ui/WndEditorBase.h"
#include "ui/WndEditorPosition.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>

namespace {

// Moves posted by the engine during a drag arrive just after the button is
// let go; the step is taken once they are in.
constexpr int kRecordDelayMs = 40;

struct HistoryButtonSpec {
    int id;
    int picture;
    unsigned tooltip;
};
constexpr HistoryButtonSpec kHistoryButtons[2] = {{IDC_UNDO, 910, 910}, {IDC_REDO, 911, 911}};

// Typing into a field is one step when the field is left (or Enter is
// pressed), not one per key.
bool IsTextField(QObject* object)
{
    return qobject_cast<QLineEdit*>(object) || qobject_cast<QAbstractSpinBox*>(object);
}

}  // namespace

void CDlgEditor::CreateHistory()
{
    m_history = new CEditHistory(this);
    m_history->SetRestoredHandler([this] { OnHistoryRestored(); });
    m_recordTimer = new QTimer(this);
    m_recordTimer->setSingleShot(true);
    m_recordTimer->setInterval(kRecordDelayMs);
    QObject::connect(m_recordTimer, &QTimer::timeout, this, [this] {
        m_history->Record();
    });
    QObject::connect(m_history->Stack(), &QUndoStack::indexChanged, this, [this] { UpdateHistoryButtons(); });

    for (size_t i = 0; i < m_historyButtons.size(); ++i) {
        const HistoryButtonSpec& spec = kHistoryButtons[i];
        auto* button = new CGdipButton(ClientWidget());
        lumora::SetControlId(button, spec.id);
        button->LoadStdImage(spec.picture, "PNG");
        button->SetToolTipText(QString::fromStdWString(Lang::LoadLangString(spec.tooltip)), true);  // lang-ids: 910 911
        button->setGeometry(m_layout.historyButtons[i]);
        m_historyButtons[i] = button;
    }
    const auto addShortcut = [this](const QKeySequence& keys, void (CDlgEditor::*action)()) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, this, action);
    };
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), &CDlgEditor::Undo);
    addShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &CDlgEditor::Redo);
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), &CDlgEditor::Redo);
    qApp->installEventFilter(this);
    UpdateHistoryButtons();
}

void CDlgEditor::RecordEditSoon()
{
    if (m_recordTimer)
        m_recordTimer->start();
}

void CDlgEditor::Undo()
{
    m_recordTimer->stop();
    if (!EndDrawScreenFirst())
        m_history->Undo();
}

void CDlgEditor::Redo()
{
    m_recordTimer->stop();
    if (!EndDrawScreenFirst())
        m_history->Redo();
}

bool CDlgEditor::EndDrawScreenFirst()
{
    // The corners being drawn belong to a row that an undo may take away:
    // the first Ctrl+Z (or Ctrl+Y) ends the mode, unchanged, and only that.
    if (!m_position || !m_position->IsDrawingScreen())
        return false;
    m_position->CancelDrawScreen();
    return true;
}

// The buttons' tips name the step they would take back or make again.
void CDlgEditor::UpdateHistoryButtons()
{
    const QUndoStack* stack = m_history->Stack();
    const bool can[2] = {stack->canUndo(), stack->canRedo()};
    const QString steps[2] = {stack->undoText(), stack->redoText()};
    for (size_t i = 0; i < m_historyButtons.size(); ++i) {
        m_historyButtons[i]->setEnabled(can[i]);
        const HistoryButtonSpec& spec = kHistoryButtons[i];
        const std::wstring tip = can[i] && !steps[i].isEmpty()
                                     ? Lang::FormatLangString(i == 0 ? 1423 : 1424, steps[i].toStdWString())  // lang-ids: 1423 1424
                                     : Lang::LoadLangString(spec.tooltip);  // lang-ids: 910 911
        m_historyButtons[i]->SetToolTipText(QString::fromStdWString(tip), true);
    }
}

void CDlgEditor::OnHistoryRestored()
{
    // The layers' items were made again from the records.
    if (auto* layers = dynamic_cast<CWndEditorPosition*>(GetPanel(1))) {
        layers->CancelDrawScreen();
        layers->ForgetLiveSources();
    }
    for (CWndEditorBase* panel : m_panels) {
        if (panel && panel->isVisible())
            panel->Refresh();
    }
    if (m_sceneInfo)
        UpdateTitle(platform::FolderPart(m_sceneInfo->path));
}

bool CDlgEditor::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    // The preview's own window does not always hear the pointer leave; any
    // other part of the editor that the pointer enters tells it instead.
    if (event->type() == QEvent::Enter && widget && widget != m_preview && m_statusLine)
        m_statusLine->ClearPointer();
    if (!m_history || !m_scene || !widget || widget->window() != this)
        return CMyPopDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Whatever happened before this gesture (a dialog's result, say) is a step of its own.
        m_history->Record();
        break;
    case QEvent::KeyPress:
        if (!IsTextField(watched) && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
            m_history->Record();
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
        m_recordTimer->start();
        break;
    case QEvent::KeyRelease: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (!IsTextField(watched) || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab)
            m_recordTimer->start();
        break;
    }
    case QEvent::FocusOut:
        if (IsTextField(watched))
            m_recordTimer->start();
        break;
    default:
        break;
    }
    return CMyPopDialog::eventFilter(watched, event);
}
