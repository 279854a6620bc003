#include "buttons/macroeditor.h"

#include <QUndoCommand>

#include <algorithm>
#include <array>
#include <numeric>

namespace {

// Sorted, without repeats and without rows outside the macro.
QVector<int> validRows(QVector<int> rows, int count)
{
    rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int row) { return row < 0 || row >= count; }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// For each event the one that closes or opens the same key press, or -1. A release closes the latest press of its
// key that is still open, so a stroke inserted inside another press of the same key pairs with itself.
QVector<int> partnersOf(const QVector<MacroStep> &steps)
{
    QVector<int> partner(steps.size(), -1);
    std::array<QVector<int>, 256> open;
    for (int i = 0; i < steps.size(); ++i) {
        QVector<int> &presses = open[steps.at(i).usage];
        if (!steps.at(i).up) {
            presses.append(i);
        } else if (!presses.isEmpty()) {
            const int press = presses.takeLast();
            partner[i] = press;
            partner[press] = i;
        }
    }
    return partner;
}

void keepFirstDelayZero(QVector<MacroStep> &steps)
{
    if (!steps.isEmpty())
        steps.first().delayMs = 0;
}

} // namespace

class MacroEditor::Change : public QUndoCommand
{
public:
    Change(MacroEditor *editor, State before, State after)
        : editor(editor)
        , before(std::move(before))
        , after(std::move(after))
    { }

    void undo() override { editor->show(before); }
    void redo() override { editor->show(after); }

private:
    MacroEditor *editor;
    const State before;
    const State after;
};

MacroEditor::MacroEditor(QObject *parent)
    : QObject(parent)
{ }

// The stack announces its emptying while it is destroyed; by then a window listening to it may be half gone.
MacroEditor::~MacroEditor()
{
    undoStack.disconnect();
}

void MacroEditor::load(const QVector<micro_Event> &events, bool recordDelay)
{
    State state;
    state.recordDelay = recordDelay;
    for (const micro_Event &event : events)
        state.steps.append(MacroStep { event.usage, event.up != 0, event.delay_ms });
    keepFirstDelayZero(state.steps);
    if (!state.steps.isEmpty())
        state.selection = { 0 };
    undoStack.clear();
    show(state);
}

void MacroEditor::show(const State &state)
{
    current = state;
    emit changed();
}

void MacroEditor::select(const QVector<int> &rows)
{
    current.selection = validRows(rows, current.steps.size());
}

void MacroEditor::push(const QVector<int> &selectedBefore, State next)
{
    State before = current;
    before.selection = selectedBefore;
    undoStack.push(new Change(this, std::move(before), std::move(next)));
}

bool MacroEditor::changeDelays(const QVector<int> &rows, int delayMs, const QVector<int> &selected)
{
    if (!current.recordDelay || rows.isEmpty())
        return false;
    State next = current;
    next.selection = selected;
    for (int row : rows)
        next.steps[row].delayMs = delayMs;
    keepFirstDelayZero(next.steps);
    if (next.steps == current.steps)
        return false;
    push(selected, next);
    return true;
}

bool MacroEditor::setDelay(const QVector<int> &rows, int delayMs)
{
    const QVector<int> chosen = validRows(rows, current.steps.size());
    return changeDelays(chosen, delayMs, chosen);
}

bool MacroEditor::setAllDelays(int delayMs)
{
    QVector<int> all(current.steps.size());
    std::iota(all.begin(), all.end(), 0);
    return changeDelays(all, delayMs, current.selection);
}

bool MacroEditor::setRecordDelay(bool on)
{
    if (current.recordDelay == on)
        return false;
    State next = current;
    next.recordDelay = on;
    push(current.selection, next);
    return true;
}

bool MacroEditor::insertStroke(quint8 usage, const QVector<int> &rows, bool after)
{
    const QVector<int> chosen = validRows(rows, current.steps.size());
    int at = after ? current.steps.size() : 0;
    if (!chosen.isEmpty())
        at = after ? chosen.last() + 1 : chosen.first();
    State next = current;
    next.steps.insert(at, MacroStep { usage, true, 0 });
    next.steps.insert(at, MacroStep { usage, false, 0 });
    next.selection = { at, at + 1 };
    push(chosen, next);
    return true;
}

QVector<int> MacroEditor::removal(const QVector<int> &rows) const
{
    const QVector<int> chosen = validRows(rows, current.steps.size());
    const QVector<int> partner = partnersOf(current.steps);
    QVector<int> removed = chosen;
    for (int row : chosen) {
        if (partner.at(row) >= 0)
            removed.append(partner.at(row));
    }
    return validRows(removed, current.steps.size());
}

bool MacroEditor::remove(const QVector<int> &rows)
{
    const QVector<int> chosen = validRows(rows, current.steps.size());
    if (chosen.isEmpty())
        return false;
    const QVector<int> removed = removal(chosen);
    State next = current;
    for (auto row = removed.crbegin(); row != removed.crend(); ++row)
        next.steps.remove(*row);
    keepFirstDelayZero(next.steps);
    // The event that took the place of the first one removed, for going on with the keyboard.
    next.selection.clear();
    if (!next.steps.isEmpty())
        next.selection = { std::min(removed.first(), int(next.steps.size()) - 1) };
    push(chosen, next);
    return true;
}

std::optional<QVector<int>> MacroEditor::movedOrder(const QVector<int> &rows, int direction) const
{
    const int count = current.steps.size();
    const QVector<int> chosen = validRows(rows, count);
    if (chosen.isEmpty() || (direction != -1 && direction != 1))
        return std::nullopt;
    if ((direction < 0 && chosen.first() == 0) || (direction > 0 && chosen.last() == count - 1))
        return std::nullopt;

    // order[i] is the event that ends up at place i. Each chosen event swaps with the neighbour it moves past;
    // a block of chosen events moves as one, its neighbour going round it.
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    if (direction < 0) {
        for (int row : chosen)
            std::swap(order[row - 1], order[row]);
    } else {
        for (auto row = chosen.crbegin(); row != chosen.crend(); ++row)
            std::swap(order[*row], order[*row + 1]);
    }

    QVector<int> place(count);
    for (int i = 0; i < count; ++i)
        place[order.at(i)] = i;
    const QVector<int> partner = partnersOf(current.steps);
    for (int i = 0; i < count; ++i) {
        if (!current.steps.at(i).up && partner.at(i) >= 0 && place.at(i) > place.at(partner.at(i)))
            return std::nullopt;
    }
    return order;
}

bool MacroEditor::canMove(const QVector<int> &rows, int direction) const
{
    return movedOrder(rows, direction).has_value();
}

bool MacroEditor::move(const QVector<int> &rows, int direction)
{
    const std::optional<QVector<int>> order = movedOrder(rows, direction);
    if (!order)
        return false;
    const QVector<int> chosen = validRows(rows, current.steps.size());
    State next = current;
    for (int i = 0; i < order->size(); ++i)
        next.steps[i] = current.steps.at(order->at(i));
    keepFirstDelayZero(next.steps);
    next.selection = chosen;
    for (int &row : next.selection)
        row += direction;
    push(chosen, next);
    return true;
}

int MacroEditor::partner(int row) const
{
    if (row < 0 || row >= current.steps.size())
        return -1;
    return partnersOf(current.steps).at(row);
}

std::optional<MacroFault> MacroEditor::check() const
{
    const QVector<MacroStep> &steps = current.steps;
    if (steps.isEmpty())
        return MacroFault { MacroFault::Empty, -1, 0, 0 };
    const QVector<int> partner = partnersOf(steps);
    for (int i = 0; i < steps.size(); ++i) {
        const MacroStep &step = steps.at(i);
        if (i == MaxMacroEvents)
            return MacroFault { MacroFault::TooManyEvents, i, step.usage, step.delayMs };
        if (step.up && partner.at(i) < 0)
            return MacroFault { MacroFault::ReleasedBeforePressed, i, step.usage, step.delayMs };
        if (!step.up && partner.at(i) < 0)
            return MacroFault { MacroFault::StillPressed, i, step.usage, step.delayMs };
        if (current.recordDelay && (step.delayMs < 0 || step.delayMs > MaxDelayMs))
            return MacroFault { MacroFault::DelayOutOfRange, i, step.usage, step.delayMs };
    }
    return std::nullopt;
}

QVector<micro_Event> MacroEditor::events() const
{
    QVector<micro_Event> events;
    for (const MacroStep &step : current.steps) {
        const int delay = current.recordDelay ? std::clamp(step.delayMs, 0, MaxDelayMs) : 0;
        events.append(micro_Event { step.usage, quint8(step.up ? 1 : 0), quint16(delay) });
    }
    return events;
}
