#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

namespace plotwell {

/// Writes one PDF of the pages of \a parts, in order (fonts and images carried over), to \a out
/// as it goes, so that the joined document is never held whole beside its parts. False when a
/// part is not a PDF that can be read or \a out refuses the bytes, with the reason in \a problem.
[[nodiscard]] bool joinPdfs(const QList<QByteArray> &parts, QIODevice &out,
                            QString *problem = nullptr);

} // namespace plotwell
