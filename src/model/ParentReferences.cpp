#include "model/ParentReferences.h"

namespace plotwell {

bool titleHoldsItem(const QString &title)
{
    for (const QChar c : title) {
        if (c != QLatin1Char(' '))
            return true;
    }
    return false;
}

QString parentRowNumber(const QString &reference)
{
    const qsizetype underscore = reference.indexOf(QLatin1Char('_'));
    return underscore < 0 ? reference : reference.left(underscore);
}

QString parentDisplayName(const ChartGrid &grid, int row)
{
    const QString reference = grid.parent(row);
    bool isNumber = false;
    const int parentRow = parentRowNumber(reference).trimmed().toInt(&isNumber);
    if (!isNumber)
        return reference;
    if (parentRow == 0)
        return {};
    if (isValidRow(parentRow) && titleHoldsItem(grid.title(parentRow)))
        return grid.title(parentRow);
    return reference;
}

QString personName(const QString &title)
{
    const QString name = title.left(title.indexOf(QLatin1Char('('))).trimmed();
    return name.isEmpty() ? title : name;
}

void stripOffParentNames(ChartGrid &grid)
{
    for (int row = 2; row <= kRowCount; ++row)
        grid.setParent(row, parentRowNumber(grid.parent(row)));
}

QStringList initializeParents(const ChartGrid &grid)
{
    QStringList names{kClearParentEntry};
    grid.forEachRow([&names](int row, const ChartRow &item) {
        if (titleHoldsItem(item.title))
            names << QString::number(row) + QLatin1Char('_') + item.title;
    });
    // Row numbers make every entry unique already; the clean-up keeps the list's promise (no
    // duplicates, no empty entries) however the entries were made.
    names.removeDuplicates();
    names.removeAll(QString());
    return names;
}

QStringList searchParents(const QStringList &candidates, const QString &text)
{
    return candidates.filter(text, Qt::CaseInsensitive);
}

bool chooseParent(ChartGrid &grid, int editedRow, const QString &entry)
{
    if (editedRow < 2 || editedRow > kRowCount)
        return false;
    grid.setParent(editedRow, entry);
    return true;
}

} // namespace plotwell
