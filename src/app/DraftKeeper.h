#pragma once

#include "app/DraftStore.h"

#include <QObject>

class QTimer;
class TaskView;

// Keeps the answer rows (and the drawing) of the task shown in the draft store: saved when typing
// pauses, before every send and when asked (the window closes, another task comes), and put back
// when the same task is shown again. A task without a name or a user has no draft.
class DraftKeeper : public QObject {
    Q_OBJECT
public:
    // The pause in typing after which the rows are saved.
    static constexpr int kTypingPauseMs = 800;

    DraftKeeper(TaskView* view, DraftStore store, QObject* parent = nullptr);

    // The task just set up in the view: its draft, if any, fills its rows. Close the last
    // task before the view takes the next one, or its draft would get the new rows.
    void Open(const DraftKey& key);
    // Saves the rows of the task shown now (nothing when none is shown).
    void SaveNow();
    // Saves and forgets the task: what is typed later belongs to no draft.
    void Close();

    const DraftKey& Key() const { return key_; }
    // What went wrong in the last save (empty when it worked).
    const std::string& LastError() const { return lastError_; }

private:
    bool HasTask() const { return !key_.task.empty() && !key_.user.empty(); }

    TaskView* view_;
    DraftStore store_;
    DraftKey key_;
    QTimer* pause_;
    std::string lastError_;
};
