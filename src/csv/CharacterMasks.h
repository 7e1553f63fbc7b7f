#pragma once

#include <QStringView>
#include <QtGlobal>

namespace plotwell::csv {

/// What 64 characters of decoded text hold, one bit per character (bit i for character i).
struct CharacterMasks
{
    /// The delimiter, the escape character and the line breaks: where a plain field can end.
    quint64 stops = 0;
    /// Line breaks.
    quint64 breaks = 0;
    /// Characters that may make a field starting with them one for the general path: '"', ' ',
    /// '\t', '=', '#', '\\' and everything from U+0080, unless it is the delimiter. A superset:
    /// whether one of them does depends on the options and, for U+0080 on, on the character.
    quint64 special = 0;
    /// Double quotes.
    quint64 quotes = 0;
};

/// Fills `out[0, words)` from `text`, which must hold 64 readable characters per word. Pass the
/// delimiter as `escape` when escapes are off. Uses the widest vectors the processor has;
/// PLOTWELL_CSV_NO_AVX2 in the environment keeps it to SSE2 and PLOTWELL_CSV_NO_AVX512 to AVX2,
/// so that every path can be tested on one machine.
void classifyCharacters(const char16_t *text, CharacterMasks *out, qsizetype words,
                        char16_t delimiter, char16_t escape);

/// How many positions listBounds wrote to each of its outputs.
struct BoundCounts
{
    qsizetype ends = 0;
    qsizetype starts = 0;
    qsizetype records = 0;
};

/// Turns bit masks of `words` words into positions: for word w, bit b stands for position
/// `first + 64 * w + b`. Writes the positions of the bits of `ends` to `endAt` and of `starts`
/// to `startAt`; for each bit of `ends` that is also one of `breaks`, writes its number among
/// all the ends (counted from one) to `recordEndAt`. Each output needs room for its count plus
/// 64 more, since whole vectors are stored.
BoundCounts listBounds(const quint64 *ends, const quint64 *starts, const quint64 *breaks,
                       qsizetype words, quint32 first, quint32 *endAt, quint32 *startAt,
                       quint32 *recordEndAt);

/// Writes `count` views into `text` to `out`: view j runs from `startAt[j]` to `endAt[j]`.
void fieldViews(const char16_t *text, const quint32 *startAt, const quint32 *endAt,
                qsizetype count, QStringView *out);

} // namespace plotwell::csv
