#pragma once

#include "model/ChartGrid.h"
#include "staff/Organisation.h"

#include <QHash>
#include <QList>
#include <QString>

namespace plotwell::staff {

/// Every person, in file order.
[[nodiscard]] QList<int> everyone(const Organisation &organisation);
/// The people of one department (compared without regard to case or surrounding spaces).
[[nodiscard]] QList<int> departmentMembers(const Organisation &organisation,
                                           QStringView department);
/// A person and everyone below them.
[[nodiscard]] QList<int> branchMembers(const Organisation &organisation, int person);

struct DepartmentSize
{
    QString name;
    int people = 0;
    bool operator==(const DepartmentSize &) const = default;
};
/// The departments named in the list, in order of first appearance, with their sizes.
[[nodiscard]] QList<DepartmentSize> departments(const Organisation &organisation);

/// One colour for each department's boxes, so that a department reads as one at a glance: the
/// grid's own row colours, given out in the order departments first appear (and again from the
/// first past the last). A person without a department has none: the chart's item colour.
class DepartmentColours
{
public:
    explicit DepartmentColours(const Organisation &organisation);
    /// "#RRGGBB", or empty.
    [[nodiscard]] QString of(const Person &person) const;

private:
    QHash<QString, QString> m_colours; // by the department's case-folded name
};

/// The order in which `members` become rows: depth first, so that a team stays together and
/// everyone comes after their manager. Those whose manager is not among `members` start trees,
/// in file order; reports follow their manager in file order.
[[nodiscard]] QList<int> chartOrder(const Organisation &organisation, const QList<int> &members);

/// A person's box title, "Name(Job title)" or just "Name", on one line. A double quote becomes
/// an apostrophe: the document writes titles between quotes without escaping them.
[[nodiscard]] QString boxTitle(const Person &person);

/// What filling the grid did.
struct GridFill
{
    bool filled = false;
    int people = 0;
    QString message; ///< why nothing was filled
};

[[nodiscard]] QString tooManyPeopleMessage(int people);

/// Puts `members` into the grid in chart order: row k holds the k-th person, titled
/// boxTitle(), with the parent reference "N_title" of their manager's row (as the item picker
/// writes it; none at the top) and the position "u" (below); a person with a department gets its
/// colour (DepartmentColours). Every other row is emptied. Leaves the grid untouched and says
/// why when there are more members than rows.
GridFill fillGrid(ChartGrid &grid, const Organisation &organisation, const QList<int> &members);

/// The chart page's data string for `members`, however many: the row blocks of the grid's data
/// string numbered 1..N in chart order, each parent given by its row number and each department
/// in its colour, escaped as the render escapes the grid's.
[[nodiscard]] QString staffDataString(const Organisation &organisation, const QList<int> &members);

} // namespace plotwell::staff
