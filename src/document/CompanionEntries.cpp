#include "document/CompanionEntries.h"

#include "base/ChartAppearance.h"
#include "base/Log.h"
#include "document/DocumentFormat.h"
#include "platform/Preferences.h"

namespace plotwell::document {

void storeCompanionEntries(Preferences &preferences, const QString &documentName,
                           const CompanionEntries &entries, const QString &entriesName)
{
    const CompanionKeys keys = companionKeys(entriesName.isEmpty() ? documentName : entriesName);
    preferences.setValue(kOpenedFilenameKey, documentName);
    preferences.setValue(keys.positions, entries.positionLine);
    preferences.setValue(keys.nodeSize, entries.nodeSize);
    preferences.setValue(keys.nodeRadius, entries.nodeRadius);
    preferences.setValue(keys.multiColour, entries.multiColour);
    preferences.setValue(keys.colours, entries.colorLine);
    preferences.sync();
    diag(QStringLiteral("COLORS_SAVED= %1").arg(orNull(preferences.value(keys.colours))));
    diag(QStringLiteral("POSITIONS_SAVED= %1").arg(orNull(preferences.value(keys.positions))));
}

StoredEntries lookUpCompanionEntries(const Preferences &preferences, const QString &documentName,
                                     const QString &legacyName)
{
    const CompanionKeys keys = companionKeys(documentName);
    const CompanionKeys legacy = companionKeys(legacyName);
    const auto value = [&](const QString &key, const QString &legacyKey) {
        std::optional<QString> found = preferences.value(key);
        if (!found && !legacyName.isEmpty())
            found = preferences.value(legacyKey);
        return found;
    };
    return {value(keys.colours, legacy.colours), value(keys.positions, legacy.positions),
            value(keys.nodeSize, legacy.nodeSize), value(keys.nodeRadius, legacy.nodeRadius),
            value(keys.multiColour, legacy.multiColour)};
}

QString orNull(const std::optional<QString> &value)
{
    return value ? *value : QStringLiteral("(null)");
}

void applyStoredLook(ChartGrid &grid, ChartAppearance &appearance, const StoredEntries &entries)
{
    applyPositionLine(grid, entries.positionLine.value_or(QString()));
    const auto restore = [](int &setting, const std::optional<QString> &stored) {
        if (stored)
            setting = appearanceNumber(*stored).value_or(setting);
    };
    restore(appearance.nodeWidth, entries.nodeSize);
    restore(appearance.cornerRadius, entries.nodeRadius);
    restore(appearance.colourMode, entries.multiColour);
}

} // namespace plotwell::document
