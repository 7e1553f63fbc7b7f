#pragma once

#include "base/DocumentNames.h"

#include <QString>

#include <optional>

namespace plotwell {
class ChartGrid;
class Preferences;
struct ChartAppearance;
} // namespace plotwell

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

/// Stores the five entries under the keys of \a entriesName (positions, node size, radius,
/// multicolour state, then colours; `documentName` itself when empty) and `documentName` as
/// "openedFilename", then synchronises.
void storeCompanionEntries(Preferences &preferences, const QString &documentName,
                           const CompanionEntries &entries, const QString &entriesName = {});

/// The entries stored for `documentName`; a missing entry stays unset. With \a legacyName, an
/// entry missing under `documentName` is looked up under it (the bare name earlier versions
/// filed entries under).
struct StoredEntries
{
    std::optional<QString> colorLine;
    std::optional<QString> positionLine;
    std::optional<QString> nodeSize;
    std::optional<QString> nodeRadius;
    std::optional<QString> multiColour;
};
[[nodiscard]] StoredEntries lookUpCompanionEntries(const Preferences &preferences,
                                                   const QString &documentName,
                                                   const QString &legacyName = {});

/// Puts a document's stored positions, node width, corner radius and colour mode on \a grid and
/// \a appearance: what a chart document without its own trailer keeps beside it. A missing
/// position line clears the positions (those of the chart shown before do not belong to it).
void applyStoredLook(ChartGrid &grid, ChartAppearance &appearance, const StoredEntries &entries);

/// "(null)" for a missing value, as the diagnostic lines print it.
[[nodiscard]] QString orNull(const std::optional<QString> &value);

} // namespace plotwell::document
