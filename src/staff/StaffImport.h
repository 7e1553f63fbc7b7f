#pragma once

#include "staff/Organisation.h"
#include "staff/StaffColumns.h"
#include "staff/StaffTable.h"

#include <QString>

#include <optional>

namespace plotwell::staff {

/// The columns a user named for the roles (a header word or a column number from 1); empty
/// keeps the guess.
struct ColumnChoices
{
    QString name;
    QString title;
    QString manager;
};

/// A staff list read, its columns chosen and its organisation built.
struct LoadedStaff
{
    StaffTable table;
    StaffColumns columns;
    Organisation organisation;
};

/// Applies the user's choices to the guessed columns. Returns what is wrong (a choice that names
/// no column, or no name column at all), empty when the columns can be used.
[[nodiscard]] QString applyColumnChoices(const QStringList &header, const ColumnChoices &choices,
                                         StaffColumns &columns);

/// Reads the staff list at \a path, guesses its columns, applies \a choices and builds the
/// organisation. Nothing, with \a error set, when the file cannot be read or its columns used.
[[nodiscard]] std::optional<LoadedStaff>
loadStaffList(const QString &path, const ColumnChoices &choices, QString *error);

} // namespace plotwell::staff
