#include "ui/GridView.h"

#include "model/ChartEditor.h"
#include "model/NodePositions.h"
#include "model/ParentReferences.h"
#include "model/RowEdits.h"
#include "ui/TypingSteps.h"
#include "ui/WheelGuard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDrag>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

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
// the sidebar leaves, so the header and every row agree without a shared layout. Position and
// colour text are as wide as their longest text in the desktop's font (measureColumns()).
constexpr int kRowHeight = 28;
constexpr int kHeaderHeight = 22;
constexpr int kFieldHeight = 24;
constexpr int kNumberWidth = 22;
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

/// A stored position that is none of the markers is shown as it is, after the four choices.
constexpr int kPositionChoices = 4;

/// "#" and six of the font's widest hex digit: no colour text is wider.
QString widestHexText(const QFontMetrics &metrics)
{
    QChar widest = u'0';
    for (const QChar digit : QStringLiteral("0123456789ABCDEF")) {
        if (metrics.horizontalAdvance(digit) > metrics.horizontalAdvance(widest))
            widest = digit;
    }
    return u'#' + QString(6, widest);
}

/// The width at which \a field shows \a text whole, as QLineEdit sizes itself: the text, the
/// 2 px it keeps on each side and the cursor, inside the style's frame and padding.
int widthShowing(const QLineEdit &field, const QString &text)
{
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.lineWidth = field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field);
    const QMargins margins = field.textMargins() + field.contentsMargins();
    const int inner =
        field.fontMetrics().horizontalAdvance(text) + 2 * 2 + 1 + margins.left() + margins.right();
    return field.style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, kFieldHeight), &field)
        .width();
}

/// Return, Space, Alt+Down or a printable key without Ctrl or Alt.
bool opensChooser(const QKeyEvent &key)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        return true;
    case Qt::Key_Down:
        return key.modifiers() == Qt::AltModifier;
    default:
        return !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
               !key.text().trimmed().isEmpty() && key.text().at(0).isPrint();
    }
}

} // namespace

int colourFieldWidth(QLineEdit &field)
{
    field.ensurePolished();
    return widthShowing(field, widestHexText(field.fontMetrics()));
}

std::array<QWidget *, 6> GridRowWidgets::tabStops() const
{
    return {title, parent, position, hex, picker, select};
}

GridView::GridView(ChartGrid &grid, ChartEditor &editor, QWidget *parent)
    : QWidget(parent), m_grid(grid), m_editor(editor)
{
    setObjectName(QStringLiteral("gridView"));
    setAcceptDrops(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    measureColumns();
    layout->addWidget(buildHeader());
    layout->addStretch(1);
    // Building and styling a row's widgets is most of what the window costs before its first
    // paint, and the sidebar shows only its first rows. So a row is built when it is first
    // needed: when its place is about to be shown (showRowsReaching(), paintEvent()), selected,
    // reached by Tab, or asked for by row(). The table is as tall as all rows from the start,
    // so the scroll bar is true. The first row is built now, among the widgets made before and
    // after the grid, so that the keyboard reaches the rows in their place.
    showRowsUpTo(1);
    setMinimumHeight(kHeaderHeight + kRowCount * kRowHeight);
    m_dropMarker = new QWidget(this);
    m_dropMarker->setObjectName(QStringLiteral("rowDropMarker"));
    m_dropMarker->setAttribute(Qt::WA_StyledBackground);
    m_dropMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_dropMarker->hide();
    connect(&m_grid, &ChartGrid::rowChanged, this, &GridView::showField);
}

int GridView::rowHeight()
{
    return kRowHeight;
}

const GridRowWidgets &GridView::row(int r) const
{
    // Building a row changes nothing the user can tell from its having been there all along.
    const_cast<GridView *>(this)->showRowsUpTo(r);
    return m_rows[std::size_t(r - 1)];
}

void GridView::showRowsReaching(int y)
{
    const int reached = (y - kHeaderHeight + kRowHeight - 1) / kRowHeight;
    showRowsUpTo(std::clamp(reached, 0, kRowCount));
}

void GridView::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // The scroll area asks for its rows before it paints (showRowsReaching()); this is for any
    // other way of showing the table. Not while painting: the layout changes.
    const int bottom = event->rect().bottom();
    if (!isRowBuilt(kRowCount) && !isRowBuilt((bottom - kHeaderHeight) / kRowHeight + 1))
        QMetaObject::invokeMethod(
            this, [this, bottom] { showRowsReaching(bottom + 1); }, Qt::QueuedConnection);
}

void GridView::showRowsUpTo(int last)
{
    if (last <= m_rowsBuilt)
        return;
    auto *column = static_cast<QVBoxLayout *>(layout());
    for (int r = m_rowsBuilt + 1; r <= last; ++r) {
        buildRow(r);
        const GridRowWidgets &w = m_rows[std::size_t(r - 1)];
        column->insertWidget(r, w.container); // after the header
        // Now, not from the event loop as a layout would: activate() places shown rows only.
        w.container->show();
        // The keyboard goes through the rows in order, as if they had always been there.
        if (r > 1) {
            QWidget *previous = m_rows[std::size_t(r - 2)].tabStops().back();
            for (QWidget *next : w.tabStops()) {
                setTabOrder(previous, next);
                previous = next;
            }
        }
        m_rowsBuilt = r;
        Q_EMIT rowBuilt(r);
    }
    // Whoever asked may need the rows' places at once.
    column->activate();
}

void GridView::measureColumns()
{
    // In a line of the grid's own, so that the style sheet's padding and frames count.
    QWidget line(this);
    line.setObjectName(QStringLiteral("gridRow"));
    QLineEdit hex(&line);
    QComboBox position(&line);
    position.addItems(positionWords());
    position.ensurePolished();
    m_hexWidth = colourFieldWidth(hex);
    m_positionWidth = position.sizeHint().width();
}

void GridView::alignHeader()
{
    // The pickers take their icon's width once the buttons are set up.
    m_colourTitle->setFixedWidth(SwatchView::kSide + m_hexWidth + m_rows.front().picker->width() +
                                 2 * kColumnSpacing);
}

QWidget *GridView::buildHeader()
{
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("gridHeader"));
    header->setAttribute(Qt::WA_StyledBackground);
    header->setFixedHeight(kHeaderHeight);
    QHBoxLayout *layout = rowLayout(header);
    const auto column = [&](const QString &text, int width, int stretch = 0) {
        auto *label = new QLabel(text, header);
        label->setObjectName(QStringLiteral("columnTitle"));
        if (width > 0)
            label->setFixedWidth(width);
        layout->addWidget(label, stretch);
        return label;
    };
    column(QStringLiteral("#"), kNumberWidth);
    column(QStringLiteral("Title"), 0, kTitleStretch);
    column(QStringLiteral("Parent"), 0, kParentStretch);
    column(QStringLiteral("Position"), m_positionWidth);
    m_colourTitle = column(QStringLiteral("Colour"),
                           SwatchView::kSide + m_hexWidth + kPickerWidth + 2 * kColumnSpacing);
    column(QString(), kSelectWidth);
    return header;
}

void GridView::buildRow(int r)
{
    GridRowWidgets &w = m_rows[std::size_t(r - 1)];
    w.container = new QWidget(this);
    w.container->setObjectName(QStringLiteral("gridRow"));
    w.container->setAttribute(Qt::WA_StyledBackground);
    w.container->setProperty("odd", r % 2 == 1);
    w.container->setProperty("row", r);
    w.container->setFixedHeight(kRowHeight);
    QHBoxLayout *line = rowLayout(w.container);

    w.number = new QLabel(QString::number(r), w.container);
    w.number->setObjectName(QStringLiteral("rowNumber"));
    w.number->setFixedWidth(kNumberWidth);
    w.number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    w.number->setCursor(Qt::OpenHandCursor);
    w.number->setToolTip(QStringLiteral("Drag to move row %1; right-click for more").arg(r));

    const auto field = [&](RowField which, const QString &placeholder) {
        auto *edit = new QLineEdit(m_grid.field(r, which), w.container);
        edit->setObjectName(fieldName(r, which));
        edit->setPlaceholderText(placeholder);
        edit->setFixedHeight(kFieldHeight);
        edit->setCursorPosition(0);
        return edit;
    };
    // The top box shows the form a title takes; the rows below follow it.
    w.title = field(RowField::Title, r == 1 ? QStringLiteral("Name(Job)") : QString());
    w.title->setToolTip(w.title->text());
    // Parents are picked, never typed; the field is still a stop of Tab, where letters, Space
    // or Return open the chooser.
    w.parent = field(RowField::Parent, QString());
    w.parent->setReadOnly(true);
    w.position = new QComboBox(w.container);
    w.position->setObjectName(fieldName(r, RowField::Position));
    w.position->setFixedSize(m_positionWidth, kFieldHeight);
    w.position->addItems(positionWords());
    w.position->setToolTip(QStringLiteral("Where row %1 stands beside its parent").arg(r));
    scrollPastUnlessFocused(w.position);
    w.title->setMinimumWidth(40);
    w.parent->setMinimumWidth(30);
    w.hex = field(RowField::Colour, QStringLiteral("#RRGGBB"));
    w.hex->setFixedWidth(m_hexWidth);
    w.swatch = new SwatchView(w.container);

    w.select = new QPushButton(QStringLiteral("SELECT"), w.container);
    w.select->setObjectName(QStringLiteral("selectButton"));
    w.select->setProperty("tag", r);
    w.select->setToolTip(QStringLiteral("Choose the parent and position of row %1").arg(r));
    w.select->setCursor(Qt::PointingHandCursor);
    w.select->setFixedSize(kSelectWidth, kFieldHeight);
    w.picker = new QToolButton(w.container);
    w.picker->setObjectName(QStringLiteral("pickerButton"));
    w.picker->setText(QStringLiteral("\u25BE"));
    w.picker->setToolTip(QStringLiteral("Pick the colour of row %1").arg(r));
    w.picker->setCursor(Qt::PointingHandCursor);
    w.picker->setFixedSize(kPickerWidth, kFieldHeight);

    // What a screen reader says of each part: a field alone would be "edit", and every SELECT
    // the same word.
    w.title->setAccessibleName(QStringLiteral("Row %1 title").arg(r));
    w.parent->setAccessibleName(QStringLiteral("Row %1 parent").arg(r));
    w.position->setAccessibleName(QStringLiteral("Row %1 position").arg(r));
    w.hex->setAccessibleName(QStringLiteral("Row %1 colour").arg(r));
    w.picker->setAccessibleName(w.picker->toolTip());
    w.select->setAccessibleName(w.select->toolTip());

    line->addWidget(w.number);
    line->addWidget(w.title, kTitleStretch);
    line->addWidget(w.parent, kParentStretch);
    line->addWidget(w.position);
    line->addWidget(w.swatch);
    line->addWidget(w.hex);
    line->addWidget(w.picker);
    line->addWidget(w.select);
    showParent(r);
    showPosition(r);
    showRowColoursActive(w);

    for (QWidget *part :
         std::initializer_list<QWidget *>{w.container, w.number, w.title, w.parent, w.position,
                                          w.swatch, w.hex, w.picker, w.select})
        part->installEventFilter(this);

    connect(w.select, &QPushButton::clicked, this, [this, r] { Q_EMIT selectClicked(r); });
    connect(w.picker, &QToolButton::clicked, this, [this, r] { Q_EMIT pickerClicked(r); });
    connect(w.title, &QLineEdit::editingFinished, this, [this, r] { commitTitle(r); });
    // Return goes on to the next title, so a list of people is typed row after row.
    connect(w.title, &QLineEdit::returnPressed, this, [this, r] {
        commitTitle(r);
        if (r < kRowCount)
            selectRow(r + 1);
    });
    connect(w.position, &QComboBox::activated, this, [this, r](int index) {
        const std::optional<QString> marker =
            markerOfWord(m_rows[std::size_t(r - 1)].position->itemText(index));
        if (marker)
            m_editor.setPosition(r, *marker);
        else
            showPosition(r); // the odd stored text picked again: nothing to change
    });
    bindTypingSteps(w.hex, m_editor,
                    [this, r](const QString &text) { m_editor.setColour(r, text); });
}

void GridView::commitTitle(int r)
{
    QLineEdit *edit = m_rows[std::size_t(r - 1)].title;
    if (edit->text() != m_grid.title(r))
        m_editor.setTitle(r, edit->text());
}

void GridView::showParent(int r)
{
    QLineEdit *edit = m_rows[std::size_t(r - 1)].parent;
    const QString title = parentDisplayName(m_grid, r);
    // The column is narrow: the parent's name, its whole title in the tooltip.
    const QString name = title == m_grid.parent(r) ? title : personName(title);
    if (edit->text() != name) {
        edit->setText(name);
        edit->setCursorPosition(0);
    }
    const QString reference = m_grid.parent(r);
    edit->setToolTip(
        title == reference || reference.isEmpty()
            ? title
            : QStringLiteral("Row %1: %2").arg(parentRowNumber(reference).trimmed(), title));
}

void GridView::showPosition(int r)
{
    QComboBox *combo = m_rows[std::size_t(r - 1)].position;
    const QString word = positionWord(m_grid.position(r));
    int index = int(positionWords().indexOf(word));
    if (index < 0) {
        if (combo->count() == kPositionChoices)
            combo->addItem(word);
        else
            combo->setItemText(kPositionChoices, word);
        index = kPositionChoices;
    } else if (combo->count() > kPositionChoices) {
        combo->removeItem(kPositionChoices);
    }
    combo->setCurrentIndex(index);
}

void GridView::showField(int r, RowField which)
{
    if (!isValidRow(r))
        return;
    // A title is also the name its children show for their parent.
    if (which == RowField::Title)
        for (int child = 1; child <= m_rowsBuilt; ++child)
            showParent(child);
    // A row not built yet reads the grid when it is.
    if (!isRowBuilt(r))
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
        showPosition(r);
        return;
    case RowField::Colour:
        edit = w.hex;
        break;
    }
    const QString value = m_grid.field(r, which);
    if (edit->text() != value) {
        edit->setText(value);
        edit->setCursorPosition(0); // long texts show their beginning
        if (which == RowField::Title)
            edit->setToolTip(value);
    }
}

void GridView::showRowColoursActive(const GridRowWidgets &w)
{
    w.hex->setEnabled(m_rowColoursActive);
    w.swatch->setEnabled(m_rowColoursActive);
    w.picker->setEnabled(m_rowColoursActive);
}

void GridView::setRowColoursActive(bool active)
{
    m_rowColoursActive = active;
    for (int r = 1; r <= m_rowsBuilt; ++r)
        showRowColoursActive(m_rows[std::size_t(r - 1)]);
}

// The current row

int GridView::rowOf(const QObject *object) const
{
    for (; object && object != this; object = object->parent()) {
        const QVariant row = object->property("row");
        if (row.isValid() && object->objectName() == QLatin1String("gridRow"))
            return row.toInt();
    }
    return 0;
}

void GridView::setCurrentRow(int r)
{
    if (r == m_current || (r != 0 && !isValidRow(r)))
        return;
    for (const int changed : {m_current, r}) {
        if (!isRowBuilt(changed))
            continue;
        QWidget *line = m_rows[std::size_t(changed - 1)].container;
        line->setProperty("current", changed == r);
        line->style()->unpolish(line);
        line->style()->polish(line);
    }
    m_current = r;
    updateRowActions();
    Q_EMIT currentRowChanged(r);
}

void GridView::selectRow(int r)
{
    if (!isValidRow(r))
        return;
    showRowsUpTo(r);
    setCurrentRow(r);
    QLineEdit *title = m_rows[std::size_t(r - 1)].title;
    title->setFocus(Qt::OtherFocusReason);
    // Selected backwards, so that the field shows the title's beginning, and typing replaces it.
    title->setSelection(int(title->text().size()), -int(title->text().size()));
    Q_EMIT rowShown(m_rows[std::size_t(r - 1)].container);
}

// Rearranging

void GridView::setRowActions(const QList<QAction *> &actions)
{
    m_rowActions.clear();
    for (QAction *action : actions)
        m_rowActions << action;
    updateRowActions();
}

void GridView::updateRowActions()
{
    const bool any = isValidRow(m_current);
    const bool enabled[] = {any, any, any, m_current > 1, any && m_current < kRowCount};
    for (int i = 0; i < m_rowActions.size() && i < int(std::size(enabled)); ++i) {
        if (m_rowActions.at(i))
            m_rowActions.at(i)->setEnabled(enabled[i]);
    }
}

bool GridView::pasteList(int r)
{
    const QString text = QGuiApplication::clipboard()->text();
    const QStringList titles = titlesFromPastedText(text);
    if (titles.size() < 2)
        return false;
    commitTitle(r);
    if (done(m_editor.pasteTitles(r, titles)))
        selectRow(std::min(r + int(titles.size()), kRowCount));
    return true;
}

bool GridView::done(const EditResult &result)
{
    if (!result.refusal.isEmpty())
        Q_EMIT editRefused(result.refusal);
    return result.done;
}

bool GridView::runRowAction(RowAction action)
{
    const int r = m_current;
    if (!isValidRow(r))
        return false;
    // A title still being typed belongs to the row it was typed in, wherever that row goes.
    commitTitle(r);
    int inserted = 0;
    switch (action) {
    case RowAction::InsertAbove:
        if (!done(m_editor.insertRowAbove(r, &inserted)))
            return false;
        selectRow(inserted);
        return true;
    case RowAction::InsertBelow:
        if (!done(m_editor.insertRowBelow(r, &inserted)))
            return false;
        selectRow(inserted);
        return true;
    case RowAction::Delete:
        if (!done(m_editor.deleteRow(r)))
            return false;
        selectRow(r);
        return true;
    case RowAction::MoveUp:
        return moveRow(r, r - 1);
    case RowAction::MoveDown:
        return moveRow(r, r + 1);
    }
    return false;
}

bool GridView::moveRow(int from, int to)
{
    if (!isValidRow(from) || !isValidRow(to))
        return false;
    if (isValidRow(m_current))
        commitTitle(m_current);
    if (!done(m_editor.moveRow(from, to)))
        return false;
    selectRow(to);
    return true;
}

void GridView::showRowMenu(int r, const QPoint &globalPos, QLineEdit *field)
{
    setCurrentRow(r);
    // A text field keeps its own editing items, with the row's below them.
    QMenu *menu = field ? field->createStandardContextMenu() : new QMenu(this);
    menu->setObjectName(QStringLiteral("rowMenu"));
    // The menu's Paste takes a list into the rows as the keys do. The field's menu names its
    // items only by their (translated) text, which ends in the item's key.
    const QString pasteKey =
        u'\t' + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    const QList<QAction *> items = menu->actions();
    const auto found = std::find_if(items.begin(), items.end(), [&pasteKey](QAction *item) {
        return item->text().endsWith(pasteKey);
    });
    QAction *paste = found == items.end() ? nullptr : *found;
    if (field && paste && field == m_rows[std::size_t(r - 1)].title) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, [this, r, field = QPointer<QLineEdit>(field)] {
            if (!pasteList(r) && field)
                field->paste();
        });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (field && !m_rowActions.isEmpty())
        menu->addSeparator();
    for (const QPointer<QAction> &action : m_rowActions) {
        if (action)
            menu->addAction(action);
    }
    menu->popup(globalPos);
}

// Events of the rows' parts

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    // Every event of every part of a row comes here, most of them at a row's building; finding
    // the row reads properties up the parents, so only for the events taken.
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == m_rows.front().picker)
            alignHeader();
        return QWidget::eventFilter(watched, event);
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::ContextMenu:
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        break;
    default:
        return QWidget::eventFilter(watched, event);
    }
    const int r = rowOf(watched);
    if (!isValidRow(r))
        return QWidget::eventFilter(watched, event);
    const GridRowWidgets &w = m_rows[std::size_t(r - 1)];
    switch (event->type()) {
    case QEvent::FocusIn:
        // Shift+Tab from below the table comes to its last row, built or not.
        if (r == m_rowsBuilt && r < kRowCount &&
            static_cast<QFocusEvent *>(event)->reason() == Qt::BacktabFocusReason) {
            focusLastRowFromBelow();
            return true;
        }
        setCurrentRow(r);
        break;
    case QEvent::FocusOut:
        // A title longer than its cell would otherwise go on showing the end that was typed last.
        if (watched == w.title)
            w.title->setCursorPosition(0);
        break;
    case QEvent::MouseButtonPress: {
        setCurrentRow(r);
        const auto *press = static_cast<QMouseEvent *>(event);
        if (watched == w.number && press->button() == Qt::LeftButton) {
            m_pressRow = r;
            m_pressAt = press->globalPosition().toPoint();
        }
        break;
    }
    case QEvent::MouseMove: {
        const auto *move = static_cast<QMouseEvent *>(event);
        if (watched == w.number && m_pressRow == r && (move->buttons() & Qt::LeftButton) &&
            (move->globalPosition().toPoint() - m_pressAt).manhattanLength() >=
                QApplication::startDragDistance()) {
            m_pressRow = 0;
            startRowDrag(r);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        m_pressRow = 0;
        break;
    case QEvent::ContextMenu: {
        const auto *asked = static_cast<QContextMenuEvent *>(event);
        QLineEdit *field =
            watched == w.title || watched == w.hex ? static_cast<QLineEdit *>(watched) : nullptr;
        showRowMenu(r, asked->globalPos(), field);
        return true;
    }
    case QEvent::ShortcutOverride: {
        // A field with nothing of its own to undo leaves Ctrl+Z to the chart's Undo, so the
        // title just committed with Return is undone from the next row's field; one with no
        // text selected leaves Ctrl+C to Copy Chart.
        auto *edit = qobject_cast<QLineEdit *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (edit && ((key->matches(QKeySequence::Undo) && !edit->isUndoAvailable()) ||
                     (key->matches(QKeySequence::Redo) && !edit->isRedoAvailable()) ||
                     (key->matches(QKeySequence::Copy) && !edit->hasSelectedText())))
            return true;
        break;
    }
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Tab from the last row built goes on to the next row: it joins the table first.
        if (key->key() == Qt::Key_Tab && r == m_rowsBuilt)
            showRowsUpTo(r + 1);
        // The parent is chosen, not typed: what would start typing opens the chooser instead,
        // and the letters go on into its search; Delete and Backspace take the parent away.
        if (watched == w.parent && key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace)) {
            done(m_editor.setParent(r, 0));
            return true;
        }
        if (watched == w.parent && opensChooser(*key)) {
            Q_EMIT parentTyped(r, key->text().trimmed().isEmpty() ? QString() : key->text());
            return true;
        }
        if (watched == w.title && key->matches(QKeySequence::Paste) && pasteList(r))
            return true;
        if (watched == w.title && key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            const int next = r + (key->key() == Qt::Key_Up ? -1 : 1);
            if (isValidRow(next)) {
                commitTitle(r);
                selectRow(next);
            }
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void GridView::focusLastRowFromBelow()
{
    showRowsUpTo(kRowCount);
    const GridRowWidgets &last = m_rows.back();
    QWidget *field = last.tabStops().back();
    while (field != last.title && !(field->isEnabled() && (field->focusPolicy() & Qt::TabFocus)))
        field = field->previousInFocusChain();
    field->setFocus(Qt::BacktabFocusReason);
    Q_EMIT rowShown(last.container);
}

// Dragging a row by its number

void GridView::startRowDrag(int r)
{
    // The drop's place is read from every row's line.
    showRowsUpTo(kRowCount);
    auto *data = new QMimeData;
    data->setData(QLatin1String(kRowMimeType), QByteArray::number(r));
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    // The number and the title only: the line where the row would land shows beside them.
    const GridRowWidgets &w = m_rows[std::size_t(r - 1)];
    const QPixmap picture =
        w.container->grab(QRect(0, 0, w.title->geometry().right() + 4, w.container->height()));
    drag->setPixmap(picture);
    drag->setHotSpot(
        QPoint(10, picture.height() / 2 / std::max<qreal>(1, picture.devicePixelRatio())));
    drag->exec(Qt::MoveAction);
}

std::pair<int, int> GridView::dropPlace(int y, int from) const
{
    // The gap the row goes into: gap g lies above row g + 1 (gap 93 below the last row).
    int gap = kRowCount;
    for (int r = 1; r <= kRowCount; ++r) {
        const QRect line = m_rows[std::size_t(r - 1)].container->geometry();
        if (y < line.center().y()) {
            gap = r - 1;
            break;
        }
    }
    const int to = std::clamp(gap < from ? gap + 1 : gap, 1, kRowCount);
    const int gapY = gap < kRowCount ? m_rows[std::size_t(gap)].container->geometry().top()
                                     : m_rows.back().container->geometry().bottom() + 1;
    return {to, gapY};
}

void GridView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!event->mimeData()->hasFormat(QLatin1String(kRowMimeType)))
        return;
    // The drop's place is read from every row's line.
    showRowsUpTo(kRowCount);
    event->acceptProposedAction();
}

void GridView::dragMoveEvent(QDragMoveEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!data->hasFormat(QLatin1String(kRowMimeType)))
        return;
    showRowsUpTo(kRowCount);
    const int from = data->data(QLatin1String(kRowMimeType)).toInt();
    const int y = event->position().toPoint().y();
    const auto [to, gapY] = dropPlace(y, from);
    m_dropMarker->setGeometry(0, gapY - 1, width(), 3);
    m_dropMarker->setVisible(to != from);
    m_dropMarker->raise();
    event->acceptProposedAction();
}

void GridView::dragLeaveEvent(QDragLeaveEvent *)
{
    m_dropMarker->hide();
}

void GridView::dropEvent(QDropEvent *event)
{
    m_dropMarker->hide();
    const QMimeData *data = event->mimeData();
    if (!data->hasFormat(QLatin1String(kRowMimeType)))
        return;
    showRowsUpTo(kRowCount);
    const int from = data->data(QLatin1String(kRowMimeType)).toInt();
    const int to = dropPlace(event->position().toPoint().y(), from).first;
    event->acceptProposedAction();
    if (to != from)
        moveRow(from, to);
}

} // namespace plotwell
