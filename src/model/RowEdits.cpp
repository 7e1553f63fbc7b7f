#include "model/RowEdits.h"

#include "model/ParentReferences.h"

#include <QRegularExpression>

#include <algorithm>

namespace plotwell {

namespace {

ChartRow &at(GridRows &rows, int row)
{
    return rows[std::size_t(row - 1)];
}

const ChartRow &at(const GridRows &rows, int row)
{
    return rows[std::size_t(row - 1)];
}

/// Rewrites every reference through \a newRowOf (old row -> new row, 0 for none).
template <typename Map> void renumberReferences(GridRows &rows, Map &&newRowOf)
{
    for (ChartRow &item : rows) {
        if (const auto named = referencedRow(item.parent))
            item.parent = referenceToRow(item.parent, newRowOf(*named));
    }
}

} // namespace

GridRows rowsOf(const ChartGrid &grid)
{
    GridRows rows;
    grid.forEachRow([&rows](int row, const ChartRow &item) { at(rows, row) = item; });
    return rows;
}

std::optional<int> referencedRow(const QString &reference)
{
    const QString number = parentRowNumber(reference).trimmed();
    if (number.isEmpty() || number.size() > 2)
        return std::nullopt;
    for (const QChar c : number) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const int row = number.toInt();
    return isValidRow(row) ? std::optional<int>(row) : std::nullopt;
}

QString referenceToRow(const QString &reference, int row)
{
    if (row == 0)
        return {};
    const qsizetype underscore = reference.indexOf(QLatin1Char('_'));
    return QString::number(row) + (underscore < 0 ? QString() : reference.mid(underscore));
}

QString parentReference(int row, const QString &title)
{
    return QString::number(row) + QLatin1Char('_') + title;
}

bool rowInUse(const GridRows &rows, int row)
{
    const ChartRow &item = at(rows, row);
    if (!item.title.isEmpty() || !item.parent.isEmpty())
        return true;
    return std::any_of(rows.cbegin(), rows.cend(),
                       [row](const ChartRow &other) { return referencedRow(other.parent) == row; });
}

void retitleRow(GridRows &rows, int row, const QString &title)
{
    if (!isValidRow(row))
        return;
    at(rows, row).title = title;
    for (ChartRow &item : rows) {
        if (referencedRow(item.parent) == row && item.parent.contains(QLatin1Char('_')))
            item.parent = parentReference(row, title);
    }
}

bool moveRow(GridRows &rows, int from, int to)
{
    if (!isValidRow(from) || !isValidRow(to))
        return false;
    if (from == to)
        return true;
    const auto first = rows.begin() + (std::min(from, to) - 1);
    const auto last = rows.begin() + std::max(from, to);
    if (from < to)
        std::rotate(first, first + 1, last);
    else
        std::rotate(first, last - 1, last);
    renumberReferences(rows, [from, to](int row) {
        if (row == from)
            return to;
        if (from < to && row > from && row <= to)
            return row - 1;
        if (to < from && row >= to && row < from)
            return row + 1;
        return row;
    });
    return true;
}

bool insertRow(GridRows &rows, int &at)
{
    if (!isValidRow(at))
        return false;
    int free = 0;
    for (int row = at; row <= kRowCount && !free; ++row) {
        if (!rowInUse(rows, row))
            free = row;
    }
    for (int row = at - 1; row >= 1 && !free; --row) {
        if (!rowInUse(rows, row))
            free = row;
    }
    if (!free)
        return false;
    // The free row is blank but for its colour and perhaps a stale position.
    plotwell::at(rows, free).position.clear();
    if (free < at)
        --at;
    return moveRow(rows, free, at);
}

bool deleteRow(GridRows &rows, int row)
{
    if (!isValidRow(row))
        return false;
    ChartRow &removed = at(rows, row);
    const QString grandparent = referencedRow(removed.parent) == row ? QString() : removed.parent;
    for (ChartRow &item : rows) {
        if (&item != &removed && referencedRow(item.parent) == row)
            item.parent = grandparent;
    }
    removed = ChartRow{{}, {}, {}, removed.colour};
    return moveRow(rows, row, kRowCount);
}

QStringList titlesFromPastedText(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (lines.size() > 1 && lines.last().trimmed().isEmpty())
        lines.removeLast();
    QStringList titles;
    titles.reserve(lines.size());
    for (const QString &line : lines) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        const QString name = cells.first().trimmed();
        const QString job = cells.size() > 1 ? cells[1].trimmed() : QString();
        titles << (job.isEmpty() || name.isEmpty() ? name + job : name + u'(' + job + u')');
    }
    return titles;
}

} // namespace plotwell
