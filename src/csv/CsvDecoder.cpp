#include "csv/CsvDecoder.h"

#include "csv/CharacterMasks.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PLOTWELL_CSV_WIDE_ASCII 1
#include <immintrin.h>
#endif

namespace plotwell::csv {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

const char16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

/// Windows-1252 from 0x80 to 0x9F (above, it is Latin-1). The five bytes it leaves undefined
/// read as the C1 controls of the same number.
const char16_t kWindows1252C1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool windows1252Leaves(unsigned char byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

/// Where a UTF-8 lead byte allows its second byte to lie (which rules out overlong forms,
/// surrogates and values past U+10FFFF), and how long its sequence is; length 0 for a byte that
/// cannot start one.
struct Utf8Lead
{
    int length = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
};

constexpr Utf8Lead utf8Lead(unsigned char b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return {2, 0x80, 0xBF};
    if (b >= 0xE0 && b <= 0xEF)
        return {3, (unsigned char)(b == 0xE0 ? 0xA0 : 0x80),
                (unsigned char)(b == 0xED ? 0x9F : 0xBF)};
    if (b >= 0xF0 && b <= 0xF4)
        return {4, (unsigned char)(b == 0xF0 ? 0x90 : 0x80),
                (unsigned char)(b == 0xF4 ? 0x8F : 0xBF)};
    return {};
}

inline bool utf8Continues(const Utf8Lead &lead, int index, unsigned char c)
{
    return index == 1 ? (c >= lead.lo && c <= lead.hi) : (c >= 0x80 && c <= 0xBF);
}

inline char16_t *putCodePoint(char16_t *o, const unsigned char *s, int length)
{
    char32_t c;
    if (length == 2)
        c = char32_t(s[0] & 0x1F) << 6 | (s[1] & 0x3F);
    else if (length == 3)
        c = char32_t(s[0] & 0x0F) << 12 | char32_t(s[1] & 0x3F) << 6 | (s[2] & 0x3F);
    else
        c = char32_t(s[0] & 0x07) << 18 | char32_t(s[1] & 0x3F) << 12 | char32_t(s[2] & 0x3F) << 6 |
            (s[3] & 0x3F);
    if (c < 0x10000) {
        *o++ = char16_t(c);
    } else {
        *o++ = char16_t(0xD800 + ((c - 0x10000) >> 10));
        *o++ = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    return o;
}

/// UTF-8 with a vectorised ASCII path. Each maximal broken sequence becomes one U+FFFD; a
/// sequence cut by the end of a step waits for the next step.
#if defined(PLOTWELL_CSV_WIDE_ASCII)
/// Widens the ASCII bytes from `p` to `o`, 64 at a time while 64 are left, up to the first byte
/// that is not ASCII; returns how many bytes it took. As many units as bytes are left fit at `o`.
__attribute__((target("avx512f,avx512bw"))) qsizetype widenAsciiAvx512(const unsigned char *p,
                                                                       qsizetype size, char16_t *o)
{
    qsizetype n = 0;
    for (; size - n >= 64; n += 64) {
        const auto *half = reinterpret_cast<const __m256i *>(p + n);
        _mm512_storeu_si512(o + n, _mm512_cvtepu8_epi16(_mm256_loadu_si256(half)));
        _mm512_storeu_si512(o + n + 32, _mm512_cvtepu8_epi16(_mm256_loadu_si256(half + 1)));
        if (const quint64 high = _mm512_movepi8_mask(_mm512_loadu_si512(p + n)))
            return n + std::countr_zero(high);
    }
    return n;
}

/// The same, 32 at a time.
__attribute__((target("avx2"))) qsizetype widenAsciiAvx2(const unsigned char *p, qsizetype size,
                                                         char16_t *o)
{
    qsizetype n = 0;
    for (; size - n >= 32; n += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + n));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(o + n),
                            _mm256_cvtepu8_epi16(_mm256_castsi256_si128(v)));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(o + n + 16),
                            _mm256_cvtepu8_epi16(_mm256_extracti128_si256(v, 1)));
        if (const unsigned high = unsigned(_mm256_movemask_epi8(v)))
            return n + std::countr_zero(high);
    }
    return n;
}
#endif

class Utf8Decoder final : public CsvDecoder
{
public:
    qsizetype maxOutput(qsizetype inputSize) const override { return inputSize + 4; }

    qsizetype decode(QByteArrayView in, char16_t *out) override
    {
        const auto *p = reinterpret_cast<const unsigned char *>(in.data());
        const auto *e = p + in.size();
        char16_t *o = out;
        while (m_carryLength > 0 && p < e) {
            const Utf8Lead lead = utf8Lead(m_carry[0]);
            if (!utf8Continues(lead, m_carryLength, *p)) {
                o = replace(o);
                m_carryLength = 0;
                break; // the byte is looked at afresh below
            }
            m_carry[m_carryLength++] = *p++;
            if (m_carryLength == lead.length) {
                o = putCodePoint(o, m_carry, lead.length);
                m_carryLength = 0;
            }
        }
        while (p < e) {
#if defined(PLOTWELL_CSV_WIDE_ASCII)
            if (m_vectors != CsvVectors::Sse2 && e - p >= 64) {
                const qsizetype ascii = m_vectors == CsvVectors::Avx512
                                            ? widenAsciiAvx512(p, e - p, o)
                                            : widenAsciiAvx2(p, e - p, o);
                p += ascii;
                o += ascii;
            }
#endif
#if defined(__SSE2__)
            // Sixteen bytes are widened at a time; when some are not ASCII, only the ASCII ones
            // before the first of them count. The stores stay in bounds: no more units than bytes
            // come out, so 16 units from `o` fit while 16 bytes from `p` are left.
            while (e - p >= 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
                const __m128i zero = _mm_setzero_si128();
                _mm_storeu_si128(reinterpret_cast<__m128i *>(o), _mm_unpacklo_epi8(v, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 8), _mm_unpackhi_epi8(v, zero));
                if (const int high = _mm_movemask_epi8(v)) {
                    const int ascii = __builtin_ctz(unsigned(high));
                    p += ascii;
                    o += ascii;
                    break;
                }
                p += 16;
                o += 16;
            }
            if (p == e)
                break;
#endif
            const unsigned char b = *p;
            if (b < 0x80) {
                *o++ = b;
                ++p;
                continue;
            }
            // The common two- and three-byte forms whose second byte may be any continuation.
            if (b >= 0xC2 && b <= 0xDF && e - p >= 2 && (p[1] & 0xC0) == 0x80) {
                *o++ = char16_t((b & 0x1F) << 6 | (p[1] & 0x3F));
                p += 2;
                continue;
            }
            if (b >= 0xE1 && b <= 0xEF && b != 0xED && e - p >= 3 && (p[1] & 0xC0) == 0x80 &&
                (p[2] & 0xC0) == 0x80) {
                *o++ = char16_t((b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
                p += 3;
                continue;
            }
            const Utf8Lead lead = utf8Lead(b);
            if (lead.length == 0) {
                o = replace(o);
                ++p;
                continue;
            }
            int k = 1;
            while (k < lead.length && p + k < e && utf8Continues(lead, k, p[k]))
                ++k;
            if (k == lead.length) {
                o = putCodePoint(o, p, k);
                p += k;
            } else if (p + k == e) {
                std::memcpy(m_carry, p, size_t(k));
                m_carryLength = k;
                p = e;
            } else {
                o = replace(o);
                p += k;
            }
        }
        return o - out;
    }

    qsizetype finish(char16_t *out) override
    {
        if (m_carryLength == 0)
            return 0;
        m_carryLength = 0;
        replace(out);
        return 1;
    }

private:
    char16_t *replace(char16_t *o)
    {
        ++m_replacements;
        *o++ = kReplacement;
        return o;
    }

    unsigned char m_carry[4] = {};
    int m_carryLength = 0;
    const CsvVectors m_vectors = csvVectors();
};

/// UTF-16 in either byte order. Unpaired surrogates are replaced, so what reaches the fields is
/// always well-formed.
class Utf16Decoder final : public CsvDecoder
{
public:
    explicit Utf16Decoder(bool bigEndian) : m_bigEndian(bigEndian) {}
    qsizetype maxOutput(qsizetype inputSize) const override { return inputSize / 2 + 2; }

    qsizetype decode(QByteArrayView in, char16_t *out) override
    {
        const auto *p = reinterpret_cast<const unsigned char *>(in.data());
        const auto *e = p + in.size();
        char16_t *o = out;
        if (m_hasOddByte && p < e) {
            o = put(o, unit(m_oddByte, *p++));
            m_hasOddByte = false;
        }
        if (!m_highSurrogate) {
            // Fast run while no surrogate shows up.
#if defined(__SSE2__)
            const __m128i surrogateBits = _mm_set1_epi16(short(0xF800));
            const __m128i surrogate = _mm_set1_epi16(short(0xD800));
            while (e - p >= 16) {
                __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
                if (m_bigEndian)
                    v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
                const __m128i s = _mm_cmpeq_epi16(_mm_and_si128(v, surrogateBits), surrogate);
                if (_mm_movemask_epi8(s))
                    break;
                _mm_storeu_si128(reinterpret_cast<__m128i *>(o), v);
                p += 16;
                o += 8;
            }
#endif
            while (e - p >= 2) {
                const char16_t u = unit(p[0], p[1]);
                if ((u & 0xF800) == 0xD800)
                    break;
                *o++ = u;
                p += 2;
            }
        }
        for (; e - p >= 2; p += 2)
            o = put(o, unit(p[0], p[1]));
        if (p < e) {
            m_oddByte = *p;
            m_hasOddByte = true;
        }
        return o - out;
    }

    qsizetype finish(char16_t *out) override
    {
        char16_t *o = out;
        if (m_highSurrogate) {
            *o++ = kReplacement;
            ++m_replacements;
            m_highSurrogate = 0;
        }
        if (m_hasOddByte) {
            *o++ = kReplacement;
            ++m_replacements;
            m_hasOddByte = false;
        }
        return o - out;
    }

private:
    char16_t unit(unsigned char a, unsigned char b) const
    {
        return m_bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    }

    char16_t *put(char16_t *o, char16_t u)
    {
        if (m_highSurrogate) {
            if (u >= 0xDC00 && u <= 0xDFFF) {
                *o++ = m_highSurrogate;
                *o++ = u;
                m_highSurrogate = 0;
                return o;
            }
            *o++ = kReplacement;
            ++m_replacements;
            m_highSurrogate = 0;
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            m_highSurrogate = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            *o++ = kReplacement;
            ++m_replacements;
        } else {
            *o++ = u;
        }
        return o;
    }

    bool m_bigEndian;
    bool m_hasOddByte = false;
    unsigned char m_oddByte = 0;
    char16_t m_highSurrogate = 0;
};

class Utf32Decoder final : public CsvDecoder
{
public:
    explicit Utf32Decoder(bool bigEndian) : m_bigEndian(bigEndian) {}
    qsizetype maxOutput(qsizetype inputSize) const override { return (inputSize / 4 + 2) * 2; }

    qsizetype decode(QByteArrayView in, char16_t *out) override
    {
        const auto *p = reinterpret_cast<const unsigned char *>(in.data());
        const auto *e = p + in.size();
        char16_t *o = out;
        while (m_pendingCount > 0 && m_pendingCount < 4 && p < e)
            m_pending[m_pendingCount++] = *p++;
        if (m_pendingCount == 4) {
            o = put(o, m_pending);
            m_pendingCount = 0;
        }
        for (; e - p >= 4; p += 4)
            o = put(o, p);
        while (p < e)
            m_pending[m_pendingCount++] = *p++;
        return o - out;
    }

    qsizetype finish(char16_t *out) override
    {
        if (m_pendingCount == 0)
            return 0;
        m_pendingCount = 0;
        ++m_replacements;
        *out = kReplacement;
        return 1;
    }

private:
    char16_t *put(char16_t *o, const unsigned char *b)
    {
        const char32_t c = m_bigEndian ? char32_t(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3]
                                       : char32_t(b[3]) << 24 | b[2] << 16 | b[1] << 8 | b[0];
        if (c < 0x10000) {
            if (c >= 0xD800 && c <= 0xDFFF) {
                ++m_replacements;
                *o++ = kReplacement;
            } else {
                *o++ = char16_t(c);
            }
        } else if (c <= 0x10FFFF) {
            *o++ = char16_t(0xD800 + ((c - 0x10000) >> 10));
            *o++ = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            ++m_replacements;
            *o++ = kReplacement;
        }
        return o;
    }

    bool m_bigEndian;
    unsigned char m_pending[4] = {};
    int m_pendingCount = 0;
};

/// Single-byte Mac OS Roman: every byte is a character, so nothing is ever replaced.
class MacRomanDecoder final : public CsvDecoder
{
public:
    qsizetype maxOutput(qsizetype inputSize) const override { return inputSize; }
    qsizetype decode(QByteArrayView in, char16_t *out) override
    {
        for (qsizetype i = 0; i < in.size(); ++i)
            out[i] = macRomanToUnicode(static_cast<unsigned char>(in[i]));
        return in.size();
    }
    qsizetype finish(char16_t *) override { return 0; }
};

/// Single-byte Windows-1252: every byte is a character, so nothing is ever replaced.
class Windows1252Decoder final : public CsvDecoder
{
public:
    qsizetype maxOutput(qsizetype inputSize) const override { return inputSize; }
    qsizetype decode(QByteArrayView in, char16_t *out) override
    {
        for (qsizetype i = 0; i < in.size(); ++i) {
            const auto byte = static_cast<unsigned char>(in[i]);
            out[i] = byte >= 0x80 && byte < 0xA0 ? kWindows1252C1[byte - 0x80] : char16_t(byte);
        }
        return in.size();
    }
    qsizetype finish(char16_t *) override { return 0; }
};

/// ISO-2022-KR through iconv. The mark that announces the encoding was taken off the input when
/// it was recognised; the converter is given it first, since its shift-out bytes mean nothing
/// without it.
class Iso2022KrDecoder final : public CsvDecoder
{
public:
    Iso2022KrDecoder() : m_cd(iconv_open("UTF-16LE", "ISO-2022-KR"))
    {
        if (m_cd != iconv_t(-1)) {
            char header[] = "\x1b$)C";
            char *in = header;
            size_t inLeft = 4;
            char16_t sink[4];
            char *out = reinterpret_cast<char *>(sink);
            size_t outLeft = sizeof sink;
            iconv(m_cd, &in, &inLeft, &out, &outLeft);
        }
    }
    ~Iso2022KrDecoder() override
    {
        if (m_cd != iconv_t(-1))
            iconv_close(m_cd);
    }
    qsizetype maxOutput(qsizetype inputSize) const override { return inputSize + 8; }

    qsizetype decode(QByteArrayView bytes, char16_t *out) override
    {
        m_carry.append(bytes.data(), bytes.size());
        char16_t *o = out;
        qsizetype used = 0;
        while (used < m_carry.size()) {
            char *in = m_carry.data() + used;
            size_t inLeft = size_t(m_carry.size() - used);
            char *outp = reinterpret_cast<char *>(o);
            size_t outLeft = size_t(inLeft + 8) * sizeof(char16_t);
            size_t r =
                m_cd == iconv_t(-1) ? size_t(-1) : iconv(m_cd, &in, &inLeft, &outp, &outLeft);
            const int err = r == size_t(-1) ? (m_cd == iconv_t(-1) ? EILSEQ : errno) : 0;
            used = in - m_carry.data();
            o = reinterpret_cast<char16_t *>(outp);
            if (r != size_t(-1))
                break;
            if (err == EINVAL)
                break; // a character cut by the step: wait for the rest
            // Undecodable byte: replace it and go on after it.
            *o++ = kReplacement;
            ++m_replacements;
            ++used;
        }
        m_carry.remove(0, used);
        return o - out;
    }

    qsizetype finish(char16_t *out) override
    {
        if (m_carry.isEmpty())
            return 0;
        m_carry.clear();
        ++m_replacements;
        *out = kReplacement;
        return 1;
    }

private:
    iconv_t m_cd;
    QByteArray m_carry;
};

} // namespace

char16_t macRomanToUnicode(unsigned char byte)
{
    return byte < 0x80 ? char16_t(byte) : kMacRomanHigh[byte - 0x80];
}

std::unique_ptr<CsvDecoder> CsvDecoder::create(CsvEncoding encoding)
{
    switch (encoding) {
    case CsvEncoding::Utf16LE:
        return std::make_unique<Utf16Decoder>(false);
    case CsvEncoding::Utf16BE:
        return std::make_unique<Utf16Decoder>(true);
    case CsvEncoding::Utf32LE:
        return std::make_unique<Utf32Decoder>(false);
    case CsvEncoding::Utf32BE:
        return std::make_unique<Utf32Decoder>(true);
    case CsvEncoding::MacRoman:
        return std::make_unique<MacRomanDecoder>();
    case CsvEncoding::Windows1252:
        return std::make_unique<Windows1252Decoder>();
    case CsvEncoding::Iso2022Kr:
        return std::make_unique<Iso2022KrDecoder>();
    case CsvEncoding::Unknown:
    case CsvEncoding::Utf8:
        break;
    }
    return std::make_unique<Utf8Decoder>();
}

CsvEncoding guessEncoding(QByteArrayView bytes, bool mayContinue)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    // Text of UTF-16 has a zero in half its units when they are ASCII; other text has no zero.
    const qsizetype pairs = bytes.size() / 2;
    qsizetype evenZeros = 0;
    qsizetype oddZeros = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        evenZeros += b[2 * i] == 0;
        oddZeros += b[2 * i + 1] == 0;
    }
    if (pairs >= 2 && oddZeros * 4 >= pairs && evenZeros * 8 <= oddZeros)
        return CsvEncoding::Utf16LE;
    if (pairs >= 2 && evenZeros * 4 >= pairs && oddZeros * 8 <= evenZeros)
        return CsvEncoding::Utf16BE;
    if (looksLikeUtf8(bytes, mayContinue))
        return CsvEncoding::Utf8;
    // Spreadsheets here write Windows-1252; Mac OS Roman only explains bytes it leaves out.
    if (std::any_of(b, b + bytes.size(), windows1252Leaves))
        return CsvEncoding::MacRoman;
    return CsvEncoding::Windows1252;
}

SniffedEncoding sniffEncoding(QByteArrayView bytes, bool mayContinue)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    auto starts = [&](std::initializer_list<unsigned char> mark) {
        return n >= qsizetype(mark.size()) && std::equal(mark.begin(), mark.end(), b);
    };
    if (n == 0)
        return {CsvEncoding::Utf8, 0};
    // The UTF-32 marks first: the little-endian one begins with the UTF-16 one.
    if (starts({0x00, 0x00, 0xFE, 0xFF}))
        return {CsvEncoding::Utf32BE, 4};
    if (starts({0xFF, 0xFE, 0x00, 0x00}))
        return {CsvEncoding::Utf32LE, 4};
    if (starts({0xFE, 0xFF}))
        return {CsvEncoding::Utf16BE, 2};
    if (starts({0xFF, 0xFE}))
        return {CsvEncoding::Utf16LE, 2};
    if (starts({0xEF, 0xBB, 0xBF}))
        return {CsvEncoding::Utf8, 3};
    if (starts({0x1B, 0x24, 0x29, 0x43}))
        return {CsvEncoding::Iso2022Kr, 4};
    return {guessEncoding(bytes, mayContinue), 0};
}

DecodedText decodeWholeText(QByteArrayView bytes)
{
    DecodedText decoded;
    decoded.encoding = sniffEncoding(bytes, false);
    const QByteArrayView body = bytes.sliced(decoded.encoding.markSize);
    const std::unique_ptr<CsvDecoder> decoder = CsvDecoder::create(decoded.encoding.encoding);
    decoded.text.resize(decoder->maxOutput(body.size()) + 4);
    auto *out = reinterpret_cast<char16_t *>(decoded.text.data());
    qsizetype length = decoder->decode(body, out);
    length += decoder->finish(out + length);
    decoded.text.truncate(length);
    return decoded;
}

QString encodingName(CsvEncoding encoding)
{
    switch (encoding) {
    case CsvEncoding::Utf16LE:
        return QStringLiteral("UTF-16LE");
    case CsvEncoding::Utf16BE:
        return QStringLiteral("UTF-16BE");
    case CsvEncoding::Utf32LE:
        return QStringLiteral("UTF-32LE");
    case CsvEncoding::Utf32BE:
        return QStringLiteral("UTF-32BE");
    case CsvEncoding::MacRoman:
        return QStringLiteral("Mac OS Roman");
    case CsvEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case CsvEncoding::Iso2022Kr:
        return QStringLiteral("ISO-2022-KR");
    case CsvEncoding::Unknown:
    case CsvEncoding::Utf8:
        break;
    }
    return QStringLiteral("UTF-8");
}

bool looksLikeUtf8(QByteArrayView bytes, bool mayContinue)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *e = p + bytes.size();
    while (p < e) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const Utf8Lead lead = utf8Lead(*p);
        if (lead.length == 0)
            return false;
        for (int i = 1; i < lead.length; ++i) {
            if (p + i == e)
                return mayContinue;
            if (!utf8Continues(lead, i, p[i]))
                return false;
        }
        p += lead.length;
    }
    return true;
}

} // namespace plotwell::csv
