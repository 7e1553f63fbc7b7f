#include "convert/OutputBuffer.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace plotwell::convert {

namespace {

// The longest replacement any table holds, plus the four bytes of a character outside the BMP.
constexpr qsizetype kMaxBytesPerUnit = 32;
constexpr qsizetype kUnitsPerStep = 2048;
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

inline char *putUtf8(char *out, char32_t c)
{
    if (c < 0x80) {
        *out++ = char(c);
    } else if (c < 0x800) {
        *out++ = char(0xC0 | (c >> 6));
        *out++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    } else {
        *out++ = char(0xF0 | (c >> 18));
        *out++ = char(0x80 | ((c >> 12) & 0x3F));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

inline char *putBytes(char *out, std::string_view bytes)
{
    std::memcpy(out, bytes.data(), bytes.size());
    return out + bytes.size();
}

const EscapeTable &plainTable()
{
    static const EscapeTable table = [] {
        EscapeTable t;
        t.seal();
        return t;
    }();
    return table;
}

} // namespace

OutputBuffer::OutputBuffer(QIODevice &device, qsizetype capacity) : m_device(device)
{
    m_data.resize(std::max(capacity, kMaxBytesPerUnit * kUnitsPerStep * 2));
    m_pos = m_data.data();
    m_end = m_pos + m_data.size();
}

OutputBuffer::~OutputBuffer()
{
    flush();
}

bool OutputBuffer::flush()
{
    const qint64 pending = m_pos - m_data.data();
    m_pos = m_data.data();
    if (!ok() || pending == 0)
        return ok();
    const qint64 done = m_device.write(m_data.constData(), pending);
    if (done != pending) {
        m_error = m_device.errorString();
        if (m_error.isEmpty() || m_error == QLatin1String("Unknown error"))
            m_error = QStringLiteral("Could not write to the output file.");
        return false;
    }
    m_written += done;
    return true;
}

void OutputBuffer::ensureRoom(qsizetype bytes)
{
    if (m_end - m_pos < bytes)
        flush();
}

void OutputBuffer::appendSlow(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (m_pos == m_end)
            flush();
        const auto n = std::min<std::size_t>(bytes.size(), std::size_t(m_end - m_pos));
        m_pos = putBytes(m_pos, bytes.substr(0, n));
        bytes.remove_prefix(n);
    }
}

void OutputBuffer::appendNumber(qint64 value)
{
    char digits[24];
    int length = 0;
    const bool negative = value < 0;
    quint64 rest = negative ? quint64(-(value + 1)) + 1 : quint64(value);
    do {
        digits[length++] = char('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        digits[length++] = '-';
    std::reverse(digits, digits + length);
    append(std::string_view(digits, std::size_t(length)));
}

void OutputBuffer::appendText(QStringView text)
{
    appendEscaped(text, plainTable());
}

qsizetype OutputBuffer::appendEscaped(QStringView text, const EscapeTable &table)
{
    qsizetype lost = 0;
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    while (p != end) {
        ensureRoom(kMaxBytesPerUnit * kUnitsPerStep);
        char *out = m_pos;
        const char16_t *const stepEnd = p + std::min<qsizetype>(end - p, kUnitsPerStep);
        while (p < stepEnd) {
            // Most text is ASCII that needs no replacement: take it four units at a time.
            while (stepEnd - p >= 4) {
                quint64 units;
                std::memcpy(&units, p, sizeof units);
                if (units & 0xFF80FF80FF80FF80ull)
                    break;
                const auto c0 = char(p[0]), c1 = char(p[1]), c2 = char(p[2]), c3 = char(p[3]);
                if (table.special[c0] | table.special[c1] | table.special[c2] | table.special[c3])
                    break;
                out[0] = c0;
                out[1] = c1;
                out[2] = c2;
                out[3] = c3;
                out += 4;
                p += 4;
            }
            if (p == stepEnd)
                break;
            const char16_t c = *p++;
            if (c < 0x80) {
                if (!table.special[c]) {
                    *out++ = char(c);
                } else {
                    out = putBytes(out, table.replacement[c]);
                    lost += table.lossy[c];
                }
            } else if (QChar::isHighSurrogate(c) && p != end && QChar::isLowSurrogate(*p)) {
                // A pair cut by the step boundary is still read whole: the room reserved
                // covers one unit more than the step.
                out = putUtf8(out, QChar::surrogateToUcs4(c, *p++));
            } else if (QChar::isSurrogate(c) ||
                       (table.rejectsNonCharacters && (c == 0xFFFE || c == 0xFFFF))) {
                out = putBytes(out, kReplacementCharacter);
                ++lost;
            } else {
                out = putUtf8(out, c);
            }
        }
        m_pos = out;
    }
    return lost;
}

} // namespace plotwell::convert
