// The common case without a branch per character: fields and records found from the character
// masks, delivered straight from the window of text, and whole records as the delegate takes them.
#include "csv/internal/CsvParserImpl.h"

#include <algorithm>
#include <bit>

namespace plotwell::csv {

using namespace parsing;

void CsvParser::Impl::beginRecordFields()
{
    recordFieldCount = 0;
}

void CsvParser::Impl::growRecordFields()
{
    recordFields.resize(std::max<std::size_t>(16, recordFields.size() * 2));
}

void CsvParser::Impl::addRecordField(QStringView value)
{
    if (recordFieldCount == qsizetype(recordFields.size()))
        growRecordFields();
    recordFields[std::size_t(recordFieldCount++)] = value;
}

void CsvParser::Impl::deliverRecord(CsvParserDelegate *target, qsizetype line)
{
    target->parserDidReadRecord(*q, line,
                                CsvFields(recordFields.data(), std::size_t(recordFieldCount)));
    beginRecordFields();
}

CsvParser::Impl::FastOutcome CsvParser::Impl::readFastFields()
{
    if (cancelled)
        return FastOutcome::Cancelled;
    if (stopsEscape != (escapes ? u'\\' : delimiter))
        markStops(0); // the escape option changed during the parse
    if (!wholeRecords)
        return readFastFields<false>();
    // The record path lists positions in the text as 32-bit numbers; a field of billions
    // of characters would make the text longer than that.
    const bool listable = len < qsizetype(std::numeric_limits<quint32>::max()) - kChunkRoom;
    return escapes || !listable ? readFastFields<true>() : readFastRecords();
}

qsizetype CsvParser::Impl::firstSlowStart(qsizetype w, const WordBounds &held,
                                          const BoundLists &lists) const
{
    qsizetype cut = -1;
    if (held.stray) {
        const int at = std::countr_zero(held.stray);
        const quint64 startsUpTo = held.starts & (~quint64(0) >> (63 - at));
        cut = startsUpTo ? w * 64 + 63 - std::countl_zero(startsUpTo)
                         : lists.startAt[lists.starts - 1];
    }
    const char16_t *const b = buf.get();
    for (quint64 special = held.special; special; special &= special - 1) {
        const qsizetype at = w * 64 + std::countr_zero(special);
        if (cut >= 0 && at >= cut)
            break;
        const char16_t c = b[at];
        // A comment can only begin a record.
        if (startsSlowField(c) || (c == u'#' && comments && isLineBreak(b[at - 1])))
            return at;
    }
    return cut;
}

CsvParser::Impl::FastOutcome CsvParser::Impl::readFastRecords()
{
    const char16_t *const b = buf.get();
    const CharacterMasks *const words = masks.get();
    const qsizetype end = len;
    const qsizetype origin = base;
    const bool trimming = trim;
    // Sanitizing takes the quotes off (below) and undoubles doubled ones, which needs the
    // general path.
    const bool sanitizing = sanitize;
    CsvParserDelegate *const target = delegate;
    qsizetype i = pos - origin; // the start of the current field
    if (i >= end)
        return FastOutcome::NeedGeneralPath;
    if (!endAt) {
        endAt = std::make_unique<quint32[]>(kChunkRoom);
        startAt = std::make_unique<quint32[]>(kChunkRoom + 1);
        recordEndAt = std::make_unique<quint32[]>(kChunkRoom);
    }
    qsizetype index = recordFieldCount; // fields of the current record so far
    qsizetype line = record;
    const qsizetype textWords = (end + 63) / 64;
    qsizetype scanWord = i / 64;
    ScanCarry carry;
    FastOutcome outcome = FastOutcome::NeedGeneralPath;
    for (;;) {
        // The masks only show the starts after `i`.
        if (b[i] != u'"' && startsSlowField(b[i]))
            break;
        const qsizetype stopWord = std::min(scanWord + kChunkWords, textWords);
        if (scanWord == i / 64)
            carry = {};
        BoundLists lists{endAt.get(), startAt.get(), recordEndAt.get()};
        lists.startAt[lists.starts++] = quint32(i);
        const ScanSetup setup{i, end, sanitizing};
        qsizetype cutAt = -1;
        for (qsizetype w = scanWord; w < stopWord; ++w) {
            WordBounds held;
            w = scanFields(words, w, stopWord, setup, carry, lists, held);
            if (w == stopWord)
                break;
            const qsizetype cut = firstSlowStart(w, held, lists);
            if (cut < 0) {
                appendBounds(held, w, lists);
                continue;
            }
            // Nothing from the field at `cut` on.
            if (cut >= w * 64) {
                const quint64 before = (quint64(1) << (cut % 64)) - 1;
                held.ends &= before;
                held.starts &= before;
                appendBounds(held, w, lists);
            } else {
                // The field began in an earlier word, perhaps as the chunk's first one,
                // whose start stays.
                lists.dropFrom(quint32(cut));
                lists.starts = std::max<qsizetype>(lists.starts, 1);
            }
            cutAt = cut;
            break;
        }
        const qsizetype fieldCount = lists.ends;
        const qsizetype startCount = lists.starts;
        while (qsizetype(recordFields.size()) < index + fieldCount)
            growRecordFields();
        QStringView *const slots = recordFields.data();
        fieldViews(b, lists.startAt, lists.endAt, fieldCount, slots + index);
        if (trimming || sanitizing) {
            // A field that starts with a quote here is a quoted one, whose value is what
            // lies between the quotes once sanitized, and is not trimmed then.
            for (qsizetype j = index; j < index + fieldCount; ++j) {
                const QStringView value = slots[j];
                if (sanitizing && !value.isEmpty() && value.front() == u'"')
                    slots[j] = value.sliced(1, value.size() - 2);
                else if (trimming)
                    slots[j] = trimmed(value);
            }
        }
        // Each record whose next record's start is known goes out.
        qsizetype firstSlot = 0;
        for (qsizetype r = 0; r < lists.records; ++r) {
            const qsizetype fieldsTo = lists.recordEndAt[r];
            if (fieldsTo >= startCount)
                break;
            lookPos = origin + lists.endAt[fieldsTo - 1];
            target->parserDidReadRecord(
                *q, line, CsvFields(slots + firstSlot, std::size_t(index + fieldsTo - firstSlot)));
            firstSlot = index + fieldsTo;
            if (cancelled) {
                i = lists.startAt[fieldsTo];
                index = 0;
                outcome = FastOutcome::Cancelled;
                break;
            }
            ++line;
        }
        if (outcome == FastOutcome::Cancelled)
            break;
        const qsizetype pending = index + fieldCount - firstSlot;
        if (firstSlot > 0)
            std::copy_n(slots + firstSlot, pending, slots);
        index = pending;
        if (startCount > fieldCount) {
            i = lists.startAt[fieldCount]; // the field under way
        } else if (isLineBreak(b[lists.endAt[fieldCount - 1]])) {
            // What follows the record is not known yet: the general path ends it.
            i = lists.endAt[fieldCount - 1];
            outcome = FastOutcome::RecordEnded;
            break;
        } else {
            i = lists.endAt[fieldCount - 1] + 1;
        }
        if (cutAt >= 0 || stopWord == textWords || i >= end)
            break; // a field for the general path, or one that runs past the text
        // A chunk without an end leaves the field under way: go on after it.
        scanWord = fieldCount == 0 ? stopWord : i / 64;
    }
    recordFieldCount = fieldIndex = index;
    record = line;
    pos = keep = origin + i;
    return outcome;
}

template <bool Whole> CsvParser::Impl::FastOutcome CsvParser::Impl::readFastFields()
{
    // Locals, since the delegate call could otherwise change any member as far as the
    // compiler knows; only `cancelled` has to be looked at again after it.
    const char16_t *const b = buf.get();
    const CharacterMasks *const words = masks.get();
    const qsizetype end = len;
    const qsizetype origin = base;
    const char16_t sep = delimiter;
    const bool checkEscape = escapes;
    const bool checkComments = comments;
    const bool trimming = trim;
    CsvParser &parser = *q;
    CsvParserDelegate *const target = delegate;
    QStringView *slots = recordFields.data();
    qsizetype slotCount = qsizetype(recordFields.size());
    qsizetype index = fieldIndex;
    qsizetype line = record;
    qsizetype i = pos - origin; // the start of the current field
    // Invariant: `mask` holds the stops at and after `i` in word `k`.
    qsizetype k = i / 64;
    quint64 mask = i < end ? words[k].stops & (~quint64(0) << (i % 64)) : 0;
    FastOutcome outcome = FastOutcome::NeedGeneralPath;
    while (i < end) {
        const char16_t c = b[i];
        if (c < 128 ? slowStart[c] : (c != sep && isWhitespace(c)))
            break;
        while (!mask && ++k * 64 < end)
            mask = words[k].stops;
        const qsizetype f = k * 64 + std::countr_zero(mask);
        if (!mask || f >= end)
            break; // the field runs past the text decoded so far
        const char16_t stop = b[f];
        if (checkEscape && stop == u'\\')
            break;
        mask &= mask - 1;
        if (target) {
            const QStringView value(b + i, f - i);
            if constexpr (Whole) {
                if (index == slotCount) [[unlikely]] {
                    growRecordFields();
                    slots = recordFields.data();
                    slotCount = qsizetype(recordFields.size());
                }
                slots[index] = trimming ? trimmed(value) : value;
            } else {
                lookPos = origin + f;
                target->parserDidReadField(parser, trimming ? trimmed(value) : value, index);
                if (cancelled) {
                    ++index;
                    outcome = FastOutcome::Cancelled;
                    i = f;
                    break;
                }
            }
        }
        ++index;
        if (stop == sep) {
            i = f + 1;
            continue;
        }
        // A line break ends the record. The next one is begun here only when the whole run
        // of line breaks and the character after it are in the text.
        qsizetype r = f + 1;
        while (r < end && isLineBreak(b[r]))
            ++r;
        if (r >= end || (checkComments && b[r] == u'#')) {
            outcome = FastOutcome::RecordEnded;
            i = f;
            break;
        }
        if (target) {
            lookPos = origin + f;
            if constexpr (Whole) {
                recordFieldCount = index;
                deliverRecord(target, line);
            } else {
                target->parserDidEndLine(parser, line);
            }
        }
        i = r;
        if (cancelled) {
            outcome = FastOutcome::Cancelled;
            break;
        }
        index = 0;
        ++line;
        if (!Whole && target) {
            lookPos = origin + r;
            target->parserDidBeginLine(parser, line);
        }
        if (cancelled) {
            outcome = FastOutcome::Cancelled;
            break;
        }
        if (r / 64 != k) {
            k = r / 64;
            mask = words[k].stops;
        }
        mask &= ~quint64(0) << (r % 64);
    }
    if (Whole && target)
        recordFieldCount = index;
    fieldIndex = index;
    record = line;
    pos = keep = origin + i;
    return outcome;
}

} // namespace plotwell::csv
