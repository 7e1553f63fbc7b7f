#include "model/ChartEditor.h"

#include "base/AppState.h"
#include "model/RowEdits.h"

#include <QUndoCommand>

#include <algorithm>
#include <utility>

namespace plotwell {

namespace {

constexpr RowField kRowFields[] = {RowField::Title, RowField::Parent, RowField::Position,
                                   RowField::Colour};
constexpr int kSettingCount = 8;

/// One field a step changed. `index` is the row (1..93), the setting or the value field.
struct FieldChange
{
    enum class Where { Row, Setting, Value };
    Where where = Where::Row;
    int index = 0;
    RowField field = RowField::Title;
    QString before;
    QString after;
};

} // namespace

class ChartEditor::Step : public QUndoCommand
{
public:
    Step(ChartEditor &editor, const QString &text, const Snapshot &before, const Snapshot &after,
         bool alreadyApplied, int mergeKey)
        : QUndoCommand(text), m_editor(editor), m_skipFirstRedo(alreadyApplied),
          m_mergeKey(mergeKey)
    {
        for (int row = 1; row <= kRowCount; ++row) {
            const ChartRow &old = before.rows[std::size_t(row - 1)];
            const ChartRow &now = after.rows[std::size_t(row - 1)];
            for (const RowField field : kRowFields) {
                if (old.field(field) != now.field(field))
                    m_changes.push_back(
                        {FieldChange::Where::Row, row, field, old.field(field), now.field(field)});
            }
        }
        for (int i = 0; i < kSettingCount; ++i) {
            if (before.settings[std::size_t(i)] != after.settings[std::size_t(i)])
                m_changes.push_back({FieldChange::Where::Setting,
                                     i,
                                     {},
                                     before.settings[std::size_t(i)],
                                     after.settings[std::size_t(i)]});
        }
        for (int i = 0; i < kValueFieldCount; ++i) {
            if (before.valueFields[std::size_t(i)] != after.valueFields[std::size_t(i)])
                m_changes.push_back({FieldChange::Where::Value,
                                     i,
                                     {},
                                     before.valueFields[std::size_t(i)],
                                     after.valueFields[std::size_t(i)]});
        }
        if (before.appearance != after.appearance) {
            m_appearanceBefore = before.appearance;
            m_appearanceAfter = after.appearance;
        }
    }

    [[nodiscard]] bool isEmpty() const { return m_changes.isEmpty() && !m_appearanceBefore; }

    void redo() override
    {
        // After an undo or redo, a new colour change never joins a step of the past.
        if (!std::exchange(m_firstRedo, false))
            m_editor.m_mergeOpen = false;
        if (m_skipFirstRedo) {
            m_skipFirstRedo = false;
            return;
        }
        apply(false);
    }
    void undo() override
    {
        m_editor.m_mergeOpen = false;
        apply(true);
    }

    [[nodiscard]] int id() const override { return m_mergeKey < 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const Step *>(other);
        if (!m_editor.m_mergeOpen || next->m_mergeKey != m_mergeKey || next->m_appearanceBefore)
            return false;
        for (const FieldChange &later : next->m_changes) {
            const auto same = std::find_if(m_changes.begin(), m_changes.end(), [&](const auto &c) {
                return c.where == later.where && c.index == later.index && c.field == later.field;
            });
            if (same == m_changes.end())
                m_changes.push_back(later);
            else
                same->after = later.after;
        }
        return true;
    }

private:
    void apply(bool back)
    {
        ChartGrid &grid = m_editor.m_grid;
        for (const FieldChange &change : m_changes) {
            const QString &value = back ? change.before : change.after;
            switch (change.where) {
            case FieldChange::Where::Row:
                grid.setField(change.index, change.field, value);
                break;
            case FieldChange::Where::Setting:
                grid.setSetting(ChartSetting(change.index), value);
                break;
            case FieldChange::Where::Value:
                grid.setValueField(change.index, value);
                break;
            }
        }
        if (m_appearanceBefore && m_editor.m_state) {
            m_editor.m_state->appearance = back ? *m_appearanceBefore : *m_appearanceAfter;
            Q_EMIT m_editor.appearanceRestored();
        }
        Q_EMIT m_editor.edited();
    }

    ChartEditor &m_editor;
    bool m_skipFirstRedo;
    bool m_firstRedo = true;
    int m_mergeKey;
    QList<FieldChange> m_changes;
    std::optional<ChartAppearance> m_appearanceBefore;
    std::optional<ChartAppearance> m_appearanceAfter;
};

ChartEditor::ChartEditor(ChartGrid &grid, AppState *state, QObject *parent)
    : QObject(parent), m_grid(grid), m_state(state)
{}

ChartEditor::~ChartEditor() = default;

ChartEditor::Snapshot ChartEditor::snapshot() const
{
    Snapshot shot;
    shot.rows = rowsOf(m_grid);
    for (int i = 0; i < kSettingCount; ++i)
        shot.settings[std::size_t(i)] = m_grid.setting(ChartSetting(i));
    for (int i = 0; i < kValueFieldCount; ++i)
        shot.valueFields[std::size_t(i)] = m_grid.valueField(i);
    if (m_state)
        shot.appearance = m_state->appearance;
    return shot;
}

EditResult ChartEditor::push(const QString &text, const Snapshot &before, const Snapshot &after,
                             bool alreadyApplied, int mergeKey)
{
    auto step = std::make_unique<Step>(*this, text, before, after, alreadyApplied, mergeKey);
    if (step->isEmpty())
        return {};
    m_stack.push(step.release());
    m_mergeOpen = mergeKey >= 0;
    if (alreadyApplied)
        Q_EMIT edited();
    return {true, {}};
}

EditResult ChartEditor::change(const QString &text, const std::function<bool(Snapshot &)> &edit,
                               int mergeKey)
{
    const Snapshot before = snapshot();
    Snapshot after = before;
    if (!edit(after))
        return {};
    return push(text, before, after, false, mergeKey);
}

EditResult ChartEditor::setTitle(int row, const QString &title)
{
    if (!isValidRow(row))
        return {};
    return change(QStringLiteral("Typing"), [&](Snapshot &chart) {
        retitleRow(chart.rows, row, title);
        return true;
    });
}

EditResult ChartEditor::pasteTitles(int firstRow, const QStringList &titles)
{
    if (!isValidRow(firstRow) || titles.isEmpty())
        return {};
    const qsizetype lastRow = firstRow + titles.size() - 1;
    if (lastRow > kRowCount)
        return {false, QStringLiteral("The %1 lines pasted would need rows %2 to %3; the grid has "
                                      "%4. For a longer list, use Import Staff List.")
                           .arg(titles.size())
                           .arg(firstRow)
                           .arg(lastRow)
                           .arg(kRowCount)};
    return change(QStringLiteral("Paste"), [&](Snapshot &chart) {
        for (qsizetype k = 0; k < titles.size(); ++k)
            retitleRow(chart.rows, int(firstRow + k), titles[k]);
        return true;
    });
}

EditResult ChartEditor::setParent(int row, int parentRow)
{
    if (parentRow != 0 && !isValidRow(parentRow))
        return {};
    return setParentText(row, parentRow == 0 ? QString()
                                             : parentReference(parentRow, m_grid.title(parentRow)));
}

EditResult ChartEditor::setParentText(int row, const QString &reference)
{
    if (!isValidRow(row))
        return {};
    return change(QStringLiteral("Parent"), [&](Snapshot &chart) {
        chart.rows[std::size_t(row - 1)].parent = reference;
        return true;
    });
}

EditResult ChartEditor::setPosition(int row, const QString &marker)
{
    if (!isValidRow(row))
        return {};
    return change(QStringLiteral("Position"), [&](Snapshot &chart) {
        chart.rows[std::size_t(row - 1)].position = marker;
        return true;
    });
}

EditResult ChartEditor::setColour(int slot, const QString &hex)
{
    if (slot < 1 || slot > kColourSlotCount)
        return {};
    return change(
        QStringLiteral("Colour"),
        [&](Snapshot &chart) {
            if (isValidRow(slot)) {
                chart.rows[std::size_t(slot - 1)].colour = hex;
            } else {
                // Slots 94-97 are the four chart colours, kept in that order among the settings.
                const int setting = int(ChartSetting::HexBackBg) + slot - kBackgroundSlot;
                chart.settings[std::size_t(setting)] = hex;
            }
            return true;
        },
        slot);
}

EditResult ChartEditor::setSetting(ChartSetting setting, const QString &value)
{
    // Merged by field, as colours are; the keys start after the colour slots'.
    return change(
        setting == ChartSetting::ChartTitle ? QStringLiteral("Chart Title")
                                            : QStringLiteral("Chart Setting"),
        [&](Snapshot &chart) {
            chart.settings[std::size_t(setting)] = value;
            return true;
        },
        kColourSlotCount + 1 + int(setting));
}

EditResult ChartEditor::insertRowAbove(int row, int *inserted)
{
    if (!isValidRow(row))
        return {};
    const Snapshot before = snapshot();
    Snapshot after = before;
    int at = row;
    if (!insertRow(after.rows, at))
        return {false, kAllRowsInUseMessage};
    if (inserted)
        *inserted = at;
    return push(QStringLiteral("Insert Row"), before, after, false);
}

EditResult ChartEditor::insertRowBelow(int row, int *inserted)
{
    if (row != kRowCount)
        return insertRowAbove(row + 1, inserted);
    // Below the last row: the room comes from above, then the blank row and the last one swap.
    const Snapshot before = snapshot();
    Snapshot after = before;
    int at = kRowCount;
    if (!insertRow(after.rows, at))
        return {false, kAllRowsInUseMessage};
    if (at != kRowCount)
        plotwell::moveRow(after.rows, at, kRowCount);
    if (inserted)
        *inserted = kRowCount;
    return push(QStringLiteral("Insert Row"), before, after, false);
}

EditResult ChartEditor::deleteRow(int row)
{
    return change(QStringLiteral("Delete Row"),
                  [&](Snapshot &chart) { return plotwell::deleteRow(chart.rows, row); });
}

EditResult ChartEditor::moveRow(int from, int to)
{
    return change(QStringLiteral("Move Row"),
                  [&](Snapshot &chart) { return plotwell::moveRow(chart.rows, from, to); });
}

EditResult ChartEditor::record(const QString &text, const std::function<void()> &change)
{
    const Snapshot before = snapshot();
    change();
    return push(text, before, snapshot(), true);
}

} // namespace plotwell
