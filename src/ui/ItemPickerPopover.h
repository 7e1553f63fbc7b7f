#pragma once

#include "model/NodePositions.h"
#include "ui/Popovers.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace plotwell {

class ItemPickerModel;
class ParentListModel;

/// The item picker `myPop`: the edited row's number and title, the search field, the list of
/// parent candidates and the three position buttons. Clicking an entry, or Return on the
/// current one, writes it at once and the picker stays open; the arrow keys move through the
/// list from the search field too.
class ItemPickerPopover : public Popover
{
    Q_OBJECT
public:
    ItemPickerPopover(ItemPickerModel &model, QWidget *parent = nullptr);
    ~ItemPickerPopover() override;

    /// Shows the picker beside \a anchor, towards its right edge, with an empty search.
    void showBeside(QWidget *anchor);
    /// Puts \a text in the search field, as if typed there.
    void searchFor(const QString &text);

    [[nodiscard]] QLabel *selectedItem() const { return m_selectedItem; }
    [[nodiscard]] QLabel *selectedItemDisp() const { return m_selectedItemDisp; }
    [[nodiscard]] QLineEdit *searchbar() const { return m_searchbar; }
    [[nodiscard]] QTableView *tableView() const { return m_tableView; }
    [[nodiscard]] QPushButton *positionButton(PositionButton button) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showEditedItem();
    void showHighlight();
    void chooseCurrent();
    void moveCurrent(int step);

    ItemPickerModel &m_model;
    ParentListModel *m_list;
    QLabel *m_selectedItem;
    QLabel *m_selectedItemDisp;
    QLineEdit *m_searchbar;
    QTableView *m_tableView;
    QPushButton *m_positionButtons[3];
};

} // namespace plotwell
