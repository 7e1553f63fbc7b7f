#pragma once

#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell {

struct SavePanelSpec
{
    QStringList allowedTypes; // extensions without the dot, e.g. {"csv"}
    QString proposedName;     // may be empty
    QString title;

    /// Where a panel opens when the proposed name names no folder: pictures of the chart go
    /// with the user's pictures, everything else with their documents.
    [[nodiscard]] QStandardPaths::StandardLocation startFolder() const
    {
        for (const QString &type : allowedTypes) {
            if (type.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0 ||
                type.compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0)
                return QStandardPaths::PicturesLocation;
        }
        return QStandardPaths::DocumentsLocation;
    }
};

/// What an open panel offers: files of one kind (its name and extensions without the dot), and
/// all files.
struct OpenPanelSpec
{
    QString kind = QStringLiteral("CSV files");
    QStringList allowedTypes{QStringLiteral("csv")};
};

/// Save and open panels. Each call returns the chosen absolute path, or nothing when the
/// user cancelled.
class FilePanels
{
public:
    virtual ~FilePanels() = default;
    virtual std::optional<QString> chooseSavePath(const SavePanelSpec &panel) = 0;
    virtual std::optional<QString> chooseOpenPath(const OpenPanelSpec &panel) = 0;
};

} // namespace plotwell
