#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell {

struct SavePanelSpec
{
    QStringList allowedTypes; // extensions without the dot, e.g. {"csv"}
    QString proposedName;     // may be empty
    QString title;
};

/// Save and open panels. Each call returns the chosen absolute path, or nothing when the
/// user cancelled.
class FilePanels
{
public:
    virtual ~FilePanels() = default;
    virtual std::optional<QString> chooseSavePath(const SavePanelSpec &panel) = 0;
    virtual std::optional<QString> chooseOpenPath() = 0;
};

} // namespace plotwell
