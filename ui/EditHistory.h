#pragma once
// The open set's undo history. Every edit, whichever page or the preview
// made it, is found by comparing the set with the last recorded snapshot at
// the end of a gesture (a button or key let go, a dialog closed), so one drag
// or one slider movement is one step however many moves it had. Undo and
// redo put the set back into the step's snapshot.
#include "model/KeptSnapshot.h"
#include "model/SetSnapshot.h"

#include <QObject>
#include <QUndoStack>

#include <functional>
#include <memory>

class CMultiViewSource;
struct SetChange;

class CEditHistory : public QObject {
public:
    explicit CEditHistory(QObject* parent = nullptr);

    // A set was opened (or none is open): the history starts empty and clean.
    void Reset(CMultiViewSource* scene);
    // Records the edits made since the last step as one step; true when
    // there were any.
    bool Record();
    void Undo();
    void Redo();
    // The set as it is now is the saved one.
    void MarkClean();
    // Whether the set differs from what was last opened or saved.
    bool IsClean();

    QUndoStack* Stack() { return &m_stack; }
    // Called after the set was put back into a snapshot, so the pages and
    // the preview show it.
    void SetRestoredHandler(std::function<void()> handler) { m_restored = std::move(handler); }
    // Called whenever the history moves (a step recorded, undone or redone)
    // or the saved mark does, with the set's state now and whether that is
    // the saved one. Not called while the history starts anew.
    using StateHandler = std::function<void(const std::shared_ptr<const SetSnapshot>& state, bool saved)>;
    void SetStateHandler(StateHandler handler) { m_stateChanged = std::move(handler); }

    // A step's name, as its undo and redo buttons tell it.
    static QString StepName(const SetChange& change);

    // Steps kept; the oldest go first.
    static constexpr int kUndoLimit = 200;

private:
    friend class CSetEditCommand;
    void Restore(const std::shared_ptr<const KeptSnapshot>& snapshot);
    void ReportState();

    QUndoStack m_stack;
    CMultiViewSource* m_scene = nullptr;
    std::shared_ptr<const SetSnapshot> m_last;        // the set as the newest step left it
    std::shared_ptr<const KeptSnapshot> m_lastKept;   // the same, as the steps keep it
    std::function<void()> m_restored;
    StateHandler m_stateChanged;
    bool m_restoring = false;
    bool m_resetting = false;
};
