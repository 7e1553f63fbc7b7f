#include "colour/ColourPicking.h"

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "colour/Colour.h"
#include "colour/PickerTags.h"
#include "colour/SwatchBoard.h"
#include "model/ChartEditor.h"
#include "model/ChartGrid.h"

namespace plotwell {

ColourPicking::ColourPicking(ChartGrid &grid, SwatchBoard &swatches, AppState &state,
                             CommandCenter &commands)
    : m_grid(grid), m_swatches(swatches), m_state(state), m_commands(commands)
{}

std::optional<QColor> ColourPicking::buttonClicked(int tag)
{
    const std::optional<PickerTarget> target = pickerTarget(tag);
    if (!target)
        return std::nullopt;
    m_colorSender = tag;
    if (m_editor)
        m_editor->endMerging();
    return m_swatches.colour(target->swatch);
}

void ColourPicking::colorChanged(const QColor &colour)
{
    const QString hex = hexStringFromColor(colour);
    if (prepareRefreshRequest(m_state))
        m_commands.post(command::openRecentDocument);
    const std::optional<PickerTarget> target = pickerTarget(m_colorSender);
    if (!target)
        return;
    m_swatches.setColour(target->swatch, colour);
    if (m_editor)
        m_editor->setColour(target->textSlot, hex);
    else
        m_grid.setSlotText(target->textSlot, hex);
}

} // namespace plotwell
