#include "model/UnsavedChanges.h"

#include "model/ParentReferences.h"

namespace plotwell {

UnsavedChanges::UnsavedChanges(ChartEditor &editor, QObject *parent)
    : QObject(parent), m_editor(editor), m_saved(comparable())
{
    const ChartGrid *grid = &editor.grid();
    connect(grid, &ChartGrid::rowChanged, this, &UnsavedChanges::noteChange);
    connect(grid, &ChartGrid::settingChanged, this, &UnsavedChanges::noteChange);
    connect(grid, &ChartGrid::valueFieldChanged, this, &UnsavedChanges::noteChange);
    // The look changes only through the editor's steps.
    connect(&editor, &ChartEditor::edited, this, &UnsavedChanges::noteChange);
}

void UnsavedChanges::markSaved()
{
    m_saved = comparable();
    tellIfTurned();
}

bool UnsavedChanges::isModified() const
{
    return comparable() != m_saved;
}

ChartEditor::Snapshot UnsavedChanges::comparable() const
{
    ChartEditor::Snapshot now = m_editor.snapshot();
    for (std::size_t k = 1; k < now.rows.size(); ++k)
        now.rows[k].parent = parentRowNumber(now.rows[k].parent);
    return now;
}

void UnsavedChanges::noteChange()
{
    if (std::exchange(m_checkQueued, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_checkQueued = false;
            tellIfTurned();
        },
        Qt::QueuedConnection);
}

void UnsavedChanges::tellIfTurned()
{
    const bool modified = isModified();
    if (modified != m_told) {
        m_told = modified;
        Q_EMIT modifiedChanged(modified);
    }
}

} // namespace plotwell
