#pragma once

#include "model/ChartEditor.h"

#include <QObject>

namespace plotwell {

/// Whether the chart differs from the one last saved or opened (before either, from the chart
/// the window started with). The window marks its title by it, and Quit asks only then.
///
/// It compares what a document would hold, not the edit history: undoing back to the saved chart
/// leaves nothing unsaved, and a change made outside the editor counts like any other. A parent
/// written "N_Title" and one written "N" are the same parent (a render strips the names).
class UnsavedChanges : public QObject
{
    Q_OBJECT
public:
    explicit UnsavedChanges(ChartEditor &editor, QObject *parent = nullptr);

    /// The chart as it is now is the saved one: after a save, an open, New, and at launch.
    void markSaved();
    [[nodiscard]] bool isModified() const;

Q_SIGNALS:
    /// isModified() turned. Checked once changes have settled (a whole open or paste is one
    /// check), from the event loop.
    void modifiedChanged(bool modified);

private:
    [[nodiscard]] ChartEditor::Snapshot comparable() const;
    void noteChange();
    void tellIfTurned();

    ChartEditor &m_editor;
    ChartEditor::Snapshot m_saved;
    bool m_told = false;
    bool m_checkQueued = false;
};

} // namespace plotwell
