#pragma once

#include "convert/OutputBuffer.h"

#include <QStringView>

#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// A writer spends most of its time on values of a few characters, so the cost per value counts
// more than the cost per character. The writers put a record together through one of two
// outputs with the same calls: `DirectOutput` stores straight into the buffer after a single
// room check for the whole record, `BufferedOutput` checks as it goes for records too large for
// that. `writeRecord()` picks one.

namespace plotwell::convert {

/// The printable ASCII characters at which a value can no longer be copied as it is: those
/// that the format's table replaces, and any that the writer looks at itself.
template <char... Stops> struct StopSet
{
    static constexpr bool contains(char16_t c) { return ((c == char16_t(Stops)) || ...); }

    /// Whether every printable character that `table` replaces is a stop.
    static bool covers(const EscapeTable &table)
    {
        for (char16_t c = 0x20; c < 0x80; ++c) {
            if (table.special[c] && !contains(c))
                return false;
        }
        return true;
    }

#ifdef __SSE2__
    /// A bit per byte that is a control code, not ASCII (narrowed units above 0x7F are 0x80
    /// or more, or 0) or a stop.
    [[gnu::always_inline]] static unsigned mask(__m128i bytes)
    {
        __m128i stop = _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20));
        ((stop = _mm_or_si128(stop, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(Stops)))), ...);
        return unsigned(_mm_movemask_epi8(stop));
    }
#endif
};

#ifdef __SSE2__
/// Narrows 4 to 16 units at `p` to bytes, each stored at its own place from `out`, and returns
/// them: for 8 units or more the first 8 then the last 8, for fewer the first 4 then the last
/// 4, twice. The two loads may overlap, and an overlap stores the same byte twice. Narrowing
/// saturates, so that a unit above 0x7F never becomes a printable byte.
[[gnu::always_inline]] inline __m128i narrowShort(const char16_t *p, qsizetype n, char *out)
{
    if (n >= 8) {
        const __m128i bytes =
            _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + n - 8)));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), bytes);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + n - 8), _mm_srli_si128(bytes, 8));
        return bytes;
    }
    const __m128i units =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p)),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i *>(p + n - 4)));
    const __m128i bytes = _mm_packus_epi16(units, units);
    const auto head = quint32(_mm_cvtsi128_si32(bytes));
    const auto tail = quint32(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 4)));
    std::memcpy(out, &head, 4);
    std::memcpy(out + n - 4, &tail, 4);
    return bytes;
}
#endif

/// Copies a value of at most 16 units to `out` as bytes when each unit is printable ASCII and
/// no stop, and returns the end of the copy; returns nullptr for any other value, which is
/// left to the general escaping (what was stored is then written over). Stores may reach 4
/// bytes past the value's length.
template <typename Stops> [[gnu::always_inline]] inline char *putPlain(char *out, QStringView text)
{
    const char16_t *const p = text.utf16();
    const qsizetype n = text.size();
#ifdef __SSE2__
    if (n >= 4) {
        if (n > 16)
            return nullptr;
        return Stops::mask(narrowShort(p, n, out)) ? nullptr : out + n;
    }
    if (n > 0) {
        // The first, middle and last unit are all of one to three units; the fourth place
        // repeats the first so that it passes where the others do.
        const quint64 first = p[0];
        const quint64 units =
            first | quint64(p[n >> 1]) << 16 | quint64(p[n - 1]) << 32 | first << 48;
        const __m128i words = _mm_cvtsi64_si128(qint64(units));
        const __m128i bytes = _mm_packus_epi16(words, words);
        const auto head = quint32(_mm_cvtsi128_si32(bytes));
        std::memcpy(out, &head, 4);
        return (Stops::mask(bytes) & 0xFu) ? nullptr : out + n;
    }
    return out;
#else
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (c < 0x20 || c >= 0x80 || Stops::contains(c))
            return nullptr;
        out[i] = char(c);
    }
    return out + n;
#endif
}

/// A short text that a writer puts around values, stored so that `kStoreSlack` bytes can be
/// read from its start whatever its length: a short piece is copied in one fixed-size move.
struct Piece
{
    std::string_view text;
    [[nodiscard]] Piece chopped(qsizetype n) const { return {text.substr(0, text.size() - n)}; }
};

/// The pieces of a writer, one per column or so.
class PieceList
{
public:
    void clear()
    {
        m_bytes.clear();
        m_pieces.clear();
        m_total = 0;
    }
    void append(std::string_view text)
    {
        const char *const before = m_bytes.data();
        const std::size_t start = m_bytes.size();
        m_bytes.append(text);
        m_bytes.append(std::size_t(kStoreSlack), '\0');
        m_pieces.push_back({std::string_view(m_bytes.data() + start, text.size())});
        m_total += qsizetype(text.size());
        if (m_bytes.data() != before) {
            std::size_t at = 0;
            for (Piece &piece : m_pieces) {
                piece.text = std::string_view(m_bytes.data() + at, piece.text.size());
                at += piece.text.size() + std::size_t(kStoreSlack);
            }
        }
    }
    [[nodiscard]] qsizetype size() const { return qsizetype(m_pieces.size()); }
    /// Valid until the next `append()`: a writer takes this before it writes, as stores
    /// through its output could otherwise be taken to change the list.
    [[nodiscard]] const Piece *data() const { return m_pieces.data(); }
    /// The length of all pieces together.
    [[nodiscard]] qsizetype totalSize() const { return m_total; }

private:
    std::string m_bytes; // each piece followed by `kStoreSlack` bytes
    std::vector<Piece> m_pieces;
    qsizetype m_total = 0;
};

/// Stores one record straight into the buffer, where room was made for all of it.
class DirectOutput
{
public:
    explicit DirectOutput(char *pos) : m_pos(pos) {}

    void put(std::string_view bytes)
    {
        std::memcpy(m_pos, bytes.data(), bytes.size());
        m_pos += bytes.size();
    }
    void put(char c) { *m_pos++ = c; }
    void put(Piece piece)
    {
        if (qsizetype(piece.text.size()) <= kStoreSlack)
            std::memcpy(m_pos, piece.text.data(), std::size_t(kStoreSlack));
        else
            std::memcpy(m_pos, piece.text.data(), piece.text.size());
        m_pos += piece.text.size();
    }
    /// False, having written nothing, when `text` needs more than a copy.
    template <typename Stops> [[gnu::always_inline]] bool putPlain(QStringView text)
    {
        char *const end = convert::putPlain<Stops>(m_pos, text);
        if (!end)
            return false;
        m_pos = end;
        return true;
    }
    template <typename Stops>
    [[gnu::always_inline]] void putEscaped(QStringView text, const EscapeTable &table)
    {
        if (putPlain<Stops>(text))
            return;
        const Escaped escaped = escapeInto(m_pos, text, table);
        m_pos = escaped.end;
        lost += escaped.lost;
    }

    [[nodiscard]] char *end() const { return m_pos; }
    qsizetype lost = 0; // as `OutputBuffer::appendEscaped()` counts

private:
    char *m_pos;
};

/// The same calls as `DirectOutput`, through the buffer's own checks.
class BufferedOutput
{
public:
    explicit BufferedOutput(OutputBuffer &out) : m_out(out) {}

    void put(std::string_view bytes) { m_out.append(bytes); }
    void put(char c) { m_out.append(c); }
    void put(Piece piece) { m_out.append(piece.text); }
    template <typename Stops> bool putPlain(QStringView) { return false; }
    template <typename Stops> void putEscaped(QStringView text, const EscapeTable &table)
    {
        lost += m_out.appendEscaped(text, table);
    }

    qsizetype lost = 0;

private:
    OutputBuffer &m_out;
};

/// Calls `write` with a `DirectOutput` when a record known to need at most `bound` bytes fits
/// in one reservation, else with a `BufferedOutput`. Returns the output's `lost` count.
template <typename Write> qsizetype writeRecord(OutputBuffer &out, qsizetype bound, Write &&write)
{
    if (bound <= OutputBuffer::kMaxReserve - kStoreSlack) {
        DirectOutput direct(out.reserve(bound + kStoreSlack));
        write(direct);
        out.commit(direct.end());
        return direct.lost;
    }
    BufferedOutput buffered(out);
    write(buffered);
    return buffered.lost;
}

} // namespace plotwell::convert
