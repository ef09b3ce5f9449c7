#include "EditHistory.h"

#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "model/SetChange.h"

#include <QUndoCommand>

// One step: the set before and after it.
class CSetEditCommand : public QUndoCommand {
public:
    CSetEditCommand(CEditHistory& history, std::shared_ptr<const KeptSnapshot> before,
                    std::shared_ptr<const KeptSnapshot> after)
        : m_history(history), m_before(std::move(before)), m_after(std::move(after))
    {
    }

    void undo() override { m_history.Restore(m_before); }
    void redo() override
    {
        // Pushing the step runs redo once: the set is in that state already.
        if (m_pushed)
            m_history.Restore(m_after);
        m_pushed = true;
    }

private:
    CEditHistory& m_history;
    std::shared_ptr<const KeptSnapshot> m_before;
    std::shared_ptr<const KeptSnapshot> m_after;
    bool m_pushed = false;
};

// lang-ids: 1413 1414 1415 1416 1417 1418 1419 1420 1421 1422
QString CEditHistory::StepName(const SetChange& change)
{
    std::wstring name;
    switch (change.kind) {
    case SetChangeKind::LayerAdded: name = Lang::FormatLangString(1413, change.layer); break;
    case SetChangeKind::LayerRemoved:
        name = change.count > 1 ? Lang::FormatLangString(1418, change.count) : Lang::FormatLangString(1414, change.layer);
        break;
    case SetChangeKind::LayerOrder: name = Lang::LoadLangString(1415); break;
    case SetChangeKind::LayerRenamed: name = Lang::FormatLangString(1416, change.layer); break;
    case SetChangeKind::LayerMoved: name = Lang::FormatLangString(1417, change.layer); break;
    case SetChangeKind::LayersMoved: name = Lang::FormatLangString(1417, Lang::FormatLangString(1419, change.count)); break;
    case SetChangeKind::LayerChanged: name = Lang::FormatLangString(1420, change.layer); break;
    case SetChangeKind::Shots: name = Lang::LoadLangString(1421); break;
    case SetChangeKind::Set:
    case SetChangeKind::None: name = Lang::LoadLangString(1422); break;
    }
    return QString::fromStdWString(name);
}

CEditHistory::CEditHistory(QObject* parent) : QObject(parent)
{
    m_stack.setUndoLimit(kUndoLimit);
    QObject::connect(&m_stack, &QUndoStack::indexChanged, this, [this] { ReportState(); });
    QObject::connect(&m_stack, &QUndoStack::cleanChanged, this, [this] { ReportState(); });
}

void CEditHistory::ReportState()
{
    if (m_stateChanged && !m_resetting && m_scene && m_last)
        m_stateChanged(m_last, m_stack.isClean());
}

void CEditHistory::Reset(CMultiViewSource* scene)
{
    m_resetting = true;
    m_stack.clear();
    m_scene = scene;
    m_last = scene ? TakeSetSnapshot(*scene) : nullptr;
    m_lastKept = m_last ? std::make_shared<const KeptSnapshot>(*m_last, nullptr) : nullptr;
    m_stack.setClean();
    m_resetting = false;
}

bool CEditHistory::Record()
{
    if (!m_scene || !m_last || m_restoring)
        return false;
    // Called on every press and release in the window: the cheap comparison
    // first, the copy of the records only for a real step.
    if (SetContent::Capture(*m_scene) == m_last->content)
        return false;
    std::shared_ptr<const SetSnapshot> previous = std::move(m_last);
    m_last = TakeSetSnapshot(*m_scene);
    auto now = std::make_shared<const KeptSnapshot>(*m_last, m_lastKept.get());
    std::shared_ptr<const KeptSnapshot> before = std::move(m_lastKept);
    m_lastKept = now;
    auto* step = new CSetEditCommand(*this, std::move(before), std::move(now));
    step->setText(StepName(DescribeSetChange(*previous, *m_last)));
    m_stack.push(step);
    return true;
}

void CEditHistory::Undo()
{
    Record();
    m_stack.undo();
}

void CEditHistory::Redo()
{
    // An edit not yet recorded would be lost by a redo: it becomes the newest step.
    if (Record())
        return;
    m_stack.redo();
}

void CEditHistory::MarkClean()
{
    Record();
    m_stack.setClean();
}

bool CEditHistory::IsClean()
{
    Record();
    return m_stack.isClean();
}

void CEditHistory::Restore(const std::shared_ptr<const KeptSnapshot>& snapshot)
{
    if (!m_scene || !snapshot)
        return;
    m_restoring = true;
    // A step that only moved layers is put back on the items as they stand:
    // rebuilding the set would read every picture again and lose the selection.
    const std::shared_ptr<const SetSnapshot> state = snapshot->Expand();
    if (!m_scene->RestorePlacementsOnly(*state))
        m_scene->RestoreSnapshot(*state);
    m_last = TakeSetSnapshot(*m_scene);
    m_lastKept = snapshot;
    m_restoring = false;
    if (m_restored)
        m_restored();
}
