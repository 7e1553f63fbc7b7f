#pragma once

#include "colour/ColourPicking.h"
#include "colour/SwatchBoard.h"
#include "model/ItemPickerModel.h"
#include "platform/AppContext.h"

#include <QIcon>
#include <QObject>
#include <QWidget>

#include <array>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QToolButton;

namespace plotwell {

class ChartEditor;
class ChartGrid;
class ColorPickerPopover;
class ItemPickerPopover;
class SwatchView;

/// The eleven "b" swatches of the sidebar with their picker buttons, and the check box that
/// animates the colour popover.
class QuickColoursStrip : public QWidget
{
    Q_OBJECT
public:
    explicit QuickColoursStrip(QWidget *parent = nullptr);

    /// "b" swatch \a n, 1..11, and its picker button.
    [[nodiscard]] SwatchView *swatch(int n) const { return m_swatches.at(std::size_t(n - 1)); }
    [[nodiscard]] QToolButton *picker(int n) const { return m_pickers.at(std::size_t(n - 1)); }
    [[nodiscard]] QCheckBox *animateCheckmark() const { return m_animate; }

Q_SIGNALS:
    /// The picker of "b" swatch \a n was pressed.
    void pickerClicked(int n);

private:
    std::array<SwatchView *, kBSwatchCount> m_swatches{};
    std::array<QToolButton *, kBSwatchCount> m_pickers{};
    QCheckBox *m_animate = nullptr;
};

/// Where the window lends its buttons to the editing controls: the picker button of a tag and
/// the SELECT button of a row.
class EditingAnchors
{
public:
    virtual ~EditingAnchors() = default;
    [[nodiscard]] virtual QAbstractButton *pickerButton(int tag) const = 0;
    [[nodiscard]] virtual QAbstractButton *selectButton(int row) const = 0;
};

/// The editing side of the main view: the item picker opened by SELECT, and the colour popover
/// opened by the 108 picker buttons. Both write through the editor: a pick of a parent or a
/// position is one undo step, and so is one opening of the colour popover.
class ChartEditing : public QObject
{
    Q_OBJECT
public:
    ChartEditing(AppContext context, ChartGrid &grid, ChartEditor &editor, SwatchBoard &swatches,
                 EditingAnchors &anchors, QWidget *view);
    ~ChartEditing() override;

    /// `initializeButtons`, a button at a time (the window builds some of its buttons only when
    /// they are first needed): gives the picker button with \a tag its tag, name and image.
    void initializePickerButton(int tag, QAbstractButton &button);

    /// `myPopAction:` for the SELECT button of \a row.
    void myPopAction(int row);
    /// The item picker for \a row, opened from the keyboard and searching for \a text; a row
    /// without a title is told so in words of its own.
    void pickParentSearching(int row, const QString &text);
    /// `buttonClicked:` for the picker button with \a tag.
    void buttonClicked(int tag);
    /// `animateCheckClicked:`.
    void animateCheckClicked(bool on);

    [[nodiscard]] ItemPickerModel &pickerModel() { return m_picker; }
    /// Built when first opened: until then nothing of it is seen.
    [[nodiscard]] ItemPickerPopover &itemPicker();
    [[nodiscard]] ColourPicking &colourPicking() { return m_colours; }
    [[nodiscard]] ColorPickerPopover &colourPopover();

private:
    /// The item picker beside \a row's SELECT button, or \a untitled when the row has no title.
    bool showPicker(int row, const AlertSpec &untitled);
    void colorChanged(ColorPickerPopover &popover);

    AppContext m_context;
    EditingAnchors &m_anchors;
    QWidget *m_view;
    ItemPickerModel m_picker;
    ColourPicking m_colours;
    ItemPickerPopover *m_pickerPopover = nullptr;
    bool m_animates = true;
    std::optional<QIcon> m_pickerIcon;
};

} // namespace plotwell
