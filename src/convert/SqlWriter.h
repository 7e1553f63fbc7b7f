#pragma once

#include "convert/Escaping.h"
#include "convert/RecordOutput.h"
#include "convert/RecordSink.h"

#include <vector>

namespace plotwell::convert {

/// A MySQL/MariaDB script: the table definition, then the records as INSERT statements of at
/// most `kRecordsPerInsert` rows each, so that no statement outgrows a client's packet limit.
class SqlWriter final : public TableWriter
{
public:
    static constexpr qsizetype kRecordsPerInsert = 1000;

    /// MariaDB's limit on the bytes of a row's fixed columns.
    static constexpr qsizetype kRowSizeLimit = 65535;

    SqlWriter(QIODevice &device, ConversionSettings settings)
        : TableWriter(device, std::move(settings)), m_device(device)
    {}

    void begin(const QStringList &columnNames) override;
    void record(Fields fields, qsizetype index) override;
    void finish(qsizetype recordCount) override;
    /// With the columns whose type changed: made TEXT, or not SQL in the grid.
    [[nodiscard]] WriterReport report() const override;

protected:
    QString shortRecordNote() const override;
    QString longRecordNote() const override;

private:
    template <typename Output> void write(Output &out, Fields fields);

    /// A column declared VARCHAR(255) by default: where its type lies in the output, so that it
    /// can become TEXT, MEDIUMTEXT or LONGTEXT once a value is found too long for it, and its
    /// longest value so far.
    struct WidenableColumn
    {
        qsizetype column = 0;
        QString name;
        qint64 typeOffset = 0;
        int declared = 0; // in the types VARCHAR(255), TEXT, MEDIUMTEXT, LONGTEXT
        qsizetype longest = 0;
    };

    QIODevice &m_device;
    const EscapeTable &m_escapes = sqlValueEscapes();
    std::vector<WidenableColumn> m_widenable;
    QStringList m_textColumns;    // made TEXT, by name
    QStringList m_untypedColumns; // the grid's type was not SQL, by name
    bool m_tooWideForVarchar = false;
    QByteArray m_insertHead;
    qsizetype m_written = 0;
};

} // namespace plotwell::convert
