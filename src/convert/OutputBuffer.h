#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <string_view>

class QIODevice;

namespace plotwell::convert {

/// How one output format writes text: what replaces each ASCII character that the format
/// cannot carry as it is. Everything else is written as UTF-8.
struct EscapeTable
{
    /// Replacement text per ASCII code, or empty to write the character itself.
    std::array<std::string_view, 128> replacement{};
    /// Codes whose replacement loses the character (it cannot be represented at all); they
    /// are counted so that the user can be told.
    std::array<bool, 128> lossy{};
    /// U+FFFE and U+FFFF are not allowed in XML documents.
    bool rejectsNonCharacters = false;

    /// Marks the codes that have a replacement; call once `replacement` is filled.
    void seal()
    {
        std::size_t count = 0;
        maxBytesPerUnit = 3; // a character of the Basic Multilingual Plane, or U+FFFD
        for (std::size_t c = 0; c < replacement.size(); ++c) {
            special[c] = !replacement[c].empty();
            maxBytesPerUnit = std::max(maxBytesPerUnit, qsizetype(replacement[c].size()));
            if (special[c] && c >= 0x20) {
                if (count == printableSpecials.size())
                    throw std::logic_error("EscapeTable: too many special printable characters");
                printableSpecials[count++].fill(char(c));
            }
        }
        printableSpecialCount = int(count);
    }
    std::array<bool, 128> special{};
    /// The special codes from space upwards, each repeated 16 times, for scanning many units
    /// at once.
    alignas(16) std::array<std::array<char, 16>, 6> printableSpecials{};
    int printableSpecialCount = 0;
    /// The most bytes one UTF-16 unit can become.
    qsizetype maxBytesPerUnit = 3;
};

/// Appends text to a device through a fixed buffer, so that writing a large output costs one
/// system call per buffer rather than one per piece. The first failed write is remembered and
/// everything after it is dropped; callers check `ok()` and report `errorString()`.
class OutputBuffer
{
public:
    explicit OutputBuffer(QIODevice &device, qsizetype capacity = 256 * 1024);
    ~OutputBuffer();
    OutputBuffer(const OutputBuffer &) = delete;
    OutputBuffer &operator=(const OutputBuffer &) = delete;

    void append(std::string_view bytes)
    {
        if (qsizetype(bytes.size()) <= m_end - m_pos) {
            std::memcpy(m_pos, bytes.data(), bytes.size());
            m_pos += bytes.size();
        } else {
            appendSlow(bytes);
        }
    }
    void append(QLatin1StringView text) { append(std::string_view(text.data(), text.size())); }
    void appendBytes(const QByteArray &bytes)
    {
        append(std::string_view(bytes.data(), bytes.size()));
    }
    void append(char c)
    {
        if (m_pos == m_end)
            flush();
        *m_pos++ = c;
    }
    void appendNumber(qint64 value);
    /// Writes `text` as UTF-8 with the table's replacements. Returns how many characters could
    /// not be represented (lone surrogates always; the table's lossy codes and non-characters).
    qsizetype appendEscaped(QStringView text, const EscapeTable &table);
    /// UTF-8 with no replacements except for lone surrogates.
    void appendText(QStringView text);

    /// For writing straight into the buffer: room for `bytes` (at most `kMaxReserve`) at the
    /// returned position. What was written there is kept by passing its end to `commit()`.
    static constexpr qsizetype kMaxReserve = 64 * 1024;
    char *reserve(qsizetype bytes)
    {
        ensureRoom(bytes);
        return m_pos;
    }
    void commit(char *end) { m_pos = end; }

    /// Hands everything buffered to the device. False once any write has failed.
    bool flush();
    [[nodiscard]] bool ok() const { return m_error.isEmpty(); }
    [[nodiscard]] QString errorString() const { return m_error; }
    [[nodiscard]] qint64 bytesWritten() const { return m_written + (m_pos - m_data.data()); }

private:
    void ensureRoom(qsizetype bytes)
    {
        if (m_end - m_pos < bytes)
            flush();
    }
    void appendSlow(std::string_view bytes);
    void startWriteBack();

    QIODevice &m_device;
    QByteArray m_data;
    char *m_pos = nullptr;
    char *m_end = nullptr;
    qint64 m_written = 0;
    QString m_error;
    // A regular file whose write to disk is started as it grows (-1 for any other device), from
    // `m_writeBackFrom` bytes into the buffer's output, which began at `m_origin` in the file.
    int m_writeBackFile = -1;
    qint64 m_origin = 0;
    qint64 m_writeBackFrom = 0;
};

/// Stores written straight into the buffer may reach this far past what they keep.
constexpr qsizetype kStoreSlack = 32;

/// Writes `text` escaped with `table` at `out`; there must be room for
/// `text.size() * table.maxBytesPerUnit + kStoreSlack` bytes. `lost` counts as
/// `OutputBuffer::appendEscaped()` does.
struct Escaped
{
    char *end;
    qsizetype lost;
};
Escaped escapeInto(char *out, QStringView text, const EscapeTable &table);

} // namespace plotwell::convert
