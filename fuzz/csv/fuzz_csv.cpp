// Parses arbitrary bytes under every option and delimiter, in one piece and in uneven pieces,
// and requires both parses to report the same events. The first two bytes choose the setup.
#include "csv/CsvAggregator.h"
#include "csv/CsvParser.h"

#include <QLoggingCategory>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace plotwell::csv;

namespace {

class PieceReader : public ByteReader
{
public:
    /// Pieces of 1 to `longest` bytes.
    PieceReader(const char *data, qint64 size, unsigned seed, unsigned longest = 700)
        : m_data(data), m_size(size), m_seed(seed), m_longest(longest)
    {}
    qint64 read(char *out, qint64 maxSize) override
    {
        m_seed = m_seed * 1103515245u + 12345u;
        const qint64 want = 1 + (m_seed >> 16) % m_longest;
        const qint64 n = std::min({maxSize, want, m_size - m_offset});
        if (n <= 0)
            return 0;
        std::memcpy(out, m_data + m_offset, size_t(n));
        m_offset += n;
        return n;
    }

private:
    const char *m_data;
    qint64 m_size;
    qint64 m_offset = 0;
    unsigned m_seed;
    unsigned m_longest;
};

class Recorder : public CsvParserDelegate
{
public:
    QStringList events;
    qsizetype cancelAfter = -1;
    bool wholeRecords = false;
    bool readsWholeRecords() const override { return wholeRecords; }
    void parserDidReadRecord(CsvParser &p, qsizetype n, CsvFields fields) override
    {
        parserDidBeginLine(p, n);
        for (qsizetype i = 0; i < qsizetype(fields.size()); ++i)
            parserDidReadField(p, fields[size_t(i)], i);
        parserDidEndLine(p, n);
    }
    void parserDidBeginDocument(CsvParser &) override { events << "begin"; }
    void parserDidBeginLine(CsvParser &, qsizetype n) override { events << QString::number(n); }
    void parserDidReadField(CsvParser &p, QStringView f, qsizetype i) override
    {
        events << QString::number(i) + u':' + f.toString();
        if (--cancelAfter == 0)
            p.cancelParsing();
    }
    void parserDidEndLine(CsvParser &, qsizetype n) override { events << "/" + QString::number(n); }
    void parserDidReadComment(CsvParser &, QStringView c) override { events << "#" + c.toString(); }
    void parserDidEndDocument(CsvParser &) override { events << "end"; }
    void parserDidFailWithError(CsvParser &, const CsvError &e) override
    {
        events << "fail" + QString::number(e.code) + e.description;
    }
};

const char16_t kDelimiters[] = {u',', u';', u'\t', u' ', u'|', u'#', u'\\', u'=', 0xA7, 0x3000};
const CsvEncoding kEncodings[] = {
    CsvEncoding::Unknown, CsvEncoding::Unknown,  CsvEncoding::Unknown,  CsvEncoding::Unknown,
    CsvEncoding::Utf8,    CsvEncoding::Utf16LE,  CsvEncoding::Utf16BE,  CsvEncoding::Utf32LE,
    CsvEncoding::Utf32BE, CsvEncoding::MacRoman, CsvEncoding::Iso2022Kr};

QStringList parse(std::unique_ptr<ByteReader> reader, QChar delimiter, CsvEncoding encoding,
                  CsvOptions options, qsizetype cancelAfter, qsizetype *replacements,
                  bool wholeRecords = false)
{
    CsvParser parser(std::move(reader), delimiter, encoding);
    try {
        parser.applyOptions(options);
    } catch (const CsvInconsistencyError &) {
        return {"refused"};
    }
    Recorder recorder;
    recorder.cancelAfter = cancelAfter;
    recorder.wholeRecords = wholeRecords;
    parser.setDelegate(&recorder);
    parser.parse();
    *replacements = parser.replacementCharacterCount();
    return recorder.events;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The encoding message would otherwise be most of the output.
    QLoggingCategory::setFilterRules(QStringLiteral("plotwell.info=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const CsvOptions options = CsvOptions::fromInt(data[0] & 0x2F); // never the keyed bit
    const QChar delimiter(kDelimiters[(data[1] & 0x0F) % std::size(kDelimiters)]);
    const CsvEncoding encoding = kEncodings[(data[1] >> 4) % std::size(kEncodings)];
    const qsizetype cancelAfter = (data[0] & 0x40) ? 1 + (data[0] >> 7) * 3 : -1;
    const char *bytes = reinterpret_cast<const char *>(data + 2);
    const qint64 n = qint64(size - 2);

    qsizetype wholeReplacements = 0, splitReplacements = 0;
    const QStringList whole = parse(std::make_unique<MemoryByteReader>(QByteArray(bytes, n)),
                                    delimiter, encoding, options, cancelAfter, &wholeReplacements);
    QStringList split = parse(std::make_unique<PieceReader>(bytes, n, unsigned(size)), delimiter,
                              encoding, options, cancelAfter, &splitReplacements);
    // Bytes one at a time leave almost every field to the parser's general path, so this also
    // compares its fast path with the general one.
    if (n <= 4096 && whole == split)
        split = parse(std::make_unique<PieceReader>(bytes, n, unsigned(size), 1), delimiter,
                      encoding, options, cancelAfter, &splitReplacements);
    // Records taken whole must read as the same events; a cancel inside a record cannot be.
    if (cancelAfter < 0 && whole == split)
        split = parse(std::make_unique<PieceReader>(bytes, n, unsigned(size) + 1), delimiter,
                      encoding, options, cancelAfter, &splitReplacements, true);
    // The count covers what was decoded so far, so it only has to agree once all was read.
    const bool readAll = cancelAfter < 0 && !whole.isEmpty() && whole.last() == "end";
    if (whole != split || (readAll && wholeReplacements != splitReplacements)) {
        if (std::getenv("FUZZ_CSV_VERBOSE")) {
            for (qsizetype i = 0; i < std::max(whole.size(), split.size()); ++i)
                std::fprintf(stderr, "%s | %s\n",
                             qPrintable(whole.value(i).toUtf8().toPercentEncoding(" :/")),
                             qPrintable(split.value(i).toUtf8().toPercentEncoding(" :/")));
            std::fprintf(stderr, "replacements %lld | %lld\n", (long long)wholeReplacements,
                         (long long)splitReplacements);
        }
        std::abort();
    }
    return 0;
}
