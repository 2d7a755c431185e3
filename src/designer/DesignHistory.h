#pragma once
// The undo history of the label on screen. A step is a pair of item description texts, the
// items before and after one command, with the selected item at each; undo and redo rebuild
// the items from the text. The text is the form the label is stored in, so whatever a step
// brings back is a label the program can save.
//
// Commands open a step (TDesignStep) around their work; nested steps belong to the outermost,
// and a command that changed nothing leaves no step. A change made outside any step becomes a
// step of its own once control is back in the event loop.
#include "model/Picture.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>

class QUndoStack;
class TDesigner;

// The label's items at one moment: their text and the selected item's place in OrderList.
struct TDesignSnapshot {
    QString Text;
    int Selected = -1;
};

class TDesignHistory : public QObject {
    Q_OBJECT
public:
    explicit TDesignHistory(TDesigner& designer);
    ~TDesignHistory() override;

    QUndoStack& Stack() const { return *stack_; }

    void Begin(const QString& name);
    void End();
    // The designer saw a change (TriggerChange).
    void Changed();
    // A change still waiting to become its own step becomes one now (before the selection
    // changes, so that a drag or key that follows is a step apart).
    void CommitPending();

    // The items on screen were replaced by a label load. keepIfSame: a load that brings back
    // exactly the items of the last step (the reload after Save) keeps the history.
    void LabelLoaded(bool keepIfSame);

    // True while a step is being undone or redone: the rebuilt items are no new change.
    bool Restoring() const { return restoring_; }
    void Restore(const TDesignSnapshot& snapshot);

    // The items as of the last step.
    const QString& CurrentText() const { return current_; }
    // Steps named like this merge with the one before when they follow it closely on the same
    // item (a held nudge button or arrow key is one step).
    static bool Merges(const QString& name);
    static constexpr int kMergeMs = 1000;

private:
    void Commit(const QString& name, int selectedBefore);
    QString Capture();
    int SelectedIndex() const;

    TDesigner& designer_;
    QUndoStack* stack_;
    QString current_;
    int depth_ = 0;
    QString name_;
    int selectedBefore_ = -1;
    bool restoring_ = false;
    bool pending_ = false;
    // Pictures of every image item the history has seen, by file: a step brings an image back
    // even when its file has gone since.
    QHash<QString, sw::Picture> pictures_;
};

// A command's step: opened by the constructor, closed (and recorded when the items changed)
// by the destructor.
class TDesignStep {
public:
    TDesignStep(TDesignHistory& history, const QString& name)
        : history_(history)
    {
        history_.Begin(name);
    }
    ~TDesignStep() { history_.End(); }
    TDesignStep(const TDesignStep&) = delete;
    TDesignStep& operator=(const TDesignStep&) = delete;

private:
    TDesignHistory& history_;
};
