#include "csv/CharacterMasks.h"

#include <QStringList>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PLOTWELL_CSV_X86_DISPATCH 1
#include <immintrin.h>
#endif
#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's AVX-512 intrinsics build their results from an undefined vector, which it then
// reports as used uninitialized.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

namespace plotwell::csv {

namespace {

/// Records end at CR and LF only, as other CSV readers have them: a vertical tab, a form feed or
/// a Unicode line separator pasted into a value stays in it.
constexpr bool isBreak(char16_t c)
{
    return c == 0x0A || c == 0x0D;
}

/// Vertical tab and form feed are special as white space is: trimming takes them off a field.
constexpr bool isSpecial(char16_t c)
{
    return c >= 0x80 || c == u'"' || c == u' ' || c == u'\t' || c == u'=' || c == u'#' ||
           c == u'\\' || c == 0x0B || c == 0x0C;
}

CharacterMasks classifyWordScalar(const char16_t *p, char16_t delimiter, char16_t escape)
{
    CharacterMasks m;
    for (int i = 0; i < 64; ++i) {
        const char16_t c = p[i];
        const quint64 bit = quint64(1) << i;
        const bool brk = isBreak(c);
        if (brk)
            m.breaks |= bit;
        if (brk || c == delimiter || c == escape)
            m.stops |= bit;
        if (c != delimiter && isSpecial(c))
            m.special |= bit;
        if (c == u'"')
            m.quotes |= bit;
    }
    return m;
}

/// The bounds of word `w`: see scanFields. `prefixXor` gives, for each bit, the parity of the
/// set bits up to and including it.
template <typename PrefixXor>
__attribute__((always_inline)) inline WordBounds boundsOfWord(const CharacterMasks &m, qsizetype w,
                                                              const ScanSetup &setup,
                                                              ScanCarry &carry, PrefixXor prefixXor)
{
    const qsizetype first = w * 64;
    const quint64 valid = first + 64 <= setup.textEnd ? ~quint64(0)
                          : setup.textEnd > first     ? (quint64(1) << (setup.textEnd - first)) - 1
                                                      : 0;
    const bool isEntryWord = w == setup.entry / 64;
    const quint64 entry = isEntryWord ? quint64(1) << (setup.entry % 64) : 0;
    const quint64 fromEntry = isEntryWord ? ~quint64(0) << (setup.entry % 64) : ~quint64(0);
    const quint64 quotes = m.quotes & valid & fromEntry;
    // From each opening quote up to its closing one; a doubled quote inside closes and opens
    // again, which changes nothing.
    const quint64 inside = prefixXor(quotes) ^ carry.inside;
    const quint64 insideAfterPrevious = (inside << 1) | (carry.inside >> 63);
    const quint64 breaks = m.breaks & valid & ~inside;
    const quint64 delimiters = m.stops & ~m.breaks & valid & ~inside;
    const quint64 afterBreak = (breaks << 1) | (carry.breaks >> 63);
    WordBounds b;
    b.breaks = breaks;
    b.ends = (delimiters | breaks) & ~(breaks & afterBreak) & fromEntry;
    b.starts = (((delimiters << 1) | (carry.delimiters >> 63)) | (afterBreak & ~breaks)) & valid &
               fromEntry & ~entry;
    carry = {breaks, delimiters, quint64(qint64(inside) >> 63)};
    const quint64 opening = quotes & inside & ~insideAfterPrevious;
    const quint64 closing = quotes & ~inside;
    // A closing quote whose next character is in the next word is stray here, to keep this to
    // one word.
    const quint64 doubled = closing & (opening >> 1);
    b.stray = (opening & ~(b.starts | entry | (closing << 1))) |
              (closing & ~(((delimiters | breaks) >> 1) | (opening >> 1))) |
              (setup.doubledQuotesStray ? doubled : 0);
    b.special = b.starts & m.special & ~m.quotes;
    return b;
}

quint64 prefixXorShifts(quint64 bits)
{
    bits ^= bits << 1;
    bits ^= bits << 2;
    bits ^= bits << 4;
    bits ^= bits << 8;
    bits ^= bits << 16;
    return bits ^ (bits << 32);
}

/// A byte that no ASCII character equals, for a delimiter or escape outside ASCII: a word of
/// text that only holds ASCII cannot contain it.
constexpr char asciiOrNone(char16_t c)
{
    return c < 0x80 ? char(c) : char(0xFF);
}

/// Lanes of 8 or 16 bits, N bytes of them, in GCC's vector extension: code written with them
/// takes the instructions of whatever processor the function it is inlined into is compiled for.
template <int N> struct ByteLanes
{
    typedef unsigned char Element;
    typedef unsigned char Unsigned __attribute__((vector_size(N)));
    typedef char Mask __attribute__((vector_size(N)));
    static constexpr bool wide = false;
};

template <int N> struct UnitLanes
{
    // Not char16_t: clang 14 crashes comparing a vector with one.
    typedef unsigned short Element;
    typedef unsigned short Unsigned __attribute__((vector_size(N)));
    typedef short Mask __attribute__((vector_size(N)));
    static constexpr bool wide = true;
};

/// Lane masks (all ones where a lane is one) of the four classes.
template <typename L> struct LaneClasses
{
    typename L::Mask stops, breaks, special, quotes;
};

/// The classes of characters in lanes: 16-bit ones, or bytes packed from ASCII characters (for
/// which the delimiter and escape are given as asciiOrNone makes them).
template <typename L>
__attribute__((always_inline)) inline LaneClasses<L> classifyLanes(const typename L::Unsigned &v,
                                                                   typename L::Element delimiter,
                                                                   typename L::Element escape)
{
    using Mask = typename L::Mask;
    const Mask delimiters = Mask(v == delimiter);
    const Mask breaks = Mask(v == 0x0A) | Mask(v == 0x0D);
    const Mask quotes = Mask(v == '"');
    Mask special = quotes | Mask(v == ' ') | Mask(v == '\t') | Mask(v == '=') | Mask(v == '#') |
                   Mask(v == '\\') | Mask((v - 0x0B) <= 1);
    if constexpr (L::wide)
        special |= Mask(v >= 0x80);
    return {delimiters | breaks | Mask(v == escape), breaks, special & ~delimiters, quotes};
}

/// Ors the masks of a run of characters into `m`, the first of them at character `at` of its word.
inline void addMasks(CharacterMasks &m, int at, quint64 stops, quint64 breaks, quint64 special,
                     quint64 quotes)
{
    m.stops |= stops << at;
    m.breaks |= breaks << at;
    m.special |= special << at;
    m.quotes |= quotes << at;
}

#if defined(__SSE2__)
void classifySse2(const char16_t *text, CharacterMasks *out, qsizetype words, char16_t delimiter,
                  char16_t escape)
{
    for (qsizetype w = 0; w < words; ++w, text += 64) {
        CharacterMasks m;
        bool ascii = true;
        for (int i = 0; i < 64 && ascii; i += 16) {
            // Saturating to bytes keeps every character from U+0080 at or above 0x80.
            const __m128i v =
                _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i)),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i + 8)));
            if (_mm_movemask_epi8(v)) {
                ascii = false;
                break;
            }
            const auto c = classifyLanes<ByteLanes<16>>(
                ByteLanes<16>::Unsigned(v), asciiOrNone(delimiter), asciiOrNone(escape));
            auto bits = [](auto lanes) { return unsigned(_mm_movemask_epi8(__m128i(lanes))); };
            addMasks(m, i, bits(c.stops), bits(c.breaks), bits(c.special), bits(c.quotes));
        }
        out[w] = ascii ? m : classifyWordScalar(text, delimiter, escape);
    }
}
#endif

#if defined(PLOTWELL_CSV_X86_DISPATCH)
/// One bit per byte lane of a mask.
__attribute__((target("avx2"), always_inline)) inline unsigned
byteBits(const ByteLanes<32>::Mask &m)
{
    return unsigned(_mm256_movemask_epi8(__m256i(m)));
}

/// One bit per 16-bit lane of a mask: of the two that the byte mask has, the even one.
__attribute__((target("avx2,bmi2"), always_inline)) inline unsigned
unitBits(const UnitLanes<32>::Mask &m)
{
    return _pext_u32(byteBits(ByteLanes<32>::Mask(m)), 0x55555555u);
}

/// Adds the masks of the 32 characters from `p` at character `at` of `m`, by 16-bit lanes: for
/// text beyond ASCII.
__attribute__((target("avx2,bmi2"))) void
classifyUnitsAvx2(const char16_t *p, char16_t delimiter, char16_t escape, CharacterMasks &m, int at)
{
    for (int h = 0; h < 32; h += 16) {
        UnitLanes<32>::Unsigned v;
        std::memcpy(&v, p + h, sizeof v);
        const auto c = classifyLanes<UnitLanes<32>>(v, delimiter, escape);
        addMasks(m, at + h, unitBits(c.stops), unitBits(c.breaks), unitBits(c.special),
                 unitBits(c.quotes));
    }
}

__attribute__((target("avx2,bmi2"))) void classifyAvx2(const char16_t *text, CharacterMasks *out,
                                                       qsizetype words, char16_t delimiter,
                                                       char16_t escape)
{
    for (qsizetype w = 0; w < words; ++w, text += 64) {
        CharacterMasks m;
        for (int i = 0; i < 64; i += 32) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(text + i));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(text + i + 16));
            // The pack works within 128-bit lanes; the permute puts the bytes back in order.
            const __m256i v = _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8);
            if (_mm256_movemask_epi8(v)) [[unlikely]] {
                classifyUnitsAvx2(text + i, delimiter, escape, m, i);
                continue;
            }
            const auto c = classifyLanes<ByteLanes<32>>(
                ByteLanes<32>::Unsigned(v), asciiOrNone(delimiter), asciiOrNone(escape));
            addMasks(m, i, byteBits(c.stops), byteBits(c.breaks), byteBits(c.special),
                     byteBits(c.quotes));
        }
        out[w] = m;
    }
}

#define PLOTWELL_AVX512 "avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt,pclmul"

__attribute__((target(PLOTWELL_AVX512), always_inline)) inline __mmask32 eq16(__m512i v, int c)
{
    return _mm512_cmpeq_epi16_mask(v, _mm512_set1_epi16(short(c)));
}

__attribute__((target(PLOTWELL_AVX512))) CharacterMasks
classifyWideAvx512(const char16_t *p, char16_t delimiter, char16_t escape)
{
    CharacterMasks m;
    for (int h = 0; h < 2; ++h) {
        const __m512i v = _mm512_loadu_si512(p + 32 * h);
        const __mmask32 brk = eq16(v, 0x0A) | eq16(v, 0x0D);
        const __mmask32 delim = eq16(v, delimiter);
        const __mmask32 quote = eq16(v, '"');
        const __mmask32 special = (_mm512_cmpge_epu16_mask(v, _mm512_set1_epi16(0x80)) | quote |
                                   eq16(v, ' ') | eq16(v, '\t') | eq16(v, '=') | eq16(v, '#') |
                                   eq16(v, '\\') | eq16(v, 0x0B) | eq16(v, 0x0C)) &
                                  ~delim;
        m.stops |= quint64(delim | brk | eq16(v, escape)) << (32 * h);
        m.breaks |= quint64(brk) << (32 * h);
        m.special |= quint64(special) << (32 * h);
        m.quotes |= quint64(quote) << (32 * h);
    }
    return m;
}

__attribute__((target(PLOTWELL_AVX512))) void classifyAvx512(const char16_t *text,
                                                             CharacterMasks *out, qsizetype words,
                                                             char16_t delimiter, char16_t escape)
{
    // What each ASCII character is, as bits to test; looked up 64 characters at a time.
    enum : unsigned char { Stop = 1, Break = 2, Special = 4, Quote = 8 };
    alignas(64) unsigned char classes[128] = {};
    for (char c : {'"', ' ', '\t', '=', '#', '\\', '\v', '\f'})
        classes[int(c)] = Special;
    classes[int('"')] |= Quote;
    for (int c : {0x0A, 0x0D})
        classes[c] = Stop | Break;
    if (escape < 0x80)
        classes[escape] |= Stop;
    if (delimiter < 0x80)
        classes[delimiter] = Stop;
    const __m512i low = _mm512_load_si512(classes);
    const __m512i high = _mm512_load_si512(classes + 64);
    const __m512i inOrder = _mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0);
    for (qsizetype w = 0; w < words; ++w, text += 64) {
        const __m512i a = _mm512_loadu_si512(text);
        const __m512i b = _mm512_loadu_si512(text + 32);
        // Saturating to bytes keeps every character from U+0080 at or above 0x80. The pack
        // works within 128-bit lanes; the permute puts the bytes back in order.
        const __m512i v = _mm512_permutexvar_epi64(inOrder, _mm512_packus_epi16(a, b));
        if (_mm512_movepi8_mask(v)) [[unlikely]] {
            out[w] = classifyWideAvx512(text, delimiter, escape);
            continue;
        }
        const __m512i c = _mm512_permutex2var_epi8(low, v, high);
        out[w] = {_mm512_test_epi8_mask(c, _mm512_set1_epi8(Stop)),
                  _mm512_test_epi8_mask(c, _mm512_set1_epi8(Break)),
                  _mm512_test_epi8_mask(c, _mm512_set1_epi8(Special)),
                  _mm512_test_epi8_mask(c, _mm512_set1_epi8(Quote))};
    }
}

/// Stores the positions of the bits of `bits`, each plus `base`, from `out`; returns the end.
__attribute__((target(PLOTWELL_AVX512), always_inline)) inline quint32 *
putPositionsAvx512(quint64 bits, __m512i base, quint32 *out)
{
    const __m512i byteIndex = _mm512_set_epi8(
        63, 62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49, 48, 47, 46, 45, 44, 43, 42, 41,
        40, 39, 38, 37, 36, 35, 34, 33, 32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18,
        17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const __m512i packed = _mm512_maskz_compress_epi8(bits, byteIndex);
    _mm512_storeu_si512(
        out, _mm512_add_epi32(_mm512_cvtepu8_epi32(_mm512_castsi512_si128(packed)), base));
    const int count = std::popcount(bits);
    if (count > 16) [[unlikely]] {
        alignas(64) unsigned char bytes[64];
        _mm512_store_si512(bytes, packed);
        for (int q = 16; q < count; q += 16) {
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + q));
            _mm512_storeu_si512(out + q, _mm512_add_epi32(_mm512_cvtepu8_epi32(next), base));
        }
    }
    return out + count;
}

/// A carry-less multiply by all ones is a prefix XOR. The VEX encoding, written out: the
/// intrinsic would need the generic per-word code to be compiled for this processor too, and the
/// legacy SSE encoding, run while the wide registers hold data, costs some processors a state
/// transition or a merge with the register's old value on every word. Only called where the
/// processor has AVX2 (and so the VEX form) and the carry-less multiply.
__attribute__((always_inline)) inline quint64 prefixXorClmul(quint64 bits)
{
    __m128i x = _mm_cvtsi64_si128(qint64(bits));
    asm("vpclmulqdq $0, %1, %0, %0" : "+x"(x) : "x"(_mm_set1_epi8(-1)));
    return quint64(_mm_cvtsi128_si64(x));
}

/// Where appendAvx512 writes next: local copies of a BoundLists' ends, so that the stores
/// through them do not make the compiler reload the counts.
struct BoundCursors
{
    quint32 *const endBegin;
    quint32 *end;
    quint32 *start;
    quint32 *record;

    explicit BoundCursors(const BoundLists &lists)
        : endBegin(lists.endAt), end(lists.endAt + lists.ends), start(lists.startAt + lists.starts),
          record(lists.recordEndAt + lists.records)
    {}
    void storeIn(BoundLists &lists) const
    {
        lists.ends = end - lists.endAt;
        lists.starts = start - lists.startAt;
        lists.records = record - lists.recordEndAt;
    }
};

__attribute__((target(PLOTWELL_AVX512), always_inline)) inline void
appendAvx512(const WordBounds &bounds, qsizetype word, BoundCursors &to)
{
    const __m512i base = _mm512_set1_epi32(int(word * 64));
    const int endsBefore = int(to.end - to.endBegin);
    to.end = putPositionsAvx512(bounds.ends, base, to.end);
    to.start = putPositionsAvx512(bounds.starts, base, to.start);
    // Which of this word's ends are line breaks, in the order of the ends.
    to.record = putPositionsAvx512(_pext_u64(bounds.breaks, bounds.ends),
                                   _mm512_set1_epi32(endsBefore + 1), to.record);
}

__attribute__((target(PLOTWELL_AVX512))) void appendBoundsAvx512(const WordBounds &bounds,
                                                                 qsizetype word, BoundLists &lists)
{
    BoundCursors to(lists);
    appendAvx512(bounds, word, to);
    to.storeIn(lists);
}

/// The scan loop of the wide paths, which differ only in how they append a word's bounds.
/// Each path flattens it into a function of its own, compiled for that path's instructions.
template <typename Append>
inline qsizetype scanFieldsWide(const CharacterMasks *masks, qsizetype from, qsizetype to,
                                const ScanSetup &setup, ScanCarry &carry, BoundLists &lists,
                                WordBounds &held, Append append)
{
    BoundCursors cursors(lists);
    ScanCarry c = carry;
    const ScanSetup s = setup;
    qsizetype w = from;
    for (; w < to; ++w) {
        const WordBounds bounds = boundsOfWord(masks[w], w, s, c, prefixXorClmul);
        if (bounds.stray | bounds.special) [[unlikely]] {
            held = bounds;
            break;
        }
        append(bounds, w, cursors);
    }
    cursors.storeIn(lists);
    carry = c;
    return w;
}

__attribute__((target(PLOTWELL_AVX512), flatten)) qsizetype
scanFieldsAvx512(const CharacterMasks *masks, qsizetype from, qsizetype to, const ScanSetup &setup,
                 ScanCarry &carry, BoundLists &lists, WordBounds &held)
{
    return scanFieldsWide(
        masks, from, to, setup, carry, lists, held,
        [](const WordBounds &bounds, qsizetype w, BoundCursors &cursors)
            __attribute__((target(PLOTWELL_AVX512))) { appendAvx512(bounds, w, cursors); });
}

/// Stores the positions of the bits of `bits`, each plus `base`, from `out`; returns the end.
/// Four at a time whatever the count: a branch per four positions rather than one per
/// position. Writes up to 3 past the end.
__attribute__((always_inline)) inline quint32 *putPositions(quint64 bits, quint32 base,
                                                            quint32 *out)
{
    const int count = std::popcount(bits);
    for (int done = 0; done < count; done += 4) {
        for (int i = 0; i < 4; ++i, bits &= bits - 1)
            out[done + i] = base + quint32(std::countr_zero(bits));
    }
    return out + count;
}

/// The positions of a word's bounds, with the record ends among them.
__attribute__((always_inline)) inline void appendBits(const WordBounds &bounds, qsizetype word,
                                                      BoundCursors &to)
{
    const quint32 base = quint32(word * 64);
    const quint32 endsBefore = quint32(to.end - to.endBegin);
    to.end = putPositions(bounds.ends, base, to.end);
    to.start = putPositions(bounds.starts, base, to.start);
    // Few ends are line breaks: each one's number among the ends, counted from one.
    for (quint64 m = bounds.breaks & bounds.ends; m; m &= m - 1) {
        const quint64 upTo = m ^ (m - 1); // the lowest set bit and every bit below it
        *to.record++ = endsBefore + quint32(std::popcount(bounds.ends & upTo));
    }
}

/// The portable scan with the instructions every processor with AVX2 has: the carry-less
/// multiply for the quote parity and single instructions for the bit counts.
__attribute__((target("avx2,bmi,bmi2,popcnt,pclmul"), flatten)) qsizetype
scanFieldsAvx2(const CharacterMasks *masks, qsizetype from, qsizetype to, const ScanSetup &setup,
               ScanCarry &carry, BoundLists &lists, WordBounds &held)
{
    return scanFieldsWide(
        masks, from, to, setup, carry, lists, held,
        [](const WordBounds &bounds, qsizetype w, BoundCursors &cursors)
            __attribute__((target("avx2,bmi,bmi2,popcnt"))) { appendBits(bounds, w, cursors); });
}

__attribute__((target("avx2,bmi,bmi2,popcnt"))) void
appendBoundsAvx2(const WordBounds &bounds, qsizetype word, BoundLists &lists)
{
    BoundCursors to(lists);
    appendBits(bounds, word, to);
    to.storeIn(lists);
}

/// Whether a view is stored as its size followed by its pointer, which the vector path below
/// writes directly.
bool viewIsSizeThenData()
{
    static_assert(std::is_trivially_copyable_v<QStringView> && sizeof(QStringView) == 16);
    static const char16_t probe[1] = {};
    const QStringView view(probe, 1);
    quint64 words[2];
    std::memcpy(words, &view, sizeof words);
    return words[0] == 1 && words[1] == quint64(reinterpret_cast<quintptr>(probe));
}

__attribute__((target(PLOTWELL_AVX512))) void fieldViewsAvx512(const char16_t *text,
                                                               const quint32 *startAt,
                                                               const quint32 *endAt,
                                                               qsizetype count, QStringView *out)
{
    const __m512i origin = _mm512_set1_epi64(qint64(reinterpret_cast<quintptr>(text)));
    const __m512i firstFour = _mm512_set_epi64(11, 3, 10, 2, 9, 1, 8, 0);
    const __m512i lastFour = _mm512_set_epi64(15, 7, 14, 6, 13, 5, 12, 4);
    qsizetype j = 0;
    for (; j + 8 <= count; j += 8) {
        const __m256i starts = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(startAt + j));
        const __m256i ends = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(endAt + j));
        const __m512i sizes = _mm512_cvtepu32_epi64(_mm256_sub_epi32(ends, starts));
        const __m512i data =
            _mm512_add_epi64(origin, _mm512_slli_epi64(_mm512_cvtepu32_epi64(starts), 1));
        auto *to = reinterpret_cast<char *>(out + j);
        _mm512_storeu_si512(to, _mm512_permutex2var_epi64(sizes, firstFour, data));
        _mm512_storeu_si512(to + 64, _mm512_permutex2var_epi64(sizes, lastFour, data));
    }
    for (; j < count; ++j)
        out[j] = QStringView(text + startAt[j], endAt[j] - startAt[j]);
}

#endif

void appendPortable(const WordBounds &bounds, qsizetype word, BoundLists &lists)
{
    const quint32 base = quint32(word * 64);
    for (quint64 m = bounds.ends; m; m &= m - 1) {
        const int bit = std::countr_zero(m);
        lists.endAt[lists.ends++] = base + quint32(bit);
        // Written every time, kept only for a line break: no branch to mispredict.
        lists.recordEndAt[lists.records] = quint32(lists.ends);
        lists.records += qsizetype((bounds.breaks >> bit) & 1);
    }
    for (quint64 m = bounds.starts; m; m &= m - 1)
        lists.startAt[lists.starts++] = base + quint32(std::countr_zero(m));
}

qsizetype scanFieldsPortable(const CharacterMasks *masks, qsizetype from, qsizetype to,
                             const ScanSetup &setup, ScanCarry &carry, BoundLists &lists,
                             WordBounds &held)
{
    for (qsizetype w = from; w < to; ++w) {
        const WordBounds bounds = boundsOfWord(masks[w], w, setup, carry, prefixXorShifts);
        if (bounds.stray | bounds.special) {
            held = bounds;
            return w;
        }
        appendPortable(bounds, w, lists);
    }
    return to;
}

void classifyPortable(const char16_t *text, CharacterMasks *out, qsizetype words,
                      char16_t delimiter, char16_t escape)
{
#if defined(__SSE2__)
    classifySse2(text, out, words, delimiter, escape);
#else
    for (qsizetype w = 0; w < words; ++w)
        out[w] = classifyWordScalar(text + 64 * w, delimiter, escape);
#endif
}

void fieldViewsPortable(const char16_t *text, const quint32 *startAt, const quint32 *endAt,
                        qsizetype count, QStringView *out)
{
    for (qsizetype j = 0; j < count; ++j)
        out[j] = QStringView(text + startAt[j], endAt[j] - startAt[j]);
}

/// The functions of one width.
struct VectorPath
{
    void (*classify)(const char16_t *, CharacterMasks *, qsizetype, char16_t, char16_t);
    qsizetype (*scan)(const CharacterMasks *, qsizetype, qsizetype, const ScanSetup &, ScanCarry &,
                      BoundLists &, WordBounds &);
    void (*append)(const WordBounds &, qsizetype, BoundLists &);
    void (*views)(const char16_t *, const quint32 *, const quint32 *, qsizetype, QStringView *);
};

VectorPath pathFor(CsvVectors vectors)
{
#if defined(PLOTWELL_CSV_X86_DISPATCH)
    if (vectors == CsvVectors::Avx512)
        return {classifyAvx512, scanFieldsAvx512, appendBoundsAvx512,
                viewIsSizeThenData() ? fieldViewsAvx512 : fieldViewsPortable};
    if (vectors == CsvVectors::Avx2)
        return {classifyAvx2, scanFieldsAvx2, appendBoundsAvx2, fieldViewsPortable};
#else
    Q_UNUSED(vectors);
#endif
    return {classifyPortable, scanFieldsPortable, appendPortable, fieldViewsPortable};
}

/// The widest vectors the processor has, as far as the environment lets them be used, and
/// whether the environment chose.
std::pair<CsvVectors, bool> widestAllowed()
{
#if defined(PLOTWELL_CSV_X86_DISPATCH)
    const QByteArray forced = qgetenv("PLOTWELL_CSV_VECTORS").toLower();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("bmi2") ||
        !__builtin_cpu_supports("pclmul") || qEnvironmentVariableIsSet("PLOTWELL_CSV_NO_AVX2") ||
        forced == "sse2")
        return {CsvVectors::Sse2, true};
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
        !qEnvironmentVariableIsSet("PLOTWELL_CSV_NO_AVX512") && forced != "avx2")
        return {CsvVectors::Avx512, !forced.isEmpty()};
    return {CsvVectors::Avx2,
            !forced.isEmpty() || qEnvironmentVariableIsSet("PLOTWELL_CSV_NO_AVX512")};
#else
    return {CsvVectors::Sse2, true};
#endif
}

/// Text like the files the paths are compared on: records of seven short fields, one in eight
/// with a quoted field holding a delimiter.
std::vector<char16_t> calibrationText(qsizetype words)
{
    std::vector<char16_t> text;
    text.reserve(size_t(words * 64 + 64));
    quint32 seed = 20261207;
    auto next = [&seed](quint32 below) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % below;
    };
    for (qsizetype record = 0; qsizetype(text.size()) < words * 64; ++record) {
        for (int field = 0; field < 7; ++field) {
            if (field)
                text.push_back(u',');
            const bool quoted = field == 3 && record % 8 == 0;
            if (quoted)
                text.push_back(u'"');
            for (quint32 n = 1 + next(9); n; --n)
                text.push_back(char16_t(u'a' + next(26)));
            if (quoted) {
                text.insert(text.end(), {u',', u' ', u'x', u'"'});
            }
        }
        text.push_back(u'\n');
    }
    text.resize(size_t(words * 64 + 64), u'\n');
    return text;
}

/// Nanoseconds for one pass of `path` over `text`: its masks, its field bounds a chunk of words
/// at a time (as the record path takes them), and the views of the fields.
double passNanoseconds(const VectorPath &path, const char16_t *text, qsizetype words,
                       CharacterMasks *masks, quint32 *endAt, quint32 *startAt,
                       quint32 *recordEndAt, QStringView *views)
{
    constexpr qsizetype kChunk = 64;
    const auto begin = std::chrono::steady_clock::now();
    path.classify(text, masks, words, u',', u',');
    ScanCarry carry;
    for (qsizetype from = 0; from < words; from += kChunk) {
        const qsizetype to = std::min(from + kChunk, words);
        BoundLists lists{endAt, startAt, recordEndAt};
        const ScanSetup setup{0, words * 64, false};
        for (qsizetype w = from; w < to; ++w) {
            WordBounds held;
            w = path.scan(masks, w, to, setup, carry, lists, held);
            if (w < to)
                path.append(held, w, lists);
        }
        path.views(text, startAt, endAt, std::min(lists.starts, lists.ends), views);
    }
    const auto end = std::chrono::steady_clock::now();
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(end - begin).count());
}

/// Times every allowed path on the same text, the best of several interleaved passes each, so
/// that a pass another process interrupts does not decide. A wider path is taken only when it
/// is measured clearly faster than the narrower one chosen so far.
CsvVectorChoice measureVectorChoice(CsvVectors widest)
{
    constexpr qsizetype kWords = 512;
    constexpr int kRounds = 7;
    constexpr double kWiderMustSave = 0.05;
    const std::vector<char16_t> text = calibrationText(kWords);
    std::vector<CharacterMasks> masks(kWords);
    constexpr qsizetype kRoom = 64 * 64 + 64;
    std::vector<quint32> endAt(kRoom), startAt(kRoom), recordEndAt(kRoom);
    std::vector<QStringView> views(kRoom);
    CsvVectorChoice choice;
    choice.measured = true;
    const int paths = int(widest) + 1;
    for (int round = 0; round < kRounds; ++round) {
        for (int v = 0; v < paths; ++v) {
            const double ns =
                passNanoseconds(pathFor(CsvVectors(v)), text.data(), kWords, masks.data(),
                                endAt.data(), startAt.data(), recordEndAt.data(), views.data()) /
                double(kWords);
            double &best = choice.nsPerWord[v];
            best = round == 0 ? ns : std::min(best, ns);
        }
    }
    for (int v = 1; v < paths; ++v) {
        if (choice.nsPerWord[v] < choice.nsPerWord[int(choice.vectors)] * (1 - kWiderMustSave))
            choice.vectors = CsvVectors(v);
    }
    return choice;
}

struct ActivePath
{
    CsvVectorChoice choice;
    VectorPath path;
};

const ActivePath &active()
{
    static const ActivePath chosen = [] {
        const auto [widest, settled] = widestAllowed();
        CsvVectorChoice choice;
        choice.vectors = widest;
        if (!settled && widest != CsvVectors::Sse2)
            choice = measureVectorChoice(widest);
        return ActivePath{choice, pathFor(choice.vectors)};
    }();
    return chosen;
}

} // namespace

const CsvVectorChoice &csvVectorChoice()
{
    return active().choice;
}

CsvVectors csvVectors()
{
    return active().choice.vectors;
}

const char *csvVectorsName(CsvVectors vectors)
{
    switch (vectors) {
    case CsvVectors::Avx512:
        return "AVX-512";
    case CsvVectors::Avx2:
        return "AVX2";
    case CsvVectors::Sse2:
        break;
    }
    return "SSE2";
}

QString describeCsvVectorChoice()
{
    const CsvVectorChoice &choice = csvVectorChoice();
    QString text = QString::fromLatin1(csvVectorsName(choice.vectors));
    if (!choice.measured)
        return text + QStringLiteral(" (set by the processor or the environment)");
    QStringList timings;
    for (int v = 0; v < 3; ++v) {
        if (choice.nsPerWord[v] > 0)
            timings << QStringLiteral("%1 %2").arg(
                QString::fromLatin1(csvVectorsName(CsvVectors(v))),
                QString::number(choice.nsPerWord[v], 'f', 1));
    }
    return text + QStringLiteral(" (measured, ns per 64 characters: %1)").arg(timings.join(u", "));
}

void classifyCharacters(const char16_t *text, CharacterMasks *out, qsizetype words,
                        char16_t delimiter, char16_t escape)
{
    active().path.classify(text, out, words, delimiter, escape);
}

qsizetype scanFields(const CharacterMasks *masks, qsizetype from, qsizetype to,
                     const ScanSetup &setup, ScanCarry &carry, BoundLists &lists, WordBounds &held)
{
    return active().path.scan(masks, from, to, setup, carry, lists, held);
}

void appendBounds(const WordBounds &bounds, qsizetype word, BoundLists &lists)
{
    active().path.append(bounds, word, lists);
}

void fieldViews(const char16_t *text, const quint32 *startAt, const quint32 *endAt, qsizetype count,
                QStringView *out)
{
    active().path.views(text, startAt, endAt, count, out);
}

} // namespace plotwell::csv
