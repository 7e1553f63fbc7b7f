// How records and fields are found: quotes, delimiters, line breaks, errors, cancelling.
#include "CsvTestSupport.h"
#include "csv/CsvRecords.h"

using namespace plotwell::csv;
using namespace plotwell::csv::test;

namespace {

QStringList record(int n, const QStringList &fields)
{
    QStringList out{QStringLiteral("line %1").arg(n)};
    for (qsizetype i = 0; i < fields.size(); ++i)
        out << QStringLiteral("field %1 [%2]").arg(i).arg(fields[i]);
    out << QStringLiteral("endline %1").arg(n);
    return out;
}

QStringList document(const QList<QStringList> &records)
{
    QStringList out{"begin"};
    for (qsizetype i = 0; i < records.size(); ++i)
        out << record(int(i + 1), records[i]);
    out << "end";
    return out;
}

} // namespace

TEST(CsvQuotedFields, RawValueKeepsQuotesSanitizedDropsThem)
{
    const QByteArray text = "a,\"b,c\",d";
    EXPECT_EQ(eventsOf(text), document({{"a", "\"b,c\"", "d"}}));
    EXPECT_EQ(eventsOf(text, {SanitizeFields}), document({{"a", "b,c", "d"}}));
    // Only a quote that opens the field quotes it.
    EXPECT_EQ(eventsOf("a\"b\",c", {SanitizeFields}), document({{"a\"b\"", "c"}}));
}

TEST(CsvQuotedFields, DoubledQuoteStandsForOne)
{
    const QByteArray text = "\"say \"\"hi\"\"\",\"\"\"\"\n";
    EXPECT_EQ(eventsOf(text, {SanitizeFields}), document({{"say \"hi\"", "\""}}));
    EXPECT_EQ(eventsOf(text), document({{"\"say \"\"hi\"\"\"", "\"\"\"\""}}));
}

TEST(CsvQuotedFields, HoldLineBreaksAndDelimiters)
{
    const QByteArray text = "\"one\r\ntwo,\n\nthree\",x\ny";
    EXPECT_EQ(eventsOf(text, {SanitizeFields}), document({{"one\r\ntwo,\n\nthree", "x"}, {"y"}}));
}

TEST(CsvQuotedFields, WhitespaceAroundQuotes)
{
    const QByteArray text = " \"x\" ,y";
    EXPECT_EQ(eventsOf(text), document({{" \"x\" ", "y"}}));
    // Sanitizing alone keeps the white space outside the quotes, trimming drops it.
    EXPECT_EQ(eventsOf(text, {SanitizeFields}), document({{" x ", "y"}}));
    EXPECT_EQ(eventsOf(text, {SanitizeFields | TrimWhitespace}), document({{"x", "y"}}));
    EXPECT_EQ(eventsOf(text, {TrimWhitespace}), document({{"\"x\"", "y"}}));
    // Quotes protect the white space inside them.
    EXPECT_EQ(eventsOf("\" in \"", {SanitizeFields | TrimWhitespace}), document({{" in "}}));
}

TEST(CsvQuotedFields, CharacterAfterClosingQuoteIsAnError)
{
    const ParseOutcome outcome = parseEveryWay("x\n\"ab\"c,d\ne");
    QStringList expected{"begin"};
    expected << record(1, {"x"}) << "line 2"
             << "field 0 [\"ab\"]"
             << "endline 2"
             << "fail com.quillfen.csv 1 Unexpected delimiter. Expected ',' (0x2C), but got "
                "'c' (0x63)";
    EXPECT_EQ(outcome.events, expected);

    const auto result = csvRecordsFromString("\"ab\"c");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().code, UnexpectedDelimiter);
    EXPECT_EQ(result.error().domain, "com.quillfen.csv");
    EXPECT_THROW((void)result.value(), std::logic_error);
}

TEST(CsvRecords, LineBreakRunsMakeNoEmptyRecordsAndOnlyCrAndLfEndOne)
{
    // Vertical tab, form feed, NEL, U+2028 and U+2029 pasted into a value stay in it.
    const QStringList expected =
        document({{"a", "b"},
                  {"c"},
                  {QStringLiteral("d\u0085e\u2028f")},
                  {QStringLiteral("g\vh"), QStringLiteral("i\fj\u2029k")}});
    EXPECT_EQ(eventsOf("a,b\r\n\r\n\nc\rd\xc2\x85"
                       "e\xe2\x80\xa8"
                       "f\r\ng\vh,i\fj\xe2\x80\xa9k\r\n"),
              expected);
}

TEST(CsvRecords, EmptyFieldsRaggedRowsAndTheEnds)
{
    // A blank first line is one empty field; the last record needs no line break.
    EXPECT_EQ(eventsOf("\n,,\na,\n,b,c,d"),
              document({{""}, {"", "", ""}, {"a", ""}, {"", "b", "c", "d"}}));
}

TEST(CsvRecords, EmptyInputIsAnEmptyDocument)
{
    EXPECT_EQ(eventsOf(""), QStringList({"begin", "end"}));
    const auto result = csvRecordsFromString("");
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result.value().isEmpty());
}

TEST(CsvDelimiters, OtherDelimiters)
{
    EXPECT_EQ(eventsOf("a;b,c\n", {{}, u';'}), document({{"a", "b,c"}}));
    // A white-space delimiter is not skipped as leading white space.
    EXPECT_EQ(eventsOf("a\t\tb\n\t", {{}, u'\t'}), document({{"a", "", "b"}, {"", ""}}));
    EXPECT_EQ(eventsOf(" a \t \"b\" \t", {SanitizeFields | TrimWhitespace, u'\t'}),
              document({{"a", "b", ""}}));
    EXPECT_EQ(eventsOf("x\xc2\xa7y", {{}, QChar(0xA7)}), document({{"x", "y"}}));
}

TEST(CsvCancel, StopsEventsButStillEndsTheDocument)
{
    // Every split, so that the cancelling event comes from each of the parser's paths.
    const QByteArray text = "a,b,c\nd,e\n#x\n";
    const QStringList events = {"begin",       "line 1",    "field 0 [a]", "field 1 [b]",
                                "field 2 [c]", "endline 1", "line 2"};
    for (qsizetype split = 1; split <= text.size(); ++split)
        for (auto options : {CsvOptions{}, CsvOptions{RecognizeComments}})
            for (qsizetype at : {3, 5, 6}) {
                CsvParser parser(std::make_unique<PieceReader>(text, QList<qsizetype>{split, 100}));
                parser.applyOptions(options);
                RecordingDelegate delegate;
                delegate.cancelOn = events[at];
                parser.setDelegate(&delegate);
                parser.parse();
                EXPECT_EQ(delegate.events, events.first(at + 1) + QStringList{"end"})
                    << split << " " << at;
                EXPECT_TRUE(parser.isCancelled());
            }
}

TEST(CsvCancel, AfterAnErrorNeitherEndNorFailure)
{
    struct : RecordingDelegate
    {
        void parserDidEndLine(CsvParser &p, qsizetype n) override
        {
            RecordingDelegate::parserDidEndLine(p, n);
            p.cancelParsing();
        }
    } delegate;
    CsvParser parser(QByteArray("\"a\"b"));
    parser.setDelegate(&delegate);
    parser.parse();
    EXPECT_EQ(delegate.events, QStringList({"begin", "line 1", "field 0 [\"a\"]", "endline 1"}));
}
