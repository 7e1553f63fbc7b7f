// Bytes from the reader, the encoding they are in, and the window of decoded text the parse
// works in, with the character masks of it and the byte counts callers see.
#include "base/Log.h"
#include "csv/internal/CsvParserImpl.h"

#include <algorithm>
#include <cstring>

namespace plotwell::csv {

using namespace parsing;

bool CsvParser::Impl::takeBytes(qsizetype max, QByteArrayView &out)
{
    if (blockPos == blockLen) {
        if (readerAtEnd)
            return false;
        if (!block)
            block = std::make_unique<char[]>(size_t(kBlockSize));
        const qint64 n = reader->read(block.get(), kBlockSize);
        if (n <= 0) {
            readerAtEnd = true;
            if (n < 0) {
                readFailed = true;
                readError = reader->errorString();
            }
            return false;
        }
        blockPos = 0;
        blockLen = qsizetype(n);
    }
    const qsizetype n = std::min(max, blockLen - blockPos);
    out = QByteArrayView(block.get() + blockPos, n);
    blockPos += n;
    totalBytesRead += n;
    return true;
}

bool CsvParser::Impl::nextStep(QByteArrayView &out)
{
    if (earlyPiece < earlyPieces.size()) {
        const qsizetype n = earlyPieces[earlyPiece++];
        out = QByteArrayView(early.constData() + earlyPos, n);
        earlyPos += n;
        return true;
    }
    if (!earlyPieces.isEmpty()) {
        // Only now: the last early piece was in use until this call.
        early.clear();
        earlyPieces.clear();
        earlyPos = earlyPiece = 0;
    }
    return takeBytes(kStepSize, out);
}

void CsvParser::Impl::dropEarly(qsizetype n)
{
    early.remove(0, n);
    while (n > 0 && !earlyPieces.isEmpty()) {
        const qsizetype take = std::min(n, earlyPieces.front());
        earlyPieces.front() -= take;
        n -= take;
        if (earlyPieces.front() == 0)
            earlyPieces.pop_front();
    }
}

void CsvParser::Impl::sniffEncoding()
{
    // Gather a full step (or all there is) whatever sizes the reader hands out, so that the
    // outcome does not depend on them.
    QByteArrayView piece;
    while (early.size() < kStepSize && takeBytes(kStepSize - early.size(), piece)) {
        early.append(piece.data(), piece.size());
        earlyPieces.append(piece.size());
    }
    const SniffedEncoding sniffed =
        csv::sniffEncoding(QByteArrayView(early), early.size() == kStepSize);
    encoding = sniffed.encoding;
    guessed = sniffed.guessed();
    if (guessed)
        qCInfo(lcPlotwell).noquote()
            << "no byte-order mark and not UTF-8; assuming" << encodingName(encoding);
    dropEarly(sniffed.markSize);
}

void CsvParser::Impl::reserve(qsizetype needed)
{
    if (needed <= cap)
        return;
    const qsizetype newCap = std::max(needed, cap * 2);
    const auto before = reinterpret_cast<quintptr>(buf.get());
    grow(buf, newCap);
    grow(masks, newCap / 64 + 1);
    cap = newCap;
    moveRecordFields(std::ptrdiff_t(reinterpret_cast<quintptr>(buf.get()) - before));
}

void CsvParser::Impl::moveRecordFields(std::ptrdiff_t bytes)
{
    if (bytes == 0)
        return;
    for (qsizetype i = 0; i < recordFieldCount; ++i) {
        QStringView &field = recordFields[std::size_t(i)];
        field = QStringView(
            reinterpret_cast<const char16_t *>(reinterpret_cast<quintptr>(field.utf16()) + bytes),
            field.size());
    }
}

void CsvParser::Impl::markStops(qsizetype from)
{
    stopsEscape = escapes ? u'\\' : delimiter;
    const qsizetype word = from / 64;
    const qsizetype count = (len + 63) / 64 - word;
    if (count > 0)
        classifyCharacters(buf.get() + word * 64, masks.get() + word, count, delimiter,
                           stopsEscape);
}

void CsvParser::Impl::pad()
{
    for (qsizetype i = 0; i < kPadding; ++i)
        buf[len + i] = (i & 1) ? u'"' : u'\n';
}

bool CsvParser::Impl::refill()
{
    if (textEnded)
        return false;
    const qsizetype keepFrom =
        recordFieldCount > 0 ? std::min(keep, base + (recordFields.front().utf16() - buf.get()))
                             : keep;
    // Whole words of stop bits are dropped, so that the rest stay where they are.
    if (const qsizetype drop = (keepFrom - base) / 64 * 64; drop > 0) {
        std::memmove(buf.get(), buf.get() + drop, size_t(len - drop) * sizeof(char16_t));
        std::copy_n(masks.get() + drop / 64, (len - drop + 63) / 64, masks.get());
        len -= drop;
        base += drop;
        moveRecordFields(-std::ptrdiff_t(drop * sizeof(char16_t)));
    }
    qsizetype passed = 0;
    while (passed < qsizetype(steps.size()) && steps[size_t(passed)].textEnd <= base)
        ++passed;
    steps.erase(steps.begin(), steps.begin() + passed);
    const qsizetype before = len;
    for (;;) {
        if (len > before && !stepsLeftInBlock())
            break;
        QByteArrayView step;
        if (!nextStep(step)) {
            reserve(len + 4 + kPadding);
            len += decoder->finish(buf.get() + len);
            textEnded = true;
            noteStep();
            break;
        }
        reserve(len + decoder->maxOutput(step.size()) + kPadding);
        len += decoder->decode(step, buf.get() + len);
        noteStep();
    }
    pad();
    markStops(before);
    return len > before;
}

const CsvParser::Impl::Step *CsvParser::Impl::stepLookedAt() const
{
    if (lookPos == kLookedAtEverything)
        return nullptr;
    for (const Step &s : steps) {
        if (s.textEnd > lookPos)
            return &s;
    }
    return nullptr;
}

qint64 CsvParser::Impl::reportedBytesRead() const
{
    const Step *s = stepLookedAt();
    return s ? s->bytesEnd : totalBytesRead;
}

qsizetype CsvParser::Impl::reportedReplacements() const
{
    if (!decoder)
        return 0;
    const Step *s = stepLookedAt();
    return s ? s->replacementsEnd : decoder->replacementCount();
}

int CsvParser::Impl::charAtSlow(qsizetype at)
{
    while (at - base >= len) {
        if (!refill())
            return kEnd;
    }
    return buf[at - base];
}

} // namespace plotwell::csv
