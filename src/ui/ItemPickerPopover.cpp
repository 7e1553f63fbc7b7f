#include "ui/ItemPickerPopover.h"

#include "model/ItemPickerModel.h"
#include "model/ParentListModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace plotwell {

namespace {

constexpr int kSearchFieldTag = 10;

const QColor kTitleHighlight = QColor::fromRgbF(0, 0, 1);
const QColor kTitlePlain = QColor::fromRgbF(0, 0, 0);

struct PositionButtonLook
{
    PositionButton button;
    int tag;
    const char *name;
    const char *title;
    const char *tip;
};

constexpr PositionButtonLook kPositionButtons[] = {
    {PositionButton::Left, 1, "leftButton", "\u25C0 Left", "Beside the parent, on the left"},
    {PositionButton::Right, 2, "rightButton", "Right \u25B6", "Beside the parent, on the right"},
    {PositionButton::Bottom, 3, "bottomButton", "\u25BC Below", "Below the parent"},
};

} // namespace

ItemPickerPopover::ItemPickerPopover(ItemPickerModel &model, QWidget *parent)
    : Popover(parent), m_model(model), m_list(new ParentListModel(model, this))
{
    setObjectName(QStringLiteral("myPop"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 14);
    layout->setSpacing(8);

    auto *header = new QHBoxLayout;
    header->setSpacing(8);
    m_selectedItem = new QLabel(this);
    m_selectedItem->setObjectName(QStringLiteral("selectedItem"));
    m_selectedItem->setAlignment(Qt::AlignCenter);
    m_selectedItem->setMinimumWidth(28);
    m_selectedItemDisp = new QLabel(this);
    m_selectedItemDisp->setObjectName(QStringLiteral("selectedItemDisp"));
    m_selectedItemDisp->setTextFormat(Qt::PlainText);
    header->addWidget(m_selectedItem);
    header->addWidget(m_selectedItemDisp, 1);
    layout->addLayout(header);

    auto *parentTitle = new QLabel(QStringLiteral("Parent"), this);
    parentTitle->setObjectName(QStringLiteral("popoverTitle"));
    layout->addWidget(parentTitle);

    m_searchbar = new QLineEdit(this);
    m_searchbar->setObjectName(QStringLiteral("searchbar"));
    m_searchbar->setProperty("tag", kSearchFieldTag);
    m_searchbar->setPlaceholderText(QStringLiteral("Search items"));
    m_searchbar->setClearButtonEnabled(true);
    m_searchbar->installEventFilter(this);
    layout->addWidget(m_searchbar);

    m_tableView = new QTableView(this);
    m_tableView->setObjectName(QStringLiteral("tableView"));
    m_tableView->setModel(m_list);
    m_tableView->horizontalHeader()->hide();
    m_tableView->horizontalHeader()->setStretchLastSection(true);
    m_tableView->verticalHeader()->hide();
    m_tableView->verticalHeader()->setDefaultSectionSize(24);
    m_tableView->setShowGrid(false);
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tableView->setWordWrap(false);
    m_tableView->setTextElideMode(Qt::ElideRight);
    m_tableView->setFixedSize(300, 220);
    m_tableView->installEventFilter(this);
    layout->addWidget(m_tableView);

    auto *positionTitle = new QLabel(QStringLiteral("Position"), this);
    positionTitle->setObjectName(QStringLiteral("popoverTitle"));
    layout->addWidget(positionTitle);
    auto *positions = new QHBoxLayout;
    positions->setSpacing(6);
    for (const PositionButtonLook &look : kPositionButtons) {
        auto *button = new QPushButton(QString::fromUtf8(look.title), this);
        button->setObjectName(QLatin1String(look.name));
        button->setProperty("tag", look.tag);
        button->setToolTip(QString::fromUtf8(look.tip));
        button->setAutoDefault(false);
        button->setCursor(Qt::PointingHandCursor);
        positions->addWidget(button);
        m_positionButtons[int(look.button)] = button;
        connect(button, &QPushButton::clicked, this,
                [this, tag = look.tag] { m_model.pressPosition(tag); });
    }
    layout->addLayout(positions);

    connect(m_searchbar, &QLineEdit::textChanged, &m_model, &ItemPickerModel::search);
    // Typing narrows the list to what Return would choose: its first entry, shown as current.
    connect(m_searchbar, &QLineEdit::textChanged, this, [this](const QString &text) {
        const bool offer = !text.trimmed().isEmpty() && m_list->rowCount() > 0;
        m_tableView->setCurrentIndex(offer ? m_list->index(0, 0) : QModelIndex());
    });
    connect(m_tableView, &QTableView::clicked, this,
            [this](const QModelIndex &index) { m_model.choose(index.row()); });
    connect(&m_model, &ItemPickerModel::editedItemChanged, this,
            &ItemPickerPopover::showEditedItem);
    connect(&m_model, &ItemPickerModel::highlightChanged, this, &ItemPickerPopover::showHighlight);
    showEditedItem();
    showHighlight();
}

ItemPickerPopover::~ItemPickerPopover() = default;

QPushButton *ItemPickerPopover::positionButton(PositionButton button) const
{
    return m_positionButtons[int(button)];
}

void ItemPickerPopover::showBeside(QWidget *anchor)
{
    // The model cleared the search when it opened; the field follows without searching again.
    {
        const QSignalBlocker blocker(m_searchbar);
        m_searchbar->setText(m_model.searchText());
    }
    m_tableView->clearSelection();
    m_tableView->setCurrentIndex({});
    m_tableView->scrollToTop();
    adjustSize();
    if (!anchor) {
        showUnder(nullptr);
    } else {
        const QPoint right = anchor->mapToGlobal(QPoint(anchor->width() + 6, 0));
        showAt(right - QPoint(0, height() / 2 - anchor->height() / 2), anchor);
    }
    m_searchbar->setFocus(Qt::PopupFocusReason);
}

void ItemPickerPopover::searchFor(const QString &text)
{
    m_searchbar->setText(text);
    m_searchbar->setFocus(Qt::PopupFocusReason);
}

void ItemPickerPopover::showEditedItem()
{
    m_selectedItem->setText(m_model.selectedItem());
    m_selectedItemDisp->setText(m_model.selectedItemDisp());
}

void ItemPickerPopover::showHighlight()
{
    for (const PositionButtonLook &look : kPositionButtons) {
        QPushButton *button = m_positionButtons[int(look.button)];
        const bool active = showsHighlighted(m_model.highlight(), look.button);
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, active ? kTitleHighlight : kTitlePlain);
        button->setPalette(palette);
        button->setProperty("active", active);
    }
}

void ItemPickerPopover::chooseCurrent()
{
    const QModelIndex current = m_tableView->currentIndex();
    if (current.isValid())
        m_model.choose(current.row());
}

void ItemPickerPopover::moveCurrent(int step)
{
    const int rows = m_list->rowCount();
    if (rows == 0)
        return;
    const QModelIndex current = m_tableView->currentIndex();
    const int row = current.isValid() ? std::clamp(current.row() + step, 0, rows - 1)
                                      : (step > 0 ? 0 : rows - 1);
    m_tableView->setCurrentIndex(m_list->index(row, 0));
}

bool ItemPickerPopover::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return Popover::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        chooseCurrent();
        return true;
    case Qt::Key_Up:
        if (watched != m_searchbar)
            break;
        moveCurrent(-1);
        return true;
    case Qt::Key_Down:
        if (watched != m_searchbar)
            break;
        moveCurrent(1);
        return true;
    default:
        break;
    }
    return Popover::eventFilter(watched, event);
}

} // namespace plotwell
