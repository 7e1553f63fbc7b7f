#include "base/ResourceLocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace plotwell {

QString resourceDirectory()
{
    const QByteArray overridden = qgetenv("PLOTWELL_RESOURCE_DIR");
    if (!overridden.isEmpty())
        return QDir(QString::fromLocal8Bit(overridden)).absolutePath();

    const QString appDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString beside = appDir + QStringLiteral("/resources");
    if (QFileInfo(beside + QStringLiteral("/orgchart.html")).exists() ||
        !QFileInfo::exists(appDir + QStringLiteral("/../share/plotwell")))
        return QDir(beside).absolutePath();
    return QDir(appDir + QStringLiteral("/../share/plotwell")).absolutePath();
}

QString resourcePath(const QString &fileName)
{
    return resourceDirectory() + QLatin1Char('/') + fileName;
}

} // namespace plotwell
