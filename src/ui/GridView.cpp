#include "ui/GridView.h"

#include "model/ParentReferences.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace plotwell {

SwatchView::SwatchView(QWidget *parent) : QWidget(parent)
{
    setFixedSize(kSide, kSide);
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

namespace {

// One compact line per row: the fixed columns keep their width, title and parent share what
// the sidebar leaves, so the header and every row agree without a shared layout.
constexpr int kRowHeight = 28;
constexpr int kFieldHeight = 24;
constexpr int kNumberWidth = 22;
constexpr int kPositionWidth = 58;
constexpr int kHexWidth = 74;
constexpr int kPickerWidth = 16;
constexpr int kSelectWidth = 58;
constexpr int kTitleStretch = 3;
constexpr int kParentStretch = 2;
constexpr int kColumnSpacing = 4;

QHBoxLayout *rowLayout(QWidget *line)
{
    auto *layout = new QHBoxLayout(line);
    layout->setContentsMargins(2, 2, 4, 2);
    layout->setSpacing(kColumnSpacing);
    return layout;
}

} // namespace

GridView::GridView(ChartGrid &grid, QWidget *parent) : QWidget(parent), m_grid(grid)
{
    setObjectName(QStringLiteral("gridView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    for (int r = 1; r <= kRowCount; ++r) {
        buildRow(r, this);
        layout->addWidget(m_rows[std::size_t(r - 1)].container);
    }
    layout->addStretch(1);
    connect(&m_grid, &ChartGrid::rowChanged, this, &GridView::showField);
}

int GridView::rowHeight()
{
    return kRowHeight;
}

QWidget *GridView::buildHeader()
{
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("gridHeader"));
    header->setAttribute(Qt::WA_StyledBackground);
    header->setFixedHeight(22);
    QHBoxLayout *layout = rowLayout(header);
    const auto column = [&](const QString &text, int width, int stretch = 0) {
        auto *label = new QLabel(text, header);
        label->setObjectName(QStringLiteral("columnTitle"));
        if (width > 0)
            label->setFixedWidth(width);
        layout->addWidget(label, stretch);
    };
    column(QStringLiteral("#"), kNumberWidth);
    column(QStringLiteral("Title"), 0, kTitleStretch);
    column(QStringLiteral("Parent"), 0, kParentStretch);
    column(QStringLiteral("Position"), kPositionWidth);
    column(QStringLiteral("Colour"),
           SwatchView::kSide + kHexWidth + kPickerWidth + 2 * kColumnSpacing);
    column(QString(), kSelectWidth);
    return header;
}

void GridView::buildRow(int r, QWidget *page)
{
    GridRowWidgets &w = m_rows[std::size_t(r - 1)];
    w.container = new QWidget(page);
    w.container->setObjectName(QStringLiteral("gridRow"));
    w.container->setAttribute(Qt::WA_StyledBackground);
    w.container->setProperty("odd", r % 2 == 1);
    w.container->setFixedHeight(kRowHeight);
    QHBoxLayout *line = rowLayout(w.container);

    w.number = new QLabel(QString::number(r), w.container);
    w.number->setObjectName(QStringLiteral("rowNumber"));
    w.number->setFixedWidth(kNumberWidth);
    w.number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const auto field = [&](RowField which, const QString &placeholder) {
        auto *edit = new QLineEdit(m_grid.field(r, which), w.container);
        edit->setObjectName(fieldName(r, which));
        edit->setPlaceholderText(placeholder);
        edit->setFixedHeight(kFieldHeight);
        edit->setCursorPosition(0);
        return edit;
    };
    w.title = field(RowField::Title, QString());
    w.title->setToolTip(w.title->text());
    w.parent = field(RowField::Parent, QString());
    w.parent->setReadOnly(true);
    w.position = field(RowField::Position, QString());
    w.position->setFixedWidth(kPositionWidth);
    w.title->setMinimumWidth(40);
    w.parent->setMinimumWidth(30);
    w.hex = field(RowField::Colour, QStringLiteral("#RRGGBB"));
    w.hex->setFixedWidth(kHexWidth);
    w.swatch = new SwatchView(w.container);

    w.select = new QPushButton(QStringLiteral("SELECT"), w.container);
    w.select->setObjectName(QStringLiteral("selectButton"));
    w.select->setToolTip(QStringLiteral("Choose the parent and position of row %1").arg(r));
    w.select->setCursor(Qt::PointingHandCursor);
    w.select->setFixedSize(kSelectWidth, kFieldHeight);
    w.picker = new QToolButton(w.container);
    w.picker->setObjectName(QStringLiteral("pickerButton"));
    w.picker->setText(QStringLiteral("\u25BE"));
    w.picker->setToolTip(QStringLiteral("Pick the colour of row %1").arg(r));
    w.picker->setCursor(Qt::PointingHandCursor);
    w.picker->setFixedSize(kPickerWidth, kFieldHeight);

    line->addWidget(w.number);
    line->addWidget(w.title, kTitleStretch);
    line->addWidget(w.parent, kParentStretch);
    line->addWidget(w.position);
    line->addWidget(w.swatch);
    line->addWidget(w.hex);
    line->addWidget(w.picker);
    line->addWidget(w.select);
    showParent(r);

    connect(w.select, &QPushButton::clicked, this, [this, r] { Q_EMIT selectClicked(r); });
    connect(w.picker, &QToolButton::clicked, this, [this, r] { Q_EMIT pickerClicked(r); });
    connect(w.position, &QLineEdit::textEdited, this,
            [this, r](const QString &text) { m_grid.setPosition(r, text); });
    connect(w.hex, &QLineEdit::textEdited, this,
            [this, r](const QString &text) { m_grid.setColour(r, text); });
}

void GridView::showParent(int r)
{
    QLineEdit *edit = m_rows[std::size_t(r - 1)].parent;
    const QString name = parentDisplayName(m_grid, r);
    if (edit->text() != name) {
        edit->setText(name);
        edit->setCursorPosition(0);
    }
    const QString reference = m_grid.parent(r);
    edit->setToolTip(
        name == reference || reference.isEmpty()
            ? name
            : QStringLiteral("Row %1: %2").arg(parentRowNumber(reference).trimmed(), name));
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
        showParent(r);
        return;
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
        // Titles cannot be scrolled by the user; the tooltip shows what is cut off.
        if (which == RowField::Title)
            edit->setToolTip(value);
    }
    // A title is also the name its children show for their parent.
    if (which == RowField::Title)
        for (int child = 1; child <= kRowCount; ++child)
            showParent(child);
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
