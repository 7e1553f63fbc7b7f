#pragma once

// Test data for staff lists, and readable failure messages.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

// QString lives in the global namespace, so its printer does too.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace plotwell::staff::test {

struct GeneratedStaff
{
    QByteArray csv;
    QHash<QString, QString> managerIdOf; // by id; "" at the top
    QHash<QString, QString> titleOf;     // by id
    int depth = 0;
    int widestTeam = 0;
};

/// A made-up organisation of any size, written as an HR export: ids, several levels, teams of
/// very different sizes, rows shuffled so that many people come before their manager.
inline GeneratedStaff generateStaff(int count, std::uint64_t seed = 19)
{
    std::uint64_t state = seed;
    auto next = [&state] { // splitmix64: plenty for test data, the same on every machine
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    };
    auto unit = [&next] { return double(next() >> 11) / double(1ull << 53); };

    static const QStringList given = {"Ann",  "Bob",   "Chloé", "Dev",   "Eun-ji", "Farid",
                                      "Gita", "Håkon", "Ines",  "Jonas", "Kemal",  "Lior"};
    static const QStringList family = {"Lee",      "Stone",  "Ortiz", "Nakamura", "O'Brien",
                                       "Kowalski", "Dubois", "Singh", "Møller",   "Adeyemi"};
    static const QStringList titles = {"Engineer",   "Analyst, Risk",    "Team Lead", "Designer",
                                       "Accountant", "Sales \"Hunter\"", "Recruiter"};
    static const QStringList departments = {"Engineering", "Finance", "Sales", "People"};

    GeneratedStaff out;
    std::vector<int> manager(std::size_t(count), -1), level(std::size_t(count), 0);
    std::vector<int> team(std::size_t(count), 0);
    for (int i = 1; i < count; ++i) {
        // Squaring leans towards the early people: wide teams near the top, long thin ones
        // further down.
        const double u = unit();
        const int m = std::min(i - 1, int(u * u * i));
        manager[std::size_t(i)] = m;
        level[std::size_t(i)] = level[std::size_t(m)] + 1;
        out.depth = std::max(out.depth, level[std::size_t(i)] + 1);
        out.widestTeam = std::max(out.widestTeam, ++team[std::size_t(m)]);
    }

    std::vector<int> rowOrder(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        rowOrder[std::size_t(i)] = i;
    for (int i = count - 1; i > 0; --i)
        std::swap(rowOrder[std::size_t(i)], rowOrder[std::size_t(next() % std::uint64_t(i + 1))]);

    auto idOf = [](int i) { return QStringLiteral("E%1").arg(i + 1, 6, 10, QLatin1Char('0')); };
    auto quoted = [](QString s) { return u'"' + s.replace(u'"', QLatin1String("\"\"")) + u'"'; };
    QString text = QStringLiteral("Employee ID,Full Name,Job Title,Department,Manager ID\n");
    for (const int i : rowOrder) {
        const std::size_t k = std::size_t(i);
        const QString id = idOf(i);
        const QString name = QStringLiteral("%1 %2 %3")
                                 .arg(given[i % given.size()], family[(i / 7) % family.size()])
                                 .arg(i);
        const QString title =
            i == 0 ? QStringLiteral("Chief Executive") : titles[(i * 5 + level[k]) % titles.size()];
        const QString managerId = manager[k] < 0 ? QString() : idOf(manager[k]);
        out.managerIdOf.insert(id, managerId);
        out.titleOf.insert(id, title);
        text += id + u',' + quoted(name) + u',' + quoted(title) + u',' +
                departments[i % departments.size()] + u',' + managerId + u'\n';
    }
    out.csv = text.toUtf8();
    return out;
}

} // namespace plotwell::staff::test
