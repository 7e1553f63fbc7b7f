#include "ui/GridView.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace plotwell {

SwatchView::SwatchView(QWidget *parent) : QWidget(parent)
{
    setFixedSize(18, 18);
}

void SwatchView::setColour(const QColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

void SwatchView::paintEvent(QPaintEvent *)
{
    // A fully transparent colour shows nothing at all, not even the outline.
    if (m_colour.isValid() && m_colour.alpha() == 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 0, 60), 1));
    painter.setBrush(m_colour.isValid() ? m_colour : QColor(Qt::transparent));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
}

GridView::GridView(ChartGrid &grid, QWidget *parent) : QWidget(parent), m_grid(grid)
{
    setObjectName(QStringLiteral("gridView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (int page = 0; page < kPageCount; ++page) {
        auto *header = new QLabel(
            QStringLiteral("Rows %1\u2013%2").arg(rowAt(page, 1)).arg(rowAt(page, kPageSize)),
            this);
        header->setObjectName(QStringLiteral("pageHeader"));
        layout->addWidget(header);
        for (int place = 1; place <= kPageSize; ++place) {
            const int r = rowAt(page, place);
            buildRow(r, this);
            layout->addWidget(m_rows[std::size_t(r - 1)].container);
        }
    }
    layout->addStretch(1);
    connect(&m_grid, &ChartGrid::rowChanged, this, &GridView::showField);
}

void GridView::buildRow(int r, QWidget *page)
{
    GridRowWidgets &w = m_rows[std::size_t(r - 1)];
    w.container = new QWidget(page);
    w.container->setObjectName(QStringLiteral("gridRow"));
    w.container->setAttribute(Qt::WA_StyledBackground);
    auto *grid = new QGridLayout(w.container);
    grid->setContentsMargins(6, 6, 8, 6);
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(4);

    w.number = new QLabel(QString::number(r), w.container);
    w.number->setObjectName(QStringLiteral("rowNumber"));
    w.number->setFixedWidth(20);
    w.number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const auto field = [&](RowField which, const QString &placeholder) {
        auto *edit = new QLineEdit(m_grid.field(r, which), w.container);
        edit->setCursorPosition(0);
        edit->setObjectName(fieldName(r, which));
        edit->setPlaceholderText(placeholder);
        if (which == RowField::Title || which == RowField::Parent)
            edit->setToolTip(edit->text());
        return edit;
    };
    w.title = field(RowField::Title, QStringLiteral("Title"));
    w.parent = field(RowField::Parent, QStringLiteral("No parent"));
    w.position = field(RowField::Position, QStringLiteral("Position"));
    w.position->setFixedWidth(80);
    w.title->setMinimumWidth(60);
    w.parent->setMinimumWidth(50);
    w.hex = field(RowField::Colour, QStringLiteral("#RRGGBB"));
    w.hex->setFixedWidth(80);
    w.swatch = new SwatchView(w.container);

    w.select = new QPushButton(QStringLiteral("SELECT"), w.container);
    w.select->setObjectName(QStringLiteral("selectButton"));
    w.select->setToolTip(QStringLiteral("Choose the parent and position of row %1").arg(r));
    w.select->setCursor(Qt::PointingHandCursor);
    w.picker = new QToolButton(w.container);
    w.picker->setObjectName(QStringLiteral("pickerButton"));
    w.picker->setText(QStringLiteral("\u25BE"));
    w.picker->setToolTip(QStringLiteral("Pick the colour of row %1").arg(r));
    w.picker->setCursor(Qt::PointingHandCursor);
    w.picker->setFixedWidth(20);

    grid->addWidget(w.number, 0, 0);
    grid->addWidget(w.title, 0, 1, 1, 4);
    grid->addWidget(w.select, 0, 5, 1, 2);
    grid->addWidget(w.parent, 1, 1);
    grid->addWidget(w.position, 1, 2);
    grid->addWidget(w.swatch, 1, 3);
    grid->addWidget(w.hex, 1, 4, 1, 2);
    grid->addWidget(w.picker, 1, 6);
    grid->setColumnStretch(1, 1);

    connect(w.select, &QPushButton::clicked, this, [this, r] { Q_EMIT selectClicked(r); });
    connect(w.picker, &QToolButton::clicked, this, [this, r] { Q_EMIT pickerClicked(r); });
    connect(w.position, &QLineEdit::textEdited, this,
            [this, r](const QString &text) { m_grid.setPosition(r, text); });
    connect(w.hex, &QLineEdit::textEdited, this,
            [this, r](const QString &text) { m_grid.setColour(r, text); });
}

void GridView::showField(int r, RowField which)
{
    if (!isValidRow(r))
        return;
    const GridRowWidgets &w = m_rows[std::size_t(r - 1)];
    QLineEdit *edit = nullptr;
    switch (which) {
    case RowField::Title:
        edit = w.title;
        break;
    case RowField::Parent:
        edit = w.parent;
        break;
    case RowField::Position:
        edit = w.position;
        break;
    case RowField::Colour:
        edit = w.hex;
        break;
    }
    const QString value = m_grid.field(r, which);
    if (edit->text() != value) {
        edit->setText(value);
        edit->setCursorPosition(0); // long texts show their beginning
        // Titles and parents cannot be scrolled by the user; the tooltip shows what is cut off.
        if (which == RowField::Title || which == RowField::Parent)
            edit->setToolTip(value);
    }
}

void GridView::removeUserInteraction()
{
    for (GridRowWidgets &w : m_rows) {
        w.title->setReadOnly(true);
        w.parent->setReadOnly(true);
        w.title->setFocusPolicy(Qt::NoFocus);
        w.parent->setFocusPolicy(Qt::NoFocus);
    }
}

void GridView::setRowColoursActive(bool active)
{
    for (GridRowWidgets &w : m_rows) {
        w.hex->setEnabled(active);
        w.swatch->setEnabled(active);
        w.picker->setEnabled(active);
    }
}

} // namespace plotwell
