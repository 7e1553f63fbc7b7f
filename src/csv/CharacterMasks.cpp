#include "csv/CharacterMasks.h"

#include <bit>
#include <cstring>
#include <type_traits>

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

/// A carry-less multiply by all ones is a prefix XOR. Written out, since the intrinsic would
/// need the generic per-word code to be compiled for this processor too; only called where the
/// processor has it.
__attribute__((always_inline)) inline quint64 prefixXorClmul(quint64 bits)
{
    __m128i x = _mm_cvtsi64_si128(qint64(bits));
    asm("pclmulqdq $0, %1, %0" : "+x"(x) : "x"(_mm_set1_epi8(-1)));
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

__attribute__((target(PLOTWELL_AVX512))) qsizetype
scanFieldsAvx512(const CharacterMasks *masks, qsizetype from, qsizetype to, const ScanSetup &setup,
                 ScanCarry &carry, BoundLists &lists, WordBounds &held)
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
        appendAvx512(bounds, w, cursors);
    }
    cursors.storeIn(lists);
    carry = c;
    return w;
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

const bool hasAvx2 = csvVectors() >= CsvVectors::Avx2;
const bool hasAvx512 = csvVectors() == CsvVectors::Avx512;
const bool writesViewsAvx512 = hasAvx512 && viewIsSizeThenData();
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

} // namespace

CsvVectors csvVectors()
{
    static const CsvVectors vectors = [] {
#if defined(PLOTWELL_CSV_X86_DISPATCH)
        if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("bmi2") ||
            qEnvironmentVariableIsSet("PLOTWELL_CSV_NO_AVX2"))
            return CsvVectors::Sse2;
        if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
            __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
            __builtin_cpu_supports("pclmul") &&
            !qEnvironmentVariableIsSet("PLOTWELL_CSV_NO_AVX512"))
            return CsvVectors::Avx512;
        return CsvVectors::Avx2;
#else
        return CsvVectors::Sse2;
#endif
    }();
    return vectors;
}

void classifyCharacters(const char16_t *text, CharacterMasks *out, qsizetype words,
                        char16_t delimiter, char16_t escape)
{
#if defined(PLOTWELL_CSV_X86_DISPATCH)
    if (hasAvx512)
        return classifyAvx512(text, out, words, delimiter, escape);
    if (hasAvx2)
        return classifyAvx2(text, out, words, delimiter, escape);
#endif
#if defined(__SSE2__)
    classifySse2(text, out, words, delimiter, escape);
#else
    for (qsizetype w = 0; w < words; ++w)
        out[w] = classifyWordScalar(text + 64 * w, delimiter, escape);
#endif
}

qsizetype scanFields(const CharacterMasks *masks, qsizetype from, qsizetype to,
                     const ScanSetup &setup, ScanCarry &carry, BoundLists &lists, WordBounds &held)
{
#if defined(PLOTWELL_CSV_X86_DISPATCH)
    if (hasAvx512)
        return scanFieldsAvx512(masks, from, to, setup, carry, lists, held);
#endif
    return scanFieldsPortable(masks, from, to, setup, carry, lists, held);
}

void appendBounds(const WordBounds &bounds, qsizetype word, BoundLists &lists)
{
#if defined(PLOTWELL_CSV_X86_DISPATCH)
    if (hasAvx512)
        return appendBoundsAvx512(bounds, word, lists);
#endif
    appendPortable(bounds, word, lists);
}

void fieldViews(const char16_t *text, const quint32 *startAt, const quint32 *endAt, qsizetype count,
                QStringView *out)
{
#if defined(PLOTWELL_CSV_X86_DISPATCH)
    if (writesViewsAvx512)
        return fieldViewsAvx512(text, startAt, endAt, count, out);
#endif
    for (qsizetype j = 0; j < count; ++j)
        out[j] = QStringView(text + startAt[j], endAt[j] - startAt[j]);
}

} // namespace plotwell::csv
