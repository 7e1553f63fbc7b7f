#include "document/ChartRecovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace plotwell::document {

std::optional<QString> ChartRecovery::keep(const ChartGrid &grid,
                                           const ChartAppearance &appearance) const
{
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("the folder %1 cannot be made").arg(folder);
    return writeAtomically(m_path, documentText(grid, chartExtras(grid, appearance)).toUtf8());
}

void ChartRecovery::discard() const
{
    QFile::remove(m_path);
}

std::optional<SavedChart> ChartRecovery::left() const
{
    if (!QFileInfo::exists(m_path))
        return std::nullopt;
    const ReadFile read = readTextFile(m_path);
    return read.problem.isEmpty() ? parseSavedDocument(read.bytes) : std::nullopt;
}

} // namespace plotwell::document
