#include "model/ParentListModel.h"

namespace plotwell {

namespace {

const QStringList &columnIdentifiers()
{
    static const QStringList identifiers = {ParentListModel::kNumbersColumn};
    return identifiers;
}

} // namespace

ParentListModel::ParentListModel(ItemPickerModel &picker, QObject *parent)
    : QAbstractTableModel(parent), m_picker(picker)
{
    // The picker replaces its lists wholesale; the table follows with a reset.
    connect(&m_picker, &ItemPickerModel::entriesChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int ParentListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_picker.entries().size());
}

int ParentListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columnIdentifiers().size());
}

QVariant ParentListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_picker.entries().value(index.row());
    case Qt::ForegroundRole:
        if (columnIdentifiers().value(index.column()) == kNumbersColumn)
            return kNumbersColour;
        return {};
    default:
        return {};
    }
}

QVariant ParentListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::UserRole))
        return {};
    return columnIdentifiers().value(section);
}

Qt::ItemFlags ParentListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace plotwell
