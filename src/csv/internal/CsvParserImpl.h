#pragma once

// The parser's state, shared by the files that make it up: CsvParser.cpp (the public class),
// CsvParserInput.cpp (bytes, decoding and the window of text), CsvParserGrammar.cpp (the general
// grammar) and CsvParserFastPaths.cpp (the field and record fast paths). Not for use outside
// src/csv.

#include "csv/CharacterMasks.h"
#include "csv/CsvDecoder.h"
#include "csv/CsvParser.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <type_traits>
#include <vector>

namespace plotwell::csv {

namespace parsing {

/// Bytes taken from the source per system call; the parser then works through them in the small
/// steps below, so the text held at any time stays about one step plus the current field.
inline constexpr qsizetype kBlockSize = 64 * 1024;
inline constexpr qsizetype kStepSize = 512;
/// Characters after the text that stop every scanner, so the scans need no bounds checks; at
/// least one 64-character window, which the field loop reads whole.
inline constexpr qsizetype kPadding = 64;
inline constexpr int kEnd = -1;

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

inline QStringView trimmed(QStringView s)
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

/// An array from malloc, so that it can grow by realloc: a large block is then moved by
/// remapping its pages rather than copied, and never needs room for two copies of itself.
struct FreeMemory
{
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using GrowableArray = std::unique_ptr<T[], FreeMemory>;

/// `array` with room for `count` elements, those in use kept; its new elements are unset.
template <typename T> void grow(GrowableArray<T> &array, qsizetype count)
{
    static_assert(std::is_trivially_copyable_v<T>);
    void *const grown = std::realloc(array.get(), std::size_t(count) * sizeof(T));
    if (!grown)
        throw std::bad_alloc();
    (void)array.release();
    array.reset(static_cast<T *>(grown));
}

} // namespace parsing

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
    parsing::GrowableArray<char16_t> buf;
    // Word k describes buf[64 * k] to buf[64 * k + 63]; its stops hold `stopsEscape`.
    parsing::GrowableArray<CharacterMasks> masks;
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

    // Whole-record delivery: the fields of the record being read, as views into the text. The
    // text of a record stays until it is delivered, however long, and the views follow it when
    // it moves (moveRecordFields).
    bool wholeRecords = false;
    std::vector<QStringView> recordFields; // the first recordFieldCount are in use
    qsizetype recordFieldCount = 0;

    // ASCII characters that send a field to the general path when they start it.
    bool slowStart[128] = {};

    // The cleaned value of the current field: a range of the text, where the pieces of a value
    // with doubled quotes or escapes are moved together (over the text already read), so that
    // a long value is never held twice.
    qsizetype sanStart = 0;
    qsizetype sanEnd = 0;

    /// Words of text that readFastRecords turns into field bounds at a time: the bounds stay in
    /// a near cache.
    static constexpr qsizetype kChunkWords = 64;
    static constexpr qsizetype kChunkRoom = kChunkWords * 64 + 64;
    std::unique_ptr<quint32[]> endAt, startAt, recordEndAt;

    // ---- bytes, decoding and the window of text (CsvParserInput.cpp) --------------------------

    /// Up to `max` more bytes from the current block, reading the next block when it is used up.
    bool takeBytes(qsizetype max, QByteArrayView &out);
    /// The next step of bytes for the decoder.
    bool nextStep(QByteArrayView &out);
    void dropEarly(qsizetype n);
    void sniffEncoding();
    void reserve(qsizetype needed);
    /// Points the fields of the record under way at their text again once it has moved by
    /// `bytes`: worked out on addresses as numbers, as the old text may be gone. Rare (a
    /// record moves when a refill first drops what lies before it, and when the text grows),
    /// so a record of many fields is not walked at every refill.
    void moveRecordFields(std::ptrdiff_t bytes);
    /// Brings the masks up to date from the word that holds `from` to the end of the text.
    void markStops(qsizetype from);
    void pad();
    bool stepsLeftInBlock() const { return earlyPiece < earlyPieces.size() || blockPos < blockLen; }
    void noteStep() { steps.push_back({base + len, totalBytesRead, decoder->replacementCount()}); }
    /// Decodes more text, dropping what lies before `keep`: every step left in the current block,
    /// and at least one character unless the text has ended. False once the text has ended.
    bool refill();
    /// The step that decoded the character at `lookPos`, if it is still known.
    const Step *stepLookedAt() const;
    qint64 reportedBytesRead() const;
    qsizetype reportedReplacements() const;
    int charAtSlow(qsizetype at);

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

    // ---- the general grammar (CsvParserGrammar.cpp) ------------------------------------------

    void sanReset(qsizetype at);
    void sanAdd(qsizetype from, qsizetype to);
    QStringView sanView() const { return text(sanStart, sanEnd); }

    void parse();
    bool readRecord();
    bool skipLineBreaks();
    bool readComment();
    qsizetype skipWhitespace();
    bool readField();
    void readPlain();
    /// Reads from the opening quote at `pos`; false if the input ends before the closing one.
    bool readQuoted();
    bool readDelimiter();

    // ---- whole records and the fast paths (CsvParserFastPaths.cpp) ---------------------------

    void beginRecordFields();
    void growRecordFields();
    void addRecordField(QStringView value);
    void deliverRecord(CsvParserDelegate *target, qsizetype line);

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
    FastOutcome readFastFields();
    /// Where the first field of word `w` that is for the general path starts, given the
    /// bounds that scanFields held back for it: the field that holds its first stray quote, or
    /// the first field that starts with a special character it does not take. -1 if none is.
    qsizetype firstSlowStart(qsizetype w, const WordBounds &held, const BoundLists &lists) const;

    /// Whether a field starting with `c` is one for the general path.
    bool startsSlowField(char16_t c) const
    {
        return c < 128 ? slowStart[c] : (c != delimiter && parsing::isWhitespace(c));
    }

    /// What readFastFields<true> does, for a parse without escapes, with no branch per field:
    /// scanFields works out from the masks where the fields of a chunk of words start and end,
    /// the nth field runs from the nth start to the nth end, and the records are delivered from
    /// the list of those ends that are line breaks. A word with a stray quote or a field start
    /// on a special character is looked at; if a field there is for the general path (or begins
    /// a comment), the chunk stops before it.
    FastOutcome readFastRecords();
    /// With `Whole`, the fields go to the record's slots (still views into the text) and a
    /// line break delivers the record.
    template <bool Whole> FastOutcome readFastFields();
};

} // namespace plotwell::csv
