#include "document/CompanionEntries.h"

#include "base/Log.h"
#include "platform/Preferences.h"

namespace plotwell::document {

void storeCompanionEntries(Preferences &preferences, const QString &documentName,
                           const CompanionEntries &entries)
{
    const CompanionKeys keys = companionKeys(documentName);
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

StoredEntries lookUpCompanionEntries(const Preferences &preferences, const QString &documentName)
{
    const CompanionKeys keys = companionKeys(documentName);
    return {preferences.value(keys.colours), preferences.value(keys.positions),
            preferences.value(keys.nodeSize), preferences.value(keys.nodeRadius),
            preferences.value(keys.multiColour)};
}

QString orNull(const std::optional<QString> &value)
{
    return value ? *value : QStringLiteral("(null)");
}

} // namespace plotwell::document
