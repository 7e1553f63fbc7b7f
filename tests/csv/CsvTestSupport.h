#pragma once

#include "csv/CsvParser.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

namespace plotwell::csv::test {

/// Hands out its bytes in pieces of the given sizes (the last size repeats), or growing pieces of
/// 1, 2, 3, ... bytes when `growing` is set.
class PieceReader : public ByteReader
{
public:
    PieceReader(QByteArray bytes, QList<qsizetype> sizes, bool growing = false)
        : m_bytes(std::move(bytes)), m_sizes(std::move(sizes)), m_growing(growing)
    {}
    qint64 read(char *data, qint64 maxSize) override
    {
        qsizetype want;
        if (m_growing)
            want = ++m_calls;
        else
            want = m_sizes[std::min<qsizetype>(m_calls++, m_sizes.size() - 1)];
        const qint64 n = std::min<qint64>({maxSize, want, m_bytes.size() - m_offset});
        std::memcpy(data, m_bytes.constData() + m_offset, size_t(std::max<qint64>(n, 0)));
        m_offset += std::max<qint64>(n, 0);
        return std::max<qint64>(n, 0);
    }

private:
    QByteArray m_bytes;
    QList<qsizetype> m_sizes;
    bool m_growing;
    qsizetype m_calls = 0;
    qint64 m_offset = 0;
};

/// Writes every event as one line of text, so that whole parses compare as lists. With
/// `wholeRecords`, it takes records whole and writes them as the line and field events would be.
class RecordingDelegate : public CsvParserDelegate
{
public:
    QStringList events;
    /// Cancels the parse on the event written as this, if set.
    QString cancelOn;
    bool wholeRecords = false;

    bool readsWholeRecords() const override { return wholeRecords; }
    void parserDidReadRecord(CsvParser &p, qsizetype n, CsvFields fields) override
    {
        add(p, QStringLiteral("line %1").arg(n));
        for (qsizetype i = 0; i < qsizetype(fields.size()); ++i) {
            add(p, QStringLiteral("field %1 [%2]").arg(i).arg(fields[size_t(i)]));
            if (i > 0) { // in order, in one piece of text
                const QStringView before = fields[size_t(i - 1)];
                EXPECT_GE(fields[size_t(i)].data(), before.data() + before.size());
                EXPECT_LE(fields[size_t(i)].data() - (before.data() + before.size()), 4096);
            }
        }
        add(p, QStringLiteral("endline %1").arg(n));
    }

    void parserDidBeginDocument(CsvParser &) override { events << "begin"; }
    void parserDidBeginLine(CsvParser &p, qsizetype n) override
    {
        add(p, QStringLiteral("line %1").arg(n));
    }
    void parserDidReadField(CsvParser &p, QStringView field, qsizetype index) override
    {
        add(p, QStringLiteral("field %1 [%2]").arg(index).arg(field));
    }
    void parserDidEndLine(CsvParser &p, qsizetype n) override
    {
        add(p, QStringLiteral("endline %1").arg(n));
    }
    void parserDidReadComment(CsvParser &, QStringView c) override
    {
        events << QStringLiteral("comment [%1]").arg(c);
    }
    void parserDidEndDocument(CsvParser &) override { events << "end"; }
    void parserDidFailWithError(CsvParser &, const CsvError &e) override
    {
        events << QStringLiteral("fail %1 %2 %3").arg(e.domain).arg(e.code).arg(e.description);
    }

private:
    void add(CsvParser &p, const QString &event)
    {
        events << event;
        if (event == cancelOn)
            p.cancelParsing();
    }
};

struct ParseSetup
{
    CsvOptions options = {};
    QChar delimiter = u',';
    CsvEncoding encoding = CsvEncoding::Unknown;
};

/// What one parse produced.
struct ParseOutcome
{
    QStringList events;
    qsizetype replacements = 0;
    bool endedInsideQuotes = false;
    qint64 bytesRead = 0;
    CsvEncoding encoding = CsvEncoding::Unknown;

    bool operator==(const ParseOutcome &) const = default;
};

inline ParseOutcome parseWith(std::unique_ptr<ByteReader> reader, const ParseSetup &setup,
                              bool wholeRecords = false)
{
    CsvParser parser(std::move(reader), setup.delimiter, setup.encoding);
    parser.applyOptions(setup.options);
    RecordingDelegate delegate;
    delegate.wholeRecords = wholeRecords;
    parser.setDelegate(&delegate);
    parser.parse();
    return {delegate.events, parser.replacementCharacterCount(), parser.endedInsideQuotedField(),
            parser.totalBytesRead(), parser.streamEncoding()};
}

/// Parses `bytes` in one piece, then split at every byte offset, then in growing pieces, each
/// field by field and record by record, and expects every way to give the same outcome, which
/// it returns.
inline ParseOutcome parseEveryWay(const QByteArray &bytes, const ParseSetup &setup = {})
{
    const ParseOutcome whole = parseWith(std::make_unique<MemoryByteReader>(bytes), setup);
    for (const bool records : {false, true}) {
        const char *mode = records ? " (whole records)" : "";
        if (records) {
            EXPECT_EQ(parseWith(std::make_unique<MemoryByteReader>(bytes), setup, true), whole)
                << "in one piece" << mode;
        }
        for (qsizetype k = 1; k < bytes.size(); ++k) {
            const ParseOutcome split = parseWith(
                std::make_unique<PieceReader>(bytes, QList<qsizetype>{k, 1 << 20}), setup, records);
            EXPECT_EQ(split.events, whole.events) << "split after byte " << k << mode;
            EXPECT_EQ(split, whole) << "split after byte " << k << mode;
        }
        const ParseOutcome growing = parseWith(
            std::make_unique<PieceReader>(bytes, QList<qsizetype>{}, true), setup, records);
        EXPECT_EQ(growing, whole) << "growing pieces" << mode;
    }
    return whole;
}

inline QStringList eventsOf(const QByteArray &bytes, const ParseSetup &setup = {})
{
    return parseEveryWay(bytes, setup).events;
}

} // namespace plotwell::csv::test

QT_BEGIN_NAMESPACE
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '\n';
    for (const QString &s : list)
        *os << "  " << s.toStdString() << '\n';
}
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
