#pragma once

#include "base/AppState.h"
#include "model/ChartGrid.h"
#include "model/NodePositions.h"
#include "platform/Alerts.h"

#include <QObject>
#include <QStringList>

#include <optional>

namespace plotwell {

class ChartEditor;

/// What the item picker popover shows and does, without the popover: the row being edited, its
/// candidate list and search, the choice of a parent and the position buttons' highlight. The
/// published lists and the edited row live in AppState, where the table callbacks read them.
///
/// Opening the picker starts with an empty search and no selection, so every click on an entry
/// writes it and no stale filtered list is left on show.
class ItemPickerModel : public QObject
{
    Q_OBJECT
public:
    ItemPickerModel(ChartGrid &grid, AppState &state, QObject *parent = nullptr);

    /// Choices and positions go through \a editor, one undo step each.
    void setEditor(ChartEditor *editor) { m_editor = editor; }

    enum class Opening { ShowPicker, ShowAlert };

    /// The SELECT button of \a row was pressed. ShowAlert means the row holds no item: show
    /// missingItemAlert() instead of the picker.
    Opening open(int row);
    [[nodiscard]] static AlertSpec missingItemAlert();
    /// In place of missingItemAlert() when the picker was opened from the keyboard in \a row's
    /// parent field: a grid one types into needs no CSV file.
    [[nodiscard]] static AlertSpec untitledRowAlert(int row);

    /// The search field's text changed.
    void search(const QString &text);
    [[nodiscard]] QString searchText() const { return m_searchText; }

    /// The list on show: the matches while searching, else every candidate.
    [[nodiscard]] const QStringList &entries() const;

    /// Entry \a index of the list on show was clicked: it becomes the edited row's parent when
    /// that row is one of 2..93. Returns whether the grid was written.
    bool choose(int index);
    /// The entry chosen since the picker opened, or -1.
    [[nodiscard]] int selectedIndex() const { return m_selectedIndex; }

    /// A position button was pressed; returns the button now highlighted.
    PositionButton pressPosition(int tag);
    /// The highlighted position button; nothing until the first opening or press decides one.
    [[nodiscard]] std::optional<PositionButton> highlight() const { return m_highlight; }

    /// The row being edited (`btSender`), 0 when none.
    [[nodiscard]] int editedRow() const;
    /// The display fields: the edited row's number and title.
    [[nodiscard]] QString selectedItem() const { return m_selectedItem; }
    [[nodiscard]] QString selectedItemDisp() const { return m_selectedItemDisp; }

Q_SIGNALS:
    /// The list on show, the search text or the selection changed; views reload.
    void entriesChanged();
    void highlightChanged();
    void editedItemChanged();

private:
    void setHighlight(std::optional<PositionButton> highlight);

    ChartGrid &m_grid;
    AppState &m_state;
    ChartEditor *m_editor = nullptr;
    QString m_searchText;
    int m_selectedIndex = -1;
    std::optional<PositionButton> m_highlight;
    QString m_selectedItem;
    QString m_selectedItemDisp;
};

} // namespace plotwell
