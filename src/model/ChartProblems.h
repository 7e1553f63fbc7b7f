#pragma once

#include "model/ChartGrid.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>

namespace plotwell {

/// Something in the grid the chart cannot show as the user meant it. The render still draws
/// what it can (a loop is cut at its lowest row).
struct ChartProblem
{
    enum class Kind {
        EmptyParent, ///< the parent reference names a row without a title
        Loop,        ///< following parents comes back round; `rows` holds the loop's rows
        OwnParent,   ///< a titled row names itself as its parent
    };
    Kind kind = Kind::EmptyParent;
    int row = 0;     ///< the row to select: the loop's lowest row for a loop
    QList<int> rows; ///< the rows concerned, ascending (one row for the other kinds)
    QString message;
    bool operator==(const ChartProblem &) const = default;
};

/// Every problem of the grid, by row (a loop at its lowest row): a row in use whose parent names
/// an empty row, each loop once with its rows named, a titled row that is its own parent.
[[nodiscard]] QList<ChartProblem> findProblems(const ChartGrid &grid);

/// The problems list for the view: one line per problem, recomputed whenever a title or parent
/// of the grid changes. Qt::DisplayRole is the message, RowRole the row to select.
class ProblemListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { RowRole = Qt::UserRole + 1 };

    explicit ProblemListModel(const ChartGrid &grid, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] const QList<ChartProblem> &problems() const { return m_problems; }
    /// The grid row of list entry \a index; 0 outside the list.
    [[nodiscard]] int gridRowAt(int index) const;

    /// Recomputes now; the grid's changes call this already.
    void recompute();

Q_SIGNALS:
    /// The list changed (after the model's own reset signals).
    void problemsChanged();

private:
    const ChartGrid &m_grid;
    QList<ChartProblem> m_problems;
};

} // namespace plotwell
