#include "model/ChartProblems.h"

#include "model/ParentReferences.h"
#include "model/RowEdits.h"

#include <algorithm>

namespace plotwell {

namespace {

QString rowName(const ChartGrid &grid, int row)
{
    const QString title = grid.title(row).simplified();
    constexpr int kLongest = 40;
    const QString shown = title.size() > kLongest ? title.left(kLongest) + QChar(0x2026) : title;
    return shown.isEmpty() ? QStringLiteral("Row %1").arg(row)
                           : QStringLiteral("Row %1 (%2)").arg(row).arg(shown);
}

QString rowList(const QList<int> &rows)
{
    QStringList numbers;
    for (const int row : rows)
        numbers << QString::number(row);
    const QString last = numbers.takeLast();
    return numbers.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace

QList<ChartProblem> findProblems(const ChartGrid &grid)
{
    QList<ChartProblem> problems;
    // parentOf[r]: the titled row a titled row r hangs under, as the chart page links them.
    std::array<int, kRowCount + 1> parentOf{};
    for (int row = 1; row <= kRowCount; ++row) {
        const ChartRow &item = grid.row(row);
        const auto parent = referencedRow(item.parent);
        if (!parent)
            continue;
        const bool titled = titleHoldsItem(item.title);
        if (*parent == row) {
            if (titled)
                problems.push_back({ChartProblem::Kind::OwnParent,
                                    row,
                                    {row},
                                    rowName(grid, row) + QStringLiteral(" is its own parent.")});
        } else if (!titleHoldsItem(grid.title(*parent))) {
            problems.push_back(
                {ChartProblem::Kind::EmptyParent,
                 row,
                 {row},
                 rowName(grid, row) +
                     QStringLiteral(": its parent, row %1, is empty.").arg(*parent)});
        } else if (titled) {
            parentOf[std::size_t(row)] = *parent;
        }
    }

    // Each row's walk up either ends at a root or enters a loop; every loop is reported once.
    std::array<int, kRowCount + 1> walk{}; // the start of the walk that first reached a row
    for (int start = 1; start <= kRowCount; ++start) {
        int row = start;
        while (row && !walk[std::size_t(row)]) {
            walk[std::size_t(row)] = start;
            row = parentOf[std::size_t(row)];
        }
        if (!row || walk[std::size_t(row)] != start)
            continue;
        QList<int> loop{row};
        for (int next = parentOf[std::size_t(row)]; next != row; next = parentOf[std::size_t(next)])
            loop << next;
        std::sort(loop.begin(), loop.end());
        problems.push_back(
            {ChartProblem::Kind::Loop, loop.first(), loop,
             QStringLiteral("Rows %1 are each other's parents in a loop.").arg(rowList(loop))});
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const ChartProblem &a, const ChartProblem &b) { return a.row < b.row; });
    return problems;
}

ProblemListModel::ProblemListModel(const ChartGrid &grid, QObject *parent)
    : QAbstractListModel(parent), m_grid(grid), m_problems(findProblems(grid))
{
    connect(&grid, &ChartGrid::rowChanged, this, [this](int, RowField field) {
        if (field == RowField::Title || field == RowField::Parent)
            recompute();
    });
}

int ProblemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_problems.size());
}

QVariant ProblemListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_problems.size())
        return {};
    const ChartProblem &problem = m_problems.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return problem.message;
    case RowRole:
        return problem.row;
    default:
        return {};
    }
}

QHash<int, QByteArray> ProblemListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(RowRole, "gridRow");
    return names;
}

int ProblemListModel::gridRowAt(int index) const
{
    return index >= 0 && index < m_problems.size() ? m_problems.at(index).row : 0;
}

void ProblemListModel::recompute()
{
    QList<ChartProblem> problems = findProblems(m_grid);
    if (problems == m_problems)
        return;
    beginResetModel();
    m_problems = std::move(problems);
    endResetModel();
    Q_EMIT problemsChanged();
}

} // namespace plotwell
