#include "model/NodePositions.h"

namespace plotwell {

PositionButton positionForButtonTag(int tag)
{
    switch (tag) {
    case 1:
        return PositionButton::Left;
    case 2:
        return PositionButton::Right;
    default:
        return PositionButton::Bottom;
    }
}

const QString &markerOf(PositionButton button)
{
    switch (button) {
    case PositionButton::Left:
        return kLeftMarker;
    case PositionButton::Right:
        return kRightMarker;
    case PositionButton::Bottom:
        break;
    }
    return kBottomMarker;
}

std::optional<PositionButton> buttonForMarker(const QString &marker)
{
    if (marker == kBottomMarker)
        return PositionButton::Bottom;
    if (marker == kLeftMarker)
        return PositionButton::Left;
    if (marker == kRightMarker)
        return PositionButton::Right;
    return std::nullopt;
}

PositionButton applyPositionButton(ChartGrid &grid, int editedRow, int tag)
{
    const PositionButton pressed = positionForButtonTag(tag);
    if (editedRow >= 2 && editedRow <= kRowCount)
        grid.setPosition(editedRow, markerOf(pressed));
    return pressed;
}

std::optional<PositionButton> autoSelectPositionValue(const ChartGrid &grid, int row,
                                                      std::optional<PositionButton> current)
{
    if (row < 2 || row > kRowCount)
        return current;
    if (const auto matching = buttonForMarker(grid.position(row)))
        return matching;
    return current;
}

bool showsHighlighted(std::optional<PositionButton> highlight, PositionButton button)
{
    if (!highlight)
        return button != PositionButton::Bottom;
    return *highlight == button;
}

} // namespace plotwell
