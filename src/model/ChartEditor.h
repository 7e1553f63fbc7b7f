#pragma once

#include "base/ChartAppearance.h"
#include "model/ChartGrid.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

namespace plotwell {

struct AppState;

/// What an edit did: done, or refused with a message for the user (the refusal changes
/// nothing). An edit that would change nothing is neither: done stays false, message empty.
struct EditResult
{
    bool done = false;
    QString refusal;
    explicit operator bool() const { return done; }
};

/// Every edit of the chart as one undoable step. The window (and anything else that changes the
/// chart on the user's behalf: samples, import, open, New) goes through here, so Undo and Redo
/// walk back and forth through exactly what the user did.
///
/// A step remembers only the fields it changed, old and new, so undoing it leaves fields that
/// changed outside the editor alone (a render's stripping of parent names, for one).
///
/// This is the edit history. The viewer's own back and forward through drawn charts is another
/// thing entirely (ViewerLoader::undoAction/redoAction, shown as Previous/Next Chart).
class ChartEditor : public QObject
{
    Q_OBJECT
public:
    /// With \a state, steps also remember the chart's appearance (node width, corner radius,
    /// colour mode, font), which opening a chart changes.
    explicit ChartEditor(ChartGrid &grid, AppState *state = nullptr, QObject *parent = nullptr);
    ~ChartEditor() override;

    [[nodiscard]] QUndoStack &undoStack() { return m_stack; }
    [[nodiscard]] const ChartGrid &grid() const { return m_grid; }

    /// Typing: the title of \a row (1..93). References naming the row follow the new title.
    EditResult setTitle(int row, const QString &title);
    /// Picking: makes \a parentRow (1..93) the parent of \a row, written "N_Title"; 0 removes
    /// the parent. Any row may be picked, the row itself included: the problems list says when
    /// that makes no sense.
    EditResult setParent(int row, int parentRow);
    /// A picker entry written as it is ("N_Title", "0_CLEAR PARENT"), as the item picker does.
    EditResult setParentText(int row, const QString &reference);
    /// A stored marker ("NOT NULL", "NULL", "u" or ""): see positionWord() for what to show.
    EditResult setPosition(int row, const QString &marker);
    /// Colour slot 1..97 (rows, then background, labels, items and lines), as "#RRGGBB".
    /// Colours arrive a keystroke or a dialog movement at a time: changes of the same slot one
    /// after the other make one step, until endMerging() or any other step.
    EditResult setColour(int slot, const QString &hex);
    /// The colour or text being picked or typed is settled: the next change of it is a step of
    /// its own.
    void endMerging() { m_mergeOpen = false; }
    /// The chart title, the axis labels and the other chart-wide texts. Typed a keystroke at a
    /// time, so they merge as colours do.
    EditResult setSetting(ChartSetting setting, const QString &value);

    /// Pasting a list: \a titles into rows \a firstRow onwards, as one step, each as setTitle()
    /// writes it. Refused, changing nothing, when they would run past row 93.
    EditResult pasteTitles(int firstRow, const QStringList &titles);

    /// A blank row above \a row (it takes \a row's index) or below it. Refused, with
    /// kAllRowsInUseMessage, when all 93 rows are in use. \a inserted receives the blank row's
    /// index when given.
    EditResult insertRowAbove(int row, int *inserted = nullptr);
    EditResult insertRowBelow(int row, int *inserted = nullptr);
    EditResult deleteRow(int row);
    /// Moves \a from to index \a to (a drag in the grid); up and down are one step of it.
    EditResult moveRow(int from, int to);
    EditResult moveRowUp(int row) { return moveRow(row, row - 1); }
    EditResult moveRowDown(int row) { return moveRow(row, row + 1); }

    /// Runs \a change, which writes the grid (and the appearance) directly, and keeps all it
    /// changed as one step named \a text: a sample, an import, an open, New, a look picked in
    /// the Appearance tab. Nothing changed, no step.
    EditResult record(const QString &text, const std::function<void()> &change);

    [[nodiscard]] bool canUndo() const { return m_stack.canUndo(); }
    [[nodiscard]] bool canRedo() const { return m_stack.canRedo(); }
    void undo() { m_stack.undo(); }
    void redo() { m_stack.redo(); }

    /// Everything a step holds: the rows, the chart-wide texts and value fields, the appearance.
    struct Snapshot
    {
        std::array<ChartRow, kRowCount> rows;
        std::array<QString, 8> settings;
        std::array<QString, kValueFieldCount> valueFields;
        ChartAppearance appearance;
        bool operator==(const Snapshot &) const = default;
    };
    [[nodiscard]] Snapshot snapshot() const;

Q_SIGNALS:
    /// The chart changed through the editor: a new step, an undo or a redo. The problems list,
    /// "update as I edit" and the swatches follow this.
    void edited();
    /// An undo or redo put back another appearance: the controls should show it.
    void appearanceRestored();

private:
    class Step;
    EditResult push(const QString &text, const Snapshot &before, const Snapshot &after,
                    bool alreadyApplied, int mergeKey = -1);
    EditResult change(const QString &text, const std::function<bool(Snapshot &)> &edit,
                      int mergeKey = -1);
    void apply(const Snapshot &target, const Snapshot &from);

    ChartGrid &m_grid;
    AppState *m_state;
    QUndoStack m_stack;
    bool m_mergeOpen = false;
};

} // namespace plotwell
