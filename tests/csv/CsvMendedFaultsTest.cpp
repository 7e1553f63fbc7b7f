// Input that used to be lost silently: undecodable bytes, NUL characters, and an open quote at
// the end.
#include "CsvTestSupport.h"

using namespace plotwell::csv;
using namespace plotwell::csv::test;

TEST(CsvUndecodableBytes, BecomeReplacementCharactersAndTheRestIsRead)
{
    // The first step is clean UTF-8, so the encoding is UTF-8; the bad bytes come later. A broken
    // sequence ("\xe2\x82" before a line break) is one replacement, as is a cut one at the end.
    const QByteArray bytes = QByteArray(600, 'a') + "\xff,b\xe2\x82\ntail,\xc3";
    const ParseOutcome outcome = parseWith(std::make_unique<MemoryByteReader>(bytes), {});
    EXPECT_EQ(outcome.encoding, CsvEncoding::Utf8);
    EXPECT_EQ(
        outcome.events,
        QStringList({"begin", "line 1", "field 0 [" + QString(600, u'a') + u'\uFFFD' + "]",
                     QStringLiteral("field 1 [b\uFFFD]"), "endline 1", "line 2", "field 0 [tail]",
                     QStringLiteral("field 1 [\uFFFD]"), "endline 2", "end"}));
    EXPECT_EQ(outcome.replacements, 3);
}

TEST(CsvNulCharacter, IsAnOrdinaryCharacter)
{
    const QByteArray bytes("a\0b,\0\n\"\0\"\0,c", 13);
    const ParseOutcome outcome = parseEveryWay(bytes, {SanitizeFields});
    const QChar nul(0);
    EXPECT_EQ(outcome.events,
              QStringList({"begin", "line 1", QString("field 0 [a") + nul + "b]",
                           QString("field 1 [") + nul + "]", "endline 1", "line 2",
                           QString("field 0 [") + nul + "]", "endline 2",
                           "fail com.quillfen.csv 1 Unexpected delimiter. Expected ',' (0x2C), "
                           "but got '" +
                               QString(nul) + "' (0x0)"}));
}

TEST(CsvUnterminatedQuote, IsReportedWithWhatWasRead)
{
    const ParseOutcome raw = parseEveryWay("a,\"bc\n\"\"d");
    EXPECT_EQ(raw.events, QStringList({"begin", "line 1", "field 0 [a]", "field 1 [\"bc\n\"\"d]",
                                       "endline 1", "end"}));
    EXPECT_TRUE(raw.endedInsideQuotes);

    const ParseOutcome clean = parseEveryWay("a, \"bc\n\"\"d", {SanitizeFields});
    EXPECT_EQ(clean.events[3], "field 1 [ bc\n\"d]");
    EXPECT_FALSE(parseEveryWay("a,\"bc\"").endedInsideQuotes);
}
