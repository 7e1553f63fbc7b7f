#include "ui/Popovers.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace plotwell {

Popover::Popover(QWidget *parent) : QFrame(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("popover"));
    setFrameShape(QFrame::StyledPanel);
}

void Popover::showUnder(QWidget *anchor)
{
    adjustSize();
    if (!anchor) {
        showAt(QCursor::pos(), nullptr);
        return;
    }
    const QPoint below = anchor->mapToGlobal(QPoint(anchor->width() / 2, anchor->height() + 4));
    showAt(below - QPoint(width() / 2, 0), anchor);
}

QRect Popover::placeWithin(QRect popover, const QRect &area)
{
    // A popover larger than the area keeps its top left corner inside it.
    popover.moveLeft(std::clamp(popover.left(), area.left(),
                                std::max(area.left(), area.right() + 1 - popover.width())));
    popover.moveTop(std::clamp(popover.top(), area.top(),
                               std::max(area.top(), area.bottom() + 1 - popover.height())));
    return popover;
}

void Popover::showAt(QPoint globalPos, const QWidget *anchor)
{
    adjustSize();
    QRect area;
    const QWidget *owner = anchor ? anchor : parentWidget();
    if (const QWidget *window = owner ? owner->window() : nullptr) {
        // Inside the window the popover belongs to, not merely on its screen.
        area = QRect(window->mapToGlobal(QPoint(0, 0)), window->size()).adjusted(4, 4, -4, -4);
        if (const QScreen *screen = window->screen())
            area &= screen->availableGeometry();
    }
    if (area.isValid())
        globalPos = placeWithin(QRect(globalPos, size()), area).topLeft();
    move(globalPos);
    show();
    raise();
}

void Popover::keyPressEvent(QKeyEvent *event)
{
    // Children that do not want Escape pass it up; whatever has focus, Escape closes.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        close();
        return;
    }
    QFrame::keyPressEvent(event);
}

OptionsPopover::OptionsPopover(QWidget *parent) : Popover(parent), m_stack(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("myOpts"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 14);
    layout->addWidget(m_stack);
    const struct
    {
        Panel panel;
        const char *name;
        const char *title;
    } panels[] = {
        {Panel::Help, "helpOptionsView", "Help"},
        {Panel::Share, "shareOptionsView", "Share"},
        {Panel::Download, "downloadOptionsView", "Download"},
        {Panel::Import, "importOptionsView", "CSV files"},
    };
    for (const auto &entry : panels) {
        PanelWidgets &widgets = panelWidgets(entry.panel);
        widgets.page = new QWidget(m_stack);
        widgets.page->setObjectName(QLatin1String(entry.name));
        auto *pageLayout = new QVBoxLayout(widgets.page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->setSpacing(2);
        auto *title = new QLabel(QLatin1String(entry.title), widgets.page);
        title->setObjectName(QStringLiteral("popoverTitle"));
        pageLayout->addWidget(title);
        widgets.items = new QVBoxLayout;
        widgets.items->setSpacing(2);
        pageLayout->addLayout(widgets.items);
        pageLayout->addStretch(1);
        m_stack->addWidget(widgets.page);
    }
    setMinimumWidth(260);
}

OptionsPopover::PanelWidgets &OptionsPopover::panelWidgets(Panel panel)
{
    return m_panels[int(panel)];
}

void OptionsPopover::addAction(Panel panel, QAction *action)
{
    PanelWidgets &widgets = panelWidgets(panel);
    auto *button = new QToolButton(widgets.page);
    button->setObjectName(QStringLiteral("popoverItem"));
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setAutoRaise(true);
    connect(button, &QToolButton::triggered, this, &QWidget::hide);
    widgets.items->addWidget(button);
    ++widgets.count;
}

bool OptionsPopover::isEmpty(Panel panel) const
{
    return m_panels[int(panel)].count == 0;
}

void OptionsPopover::setPanel(Panel panel)
{
    m_panel = panel;
    // A stack is as tall as its tallest page; the popover should be as tall as the panel it
    // shows, with no empty band under a short one.
    for (PanelWidgets &widgets : m_panels) {
        const bool shown = &widgets == &panelWidgets(panel);
        widgets.page->setSizePolicy(QSizePolicy::Preferred,
                                    shown ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    }
    m_stack->setCurrentWidget(m_panels[int(panel)].page);
    // The popover's layout keeps the stack's last size hint until told.
    m_stack->updateGeometry();
    layout()->invalidate();
}

QuickHelpPopover::QuickHelpPopover(QWidget *parent) : Popover(parent)
{
    setObjectName(QStringLiteral("myHelp"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    auto *title = new QLabel(QStringLiteral("Quick help"), this);
    title->setObjectName(QStringLiteral("popoverTitle"));
    auto *text = new QLabel(
        QStringLiteral(
            "<p><b>1.</b> Each row of the grid is one box of the chart. Row 1 is the top of "
            "the chart.</p>"
            "<p><b>2.</b> Type a title, <i>Name(Job)</i>, and press Return for the next row; "
            "or fill the grid from a CSV file or a sample (<i>Load Sample</i>).</p>"
            "<p><b>3.</b> Press <b>SELECT</b> on a row, or Tab to its parent field and type a "
            "name, to choose its parent and where it sits: left, right or below.</p>"
            "<p><b>4.</b> Pick a colour with the small button beside each hex value.</p>"
            "<p><b>5.</b> Press <b>Render Chart</b> (Ctrl+R) to draw the chart. Undo and Redo take "
            "back "
            "edits; Previous Chart and Next Chart step through the charts you rendered.</p>"),
        this);
    text->setWordWrap(true);
    text->setFixedWidth(300);
    layout->addWidget(title);
    layout->addWidget(text);
}

} // namespace plotwell
