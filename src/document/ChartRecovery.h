#pragma once

#include "document/DocumentFormat.h"

#include <QString>

#include <optional>

namespace plotwell::document {

/// A copy of a chart with unsaved changes, kept where the application keeps its own data, so
/// that a crash or a power cut loses nothing: written while the chart has unsaved changes, gone
/// once they are saved or given up, and offered back at the next start when it is still there.
/// It is a chart document like any other, written as the save writes one.
class ChartRecovery
{
public:
    explicit ChartRecovery(QString path) : m_path(std::move(path)) {}

    [[nodiscard]] const QString &path() const { return m_path; }
    /// Writes the copy, the folder too when it is missing. Returns why it failed, or nothing.
    std::optional<QString> keep(const ChartGrid &grid, const ChartAppearance &appearance) const;
    void discard() const;
    /// The chart a run that ended before saving it left behind, if any.
    [[nodiscard]] std::optional<SavedChart> left() const;

private:
    QString m_path;
};

} // namespace plotwell::document
