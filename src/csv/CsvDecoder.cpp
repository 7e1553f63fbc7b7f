#include "csv/CsvDecoder.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <iconv.h>

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

/// UTF-8 through Qt's decoder, whose ASCII path is vectorised. Its running state holds a cut
/// sequence between steps and counts what it replaced.
class Utf8Decoder final : public CsvDecoder
{
    struct Decoder : QStringDecoder
    {
        using QStringDecoder::QStringDecoder;
        qsizetype invalid() const { return state.invalidChars; }
        qsizetype pending() const { return state.remainingChars; }
    };

public:
    qsizetype maxOutput(qsizetype inputSize) const override
    {
        return m_decoder.requiredSpace(inputSize);
    }
    qsizetype decode(QByteArrayView in, char16_t *out) override
    {
        QChar *begin = reinterpret_cast<QChar *>(out);
        QChar *end = m_decoder.appendToBuffer(begin, in);
        m_replacements = m_decoder.invalid() + m_tailReplacements;
        return end - begin;
    }
    qsizetype finish(char16_t *out) override
    {
        // Qt replaces each byte of a broken sequence inside the text; do the same for the tail.
        const qsizetype n = std::min<qsizetype>(m_decoder.pending(), 3);
        for (qsizetype i = 0; i < n; ++i)
            out[i] = kReplacement;
        m_tailReplacements += n;
        m_replacements = m_decoder.invalid() + m_tailReplacements;
        m_decoder.resetState();
        return n;
    }

private:
    Decoder m_decoder{QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom};
    qsizetype m_tailReplacements = 0;
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
    case CsvEncoding::Iso2022Kr:
        return std::make_unique<Iso2022KrDecoder>();
    case CsvEncoding::Unknown:
    case CsvEncoding::Utf8:
        break;
    }
    return std::make_unique<Utf8Decoder>();
}

bool looksLikeUtf8(QByteArrayView bytes, bool mayContinue)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *e = p + bytes.size();
    while (p < e) {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        int length;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                lo = 0xA0;
            else if (b == 0xED)
                hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                lo = 0x90;
            else if (b == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        for (int i = 1; i < length; ++i) {
            if (p + i == e)
                return mayContinue;
            const unsigned char c = p[i];
            if (i == 1 ? (c < lo || c > hi) : (c < 0x80 || c > 0xBF))
                return false;
        }
        p += length;
    }
    return true;
}

} // namespace plotwell::csv
