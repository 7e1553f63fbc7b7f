#include "ui/ChartEditing.h"

#include "base/ResourceLocator.h"
#include "colour/PickerTags.h"
#include "platform/Alerts.h"
#include "ui/ColorPickerPopover.h"
#include "ui/GridView.h"
#include "ui/ItemPickerPopover.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QIcon>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace plotwell {

namespace {

/// The chart-wide pickers keep the size the layout gives them.
inline constexpr int kFixedSizeTags[] = {43, 44, 107, 108};

QIcon pickerIcon()
{
    const QString path = resourcePath(QStringLiteral("macPicke48.png"));
    return QFileInfo::exists(path) ? QIcon(path) : QIcon();
}

} // namespace

QuickColoursStrip::QuickColoursStrip(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("quickColours"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    auto *grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    for (int n = 1; n <= kBSwatchCount; ++n) {
        auto *swatch = new SwatchView(this);
        swatch->setObjectName(QStringLiteral("button%1bcolorSwatch").arg(n));
        swatch->setToolTip(QStringLiteral("Quick colour %1, for row %1").arg(n));
        auto *picker = new QToolButton(this);
        picker->setObjectName(QStringLiteral("pickerButton"));
        picker->setText(QStringLiteral("\u25BE"));
        picker->setToolTip(QStringLiteral("Pick a colour for row %1").arg(n));
        picker->setCursor(Qt::PointingHandCursor);
        grid->addWidget(swatch, 0, n - 1, Qt::AlignHCenter);
        grid->addWidget(picker, 1, n - 1, Qt::AlignHCenter);
        m_swatches[std::size_t(n - 1)] = swatch;
        m_pickers[std::size_t(n - 1)] = picker;
        connect(picker, &QToolButton::clicked, this, [this, n] { Q_EMIT pickerClicked(n); });
    }
    grid->setColumnStretch(kBSwatchCount, 1);
    column->addLayout(grid);
    m_animate = new QCheckBox(QStringLiteral("Animate the colour popover"), this);
    m_animate->setObjectName(QStringLiteral("animateCheckmark"));
    m_animate->setChecked(true);
    column->addWidget(m_animate);
}

ChartEditing::ChartEditing(AppContext context, ChartGrid &grid, ChartEditor &editor,
                           SwatchBoard &swatches, EditingAnchors &anchors, QWidget *view)
    : QObject(view), m_context(context), m_anchors(anchors), m_view(view),
      m_picker(grid, context.state), m_colours(grid, swatches, context.state, context.commands)
{
    m_picker.setEditor(&editor);
    m_colours.setEditor(&editor);
}

ChartEditing::~ChartEditing() = default;

ItemPickerPopover &ChartEditing::itemPicker()
{
    if (!m_pickerPopover)
        m_pickerPopover = new ItemPickerPopover(m_picker, m_view);
    return *m_pickerPopover;
}

ColorPickerPopover &ChartEditing::colourPopover()
{
    return ColorPickerPopover::sharedPopover(m_view);
}

void ChartEditing::initializePickerButton(int tag, QAbstractButton &button)
{
    button.setProperty("tag", tag);
    // A screen reader says what the button does where it says so itself (the grid's, which
    // name their row); the others go by their outlet's name.
    if (button.accessibleName().isEmpty())
        button.setAccessibleName(button.toolTip().isEmpty() ? pickerButtonName(tag)
                                                            : button.toolTip());
    if (!m_pickerIcon)
        m_pickerIcon = pickerIcon();
    if (m_pickerIcon->isNull())
        return;
    button.setIcon(*m_pickerIcon);
    if (auto *tool = qobject_cast<QToolButton *>(&button))
        tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const bool fixed = std::find(std::begin(kFixedSizeTags), std::end(kFixedSizeTags), tag) !=
                       std::end(kFixedSizeTags);
    button.setIconSize(QSize(14, 14));
    if (!fixed)
        button.setFixedSize(button.sizeHint());
}

void ChartEditing::myPopAction(int row)
{
    showPicker(row, ItemPickerModel::missingItemAlert());
}

void ChartEditing::pickParentSearching(int row, const QString &text)
{
    if (showPicker(row, ItemPickerModel::untitledRowAlert(row)))
        itemPicker().searchFor(text);
}

bool ChartEditing::showPicker(int row, const AlertSpec &untitled)
{
    if (m_picker.open(row) == ItemPickerModel::Opening::ShowAlert) {
        m_context.alerts.runModal(untitled);
        return false;
    }
    itemPicker().showBeside(m_anchors.selectButton(row));
    return true;
}

void ChartEditing::buttonClicked(int tag)
{
    ColorPickerPopover &popover = colourPopover();
    // Detached first: loading the preset colour below must not write into any field.
    popover.setTarget(nullptr);
    popover.setAction({});
    const std::optional<QColor> preset = m_colours.buttonClicked(tag);
    if (!preset)
        return;
    popover.setAnimates(m_animates);
    QAbstractButton *anchor = m_anchors.pickerButton(tag);
    if (anchor)
        popover.showRelativeToRect(anchor->geometry(), anchor->parentWidget());
    else
        popover.showRelativeToRect({}, nullptr);
    popover.setColor(*preset);
    popover.setTarget(this);
    popover.setAction([this](ColorPickerPopover &source) { colorChanged(source); });
}

void ChartEditing::animateCheckClicked(bool on)
{
    m_animates = on;
    colourPopover().setAnimates(on);
}

void ChartEditing::colorChanged(ColorPickerPopover &popover)
{
    m_colours.colorChanged(popover.color());
}

} // namespace plotwell
