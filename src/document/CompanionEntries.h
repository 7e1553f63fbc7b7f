#pragma once

#include "base/DocumentNames.h"

#include <QString>

#include <optional>

namespace plotwell {
class Preferences;
}

namespace plotwell::document {

/// What a document keeps in the preferences store beside its file: everything the file does
/// not carry.
struct CompanionEntries
{
    QString colorLine;
    QString positionLine;
    QString nodeSize;
    QString nodeRadius;
    QString multiColour;
};

/// Stores the five entries under the keys of `documentName` (positions, node size, radius,
/// multicolour state, then colours) and "openedFilename", then synchronises.
void storeCompanionEntries(Preferences &preferences, const QString &documentName,
                           const CompanionEntries &entries);

/// The entries stored for `documentName`; a missing entry stays unset.
struct StoredEntries
{
    std::optional<QString> colorLine;
    std::optional<QString> positionLine;
    std::optional<QString> nodeSize;
    std::optional<QString> nodeRadius;
    std::optional<QString> multiColour;
};
[[nodiscard]] StoredEntries lookUpCompanionEntries(const Preferences &preferences,
                                                   const QString &documentName);

/// "(null)" for a missing value, as the diagnostic lines print it.
[[nodiscard]] QString orNull(const std::optional<QString> &value);

} // namespace plotwell::document
