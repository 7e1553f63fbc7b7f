#pragma once

// What the poppler tools say about a PDF: pages, page size and text.

#include <QProcess>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace plotwell::testing {

/// The standard output of \a program, empty when it failed.
inline QString toolOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct PdfFacts
{
    int pages = 0;
    QSizeF pageSize; // of the first page, in points
    QString text;
};

inline PdfFacts pdfFacts(const QString &path)
{
    PdfFacts facts;
    const QString info = toolOutput(QStringLiteral("pdfinfo"), {path});
    for (const QString &line : info.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:")))
            facts.pages = line.section(QLatin1Char(':'), 1).trimmed().toInt();
        if (line.startsWith(QLatin1String("Page size:"))) {
            const QStringList words =
                line.section(QLatin1Char(':'), 1).simplified().split(QLatin1Char(' '));
            facts.pageSize = QSizeF(words.value(0).toDouble(), words.value(2).toDouble());
        }
    }
    facts.text = toolOutput(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    return facts;
}

} // namespace plotwell::testing
