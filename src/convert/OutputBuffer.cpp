#include "convert/OutputBuffer.h"

#include "convert/RecordOutput.h"

#include <QFileDevice>
#include <QIODevice>

#include <algorithm>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#ifdef __linux__
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace plotwell::convert {

namespace {

// An output file is synced to disk before it takes its target's place (QSaveFile). Left to
// that moment, the whole file is written out while the user waits; started every few
// megabytes, the disk works while the conversion does and the sync waits for the last few.
constexpr qint64 kWriteBackStep = 8 * 1024 * 1024;

// The longest replacement any table holds, plus the four bytes of a character outside the BMP.
// The fast copy may also store up to 16 bytes past what it keeps, which this covers.
constexpr qsizetype kMaxBytesPerUnit = 32;
constexpr qsizetype kUnitsPerStep = 2048;
static_assert(kMaxBytesPerUnit * kUnitsPerStep * 2 >= OutputBuffer::kMaxReserve);
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

/// Copies the run of units at `p` that are ASCII from space upwards and not special in
/// `table`, narrowed to bytes, and returns where the run ends; `out` moves past the copy.
/// There must be room for 16 bytes more than the run. `Specials` is the table's count of
/// special printable codes, known when compiling so that the comparisons unroll.
template <int Specials>
[[gnu::always_inline]] inline const char16_t *copyPlainRun(const char16_t *p, const char16_t *end,
                                                           char *&out, const EscapeTable &table)
{
#ifdef __SSE2__
    // Packing saturates: a unit above 0xFF becomes 0xFF or 0 (as a signed 16-bit value, a
    // unit from 0x8000 up is negative), and 0x80..0xFF stay. As signed bytes, every such byte
    // and every control code compares below space, so one comparison finds them all.
    const __m128i space = _mm_set1_epi8(0x20);
    const auto stopMask = [&](__m128i bytes) {
        __m128i stop = _mm_cmplt_epi8(bytes, space);
        for (int k = 0; k < Specials; ++k)
            stop = _mm_or_si128(
                stop, _mm_cmpeq_epi8(bytes, _mm_load_si128(reinterpret_cast<const __m128i *>(
                                                table.printableSpecials[k].data()))));
        return unsigned(_mm_movemask_epi8(stop));
    };
    while (end - p >= 16) {
        const __m128i bytes =
            _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), bytes);
        if (const unsigned stop = stopMask(bytes)) {
            const int run = std::countr_zero(stop);
            out += run;
            return p + run;
        }
        out += 16;
        p += 16;
    }
    // The last 4 to 15 units in one step.
    if (const auto r = int(end - p); r >= 4) {
        const __m128i bytes = narrowShort(p, r, out);
        const int half = r >= 8 ? 8 : 4;
        const unsigned halfMask = (1u << half) - 1;
        const unsigned stop = stopMask(bytes);
        const int run = (stop & halfMask)             ? std::countr_zero(stop)
                        : ((stop >> half) & halfMask) ? r - half + std::countr_zero(stop >> half)
                                                      : r;
        out += run;
        return p + run;
    }
#endif
    while (p != end && *p >= 0x20 && *p < 0x80 && !table.special[*p])
        *out++ = char(*p++);
    return p;
}

/// Escapes the units from `p` to `stepEnd` into `out` (a surrogate pair may reach one unit
/// past it, up to `end`); returns where it stopped.
template <int Specials>
[[gnu::always_inline]] inline const char16_t *
escapeStep(const char16_t *p, const char16_t *const stepEnd, const char16_t *const end, char *&out,
           const EscapeTable &table, qsizetype &lost)
{
    while (p < stepEnd) {
        p = copyPlainRun<Specials>(p, stepEnd, out, table);
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
    return p;
}

/// `escapeStep()` for the table's count of special printable codes.
const char16_t *escapeSome(const char16_t *p, const char16_t *const stepEnd,
                           const char16_t *const end, char *&out, const EscapeTable &table,
                           qsizetype &lost)
{
    switch (table.printableSpecialCount) {
    case 0:
        return escapeStep<0>(p, stepEnd, end, out, table, lost);
    case 1:
        return escapeStep<1>(p, stepEnd, end, out, table, lost);
    case 2:
        return escapeStep<2>(p, stepEnd, end, out, table, lost);
    case 3:
        return escapeStep<3>(p, stepEnd, end, out, table, lost);
    case 4:
        return escapeStep<4>(p, stepEnd, end, out, table, lost);
    case 5:
        return escapeStep<5>(p, stepEnd, end, out, table, lost);
    default:
        static_assert(std::tuple_size_v<decltype(table.printableSpecials)> == 6);
        return escapeStep<6>(p, stepEnd, end, out, table, lost);
    }
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
#ifdef __linux__
    struct stat info;
    if (const auto *file = qobject_cast<QFileDevice *>(&device);
        file && file->handle() >= 0 && ::fstat(file->handle(), &info) == 0 &&
        S_ISREG(info.st_mode)) {
        m_writeBackFile = file->handle();
        m_origin = device.pos();
    }
#endif
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
    if (m_writeBackFile >= 0 && m_written - m_writeBackFrom >= kWriteBackStep)
        startWriteBack();
    return true;
}

void OutputBuffer::startWriteBack()
{
#ifdef __linux__
    // Only a start: the call returns once the writes are queued, and a failure here is one
    // that the sync at the end reports.
    (void)::sync_file_range(m_writeBackFile, m_origin + m_writeBackFrom,
                            m_written - m_writeBackFrom, SYNC_FILE_RANGE_WRITE);
#endif
    m_writeBackFrom = m_written;
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
        const char16_t *const stepEnd = p + std::min<qsizetype>(end - p, kUnitsPerStep);
        char *out = m_pos;
        p = escapeSome(p, stepEnd, end, out, table, lost);
        m_pos = out;
    }
    return lost;
}

Escaped escapeInto(char *out, QStringView text, const EscapeTable &table)
{
    qsizetype lost = 0;
    const char16_t *const end = text.utf16() + text.size();
    escapeSome(text.utf16(), end, end, out, table, lost);
    return {out, lost};
}

} // namespace plotwell::convert
