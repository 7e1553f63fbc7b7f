#pragma once

#include "staff/StaffColumns.h"
#include "staff/StaffTable.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace plotwell::staff {

/// One person of a staff list.
struct Person
{
    int index = 0; ///< place in Organisation::people
    QString name;  ///< "(no name)" for a row without one
    QString title;
    int manager = -1; ///< index of the manager, -1 at the top
    QString department;
    int line = 0; ///< line of the file
    QString id;
    QString email;
};

/// Something in the file that the organisation could not follow as written. Each is listed
/// with the line it is on; none makes a person disappear.
struct StaffProblem
{
    enum class Kind {
        UnknownManager,   ///< the manager column names nobody; the person is put at the top
        AmbiguousManager, ///< it names two or more people; the person is put at the top
        ManagerLoop,      ///< managers go round in a loop; cut above one of them
        NoName,           ///< a row without a name; kept, as "(no name)"
        Unreadable,       ///< the parser stopped; the rest of the file was not read
    };
    Kind kind = Kind::UnknownManager;
    int line = 0;
    /// The other lines concerned: the people a manager name matches, the rest of a loop.
    QList<int> otherLines;
    QString message;
};

struct Organisation
{
    QList<Person> people;
    QList<StaffProblem> problems;

    /// People without a manager, in file order.
    [[nodiscard]] QList<int> roots() const;
    /// Each person's direct reports, in file order.
    [[nodiscard]] QList<QList<int>> reports() const;
};

inline const QString kNoName = QStringLiteral("(no name)");

/// A person's manager field as a directory's distinguished name gives it: the value of the
/// first CN, escapes undone ("CN=Lee\, Ann,OU=Staff" gives "Lee, Ann"). Nothing when the value
/// does not start with a CN.
[[nodiscard]] std::optional<QString> commonName(QStringView distinguishedName);

/// Finds people the way a manager column refers to them: a distinguished name by its CN, as a
/// name; anything else as an id, then an email address, then a name (case and runs of spaces
/// ignored, and "Last, First" also tried as "First Last"). Used for the managers, and for
/// choosing the person whose branch to import.
class PersonLookup
{
public:
    explicit PersonLookup(const QList<Person> &people);
    /// Everyone the reference matches at the first kind of key that matches anyone: more than one
    /// means the reference is ambiguous.
    [[nodiscard]] QList<int> find(QStringView reference) const;

private:
    struct Index
    {
        QHash<QString, int> first;
        QHash<QString, QList<int>> shared; // keys that more than one person has
        void add(const QString &key, int person);
        [[nodiscard]] QList<int> find(const QString &key) const;
    };
    [[nodiscard]] QList<int> findByName(QStringView name) const;

    Index m_byId;
    Index m_byEmail;
    Index m_byName;
};

/// Builds the forest of people from a staff list with the columns chosen, each manager found
/// through a PersonLookup. Rows whose fields are all empty are skipped; every other row is a
/// person.
[[nodiscard]] Organisation buildOrganisation(const StaffTable &table, const StaffColumns &columns);

/// The problems as lines of text for the user, in file order, e.g.
/// "line 7: Ann Lee's manager "Bob" matches nobody; Ann Lee is drawn at the top".
[[nodiscard]] QStringList problemLines(const Organisation &organisation);

} // namespace plotwell::staff
