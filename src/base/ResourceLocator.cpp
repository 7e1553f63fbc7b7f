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
    if (QFileInfo::exists(beside + QStringLiteral("/orgchart.html")))
        return QDir(beside).absolutePath();
    // Installed: plotwell is in <prefix>/bin, the window program in <prefix>/lib/plotwell.
    for (const QString &installed :
         {QStringLiteral("/../share/plotwell"), QStringLiteral("/../../share/plotwell")}) {
        if (QFileInfo::exists(appDir + installed))
            return QDir(appDir + installed).absolutePath();
    }
    return QDir(beside).absolutePath();
}

QString resourcePath(const QString &fileName)
{
    return resourceDirectory() + QLatin1Char('/') + fileName;
}

} // namespace plotwell
