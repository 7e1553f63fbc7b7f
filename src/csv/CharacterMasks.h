#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace plotwell::csv {

/// The vectors the CSV code uses. A wider path is used only where it is measured faster: the
/// first parse times every path the processor has on the same text, a fraction of a
/// millisecond, and takes the narrowest one that no wider one clearly beats.
/// PLOTWELL_CSV_NO_AVX2 in the environment keeps it to SSE2, PLOTWELL_CSV_NO_AVX512 to AVX2, and
/// PLOTWELL_CSV_VECTORS=avx512|avx2|sse2 asks for one path (or the widest below it that the
/// processor has), unmeasured, so that every path can be tested on one machine.
enum class CsvVectors { Sse2, Avx2, Avx512 };
CsvVectors csvVectors();

struct CsvVectorChoice
{
    CsvVectors vectors = CsvVectors::Sse2;
    /// False when the processor or the environment left one path.
    bool measured = false;
    /// Nanoseconds per 64 characters of each path measured, by CsvVectors; 0 where not.
    double nsPerWord[3] = {};
};
const CsvVectorChoice &csvVectorChoice();
const char *csvVectorsName(CsvVectors vectors);
/// The path and how it was chosen, for benchmarks and logs.
QString describeCsvVectorChoice();

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
/// delimiter as `escape` when escapes are off.
void classifyCharacters(const char16_t *text, CharacterMasks *out, qsizetype words,
                        char16_t delimiter, char16_t escape);

/// Positions of field bounds in the order of the text, as scanFields appends them. Each array
/// needs room for its count plus 64, since whole vectors are stored.
struct BoundLists
{
    /// Where each field ends: at its delimiter or at the first line break after it.
    quint32 *endAt = nullptr;
    /// Where each field starts.
    quint32 *startAt = nullptr;
    /// For each field that ends a record, its number among the ends, counted from one.
    quint32 *recordEndAt = nullptr;
    qsizetype ends = 0;
    qsizetype starts = 0;
    qsizetype records = 0;

    /// Forgets every bound from `position` on.
    void dropFrom(quint32 position)
    {
        while (ends > 0 && endAt[ends - 1] >= position)
            --ends;
        while (starts > 0 && startAt[starts - 1] >= position)
            --starts;
        while (records > 0 && recordEndAt[records - 1] > quint32(ends))
            --records;
    }
};

/// How a scan reads the masks.
struct ScanSetup
{
    /// Where the first field starts: nothing before it is looked at.
    qsizetype entry = 0;
    /// Where the text decoded so far ends: nothing from here on is looked at.
    qsizetype textEnd = 0;
    /// Whether a doubled quote inside quotes is stray: a field with one needs the general path
    /// when its value is to be without the quotes.
    bool doubledQuotesStray = false;
};

/// What a scan carries from one word to the next.
struct ScanCarry
{
    quint64 breaks = 0;
    quint64 delimiters = 0;
    /// All ones when the word ended inside quotes.
    quint64 inside = 0;
};

/// The bounds of a word that needs a closer look before they are taken.
struct WordBounds
{
    quint64 ends = 0;
    quint64 starts = 0;
    quint64 breaks = 0;
    /// Quotes that are none of: an opening one at a field start, a closing one right before the
    /// field's end, a doubled one inside.
    quint64 stray = 0;
    /// Field starts on special characters (quotes aside when they are taken in).
    quint64 special = 0;
};

/// Works out the field bounds of words [from, to) from their masks, for text without escapes,
/// and appends them to `lists`. A run of line breaks ends one field, at its first break; the
/// delimiters and line breaks inside quotes are part of their field. Stops
/// at the first word with a stray quote or a special start, and returns its number with its
/// bounds in `held` (not appended; `carry` is past it); returns `to` when there is none.
qsizetype scanFields(const CharacterMasks *masks, qsizetype from, qsizetype to,
                     const ScanSetup &setup, ScanCarry &carry, BoundLists &lists, WordBounds &held);

/// Appends the bounds of word `word` as held back by scanFields, once looked at.
void appendBounds(const WordBounds &bounds, qsizetype word, BoundLists &lists);

/// Writes `count` views into `text` to `out`: view j runs from `startAt[j]` to `endAt[j]`.
void fieldViews(const char16_t *text, const quint32 *startAt, const quint32 *endAt, qsizetype count,
                QStringView *out);

} // namespace plotwell::csv
