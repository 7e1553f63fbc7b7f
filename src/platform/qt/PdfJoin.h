#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace plotwell {

/// One PDF of the pages of \a parts, in order (fonts and images carried over). Empty when a part
/// is not a PDF that can be read, with the reason in \a problem.
[[nodiscard]] QByteArray joinPdfs(const QList<QByteArray> &parts, QString *problem = nullptr);

} // namespace plotwell
