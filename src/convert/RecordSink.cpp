#include "convert/RecordSink.h"

namespace plotwell::convert {

TableWriter::TableWriter(QIODevice &device, ConversionSettings settings)
    : m_out(device), m_settings(std::move(settings))
{}

WriterReport TableWriter::report() const
{
    WriterReport report{m_shortRecords, m_longRecords, m_replaced, {}};
    if (m_shortRecords > 0)
        report.notes.append(QStringLiteral("%1 record(s) had fewer fields than the %2 column "
                                           "names: %3.")
                                .arg(m_shortRecords)
                                .arg(m_columnCount)
                                .arg(shortRecordNote()));
    if (m_longRecords > 0)
        report.notes.append(QStringLiteral("%1 record(s) had more fields than the %2 column "
                                           "names: %3.")
                                .arg(m_longRecords)
                                .arg(m_columnCount)
                                .arg(longRecordNote()));
    if (m_replaced > 0)
        report.notes.append(QStringLiteral("%1 character(s) that this format cannot hold were "
                                           "written as U+FFFD.")
                                .arg(m_replaced));
    return report;
}

} // namespace plotwell::convert
