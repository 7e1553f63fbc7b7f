#include "model/ItemPickerModel.h"

#include "model/ChartEditor.h"
#include "model/ParentReferences.h"

namespace plotwell {

ItemPickerModel::ItemPickerModel(ChartGrid &grid, AppState &state, QObject *parent)
    : QObject(parent), m_grid(grid), m_state(state)
{}

ItemPickerModel::Opening ItemPickerModel::open(int row)
{
    m_state.theParents.clear();
    m_state.btSender = QString::number(row);

    const int edited = editedRow();
    setHighlight(autoSelectPositionValue(m_grid, edited, m_highlight));
    // A row outside the grid shows nothing rather than the previous row's title.
    m_selectedItem = isValidRow(edited) ? QString::number(edited) : QString();
    m_selectedItemDisp = m_grid.title(edited);
    Q_EMIT editedItemChanged();

    m_state.theParents = initializeParents(m_grid);
    m_searchText.clear();
    m_state.searchArray.clear();
    m_state.searching = false;
    m_selectedIndex = -1;
    Q_EMIT entriesChanged();

    return titleHoldsItem(m_selectedItemDisp) ? Opening::ShowPicker : Opening::ShowAlert;
}

AlertSpec ItemPickerModel::missingItemAlert()
{
    return {QStringLiteral("Field Name is required, please load your CSV file."),
            QStringLiteral("Field Name Required."),
            {},
            AlertSpec::Style::Informational};
}

AlertSpec ItemPickerModel::untitledRowAlert(int row)
{
    return {QStringLiteral("Row %1 has no title yet.").arg(row),
            QStringLiteral("Type its title first, then choose the row it hangs under."),
            {},
            AlertSpec::Style::Informational};
}

void ItemPickerModel::search(const QString &text)
{
    m_searchText = text;
    m_state.searchArray = searchParents(m_state.theParents, text);
    m_state.searching = !text.isEmpty();
    m_selectedIndex = -1;
    Q_EMIT entriesChanged();
}

const QStringList &ItemPickerModel::entries() const
{
    return m_state.searching ? m_state.searchArray : m_state.theParents;
}

bool ItemPickerModel::choose(int index)
{
    const QStringList &shown = entries();
    if (index < 0 || index >= shown.size())
        return false;
    m_selectedIndex = index;
    const int row = editedRow();
    if (!m_editor)
        return chooseParent(m_grid, row, shown.at(index));
    // Row 1 is the top of the chart: like chooseParent, the picker gives it no parent.
    if (row < 2 || row > kRowCount)
        return false;
    m_editor->setParentText(row, shown.at(index));
    return true;
}

PositionButton ItemPickerModel::pressPosition(int tag)
{
    const int row = editedRow();
    PositionButton pressed = positionForButtonTag(tag);
    if (m_editor && row >= 2 && row <= kRowCount)
        m_editor->setPosition(row, markerOf(pressed));
    else
        pressed = applyPositionButton(m_grid, row, tag);
    setHighlight(pressed);
    return pressed;
}

int ItemPickerModel::editedRow() const
{
    return m_state.btSender.toInt();
}

void ItemPickerModel::setHighlight(std::optional<PositionButton> highlight)
{
    if (m_highlight == highlight)
        return;
    m_highlight = highlight;
    Q_EMIT highlightChanged();
}

} // namespace plotwell
