#include "staff/StaffChart.h"

#include "colour/SwatchBoard.h"
#include "model/NodePositions.h"
#include "render/DataString.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace plotwell::staff {

namespace {

/// The rows of `members` in chart order, and each one's manager row (0 at the top).
struct Rows
{
    QList<int> order;
    std::vector<int> managerRow; // by place in `order`
};

Rows numberRows(const Organisation &organisation, const QList<int> &members)
{
    Rows rows;
    rows.order = chartOrder(organisation, members);
    std::vector<int> rowOf(std::size_t(organisation.people.size()), 0);
    for (qsizetype k = 0; k < rows.order.size(); ++k)
        rowOf[std::size_t(rows.order[k])] = int(k + 1);
    rows.managerRow.reserve(std::size_t(rows.order.size()));
    for (const int person : rows.order) {
        const int manager = organisation.people[person].manager;
        rows.managerRow.push_back(manager >= 0 ? rowOf[std::size_t(manager)] : 0);
    }
    return rows;
}

} // namespace

QList<int> everyone(const Organisation &organisation)
{
    QList<int> all(organisation.people.size());
    std::iota(all.begin(), all.end(), 0);
    return all;
}

QList<int> departmentMembers(const Organisation &organisation, QStringView department)
{
    const QStringView wanted = department.trimmed();
    QList<int> members;
    for (const Person &person : organisation.people) {
        if (QStringView(person.department).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            members.append(person.index);
    }
    return members;
}

QList<int> branchMembers(const Organisation &organisation, int person)
{
    if (person < 0 || person >= organisation.people.size())
        return {};
    const QList<QList<int>> reports = organisation.reports();
    QList<int> members{person};
    for (qsizetype k = 0; k < members.size(); ++k)
        members.append(reports[members[k]]);
    std::sort(members.begin(), members.end());
    return members;
}

QList<DepartmentSize> departments(const Organisation &organisation)
{
    QList<DepartmentSize> found;
    QHash<QString, qsizetype> placeOf;
    for (const Person &person : organisation.people) {
        const QString name = person.department.trimmed();
        if (name.isEmpty())
            continue;
        const QString key = name.toCaseFolded();
        const auto it = placeOf.constFind(key);
        if (it == placeOf.cend()) {
            placeOf.insert(key, found.size());
            found.append({name, 1});
        } else {
            ++found[it.value()].people;
        }
    }
    return found;
}

DepartmentColours::DepartmentColours(const Organisation &organisation)
{
    // The first page of the grid's start-up colours, white (the top box's) left out.
    QStringList palette = startupSlotTexts().mid(1, kPageSize - 1);
    palette.removeDuplicates();
    const QList<DepartmentSize> found = departments(organisation);
    for (qsizetype k = 0; k < found.size(); ++k)
        m_colours.insert(found[k].name.toCaseFolded(), palette[k % palette.size()].toUpper());
}

QString DepartmentColours::of(const Person &person) const
{
    return m_colours.value(person.department.trimmed().toCaseFolded());
}

QList<int> chartOrder(const Organisation &organisation, const QList<int> &members)
{
    const qsizetype count = organisation.people.size();
    std::vector<char> member(std::size_t(count), 0);
    for (const int person : members)
        member[std::size_t(person)] = 1;
    QList<QList<int>> reports(count);
    QList<int> tops;
    for (const Person &person : organisation.people) {
        if (!member[std::size_t(person.index)])
            continue;
        if (person.manager >= 0 && member[std::size_t(person.manager)])
            reports[person.manager].append(person.index);
        else
            tops.append(person.index);
    }

    QList<int> order;
    order.reserve(members.size());
    std::vector<int> stack;
    for (auto it = tops.crbegin(); it != tops.crend(); ++it)
        stack.push_back(*it);
    while (!stack.empty()) {
        const int person = stack.back();
        stack.pop_back();
        order.append(person);
        const QList<int> &below = reports[person];
        for (auto it = below.crbegin(); it != below.crend(); ++it)
            stack.push_back(*it);
    }
    return order;
}

QString boxTitle(const Person &person)
{
    QString title = person.title.isEmpty() ? person.name : person.name + u'(' + person.title + u')';
    title.replace(u'"', u'\'');
    return title.simplified(); // line breaks would end the document's row line
}

QString tooManyPeopleMessage(int people)
{
    return QStringLiteral("The grid holds %1 people; this staff list has %2.")
        .arg(kRowCount)
        .arg(people);
}

GridFill fillGrid(ChartGrid &grid, const Organisation &organisation, const QList<int> &members)
{
    const int count = int(members.size());
    if (count > kRowCount)
        return {false, count, tooManyPeopleMessage(count)};

    const Rows rows = numberRows(organisation, members);
    const DepartmentColours colours(organisation);
    QStringList titles;
    for (const int person : rows.order)
        titles << boxTitle(organisation.people[person]);
    for (int row = 1; row <= kRowCount; ++row) {
        const qsizetype k = row - 1;
        if (k < titles.size()) {
            const int managerRow = rows.managerRow[std::size_t(k)];
            grid.setTitle(row, titles[k]);
            grid.setParent(row, managerRow > 0
                                    ? QString::number(managerRow) + u'_' + titles[managerRow - 1]
                                    : QString());
            grid.setPosition(row, kBottomMarker);
            if (const QString colour = colours.of(organisation.people[rows.order[k]]);
                !colour.isEmpty())
                grid.setColour(row, colour);
        } else {
            grid.setTitle(row, QString());
            grid.setParent(row, QString());
            grid.setPosition(row, QString());
        }
    }
    return {true, count, {}};
}

QString staffDataString(const Organisation &organisation, const QList<int> &members)
{
    const Rows rows = numberRows(organisation, members);
    const DepartmentColours colours(organisation);
    QString data;
    data.reserve(rows.order.size() * 56);
    ChartRow box;
    box.position = kBottomMarker;
    for (qsizetype k = 0; k < rows.order.size(); ++k) {
        const Person &person = organisation.people[rows.order[k]];
        const int managerRow = rows.managerRow[std::size_t(k)];
        box.title = boxTitle(person);
        box.parent = managerRow > 0 ? QString::number(managerRow) : QString();
        box.colour = colours.of(person).remove(u'#'); // as the render sends the grid's colours
        data += rowPiece(box, int(k + 1));
    }
    data.chop(1);                  // the last block's "*"
    return escapeDataString(data); // every "#" left is a name's or a title's
}

} // namespace plotwell::staff
