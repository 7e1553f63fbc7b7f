#pragma once

#include "model/ItemPickerModel.h"

#include <QAbstractTableModel>
#include <QColor>

namespace plotwell {

/// The item picker's table: one row per entry on show (every candidate, or the matches while
/// searching), one column identified "numbers". The entry text is every column's value.
class ParentListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    /// The identifier of the entry column, offered under Qt::UserRole of the header.
    static inline const QString kNumbersColumn = QStringLiteral("numbers");
    /// The text colour of the "numbers" cells.
    static inline const QColor kNumbersColour = QColor(25, 44, 238);

    explicit ParentListModel(ItemPickerModel &picker, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    ItemPickerModel &m_picker;
};

} // namespace plotwell
