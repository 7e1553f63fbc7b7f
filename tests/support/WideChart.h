#pragma once

// A grid chart too wide for one picture: every row under row 1, boxes 200 pixels wide (some
// 20,000 pixels across). Its PDF is printed on sheets, by the command and by the window alike.

#include "TestFiles.h"
#include "model/ChartGrid.h"

#include <QDir>
#include <QStringList>

namespace plotwell::testing {

/// Writes the chart document into \a folder and returns its path.
inline QString writeWideChart(const QDir &folder)
{
    QString text = QStringLiteral("Wide") + QString(kValueFieldCount, QLatin1Char(','));
    for (int row = 1; row <= kRowCount; ++row) {
        text += QStringLiteral("\r\n\"Person %1\",\"%2\"")
                    .arg(row)
                    .arg(row == 1 ? QString() : QStringLiteral("1")) +
                QLatin1String(row % kPageSize ? "," : "");
    }
    text += QStringLiteral("\r\n\"plotwell-chart\",\"1\"\r\n\"nodeWidth\",\"200\"");
    return writeFile(folder.filePath(QStringLiteral("wide.csv")), text.toUtf8());
}

/// The people of the wide chart whose names \a pdfText lacks.
inline QStringList missingPeople(const QString &pdfText)
{
    const QString words = pdfText.simplified() + QLatin1Char(' ');
    QStringList missing;
    for (int row = 1; row <= kRowCount; ++row) {
        if (!words.contains(QStringLiteral("Person %1 ").arg(row)))
            missing << QString::number(row);
    }
    return missing;
}

} // namespace plotwell::testing
