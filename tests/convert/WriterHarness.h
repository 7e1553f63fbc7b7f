#pragma once

#include "convert/RecordSink.h"

#include <QBuffer>
#include <QList>
#include <QStringList>

#include <vector>

namespace plotwell::convert::test {

/// Feeds `rows` to `sink` as a CSV reader would: names first, then each record.
inline void feed(RecordSink &sink, const QStringList &names, const QList<QStringList> &rows)
{
    sink.begin(names);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const std::vector<QStringView> fields(rows.at(i).cbegin(), rows.at(i).cend());
        sink.record(fields, i + 1);
    }
    sink.finish(rows.size());
}

/// What a writer of type W makes of the records, and its report.
template <typename W>
QByteArray written(const QStringList &names, const QList<QStringList> &rows,
                   const ConversionSettings &settings = {}, WriterReport *report = nullptr)
{
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    W writer(device, settings);
    feed(writer, names, rows);
    if (report)
        *report = writer.report();
    return bytes;
}

} // namespace plotwell::convert::test
