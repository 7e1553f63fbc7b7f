#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace plotwell::staff {

/// What a column of a staff list holds.
enum class StaffRole { Name, FirstName, LastName, Title, Manager, Id, Email, Department };
inline constexpr int kStaffRoleCount = 8;

/// Which column (from 0) holds each role; -1 for none. The guess fills it from the header, and
/// the import dialog or the command line's column options change it before the organisation is
/// built.
struct StaffColumns
{
    std::array<int, kStaffRoleCount> columns{-1, -1, -1, -1, -1, -1, -1, -1};

    [[nodiscard]] int column(StaffRole role) const { return columns[std::size_t(role)]; }
    void setColumn(StaffRole role, int column) { columns[std::size_t(role)] = column; }
    /// A name column, or a first or last name column to join.
    [[nodiscard]] bool hasName() const;
    /// Chooses a single name column; the first and last name columns no longer count.
    void setNameColumn(int column);

    bool operator==(const StaffColumns &) const = default;
};

/// A header word as the guess compares it: lower case, without spaces, underscores, hyphens and
/// dots ("Reports_To" and "reports to" are both "reportsto").
[[nodiscard]] QString headerKey(QStringView word);

/// The columns a header's words name. Each role takes the left-most column whose word is among
/// its words, trying its words in order; a column serves one role only. First and last name
/// count only when no column names the whole name.
[[nodiscard]] StaffColumns guessColumns(const QStringList &header);

/// The column that `text` names: a header word (compared as the guess compares them), or
/// else a column number from 1. -1 when neither.
[[nodiscard]] int findColumn(const QStringList &header, QStringView text);

} // namespace plotwell::staff
