#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace plotwell {

struct AppState;
class ChartEditor;
class ChartGrid;
class CommandCenter;
class SwatchBoard;

/// What the 108 colour picker buttons and the shared colour popover do to the chart: which
/// field the popover serves (`colorSender`), the colour it opens with, and how a picked colour
/// lands. The popover itself only shows colours and reports each change.
class ColourPicking
{
public:
    ColourPicking(ChartGrid &grid, SwatchBoard &swatches, AppState &state, CommandCenter &commands);

    /// `buttonClicked:` for the picker button with \a tag. Unknown tags (outside 1..108) change
    /// nothing and answer nothing: no popover opens. Otherwise the tag becomes the receiver of
    /// later picks and the answer is the colour to preset, the receiving swatch's colour.
    [[nodiscard]] std::optional<QColor> buttonClicked(int tag);

    /// `colorChanged:`: a colour was picked. The refresh request comes first (skipped while a
    /// conversion runs), so the reopened document cannot overwrite the pick; then the
    /// receiving swatch takes \a colour and its text field the colour's upper-case hex text.
    void colorChanged(const QColor &colour);

    /// Picks go through \a editor, so that one opening of the popover is one undo step.
    void setEditor(ChartEditor *editor) { m_editor = editor; }

    /// The tag of the picker button pressed last, 0 before any.
    [[nodiscard]] int colorSender() const { return m_colorSender; }

private:
    ChartGrid &m_grid;
    SwatchBoard &m_swatches;
    AppState &m_state;
    CommandCenter &m_commands;
    ChartEditor *m_editor = nullptr;
    int m_colorSender = 0;
};

} // namespace plotwell
