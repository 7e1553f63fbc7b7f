#include "staff/Organisation.h"

#include <QHash>

#include <algorithm>

namespace plotwell::staff {

namespace {

QString nameKey(QStringView name)
{
    return name.toString().simplified().toCaseFolded();
}

/// "Lee, Ann" as "Ann Lee": how HR tools often write the manager while the name column has the
/// given name first.
std::optional<QString> givenNameFirst(QStringView name)
{
    const qsizetype comma = name.indexOf(u',');
    if (comma < 0 || name.indexOf(u',', comma + 1) >= 0)
        return std::nullopt;
    const QStringView last = name.left(comma).trimmed();
    const QStringView given = name.sliced(comma + 1).trimmed();
    if (last.isEmpty() || given.isEmpty())
        return std::nullopt;
    return given.toString() + u' ' + last.toString();
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

QString field(const StaffRecord &record, int column)
{
    return column >= 0 && column < record.fields.size() ? record.fields.at(column) : QString();
}

QString linesText(QList<int> lines)
{
    std::sort(lines.begin(), lines.end());
    QStringList numbers;
    for (const int line : lines)
        numbers << QString::number(line);
    return numbers.join(QLatin1String(", "));
}

QString namesText(const QStringList &names)
{
    if (names.size() <= 1)
        return names.value(0);
    return names.first(names.size() - 1).join(QLatin1String(", ")) + QLatin1String(" and ") +
           names.last();
}

void cutLoops(Organisation &organisation)
{
    QList<Person> &people = organisation.people;
    enum : char { Unvisited, OnPath, Settled };
    std::vector<char> state(std::size_t(people.size()), Unvisited);
    std::vector<int> path;
    for (int start = 0; start < people.size(); ++start) {
        path.clear();
        int at = start;
        while (at >= 0 && state[std::size_t(at)] == Unvisited) {
            state[std::size_t(at)] = OnPath;
            path.push_back(at);
            at = people[at].manager;
        }
        if (at >= 0 && state[std::size_t(at)] == OnPath) {
            const auto loopStart = std::find(path.begin(), path.end(), at);
            std::vector<int> loop(loopStart, path.end());
            // Cut above the one who comes first in the file: the same person whatever row of
            // the loop the walk happened to start from.
            const int cut = *std::min_element(loop.begin(), loop.end());
            Person &person = people[cut];
            StaffProblem problem{StaffProblem::Kind::ManagerLoop, person.line, {}, {}};
            if (loop.size() == 1) {
                problem.message =
                    QStringLiteral("%1's manager is %1; drawn at the top").arg(person.name);
            } else {
                std::sort(loop.begin(), loop.end());
                QStringList names;
                for (const int member : loop) {
                    names << people[member].name;
                    if (member != cut)
                        problem.otherLines << people[member].line;
                }
                problem.message =
                    QStringLiteral("%1 are managers of each other in a loop; %2 is drawn at the "
                                   "top, without their manager %3")
                        .arg(namesText(names), person.name, people[person.manager].name);
            }
            person.manager = -1;
            organisation.problems.append(problem);
        }
        for (const int member : path)
            state[std::size_t(member)] = Settled;
    }
}

} // namespace

QList<int> Organisation::roots() const
{
    QList<int> found;
    for (const Person &person : people) {
        if (person.manager < 0)
            found.append(person.index);
    }
    return found;
}

QList<QList<int>> Organisation::reports() const
{
    QList<QList<int>> lists(people.size());
    for (const Person &person : people) {
        if (person.manager >= 0)
            lists[person.manager].append(person.index);
    }
    return lists;
}

std::optional<QString> commonName(QStringView distinguishedName)
{
    QStringView t = distinguishedName.trimmed();
    if (!t.startsWith(QLatin1String("cn"), Qt::CaseInsensitive))
        return std::nullopt;
    t = t.sliced(2).trimmed();
    if (!t.startsWith(u'='))
        return std::nullopt;
    t = t.sliced(1).trimmed();

    // Hex escapes stand for UTF-8 bytes, so the value is gathered as bytes.
    QByteArray value;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u',' || c == u'+' || c == u';')
            break;
        if (c == u'\\' && i + 1 < t.size()) {
            const bool isHex = i + 2 < t.size() && isHexDigit(t[i + 1]) && isHexDigit(t[i + 2]);
            if (isHex) {
                value.append(char(t.sliced(i + 1, 2).toInt(nullptr, 16)));
                i += 2;
            } else {
                value.append(QString(t[i + 1]).toUtf8());
                i += 1;
            }
            continue;
        }
        value.append(QString(c).toUtf8());
    }
    return QString::fromUtf8(value).trimmed();
}

void PersonLookup::Index::add(const QString &key, int person)
{
    if (key.isEmpty())
        return;
    const auto it = first.constFind(key);
    if (it == first.cend()) {
        first.insert(key, person);
        return;
    }
    QList<int> &all = shared[key];
    if (all.isEmpty())
        all.append(it.value());
    all.append(person);
}

QList<int> PersonLookup::Index::find(const QString &key) const
{
    if (key.isEmpty())
        return {};
    const auto all = shared.constFind(key);
    if (all != shared.cend())
        return all.value();
    const auto it = first.constFind(key);
    return it == first.cend() ? QList<int>{} : QList<int>{it.value()};
}

PersonLookup::PersonLookup(const QList<Person> &people)
{
    for (const Person &person : people) {
        m_byId.add(person.id.toCaseFolded(), person.index);
        m_byEmail.add(person.email.toCaseFolded(), person.index);
        if (person.name != kNoName)
            m_byName.add(nameKey(person.name), person.index);
    }
}

QList<int> PersonLookup::findByName(QStringView name) const
{
    QList<int> found = m_byName.find(nameKey(name));
    if (found.isEmpty()) {
        if (const auto swapped = givenNameFirst(name))
            found = m_byName.find(nameKey(*swapped));
    }
    return found;
}

QList<int> PersonLookup::find(QStringView reference) const
{
    const QStringView value = reference.trimmed();
    if (value.isEmpty())
        return {};
    if (const auto cn = commonName(value))
        return findByName(*cn);
    const QString folded = value.toString().toCaseFolded();
    QList<int> found = m_byId.find(folded);
    if (found.isEmpty())
        found = m_byEmail.find(folded);
    if (found.isEmpty())
        found = findByName(value);
    return found;
}

Organisation buildOrganisation(const StaffTable &table, const StaffColumns &columns)
{
    Organisation organisation;
    QList<Person> &people = organisation.people;
    QStringList managerValues;
    people.reserve(table.records.size());
    managerValues.reserve(table.records.size());

    const int nameColumn = columns.column(StaffRole::Name);
    for (const StaffRecord &record : table.records) {
        if (std::all_of(record.fields.begin(), record.fields.end(),
                        [](const QString &f) { return f.isEmpty(); }))
            continue;
        Person person;
        person.index = int(people.size());
        person.line = record.line;
        person.name = nameColumn >= 0 ? field(record, nameColumn)
                                      : (field(record, columns.column(StaffRole::FirstName)) +
                                         u' ' + field(record, columns.column(StaffRole::LastName)))
                                            .trimmed();
        person.title = field(record, columns.column(StaffRole::Title));
        person.department = field(record, columns.column(StaffRole::Department));
        person.id = field(record, columns.column(StaffRole::Id));
        person.email = field(record, columns.column(StaffRole::Email));
        if (person.name.isEmpty()) {
            person.name = kNoName;
            organisation.problems.append(
                {StaffProblem::Kind::NoName,
                 record.line,
                 {},
                 QStringLiteral("the row has no name; drawn as \"%1\"").arg(kNoName)});
        }
        people.append(std::move(person));
        managerValues.append(field(record, columns.column(StaffRole::Manager)));
    }

    const PersonLookup lookup(people);
    for (Person &person : people) {
        const QString &value = managerValues.at(person.index);
        if (value.isEmpty())
            continue;
        const QList<int> found = lookup.find(value);
        if (found.size() == 1) {
            person.manager = found.first(); // themselves included: cutLoops reports that
            continue;
        }
        StaffProblem problem{StaffProblem::Kind::UnknownManager, person.line, {}, {}};
        if (found.isEmpty()) {
            problem.message = QStringLiteral("%1's manager \"%2\" matches nobody; %1 is drawn at "
                                             "the top")
                                  .arg(person.name, value);
        } else {
            problem.kind = StaffProblem::Kind::AmbiguousManager;
            for (const int match : found)
                problem.otherLines << people[match].line;
            problem.message = QStringLiteral("%1's manager \"%2\" matches %3 people (lines %4); "
                                             "%1 is drawn at the top")
                                  .arg(person.name, value, QString::number(found.size()),
                                       linesText(problem.otherLines));
        }
        organisation.problems.append(problem);
    }

    cutLoops(organisation);

    if (table.readError) {
        organisation.problems.append(
            {StaffProblem::Kind::Unreadable,
             table.readErrorLine,
             {},
             QStringLiteral("nothing from here on could be read: %1").arg(*table.readError)});
    }
    std::stable_sort(organisation.problems.begin(), organisation.problems.end(),
                     [](const StaffProblem &a, const StaffProblem &b) { return a.line < b.line; });
    return organisation;
}

QStringList problemLines(const Organisation &organisation)
{
    QStringList lines;
    for (const StaffProblem &problem : organisation.problems) {
        if (problem.kind == StaffProblem::Kind::ManagerLoop && !problem.otherLines.isEmpty()) {
            lines << QStringLiteral("lines %1: %2")
                         .arg(linesText(problem.otherLines + QList<int>{problem.line}),
                              problem.message);
        } else {
            lines << QStringLiteral("line %1: %2").arg(problem.line).arg(problem.message);
        }
    }
    return lines;
}

} // namespace plotwell::staff
