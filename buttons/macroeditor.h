// A recorded macro being changed without recording it again: its events and their delays, the edits a user makes
// to them, the history of those edits for undo and redo, and the checks a macro must pass before it is sent.
// No widgets: the macro editor window shows it and forwards the user's actions.
#ifndef MACROEDITOR_H
#define MACROEDITOR_H

#include "buttons/assignmentcodec.h"

#include <QObject>
#include <QUndoStack>
#include <QVector>

#include <optional>

// One event as the editor holds it. The delay is the one the user typed, which may lie outside what the mouse
// takes until the checks refuse it.
struct MacroStep
{
    quint8 usage = 0;
    bool up = false;
    int delayMs = 0;   // before this event

    bool operator==(const MacroStep &other) const
    {
        return usage == other.usage && up == other.up && delayMs == other.delayMs;
    }
};

// Why a macro cannot be sent, and the first event at fault (0-based).
struct MacroFault
{
    enum Kind { Empty, TooManyEvents, ReleasedBeforePressed, StillPressed, DelayOutOfRange };

    Kind kind = TooManyEvents;
    int event = 0;   // -1 for the macro as a whole
    quint8 usage = 0;
    int delayMs = 0;
};

class MacroEditor : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxDelayMs = 0xFFFF;

    explicit MacroEditor(QObject *parent = nullptr);
    ~MacroEditor() override;

    // Starts on a macro afresh, its first event selected: the history is emptied and nothing is unsaved.
    void load(const QVector<micro_Event> &events, bool recordDelay);
    // Whether the macro has changed since it was loaded or last saved.
    bool modified() const { return !undoStack.isClean(); }
    void markSaved() { undoStack.setClean(); }

    const QVector<MacroStep> &steps() const { return current.steps; }
    bool recordDelay() const { return current.recordDelay; }
    // The selected events, in ascending order: as the user selected them, or as the last change (an edit, its
    // undo or its redo) left them.
    const QVector<int> &selection() const { return current.selection; }
    // Follows the user's selection; not an edit. The edits of the whole macro keep it.
    void select(const QVector<int> &rows);
    QUndoStack *history() { return &undoStack; }

    // The edits. Each one is a step of the history; each returns false and changes nothing when it is refused or
    // would change nothing. `rows` index steps(); their order does not matter. The first event's delay is 0
    // whatever happens, as in a recording: nothing comes before it to wait for.
    bool setDelay(const QVector<int> &rows, int delayMs);
    bool setAllDelays(int delayMs);
    bool setRecordDelay(bool on);
    // A key stroke (the key going down, then up) before the first or after the last of `rows`; with no rows at
    // the start or the end.
    bool insertStroke(quint8 usage, const QVector<int> &rows, bool after);
    // Removes the events with their partners, so that no key is left pressed or released alone.
    bool remove(const QVector<int> &rows);
    // The events remove(rows) takes away, in ascending order.
    QVector<int> removal(const QVector<int> &rows) const;
    // Moves the events one place up (-1) or down (+1); refused where a key would be released before it is pressed.
    bool move(const QVector<int> &rows, int direction);
    bool canMove(const QVector<int> &rows, int direction) const;

    // The event that releases the key that `row` presses, or presses the key it releases; -1 when there is none.
    int partner(int row) const;
    // The first event at fault, if the macro cannot be sent.
    std::optional<MacroFault> check() const;
    // The macro as it is sent: every delay 0 when delays are not recorded.
    QVector<micro_Event> events() const;

signals:
    void changed();

private:
    struct State
    {
        QVector<MacroStep> steps;
        bool recordDelay = false;
        QVector<int> selection;
    };
    class Change;

    // Makes `next` the current state as a step of the history; undoing it selects `selectedBefore` again.
    void push(const QVector<int> &selectedBefore, State next);
    void show(const State &state);
    bool changeDelays(const QVector<int> &rows, int delayMs, const QVector<int> &selected);
    std::optional<QVector<int>> movedOrder(const QVector<int> &rows, int direction) const;

    State current;
    QUndoStack undoStack;
};

#endif
