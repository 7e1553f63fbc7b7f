#include "csv/CsvParser.h"

#include "csv/internal/CsvParserImpl.h"

#include <QFileInfo>
#include <QIODevice>

namespace plotwell::csv {

using namespace parsing;

namespace {

/// A reader that only fails: for sources that cannot be opened at all.
class FailingReader final : public ByteReader
{
public:
    explicit FailingReader(QString why) : m_why(std::move(why)) {}
    qint64 read(char *, qint64) override { return -1; }
    QString errorString() const override { return m_why; }

private:
    QString m_why;
};

std::unique_ptr<ByteReader> readerForUrl(const QUrl &url)
{
    if (url.isEmpty())
        throw CsvParameterError("Invalid parameter not satisfying: fileURL");
    if (!url.isLocalFile())
        return std::make_unique<FailingReader>(
            QStringLiteral("only local files can be read (%1)").arg(url.toDisplayString()));
    return std::make_unique<FileByteReader>(url.toLocalFile());
}

} // namespace

CsvParser::CsvParser(std::unique_ptr<ByteReader> reader, QChar delimiter, CsvEncoding encoding)
    : d(std::make_unique<Impl>())
{
    if (!reader)
        throw CsvParameterError("Invalid parameter not satisfying: stream");
    if (delimiter.isNull())
        throw CsvParameterError("Invalid parameter not satisfying: delimiter");
    if (isLineBreak(delimiter.unicode()) || isOtherLineSeparator(delimiter.unicode()))
        throw CsvParameterError("The field delimiter may not be a newline");
    if (delimiter == u'"')
        throw CsvParameterError("The field delimiter may not be a double quote");
    d->q = this;
    d->reader = std::move(reader);
    d->delimiter = delimiter.unicode();
    d->reserve(kStepSize + kPadding);
    d->pad();
    d->markStops(0);
    d->encoding = encoding;
    if (encoding == CsvEncoding::Unknown)
        d->sniffEncoding();
    d->decoder = CsvDecoder::create(d->encoding);
}

namespace {
std::unique_ptr<ByteReader> deviceReader(QIODevice *device)
{
    if (!device)
        throw CsvParameterError("Invalid parameter not satisfying: stream");
    return std::make_unique<DeviceByteReader>(device);
}
} // namespace

CsvParser::CsvParser(QIODevice *device, QChar delimiter, CsvEncoding encoding)
    : CsvParser(deviceReader(device), delimiter, encoding)
{}

CsvParser::CsvParser(const QByteArray &bytes, QChar delimiter, CsvEncoding encoding)
    : CsvParser(std::make_unique<MemoryByteReader>(bytes), delimiter, encoding)
{}

CsvParser::CsvParser(const QUrl &url, QChar delimiter, CsvEncoding encoding)
    : CsvParser(readerForUrl(url), delimiter, encoding)
{}

CsvParser::~CsvParser() = default;

CsvParser CsvParser::fromFile(const QString &path, QChar delimiter, CsvEncoding encoding)
{
    return CsvParser(std::make_unique<FileByteReader>(path), delimiter, encoding);
}

CsvParser CsvParser::fromString(const QString &text, QChar delimiter)
{
    return CsvParser(text.toUtf8(), delimiter);
}

CsvParserDelegate *CsvParser::delegate() const
{
    return d->delegate;
}

void CsvParser::setDelegate(CsvParserDelegate *delegate)
{
    d->delegate = delegate;
}

QChar CsvParser::delimiter() const
{
    return QChar(d->delimiter);
}

CsvEncoding CsvParser::streamEncoding() const
{
    return d->encoding;
}

bool CsvParser::encodingWasGuessed() const
{
    return d->guessed;
}

bool CsvParser::sanitizesFields() const
{
    return d->sanitize;
}

void CsvParser::setSanitizesFields(bool on)
{
    d->sanitize = on;
}

bool CsvParser::trimsWhitespace() const
{
    return d->trim;
}

void CsvParser::setTrimsWhitespace(bool on)
{
    d->trim = on;
}

bool CsvParser::recognizesBackslashesAsEscapes() const
{
    return d->escapes;
}

void CsvParser::setRecognizesBackslashesAsEscapes(bool on)
{
    d->escapes = on;
    if (on && d->delimiter == u'\\')
        throw CsvInconsistencyError(
            "Cannot recognize backslashes as escapes when using '\\' as the delimiter");
}

bool CsvParser::recognizesComments() const
{
    return d->comments;
}

void CsvParser::setRecognizesComments(bool on)
{
    d->comments = on;
    if (on && d->delimiter == u'#')
        throw CsvInconsistencyError("Cannot recognize comments when using '#' as the delimiter");
}

bool CsvParser::recognizesLeadingEqualSign() const
{
    return d->equalSign;
}

void CsvParser::setRecognizesLeadingEqualSign(bool on)
{
    d->equalSign = on;
    if (on && d->delimiter == u'=')
        throw CsvInconsistencyError(
            "Cannot recognize leading equal sign when using '=' as the delimiter");
}

void CsvParser::applyOptions(CsvOptions options)
{
    setRecognizesBackslashesAsEscapes(options.testFlag(BackslashEscapes));
    setSanitizesFields(options.testFlag(SanitizeFields));
    setRecognizesComments(options.testFlag(RecognizeComments));
    setTrimsWhitespace(options.testFlag(TrimWhitespace));
    setRecognizesLeadingEqualSign(options.testFlag(RecognizeLeadingEqualSign));
}

void CsvParser::parse()
{
    d->parse();
}

void CsvParser::cancelParsing()
{
    d->cancelled = true;
}

bool CsvParser::isCancelled() const
{
    return d->cancelled;
}

qint64 CsvParser::totalBytesRead() const
{
    return d->reportedBytesRead();
}

qsizetype CsvParser::replacementCharacterCount() const
{
    return d->reportedReplacements();
}

bool CsvParser::endedInsideQuotedField() const
{
    return d->endedInsideQuotes;
}

std::optional<CsvError> CsvParser::error() const
{
    return d->error;
}

} // namespace plotwell::csv
