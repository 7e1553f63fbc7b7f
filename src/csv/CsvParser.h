#pragma once

#include "csv/ByteReader.h"

#include <QFlags>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <memory>
#include <optional>
#include <span>
#include <stdexcept>

class QIODevice;

namespace plotwell::csv {

class CsvParser;

/// Bits of the options argument of the convenience entries.
enum CsvOption : unsigned {
    BackslashEscapes = 1,
    SanitizeFields = 2,
    RecognizeComments = 4,
    TrimWhitespace = 8,
    UseKeyedAggregator = 16,
    RecognizeLeadingEqualSign = 32,
};
Q_DECLARE_FLAGS(CsvOptions, CsvOption)

/// Text encodings the parser decodes. `Unknown` asks the parser to work it out from the first
/// bytes.
enum class CsvEncoding {
    Unknown = 0,
    Utf8,
    Utf16LE,
    Utf16BE,
    Utf32LE,
    Utf32BE,
    MacRoman,
    Iso2022Kr,
    Windows1252,
};

enum CsvErrorCode {
    /// A field was followed by something other than the delimiter, a line break or the end.
    UnexpectedDelimiter = 1,
    /// A record of the keyed aggregator has another number of fields than the first record.
    IncorrectNumberOfFields = 2,
    /// The input could not be opened or read.
    ReadFailed = 3,
};

inline constexpr const char *csvErrorDomain = "com.quillfen.csv";

struct CsvError
{
    QString domain = QString::fromLatin1(csvErrorDomain);
    int code = 0;
    QString description;

    friend bool operator==(const CsvError &, const CsvError &) = default;
};

/// Thrown for arguments that can never work: a missing source or an unusable delimiter.
class CsvParameterError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
    /// The class that refused the argument.
    const char *source() const noexcept { return "CsvParser"; }
};

/// Thrown when an option clashes with the delimiter; the option is stored all the same.
class CsvInconsistencyError : public std::logic_error
{
public:
    using std::logic_error::logic_error;
    const char *source() const noexcept { return "CsvParser"; }
};

/// The fields of one record, each a view that is valid only during the call it is passed to.
using CsvFields = std::span<const QStringView>;

/// Receives the parser's events. Every event does nothing unless overridden. A field arrives as a
/// view that is valid only during the call: copy it to keep it.
class CsvParserDelegate
{
public:
    virtual ~CsvParserDelegate() = default;
    virtual void parserDidBeginDocument(CsvParser &) {}
    virtual void parserDidBeginLine(CsvParser &, qsizetype /*recordNumber*/) {}
    virtual void parserDidReadField(CsvParser &, QStringView /*field*/, qsizetype /*index*/) {}
    virtual void parserDidEndLine(CsvParser &, qsizetype /*recordNumber*/) {}
    virtual void parserDidReadComment(CsvParser &, QStringView /*comment*/) {}
    virtual void parserDidEndDocument(CsvParser &) {}
    virtual void parserDidFailWithError(CsvParser &, const CsvError &) {}

    /// A delegate that answers true gets each record whole, through parserDidReadRecord, in
    /// place of the begin-line, field and end-line events: one call a record rather than one a
    /// field, which is what reading large files wants. Asked when the parse begins. A cancel
    /// then stops the parse between records.
    virtual bool readsWholeRecords() const { return false; }
    /// Comes where parserDidEndLine would, with the same parser state (an error the record
    /// ended with is already there to see). The fields lie in order in one piece of text, so
    /// that the stretch from the first to the end of the last can be copied at once.
    virtual void parserDidReadRecord(CsvParser &, qsizetype /*recordNumber*/, CsvFields) {}
};

/// A streaming reader of delimited text. It decodes the bytes itself (the encoding is given or
/// worked out from a byte-order mark), reads in steps so that memory holds about one block plus
/// the longest record, and reports records, fields and comments to its delegate. One parser reads
/// its input once.
class CsvParser
{
public:
    /// The designated constructor. Throws CsvParameterError for a missing reader or a delimiter
    /// that is zero, a line break or a double quote. Reads the first bytes to settle the encoding
    /// when `encoding` is Unknown.
    explicit CsvParser(std::unique_ptr<ByteReader> reader, QChar delimiter = u',',
                       CsvEncoding encoding = CsvEncoding::Unknown);
    /// Reads a device (not owned); it is opened for reading if it is not open.
    explicit CsvParser(QIODevice *device, QChar delimiter = u',',
                       CsvEncoding encoding = CsvEncoding::Unknown);
    /// Reads bytes held in memory.
    explicit CsvParser(const QByteArray &bytes, QChar delimiter = u',',
                       CsvEncoding encoding = CsvEncoding::Unknown);
    /// Reads a local file; a URL that is not a file URL cannot be read and fails the parse.
    /// Throws CsvParameterError for an empty URL.
    explicit CsvParser(const QUrl &url, QChar delimiter = u',',
                       CsvEncoding encoding = CsvEncoding::Unknown);
    ~CsvParser();
    CsvParser(const CsvParser &) = delete;
    CsvParser &operator=(const CsvParser &) = delete;

    /// Reads the file at `path`.
    static CsvParser fromFile(const QString &path, QChar delimiter = u',',
                              CsvEncoding encoding = CsvEncoding::Unknown);
    /// Reads the text of `text` (as UTF-8 bytes, whose encoding is then worked out).
    static CsvParser fromString(const QString &text, QChar delimiter = u',');

    CsvParserDelegate *delegate() const;
    void setDelegate(CsvParserDelegate *delegate);

    QChar delimiter() const;
    /// The encoding in use: the one given, or the one found in the first bytes.
    CsvEncoding streamEncoding() const;
    /// Whether the encoding was guessed from the bytes alone: given neither by the caller nor by
    /// a byte-order mark, and not UTF-8.
    bool encodingWasGuessed() const;

    bool sanitizesFields() const;
    void setSanitizesFields(bool on);
    bool trimsWhitespace() const;
    void setTrimsWhitespace(bool on);
    bool recognizesBackslashesAsEscapes() const;
    void setRecognizesBackslashesAsEscapes(bool on);
    bool recognizesComments() const;
    void setRecognizesComments(bool on);
    bool recognizesLeadingEqualSign() const;
    void setRecognizesLeadingEqualSign(bool on);
    /// Applies the parser settings among `options` (the aggregator choice is not one of them).
    void applyOptions(CsvOptions options);

    /// Reads to the end of input, an error or a cancel, sending the events as it goes.
    void parse();
    /// Stops the parse at its next field or comment: no further record, field, line, comment or
    /// failure event is sent; the end-of-document event still comes unless a delimiter error
    /// stopped the parse.
    void cancelParsing();
    bool isCancelled() const;

    /// Bytes taken from the source so far, byte-order mark included.
    qint64 totalBytesRead() const;
    /// Characters that stood in for bytes that did not decode (U+FFFD each). Worth telling the user
    /// when not zero: the input was not entirely in the encoding it was read in.
    qsizetype replacementCharacterCount() const;
    /// Whether the input ended inside a quoted field (reported with what was read).
    bool endedInsideQuotedField() const;
    /// The error that ended the parse, if any.
    std::optional<CsvError> error() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace plotwell::csv

Q_DECLARE_OPERATORS_FOR_FLAGS(plotwell::csv::CsvOptions)
