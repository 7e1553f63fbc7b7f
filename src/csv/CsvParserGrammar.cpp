// The general grammar: every field and record the fast paths leave, character by character
// through the window of text, with quotes, escapes, comments, white space and cleaned values.
#include "csv/internal/CsvParserImpl.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plotwell::csv {

using namespace parsing;

namespace {

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

void CsvParser::Impl::sanReset(qsizetype at)
{
    sanStart = sanEnd = at;
}

void CsvParser::Impl::sanAdd(qsizetype from, qsizetype to)
{
    if (from == to)
        return;
    if (sanStart == sanEnd) {
        sanStart = from;
    } else if (sanEnd != from) {
        // What lies between is not part of the value (a quote, an escape): the piece moves
        // down over it. That stretch of the field has been read and is not looked at again.
        std::memmove(buf.get() + (sanEnd - base), buf.get() + (from - base),
                     std::size_t(to - from) * sizeof(char16_t));
        to = sanEnd + (to - from);
    }
    sanEnd = to;
}

void CsvParser::Impl::parse()
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

bool CsvParser::Impl::readRecord()
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

bool CsvParser::Impl::skipLineBreaks()
{
    bool any = false;
    while (isLineBreak(charAt(pos))) {
        ++pos;
        any = true;
    }
    keep = pos;
    return any;
}

bool CsvParser::Impl::readComment()
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

qsizetype CsvParser::Impl::skipWhitespace()
{
    const qsizetype from = pos;
    for (int c = charAt(pos); c != delimiter && isWhitespace(c); c = charAt(pos))
        ++pos;
    return from;
}

bool CsvParser::Impl::readField()
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

void CsvParser::Impl::readPlain()
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
            sanStart = base + (t.data() - reinterpret_cast<const QChar *>(buf.get()));
            sanEnd = sanStart + t.size();
        }
    }
}

bool CsvParser::Impl::readQuoted()
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

bool CsvParser::Impl::readDelimiter()
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

} // namespace plotwell::csv
