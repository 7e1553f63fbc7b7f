#include "csv/CsvParser.h"

#include "base/Log.h"
#include "csv/CharacterMasks.h"
#include "csv/CsvDecoder.h"

#include <QFileInfo>
#include <QIODevice>
#include <QList>

#include <bit>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plotwell::csv {

namespace {

/// Bytes taken from the source per system call; the parser then works through them in the small
/// steps below, so the text held at any time stays about one step plus the current field.
constexpr qsizetype kBlockSize = 64 * 1024;
constexpr qsizetype kStepSize = 512;
/// Characters after the text that stop every scanner, so the scans need no bounds checks; at
/// least one 64-character window, which the field loop reads whole.
constexpr qsizetype kPadding = 64;
constexpr int kEnd = -1;

/// What ends a record: CR and LF (CR LF, and blank lines, as one).
constexpr bool isLineBreak(int c)
{
    return c == 0x0A || c == 0x0D;
}

/// The other line separators (vertical tab, form feed, NEL, U+2028, U+2029): characters of a
/// field, which trimming takes off as white space.
constexpr bool isOtherLineSeparator(int c)
{
    return c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 || c == 0x2029;
}

/// Tab and the space separators.
constexpr bool isWhitespace(int c)
{
    if (c < 0x80)
        return c == ' ' || c == '\t';
    return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

QStringView trimmed(QStringView s)
{
    qsizetype b = 0, e = s.size();
    const auto isSpace = [](int c) {
        return isWhitespace(c) || isLineBreak(c) || isOtherLineSeparator(c);
    };
    while (b < e && isSpace(s[b].unicode()))
        ++b;
    while (e > b && isSpace(s[e - 1].unicode()))
        --e;
    return s.sliced(b, e - b);
}

QString describeCharacter(char16_t c)
{
    return QStringLiteral("'%1' (0x%2)").arg(QChar(c)).arg(QString::number(uint(c), 16).toUpper());
}

CsvError unexpectedDelimiterError(char16_t expected, char16_t found)
{
    CsvError e;
    e.code = UnexpectedDelimiter;
    e.description = QStringLiteral("Unexpected delimiter. Expected %1, but got %2")
                        .arg(describeCharacter(expected), describeCharacter(found));
    return e;
}

CsvError readFailedError(const QString &why)
{
    CsvError e;
    e.code = ReadFailed;
    e.description = why.isEmpty() ? QStringLiteral("The input could not be read.")
                                  : QStringLiteral("The input could not be read: %1").arg(why);
    return e;
}

/// A reader that only fails: for sources that cannot be opened at all.
class FailingReader final : public ByteReader
{
public:
    explicit FailingReader(QString why) : m_why(std::move(why)) {}
    qint64 read(char *, qint64) override { return -1; }
    QString errorString() const override { return m_why; }

private:
    QString m_why;
};

std::unique_ptr<ByteReader> readerForUrl(const QUrl &url)
{
    if (url.isEmpty())
        throw CsvParameterError("Invalid parameter not satisfying: fileURL");
    if (!url.isLocalFile())
        return std::make_unique<FailingReader>(
            QStringLiteral("only local files can be read (%1)").arg(url.toDisplayString()));
    return std::make_unique<FileByteReader>(url.toLocalFile());
}

// Scanners: each returns the first character at or after p that ends the run it scans. The
// padding after the text guarantees a stop.
#if defined(__SSE2__)
inline const char16_t *firstMatch(const char16_t *p, int mask)
{
    return p + (__builtin_ctz(unsigned(mask)) >> 1);
}
#endif

/// Stops at the delimiter, a line break or `escape` (pass the delimiter when escapes are off).
inline const char16_t *scanPlain(const char16_t *p, char16_t delimiter, char16_t escape)
{
#if defined(__SSE2__)
    const __m128i d = _mm_set1_epi16(short(delimiter));
    const __m128i x = _mm_set1_epi16(short(escape));
    const __m128i lf = _mm_set1_epi16(0x0A);
    const __m128i cr = _mm_set1_epi16(0x0D);
    for (;; p += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        __m128i m = _mm_or_si128(_mm_cmpeq_epi16(v, d), _mm_cmpeq_epi16(v, x));
        m = _mm_or_si128(m, _mm_or_si128(_mm_cmpeq_epi16(v, lf), _mm_cmpeq_epi16(v, cr)));
        if (const int mask = _mm_movemask_epi8(m))
            return firstMatch(p, mask);
    }
#else
    for (;; ++p) {
        const char16_t c = *p;
        if (c == delimiter || c == escape || isLineBreak(c))
            return p;
    }
#endif
}

/// Stops at a double quote or `escape` (pass '"' when escapes are off).
inline const char16_t *scanQuoted(const char16_t *p, char16_t escape)
{
#if defined(__SSE2__)
    const __m128i q = _mm_set1_epi16('"');
    const __m128i x = _mm_set1_epi16(short(escape));
    for (;; p += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i m = _mm_or_si128(_mm_cmpeq_epi16(v, q), _mm_cmpeq_epi16(v, x));
        if (const int mask = _mm_movemask_epi8(m))
            return firstMatch(p, mask);
    }
#else
    for (;; ++p) {
        if (*p == u'"' || *p == escape)
            return p;
    }
#endif
}

} // namespace

struct CsvParser::Impl
{
    CsvParser *q = nullptr;
    CsvParserDelegate *delegate = nullptr;
    char16_t delimiter = u',';
    CsvEncoding encoding = CsvEncoding::Unknown;
    bool guessed = false;
    bool sanitize = false;
    bool trim = false;
    bool escapes = false;
    bool comments = false;
    bool equalSign = false;
    bool cancelled = false;
    bool endedInsideQuotes = false;
    std::optional<CsvError> error;

    // Bytes.
    std::unique_ptr<ByteReader> reader;
    std::unique_ptr<char[]> block;
    qsizetype blockPos = 0;
    qsizetype blockLen = 0;
    bool readerAtEnd = false;
    QString readError;
    bool readFailed = false;
    qint64 totalBytesRead = 0;
    // Bytes read while settling the encoding, handed to the decoder in the pieces they came in.
    QByteArray early;
    QList<qsizetype> earlyPieces;
    qsizetype earlyPos = 0;
    qsizetype earlyPiece = 0;

    // Text. Positions are absolute (counted from the start of the decoded text), so they stay
    // valid when consumed text is dropped from the front of the buffer.
    std::unique_ptr<CsvDecoder> decoder;
    std::unique_ptr<char16_t[]> buf;
    // Word k describes buf[64 * k] to buf[64 * k + 63]; its stops hold `stopsEscape`.
    std::unique_ptr<CharacterMasks[]> masks;
    char16_t stopsEscape = 0;
    qsizetype cap = 0;
    qsizetype len = 0;
    qsizetype base = 0; // absolute position of buf[0]
    qsizetype keep = 0; // nothing before this is needed any more
    qsizetype pos = 0;
    bool textEnded = false;

    // The text is decoded a block at a time, but the byte count and the replacement count that
    // callers see advance step by step: up to the step that decoded the character the parse looked
    // at last (`lookPos`, set before every event).
    struct Step
    {
        qsizetype textEnd; // absolute position just after the step's text
        qint64 bytesEnd;   // bytes taken once the step was
        qsizetype replacementsEnd;
    };
    std::vector<Step> steps;
    qsizetype lookPos = 0;
    static constexpr qsizetype kLookedAtEverything = std::numeric_limits<qsizetype>::max();

    qsizetype record = 0;
    qsizetype fieldIndex = 0;

    // Whole-record delivery: the fields of the record being read, as views into the text while
    // it stays where it is, copied once it is about to move.
    bool wholeRecords = false;
    std::vector<QStringView> recordFields; // the first recordFieldCount are in use
    qsizetype recordFieldCount = 0;
    bool recordCopied = false;
    QString recordText;
    std::vector<qsizetype> recordEnds; // in recordText

    // ASCII characters that send a field to the general path when they start it.
    bool slowStart[128] = {};

    // The cleaned value of the current field: a range of the text while it is one, else a copy.
    qsizetype sanStart = 0;
    qsizetype sanEnd = 0;
    bool sanCopied = false;
    QString scratch;

    // ---- bytes -------------------------------------------------------------------------------

    /// Up to `max` more bytes from the current block, reading the next block when it is used up.
    bool takeBytes(qsizetype max, QByteArrayView &out)
    {
        if (blockPos == blockLen) {
            if (readerAtEnd)
                return false;
            if (!block)
                block = std::make_unique<char[]>(size_t(kBlockSize));
            const qint64 n = reader->read(block.get(), kBlockSize);
            if (n <= 0) {
                readerAtEnd = true;
                if (n < 0) {
                    readFailed = true;
                    readError = reader->errorString();
                }
                return false;
            }
            blockPos = 0;
            blockLen = qsizetype(n);
        }
        const qsizetype n = std::min(max, blockLen - blockPos);
        out = QByteArrayView(block.get() + blockPos, n);
        blockPos += n;
        totalBytesRead += n;
        return true;
    }

    /// The next step of bytes for the decoder.
    bool nextStep(QByteArrayView &out)
    {
        if (earlyPiece < earlyPieces.size()) {
            const qsizetype n = earlyPieces[earlyPiece++];
            out = QByteArrayView(early.constData() + earlyPos, n);
            earlyPos += n;
            return true;
        }
        if (!earlyPieces.isEmpty()) {
            // Only now: the last early piece was in use until this call.
            early.clear();
            earlyPieces.clear();
            earlyPos = earlyPiece = 0;
        }
        return takeBytes(kStepSize, out);
    }

    void dropEarly(qsizetype n)
    {
        early.remove(0, n);
        while (n > 0 && !earlyPieces.isEmpty()) {
            const qsizetype take = std::min(n, earlyPieces.front());
            earlyPieces.front() -= take;
            n -= take;
            if (earlyPieces.front() == 0)
                earlyPieces.pop_front();
        }
    }

    void sniffEncoding()
    {
        // Gather a full step (or all there is) whatever sizes the reader hands out, so that the
        // outcome does not depend on them.
        QByteArrayView piece;
        while (early.size() < kStepSize && takeBytes(kStepSize - early.size(), piece)) {
            early.append(piece.data(), piece.size());
            earlyPieces.append(piece.size());
        }
        const auto *b = reinterpret_cast<const unsigned char *>(early.constData());
        const qsizetype n = early.size();
        auto starts = [&](std::initializer_list<unsigned char> mark) {
            if (n < qsizetype(mark.size()))
                return false;
            return std::equal(mark.begin(), mark.end(), b);
        };
        qsizetype markSize = 0;
        if (n == 0) {
            encoding = CsvEncoding::Utf8;
        } else if (starts({0x00, 0x00, 0xFE, 0xFF})) {
            encoding = CsvEncoding::Utf32BE, markSize = 4;
        } else if (starts({0xFF, 0xFE, 0x00, 0x00})) {
            encoding = CsvEncoding::Utf32LE, markSize = 4;
        } else if (starts({0xFE, 0xFF})) {
            encoding = CsvEncoding::Utf16BE, markSize = 2;
        } else if (starts({0xFF, 0xFE})) {
            encoding = CsvEncoding::Utf16LE, markSize = 2;
        } else if (starts({0xEF, 0xBB, 0xBF})) {
            encoding = CsvEncoding::Utf8, markSize = 3;
        } else if (starts({0x1B, 0x24, 0x29, 0x43})) {
            encoding = CsvEncoding::Iso2022Kr, markSize = 4;
        } else {
            encoding = guessEncoding(QByteArrayView(early), n == kStepSize);
            guessed = encoding != CsvEncoding::Utf8;
            if (guessed)
                qCInfo(lcPlotwell).noquote()
                    << "no byte-order mark and not UTF-8; assuming" << encodingName(encoding);
        }
        dropEarly(markSize);
    }

    // ---- text --------------------------------------------------------------------------------

    void reserve(qsizetype needed)
    {
        if (needed <= cap)
            return;
        const qsizetype newCap = std::max(needed, cap * 2);
        auto grown = std::make_unique<char16_t[]>(size_t(newCap));
        if (len)
            std::memcpy(grown.get(), buf.get(), size_t(len) * sizeof(char16_t));
        buf = std::move(grown);
        auto grownMasks = std::make_unique<CharacterMasks[]>(size_t(newCap / 64 + 1));
        if (len)
            std::copy_n(masks.get(), (len + 63) / 64, grownMasks.get());
        masks = std::move(grownMasks);
        cap = newCap;
    }

    /// Brings the masks up to date from the word that holds `from` to the end of the text.
    void markStops(qsizetype from)
    {
        stopsEscape = escapes ? u'\\' : delimiter;
        const qsizetype word = from / 64;
        const qsizetype count = (len + 63) / 64 - word;
        if (count > 0)
            classifyCharacters(buf.get() + word * 64, masks.get() + word, count, delimiter,
                               stopsEscape);
    }

    void pad()
    {
        for (qsizetype i = 0; i < kPadding; ++i)
            buf[len + i] = (i & 1) ? u'"' : u'\n';
    }

    bool stepsLeftInBlock() const { return earlyPiece < earlyPieces.size() || blockPos < blockLen; }

    void noteStep() { steps.push_back({base + len, totalBytesRead, decoder->replacementCount()}); }

    /// Decodes more text, dropping what lies before `keep`: every step left in the current block,
    /// and at least one character unless the text has ended. False once the text has ended.
    bool refill()
    {
        if (textEnded)
            return false;
        if (recordFieldCount > 0)
            copyRecordFields(); // the text they point into is about to move
        // Whole words of stop bits are dropped, so that the rest stay where they are.
        if (const qsizetype drop = (keep - base) / 64 * 64; drop > 0) {
            std::memmove(buf.get(), buf.get() + drop, size_t(len - drop) * sizeof(char16_t));
            std::copy_n(masks.get() + drop / 64, (len - drop + 63) / 64, masks.get());
            len -= drop;
            base += drop;
        }
        qsizetype passed = 0;
        while (passed < qsizetype(steps.size()) && steps[size_t(passed)].textEnd <= base)
            ++passed;
        steps.erase(steps.begin(), steps.begin() + passed);
        const qsizetype before = len;
        for (;;) {
            if (len > before && !stepsLeftInBlock())
                break;
            QByteArrayView step;
            if (!nextStep(step)) {
                reserve(len + 4 + kPadding);
                len += decoder->finish(buf.get() + len);
                textEnded = true;
                noteStep();
                break;
            }
            reserve(len + decoder->maxOutput(step.size()) + kPadding);
            len += decoder->decode(step, buf.get() + len);
            noteStep();
        }
        pad();
        markStops(before);
        return len > before;
    }

    /// The step that decoded the character at `lookPos`, if it is still known.
    const Step *stepLookedAt() const
    {
        if (lookPos == kLookedAtEverything)
            return nullptr;
        for (const Step &s : steps) {
            if (s.textEnd > lookPos)
                return &s;
        }
        return nullptr;
    }

    qint64 reportedBytesRead() const
    {
        const Step *s = stepLookedAt();
        return s ? s->bytesEnd : totalBytesRead;
    }

    qsizetype reportedReplacements() const
    {
        if (!decoder)
            return 0;
        const Step *s = stepLookedAt();
        return s ? s->replacementsEnd : decoder->replacementCount();
    }

    int charAtSlow(qsizetype at)
    {
        while (at - base >= len) {
            if (!refill())
                return kEnd;
        }
        return buf[at - base];
    }

    inline int charAt(qsizetype at)
    {
        const qsizetype rel = at - base;
        if (rel < len) [[likely]]
            return buf[rel];
        return charAtSlow(at);
    }

    QStringView text(qsizetype from, qsizetype to) const
    {
        return QStringView(buf.get() + (from - base), to - from);
    }

    // ---- the cleaned value -------------------------------------------------------------------

    void sanReset(qsizetype at)
    {
        sanStart = sanEnd = at;
        sanCopied = false;
        scratch.resize(0);
    }

    void sanAdd(qsizetype from, qsizetype to)
    {
        if (from == to)
            return;
        if (!sanCopied) {
            if (sanStart == sanEnd) {
                sanStart = from;
                sanEnd = to;
                return;
            }
            if (sanEnd == from) {
                sanEnd = to;
                return;
            }
            scratch.append(text(sanStart, sanEnd));
            sanCopied = true;
        }
        scratch.append(text(from, to));
    }

    QStringView sanView() const
    {
        return sanCopied ? QStringView(scratch) : text(sanStart, sanEnd);
    }

    // ---- whole records -----------------------------------------------------------------------

    void beginRecordFields()
    {
        recordFieldCount = 0;
        if (recordCopied) {
            recordCopied = false;
            recordText.resize(0);
            recordEnds.clear();
        }
    }

    void growRecordFields()
    {
        recordFields.resize(std::max<std::size_t>(16, recordFields.size() * 2));
    }

    void addRecordField(QStringView value)
    {
        if (!recordCopied) {
            if (recordFieldCount == qsizetype(recordFields.size()))
                growRecordFields();
            recordFields[std::size_t(recordFieldCount++)] = value;
            return;
        }
        recordText.append(value);
        recordEnds.push_back(recordText.size());
    }

    /// Copies the fields gathered so far, and every later one of the record, so that they outlive
    /// the text they were read from.
    void copyRecordFields()
    {
        if (recordCopied)
            return;
        for (qsizetype i = 0; i < recordFieldCount; ++i) {
            recordText.append(recordFields[std::size_t(i)]);
            recordEnds.push_back(recordText.size());
        }
        recordFieldCount = 0;
        recordCopied = true;
    }

    void deliverRecord(CsvParserDelegate *target, qsizetype line)
    {
        if (recordCopied) {
            if (recordFields.size() < recordEnds.size())
                recordFields.resize(recordEnds.size());
            recordFieldCount = 0;
            qsizetype start = 0;
            for (qsizetype end : recordEnds) {
                recordFields[std::size_t(recordFieldCount++)] =
                    QStringView(recordText.constData() + start, end - start);
                start = end;
            }
        }
        target->parserDidReadRecord(*q, line,
                                    CsvFields(recordFields.data(), std::size_t(recordFieldCount)));
        beginRecordFields();
    }

    // ---- grammar -----------------------------------------------------------------------------

    void parse()
    {
        std::fill(std::begin(slowStart), std::end(slowStart), false);
        slowStart[u'"'] = slowStart[u' '] = slowStart[u'\t'] = true;
        slowStart[u'='] = equalSign;
        slowStart[u'\\'] = escapes;
        // A white-space delimiter ends an empty field; it does not start white space.
        if (delimiter == u' ' || delimiter == u'\t')
            slowStart[delimiter] = false;
        wholeRecords = delegate && delegate->readsWholeRecords();
        beginRecordFields();
        if (delegate)
            delegate->parserDidBeginDocument(*q);
        record = 0;
        while (readRecord()) {
        }
        // Whatever the parse did not reach was not needed; at the end of the text, all was.
        lookPos = textEnded && pos >= base + len ? kLookedAtEverything : pos;
        if (cancelled) {
            if (!error && delegate)
                delegate->parserDidEndDocument(*q);
            return;
        }
        if (!error && readFailed)
            error = readFailedError(readError);
        if (error) {
            if (delegate)
                delegate->parserDidFailWithError(*q, *error);
        } else if (delegate) {
            delegate->parserDidEndDocument(*q);
        }
    }

    bool readRecord()
    {
        while (comments && charAt(pos) == u'#') {
            if (!readComment())
                return false;
        }
        if (cancelled || charAt(pos) == kEnd)
            return false;
        fieldIndex = 0;
        ++record;
        lookPos = pos;
        if (delegate && !wholeRecords)
            delegate->parserDidBeginLine(*q, record);
        for (;;) {
            const FastOutcome fast = readFastFields();
            if (fast != FastOutcome::NeedGeneralPath)
                break;
            if (!readField() || !readDelimiter())
                break;
        }
        if (!cancelled && delegate) {
            lookPos = pos;
            if (wholeRecords)
                deliverRecord(delegate, record);
            else
                delegate->parserDidEndLine(*q, record);
        }
        const bool sawBreak = skipLineBreaks();
        if (!sawBreak || error || cancelled)
            return false;
        return charAt(pos) != kEnd;
    }

    bool skipLineBreaks()
    {
        bool any = false;
        while (isLineBreak(charAt(pos))) {
            ++pos;
            any = true;
        }
        keep = pos;
        return any;
    }

    bool readComment()
    {
        if (cancelled)
            return false;
        ++pos; // '#'
        const qsizetype start = pos;
        keep = start;
        for (int c = charAt(pos); c != kEnd && !isLineBreak(c); c = charAt(pos)) {
            ++pos;
            if (c == u'\\' && escapes && charAt(pos) != kEnd)
                ++pos;
        }
        lookPos = pos;
        if (delegate)
            delegate->parserDidReadComment(*q, text(start, pos));
        keep = pos;
        skipLineBreaks();
        return true;
    }

    enum class FastOutcome {
        /// The record ends at the line break at `pos`; its end has not been reported.
        RecordEnded,
        Cancelled,
        /// The field at `pos` is for the general path.
        NeedGeneralPath,
    };

    /// The common case, straight from the text decoded so far: fields that start with no white
    /// space, quote, escape or equal sign, and the records they make up, as long as each field
    /// and the line breaks after a record end within the text. A bit mask of the delimiters and
    /// line breaks of 64 characters at a time finds the field ends. Anything else is left at
    /// `pos` for the general path.
    FastOutcome readFastFields()
    {
        if (cancelled)
            return FastOutcome::Cancelled;
        if (stopsEscape != (escapes ? u'\\' : delimiter))
            markStops(0); // the escape option changed during the parse
        if (!wholeRecords)
            return readFastFields<false>();
        // A record whose fields had to be copied is rare enough to finish on the general path.
        if (recordCopied)
            return FastOutcome::NeedGeneralPath;
        // The record path lists positions in the text as 32-bit numbers; a field of billions
        // of characters would make the text longer than that.
        const bool listable = len < qsizetype(std::numeric_limits<quint32>::max()) - kChunkRoom;
        return escapes || !listable ? readFastFields<true>() : readFastRecords();
    }

    /// Where the first field of word `w` that is for the general path starts, given the
    /// bounds that scanFields held back for it: the field that holds its first stray quote, or
    /// the first field that starts with a special character it does not take. -1 if none is.
    qsizetype firstSlowStart(qsizetype w, const WordBounds &held, const BoundLists &lists) const
    {
        qsizetype cut = -1;
        if (held.stray) {
            const int at = std::countr_zero(held.stray);
            const quint64 startsUpTo = held.starts & (~quint64(0) >> (63 - at));
            cut = startsUpTo ? w * 64 + 63 - std::countl_zero(startsUpTo)
                             : lists.startAt[lists.starts - 1];
        }
        const char16_t *const b = buf.get();
        for (quint64 special = held.special; special; special &= special - 1) {
            const qsizetype at = w * 64 + std::countr_zero(special);
            if (cut >= 0 && at >= cut)
                break;
            const char16_t c = b[at];
            // A comment can only begin a record.
            if (startsSlowField(c) || (c == u'#' && comments && isLineBreak(b[at - 1])))
                return at;
        }
        return cut;
    }

    /// Whether a field starting with `c` is one for the general path.
    bool startsSlowField(char16_t c) const
    {
        return c < 128 ? slowStart[c] : (c != delimiter && isWhitespace(c));
    }

    /// Words of text that readFastRecords turns into field bounds at a time: the bounds stay in
    /// a near cache.
    static constexpr qsizetype kChunkWords = 64;
    static constexpr qsizetype kChunkRoom = kChunkWords * 64 + 64;
    std::unique_ptr<quint32[]> endAt, startAt, recordEndAt;

    /// What readFastFields<true> does, for a parse without escapes, with no branch per field:
    /// scanFields works out from the masks where the fields of a chunk of words start and end,
    /// the nth field runs from the nth start to the nth end, and the records are delivered from
    /// the list of those ends that are line breaks. A word with a stray quote or a field start
    /// on a special character is looked at; if a field there is for the general path (or begins
    /// a comment), the chunk stops before it.
    FastOutcome readFastRecords()
    {
        const char16_t *const b = buf.get();
        const CharacterMasks *const words = masks.get();
        const qsizetype end = len;
        const qsizetype origin = base;
        const bool trimming = trim;
        // Sanitizing takes the quotes off (below) and undoubles doubled ones, which needs the
        // general path.
        const bool sanitizing = sanitize;
        CsvParserDelegate *const target = delegate;
        qsizetype i = pos - origin; // the start of the current field
        if (i >= end)
            return FastOutcome::NeedGeneralPath;
        if (!endAt) {
            endAt = std::make_unique<quint32[]>(kChunkRoom);
            startAt = std::make_unique<quint32[]>(kChunkRoom + 1);
            recordEndAt = std::make_unique<quint32[]>(kChunkRoom);
        }
        qsizetype index = recordFieldCount; // fields of the current record so far
        qsizetype line = record;
        const qsizetype textWords = (end + 63) / 64;
        qsizetype scanWord = i / 64;
        ScanCarry carry;
        FastOutcome outcome = FastOutcome::NeedGeneralPath;
        for (;;) {
            // The masks only show the starts after `i`.
            if (b[i] != u'"' && startsSlowField(b[i]))
                break;
            const qsizetype stopWord = std::min(scanWord + kChunkWords, textWords);
            if (scanWord == i / 64)
                carry = {};
            BoundLists lists{endAt.get(), startAt.get(), recordEndAt.get()};
            lists.startAt[lists.starts++] = quint32(i);
            const ScanSetup setup{i, end, sanitizing};
            qsizetype cutAt = -1;
            for (qsizetype w = scanWord; w < stopWord; ++w) {
                WordBounds held;
                w = scanFields(words, w, stopWord, setup, carry, lists, held);
                if (w == stopWord)
                    break;
                const qsizetype cut = firstSlowStart(w, held, lists);
                if (cut < 0) {
                    appendBounds(held, w, lists);
                    continue;
                }
                // Nothing from the field at `cut` on.
                if (cut >= w * 64) {
                    const quint64 before = (quint64(1) << (cut % 64)) - 1;
                    held.ends &= before;
                    held.starts &= before;
                    appendBounds(held, w, lists);
                } else {
                    // The field began in an earlier word, perhaps as the chunk's first one,
                    // whose start stays.
                    lists.dropFrom(quint32(cut));
                    lists.starts = std::max<qsizetype>(lists.starts, 1);
                }
                cutAt = cut;
                break;
            }
            const qsizetype fieldCount = lists.ends;
            const qsizetype startCount = lists.starts;
            while (qsizetype(recordFields.size()) < index + fieldCount)
                growRecordFields();
            QStringView *const slots = recordFields.data();
            fieldViews(b, lists.startAt, lists.endAt, fieldCount, slots + index);
            if (trimming || sanitizing) {
                // A field that starts with a quote here is a quoted one, whose value is what
                // lies between the quotes once sanitized, and is not trimmed then.
                for (qsizetype j = index; j < index + fieldCount; ++j) {
                    const QStringView value = slots[j];
                    if (sanitizing && !value.isEmpty() && value.front() == u'"')
                        slots[j] = value.sliced(1, value.size() - 2);
                    else if (trimming)
                        slots[j] = trimmed(value);
                }
            }
            // Each record whose next record's start is known goes out.
            qsizetype firstSlot = 0;
            for (qsizetype r = 0; r < lists.records; ++r) {
                const qsizetype fieldsTo = lists.recordEndAt[r];
                if (fieldsTo >= startCount)
                    break;
                lookPos = origin + lists.endAt[fieldsTo - 1];
                target->parserDidReadRecord(
                    *q, line,
                    CsvFields(slots + firstSlot, std::size_t(index + fieldsTo - firstSlot)));
                firstSlot = index + fieldsTo;
                if (cancelled) {
                    i = lists.startAt[fieldsTo];
                    index = 0;
                    outcome = FastOutcome::Cancelled;
                    break;
                }
                ++line;
            }
            if (outcome == FastOutcome::Cancelled)
                break;
            const qsizetype pending = index + fieldCount - firstSlot;
            if (firstSlot > 0)
                std::copy_n(slots + firstSlot, pending, slots);
            index = pending;
            if (startCount > fieldCount) {
                i = lists.startAt[fieldCount]; // the field under way
            } else if (isLineBreak(b[lists.endAt[fieldCount - 1]])) {
                // What follows the record is not known yet: the general path ends it.
                i = lists.endAt[fieldCount - 1];
                outcome = FastOutcome::RecordEnded;
                break;
            } else {
                i = lists.endAt[fieldCount - 1] + 1;
            }
            if (cutAt >= 0 || stopWord == textWords || i >= end)
                break; // a field for the general path, or one that runs past the text
            // A chunk without an end leaves the field under way: go on after it.
            scanWord = fieldCount == 0 ? stopWord : i / 64;
        }
        recordFieldCount = fieldIndex = index;
        record = line;
        pos = keep = origin + i;
        return outcome;
    }

    /// With `Whole`, the fields go to the record's slots (still views into the text) and a
    /// line break delivers the record.
    template <bool Whole> FastOutcome readFastFields()
    {
        // Locals, since the delegate call could otherwise change any member as far as the
        // compiler knows; only `cancelled` has to be looked at again after it.
        const char16_t *const b = buf.get();
        const CharacterMasks *const words = masks.get();
        const qsizetype end = len;
        const qsizetype origin = base;
        const char16_t sep = delimiter;
        const bool checkEscape = escapes;
        const bool checkComments = comments;
        const bool trimming = trim;
        CsvParser &parser = *q;
        CsvParserDelegate *const target = delegate;
        QStringView *slots = recordFields.data();
        qsizetype slotCount = qsizetype(recordFields.size());
        qsizetype index = fieldIndex;
        qsizetype line = record;
        qsizetype i = pos - origin; // the start of the current field
        // Invariant: `mask` holds the stops at and after `i` in word `k`.
        qsizetype k = i / 64;
        quint64 mask = i < end ? words[k].stops & (~quint64(0) << (i % 64)) : 0;
        FastOutcome outcome = FastOutcome::NeedGeneralPath;
        while (i < end) {
            const char16_t c = b[i];
            if (c < 128 ? slowStart[c] : (c != sep && isWhitespace(c)))
                break;
            while (!mask && ++k * 64 < end)
                mask = words[k].stops;
            const qsizetype f = k * 64 + std::countr_zero(mask);
            if (!mask || f >= end)
                break; // the field runs past the text decoded so far
            const char16_t stop = b[f];
            if (checkEscape && stop == u'\\')
                break;
            mask &= mask - 1;
            if (target) {
                const QStringView value(b + i, f - i);
                if constexpr (Whole) {
                    if (index == slotCount) [[unlikely]] {
                        growRecordFields();
                        slots = recordFields.data();
                        slotCount = qsizetype(recordFields.size());
                    }
                    slots[index] = trimming ? trimmed(value) : value;
                } else {
                    lookPos = origin + f;
                    target->parserDidReadField(parser, trimming ? trimmed(value) : value, index);
                    if (cancelled) {
                        ++index;
                        outcome = FastOutcome::Cancelled;
                        i = f;
                        break;
                    }
                }
            }
            ++index;
            if (stop == sep) {
                i = f + 1;
                continue;
            }
            // A line break ends the record. The next one is begun here only when the whole run
            // of line breaks and the character after it are in the text.
            qsizetype r = f + 1;
            while (r < end && isLineBreak(b[r]))
                ++r;
            if (r >= end || (checkComments && b[r] == u'#')) {
                outcome = FastOutcome::RecordEnded;
                i = f;
                break;
            }
            if (target) {
                lookPos = origin + f;
                if constexpr (Whole) {
                    recordFieldCount = index;
                    deliverRecord(target, line);
                } else {
                    target->parserDidEndLine(parser, line);
                }
            }
            i = r;
            if (cancelled) {
                outcome = FastOutcome::Cancelled;
                break;
            }
            index = 0;
            ++line;
            if (!Whole && target) {
                lookPos = origin + r;
                target->parserDidBeginLine(parser, line);
            }
            if (cancelled) {
                outcome = FastOutcome::Cancelled;
                break;
            }
            if (r / 64 != k) {
                k = r / 64;
                mask = words[k].stops;
            }
            mask &= ~quint64(0) << (r % 64);
        }
        if (Whole && target)
            recordFieldCount = index;
        fieldIndex = index;
        record = line;
        pos = keep = origin + i;
        return outcome;
    }

    qsizetype skipWhitespace()
    {
        const qsizetype from = pos;
        for (int c = charAt(pos); c != delimiter && isWhitespace(c); c = charAt(pos))
            ++pos;
        return from;
    }

    bool readField()
    {
        if (cancelled)
            return false;
        const qsizetype start = pos;
        keep = start;
        if (sanitize)
            sanReset(start);
        int c = charAt(pos);
        if (isWhitespace(c) && c != delimiter) [[unlikely]] {
            skipWhitespace();
            if (sanitize && !trim)
                sanAdd(start, pos);
            c = charAt(pos);
        }
        bool closed = true;
        if (c == u'"') {
            closed = readQuoted();
        } else if (c == u'=' && equalSign && charAt(pos + 1) == u'"') {
            ++pos;
            closed = readQuoted();
        } else {
            readPlain();
        }
        if (!closed) {
            // The input ended inside quotes: report what was read rather than lose it.
            endedInsideQuotes = true;
        } else if (const int after = charAt(pos); isWhitespace(after) && after != delimiter) {
            const qsizetype from = skipWhitespace();
            if (sanitize && !trim)
                sanAdd(from, pos);
        }
        if (delegate) {
            QStringView value;
            if (sanitize) {
                value = sanView();
            } else {
                value = text(start, pos);
                if (trim)
                    value = trimmed(value);
            }
            if (wholeRecords) {
                // The scratch copy is reused by the next field.
                if (sanitize && sanCopied)
                    copyRecordFields();
                addRecordField(value);
            } else {
                lookPos = pos;
                delegate->parserDidReadField(*q, value, fieldIndex);
            }
        }
        ++fieldIndex;
        keep = pos;
        return closed;
    }

    void readPlain()
    {
        const char16_t escape = escapes ? u'\\' : delimiter;
        qsizetype run = pos;
        for (;;) {
            const char16_t *b = buf.get();
            const char16_t *end = b + len;
            const char16_t *p = scanPlain(b + (pos - base), delimiter, escape);
            if (p >= end) {
                pos = base + len;
                if (!refill())
                    break;
                continue;
            }
            pos = base + (p - b);
            if (*p == u'\\' && escapes) {
                if (sanitize)
                    sanAdd(run, pos);
                ++pos;
                run = pos;
                if (charAt(pos) == kEnd)
                    break;
                ++pos; // taken as it is, whatever it is
                continue;
            }
            break;
        }
        if (sanitize) {
            sanAdd(run, pos);
            if (trim) {
                const QStringView t = trimmed(sanView());
                if (sanCopied) {
                    scratch = t.toString();
                } else {
                    sanStart = base + (t.data() - reinterpret_cast<const QChar *>(buf.get()));
                    sanEnd = sanStart + t.size();
                }
            }
        }
    }

    /// Reads from the opening quote at `pos`; false if the input ends before the closing one.
    bool readQuoted()
    {
        ++pos; // opening quote
        const char16_t escape = escapes ? u'\\' : u'"';
        qsizetype run = pos;
        for (;;) {
            const char16_t *b = buf.get();
            const char16_t *end = b + len;
            const char16_t *p = scanQuoted(b + (pos - base), escape);
            if (p >= end) {
                pos = base + len;
                if (!refill()) {
                    if (sanitize)
                        sanAdd(run, pos);
                    return false;
                }
                continue;
            }
            pos = base + (p - b);
            if (*p == u'\\' && escapes) {
                if (sanitize)
                    sanAdd(run, pos);
                ++pos;
                run = pos;
                if (charAt(pos) == kEnd)
                    return false;
                ++pos;
                continue;
            }
            // A double quote: doubled it stands for one, alone it closes the field.
            if (charAt(pos + 1) == u'"') {
                if (sanitize)
                    sanAdd(run, pos + 1);
                pos += 2;
                run = pos;
                continue;
            }
            if (sanitize)
                sanAdd(run, pos);
            ++pos;
            return true;
        }
    }

    bool readDelimiter()
    {
        const int c = charAt(pos);
        if (c == delimiter) {
            ++pos;
            keep = pos;
            return true;
        }
        if (c == kEnd || isLineBreak(c))
            return false;
        error = unexpectedDelimiterError(delimiter, char16_t(c));
        return false;
    }
};

CsvParser::CsvParser(std::unique_ptr<ByteReader> reader, QChar delimiter, CsvEncoding encoding)
    : d(std::make_unique<Impl>())
{
    if (!reader)
        throw CsvParameterError("Invalid parameter not satisfying: stream");
    if (delimiter.isNull())
        throw CsvParameterError("Invalid parameter not satisfying: delimiter");
    if (isLineBreak(delimiter.unicode()) || isOtherLineSeparator(delimiter.unicode()))
        throw CsvParameterError("The field delimiter may not be a newline");
    if (delimiter == u'"')
        throw CsvParameterError("The field delimiter may not be a double quote");
    d->q = this;
    d->reader = std::move(reader);
    d->delimiter = delimiter.unicode();
    d->reserve(kStepSize + kPadding);
    d->pad();
    d->markStops(0);
    d->encoding = encoding;
    if (encoding == CsvEncoding::Unknown)
        d->sniffEncoding();
    d->decoder = CsvDecoder::create(d->encoding);
}

namespace {
std::unique_ptr<ByteReader> deviceReader(QIODevice *device)
{
    if (!device)
        throw CsvParameterError("Invalid parameter not satisfying: stream");
    return std::make_unique<DeviceByteReader>(device);
}
} // namespace

CsvParser::CsvParser(QIODevice *device, QChar delimiter, CsvEncoding encoding)
    : CsvParser(deviceReader(device), delimiter, encoding)
{}

CsvParser::CsvParser(const QByteArray &bytes, QChar delimiter, CsvEncoding encoding)
    : CsvParser(std::make_unique<MemoryByteReader>(bytes), delimiter, encoding)
{}

CsvParser::CsvParser(const QUrl &url, QChar delimiter, CsvEncoding encoding)
    : CsvParser(readerForUrl(url), delimiter, encoding)
{}

CsvParser::~CsvParser() = default;

CsvParser CsvParser::fromFile(const QString &path, QChar delimiter, CsvEncoding encoding)
{
    return CsvParser(std::make_unique<FileByteReader>(path), delimiter, encoding);
}

CsvParser CsvParser::fromString(const QString &text, QChar delimiter)
{
    return CsvParser(text.toUtf8(), delimiter);
}

CsvParserDelegate *CsvParser::delegate() const
{
    return d->delegate;
}

void CsvParser::setDelegate(CsvParserDelegate *delegate)
{
    d->delegate = delegate;
}

QChar CsvParser::delimiter() const
{
    return QChar(d->delimiter);
}

CsvEncoding CsvParser::streamEncoding() const
{
    return d->encoding;
}

bool CsvParser::encodingWasGuessed() const
{
    return d->guessed;
}

bool CsvParser::sanitizesFields() const
{
    return d->sanitize;
}

void CsvParser::setSanitizesFields(bool on)
{
    d->sanitize = on;
}

bool CsvParser::trimsWhitespace() const
{
    return d->trim;
}

void CsvParser::setTrimsWhitespace(bool on)
{
    d->trim = on;
}

bool CsvParser::recognizesBackslashesAsEscapes() const
{
    return d->escapes;
}

void CsvParser::setRecognizesBackslashesAsEscapes(bool on)
{
    d->escapes = on;
    if (on && d->delimiter == u'\\')
        throw CsvInconsistencyError(
            "Cannot recognize backslashes as escapes when using '\\' as the delimiter");
}

bool CsvParser::recognizesComments() const
{
    return d->comments;
}

void CsvParser::setRecognizesComments(bool on)
{
    d->comments = on;
    if (on && d->delimiter == u'#')
        throw CsvInconsistencyError("Cannot recognize comments when using '#' as the delimiter");
}

bool CsvParser::recognizesLeadingEqualSign() const
{
    return d->equalSign;
}

void CsvParser::setRecognizesLeadingEqualSign(bool on)
{
    d->equalSign = on;
    if (on && d->delimiter == u'=')
        throw CsvInconsistencyError(
            "Cannot recognize leading equal sign when using '=' as the delimiter");
}

void CsvParser::applyOptions(CsvOptions options)
{
    setRecognizesBackslashesAsEscapes(options.testFlag(BackslashEscapes));
    setSanitizesFields(options.testFlag(SanitizeFields));
    setRecognizesComments(options.testFlag(RecognizeComments));
    setTrimsWhitespace(options.testFlag(TrimWhitespace));
    setRecognizesLeadingEqualSign(options.testFlag(RecognizeLeadingEqualSign));
}

void CsvParser::parse()
{
    d->parse();
}

void CsvParser::cancelParsing()
{
    d->cancelled = true;
}

bool CsvParser::isCancelled() const
{
    return d->cancelled;
}

qint64 CsvParser::totalBytesRead() const
{
    return d->reportedBytesRead();
}

qsizetype CsvParser::replacementCharacterCount() const
{
    return d->reportedReplacements();
}

bool CsvParser::endedInsideQuotedField() const
{
    return d->endedInsideQuotes;
}

std::optional<CsvError> CsvParser::error() const
{
    return d->error;
}

} // namespace plotwell::csv
