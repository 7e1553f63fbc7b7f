#pragma once

#include "csv/CsvParser.h"

#include <QByteArrayView>

#include <memory>

namespace plotwell::csv {

/// Turns the byte steps of one stream into UTF-16, carrying characters that a step cuts in two
/// over to the next step. Bytes that do not decode become U+FFFD and are counted.
class CsvDecoder
{
public:
    virtual ~CsvDecoder() = default;
    /// The most UTF-16 units `decode` can write for `inputSize` more bytes.
    virtual qsizetype maxOutput(qsizetype inputSize) const = 0;
    /// Decodes `in`, writing to `out`; returns the number of units written.
    virtual qsizetype decode(QByteArrayView in, char16_t *out) = 0;
    /// At the end of input: writes a replacement for any cut character; returns the units written
    /// (at most 4).
    virtual qsizetype finish(char16_t *out) = 0;
    qsizetype replacementCount() const { return m_replacements; }

    static std::unique_ptr<CsvDecoder> create(CsvEncoding encoding);

protected:
    qsizetype m_replacements = 0;
};

/// Whether `bytes` are UTF-8 as far as they go; a sequence cut by the end is accepted only when
/// `mayContinue` (more input follows).
bool looksLikeUtf8(QByteArrayView bytes, bool mayContinue);

/// The encoding of a stream without a byte-order mark, from its first bytes: UTF-16 of either
/// order when its zeros say so, UTF-8 when the bytes are, else Windows-1252, or Mac OS Roman
/// when bytes appear that Windows-1252 leaves undefined.
CsvEncoding guessEncoding(QByteArrayView bytes, bool mayContinue);

/// How a stream is written, as its first bytes tell: a byte-order mark (or the ISO-2022-KR
/// announcement) decides and is `markSize` bytes long; without one the bytes are guessed from.
struct SniffedEncoding
{
    CsvEncoding encoding = CsvEncoding::Utf8;
    qsizetype markSize = 0;
    [[nodiscard]] bool guessed() const { return markSize == 0 && encoding != CsvEncoding::Utf8; }
};

/// The one place that decides a stream's encoding: the parser asks it about its first step, a
/// reader that holds the whole file asks it about all of it (`mayContinue` false), so that a
/// character late in the file counts too.
SniffedEncoding sniffEncoding(QByteArrayView bytes, bool mayContinue);

/// A whole text: its encoding as `sniffEncoding` decides it and the characters, without the mark.
struct DecodedText
{
    QString text;
    SniffedEncoding encoding;
};

DecodedText decodeWholeText(QByteArrayView bytes);

/// The name users know an encoding by.
QString encodingName(CsvEncoding encoding);

/// The Mac OS Roman character of a byte.
char16_t macRomanToUnicode(unsigned char byte);

} // namespace plotwell::csv
