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

namespace {
const QString kLeftWord = QStringLiteral("Left");
const QString kRightWord = QStringLiteral("Right");
const QString kBelowWord = QStringLiteral("Below");
} // namespace

QString positionWord(const QString &marker)
{
    if (marker == kLeftMarker)
        return kLeftWord;
    if (marker == kRightMarker)
        return kRightWord;
    if (marker == kBottomMarker)
        return kBelowWord;
    return marker;
}

std::optional<QString> markerOfWord(const QString &word)
{
    const QString trimmed = word.trimmed();
    if (trimmed.isEmpty())
        return QString();
    if (trimmed.compare(kLeftWord, Qt::CaseInsensitive) == 0)
        return kLeftMarker;
    if (trimmed.compare(kRightWord, Qt::CaseInsensitive) == 0)
        return kRightMarker;
    if (trimmed.compare(kBelowWord, Qt::CaseInsensitive) == 0)
        return kBottomMarker;
    if (word == kLeftMarker || word == kRightMarker || word == kBottomMarker)
        return word;
    return std::nullopt;
}

const QStringList &positionWords()
{
    static const QStringList words{QString(), kLeftWord, kRightWord, kBelowWord};
    return words;
}

} // namespace plotwell
